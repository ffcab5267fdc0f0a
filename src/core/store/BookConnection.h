#pragma once

#include "store/DbResult.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace orv {

// One short-lived connection to a book file: opened on construction, closed
// and unregistered on destruction. Every operation on the book makes its own,
// runs its statements and lets it go, so no connection outlives a command.
//
// The file is opened read-write and never created: a missing file, or a file
// that is not an SQLite database, counts as "cannot open".
class BookConnection
{
public:
    explicit BookConnection(const QString &bookPath);
    ~BookConnection();
    BookConnection(const BookConnection &) = delete;
    BookConnection &operator=(const BookConnection &) = delete;

    bool isOpen() const { return m_open; }
    // The failure to report when the book did not open.
    DbError openError() const { return DbError::cannotOpen(m_openError, m_openCause); }
    QSqlDatabase database() const;
    const QString &bookPath() const { return m_path; }

    // Prepares and runs one statement with its values bound in order.
    DbResult<QSqlQuery> run(const QString &sql, const QVariantList &values = {}) const;
    // A forward-only read, the fast way through large tables.
    DbResult<QSqlQuery> read(const QString &sql, const QVariantList &values = {}) const;
    // Runs a statement that changes rows; answers the number of rows touched.
    DbResult<int> change(const QString &sql, const QVariantList &values = {}) const;

    bool beginTransaction();
    bool commit();
    void rollback();

private:
    DbResult<QSqlQuery> exec(const QString &sql, const QVariantList &values, bool forwardOnly) const;

    QString m_name;
    QString m_path;
    QString m_openError;
    DbError::Cause m_openCause = DbError::Cause::Unknown;
    bool m_open = false;
};

// Runs a group of changes as one: rolls back unless commit() was reached.
class Transaction
{
public:
    explicit Transaction(BookConnection &conn) : m_conn(conn), m_active(conn.beginTransaction()) {}
    ~Transaction()
    {
        if (m_active)
            m_conn.rollback();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool started() const { return m_active; }
    bool commit()
    {
        if (!m_active)
            return false;
        m_active = false;
        return m_conn.commit();
    }

private:
    BookConnection &m_conn;
    bool m_active;
};

} // namespace orv
