#pragma once

#include "records/EntryList.h"
#include "records/RecordKind.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A program folder in a temp directory with a real book in it, made from
// the same schema as the shipped books. Makes it the program folder of the
// run (g_strAppDir) and the working directory while it lives.
class TestBook
{
public:
    // users: name, password pairs for the USER table.
    explicit TestBook(const QList<QPair<QString, QString>> &users = {{QStringLiteral("爸爸"), QStringLiteral("pw")}});
    ~TestBook();

    QString dir() const { return m_dir->path(); }
    QString bookPath() const;
    QString path(const QString &relative) const;

    // Adds an entry straight into the book; answers its id.
    qint32 add(orv::RecordKind kind, const QDate &date, const QString &items, double money,
               const QString &remark = QString(), const QString &user = QStringLiteral("爸爸"));
    // The rows of a table as (column texts), by a plain select in rowid order.
    QList<QStringList> rows(const QString &table) const;
    qint64 count(const QString &table) const;
    void exec(const QString &sql) const;
    // Writes set.ini so that the next main window logs this user in directly.
    void directLogin(const QString &user) const;
    void writeFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray readFile(const QString &relative) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
};
