#pragma once

#include "store/BookLocation.h"
#include "store/DbResult.h"
#include "store/SqlDialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <memory>

namespace orv {

// One connection to a book, wherever it lives: opened on construction,
// closed and unregistered on destruction. The statements run through it
// are plain SQL with quoted names and bound values; the few pieces in which
// the engines differ come from sql().
//
// A file book is opened read-write and never created: a missing file, or a
// file that is not an SQLite database, counts as "cannot open". A server
// book must hold the book's tables.
class BookConnection
{
public:
    explicit BookConnection(const BookLocation &location);
    // A book file.
    explicit BookConnection(const QString &bookPath);
    ~BookConnection();
    BookConnection(const BookConnection &) = delete;
    BookConnection &operator=(const BookConnection &) = delete;

    bool isOpen() const { return m_open; }
    // The failure to report when the book did not open.
    DbError openError() const { return m_openError; }
    QSqlDatabase database() const;
    const BookLocation &location() const { return m_location; }
    // The book file's path (file books).
    const QString &bookPath() const { return m_location.filePath(); }
    const SqlDialect &sql() const { return *m_dialect; }

    // Prepares and runs one statement with its values bound in order.
    DbResult<QSqlQuery> run(const QString &sql, const QVariantList &values = {}) const;
    // A forward-only read, the fast way through large tables.
    DbResult<QSqlQuery> read(const QString &sql, const QVariantList &values = {}) const;
    // Runs a statement that changes rows; answers the number of rows touched.
    DbResult<int> change(const QString &sql, const QVariantList &values = {}) const;

    // A transaction that will write: no other writer slips in between its
    // reads and its writes.
    bool beginTransaction();
    bool commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }
    // Within a write transaction, keeps other writers off a table until it ends.
    DbStatus lockTable(const QString &table) const;

    // The reason of the last failed transaction step, for the caller's report.
    DbError lastError() const { return m_lastError; }
    // True once the engine said the connection itself is gone (a server
    // that went away): the owner then opens a new one.
    bool isLost() const { return m_lost; }

private:
    DbResult<QSqlQuery> exec(const QString &sql, const QVariantList &values, bool forwardOnly) const;
    DbError failure(const QSqlError &error) const;
    bool control(const QString &statement);

    QString m_name;
    BookLocation m_location;
    std::unique_ptr<SqlDialect> m_dialect;
    DbError::Cause (*m_causeOf)(const QSqlError &) = nullptr;
    bool (*m_isGone)(const QSqlDatabase &) = nullptr;
    DbError m_openError;
    mutable DbError m_lastError;
    mutable bool m_lost = false;
    bool m_open = false;
    bool m_inTransaction = false;
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
    // Why the transaction could not begin or commit.
    DbError error() const { return m_conn.isOpen() ? m_conn.lastError() : m_conn.openError(); }

private:
    BookConnection &m_conn;
    bool m_active;
};

} // namespace orv
