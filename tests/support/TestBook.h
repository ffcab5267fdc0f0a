#pragma once

#include "model/EntryList.h"
#include "model/RecordKind.h"
#include "store/BookLocation.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// A program folder in a temp directory with a real book, made from the
// same schema as the shipped books. Makes it the program folder of the run
// (g_strAppDir) and the working directory while it lives.
//
// The book is a file in that folder, or — when the tests run with
// ORV_TEST_ENGINE=postgres — a database of its own on the PostgreSQL server
// the PG* variables name, which the run then works on: one test body, both
// engines.
class TestBook
{
public:
    // users: name, password pairs for the USER table.
    explicit TestBook(const QList<QPair<QString, QString>> &users = {{QStringLiteral("爸爸"), QStringLiteral("pw")}});
    ~TestBook();

    // True when the tests run on the server engine.
    static bool onServer();

    QString dir() const { return m_dir->path(); }
    // The book file (file books) — the place a file book would be.
    QString bookPath() const;
    orv::BookLocation location() const;
    QString path(const QString &relative) const;

    // Adds an entry straight into the book; answers its id.
    qint64 add(orv::RecordKind kind, const QDate &date, const QString &items, double money,
               const QString &remark = QString(), const QString &user = QStringLiteral("爸爸"));
    // The rows of a table as (column texts), in the order they were added;
    // dates as yyyy-MM-dd and amounts as two decimals, whatever the engine.
    QList<QStringList> rows(const QString &table) const;
    qint64 count(const QString &table) const;
    // n entries of a kind by 爸爸 in one statement (a book large enough for
    // work to report several steps); amounts 100 + i, days over 2009.
    void fill(orv::RecordKind kind, int n) const;
    // Everything the book holds, as text: what "the book is untouched"
    // compares on either engine.
    QString contents() const;
    void exec(const QString &sql) const;
    // Writes set.ini so that the next main window logs this user in directly.
    void directLogin(const QString &user) const;
    void writeFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray readFile(const QString &relative) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    // The run's book and program folder before this one, put back after it.
    std::optional<orv::BookLocation> m_previousBook;
    QString m_previousAppDir;
    QString m_database; // the server database of this book (server engine)
};

// An empty database of its own on the test server (server engine only),
// dropped when it goes.
class TestServerDatabase
{
public:
    TestServerDatabase();
    ~TestServerDatabase();
    TestServerDatabase(const TestServerDatabase &) = delete;
    TestServerDatabase &operator=(const TestServerDatabase &) = delete;
    orv::BookLocation location() const;

private:
    QString m_name;
};

// What only a book file has (its bytes, links to it, SQLite's own SQL):
// such a test runs on the file engine only.
#define ORV_FILE_BOOK_ONLY()                                                                                           \
    do {                                                                                                               \
        if (TestBook::onServer())                                                                                      \
            QSKIP("a property of book files");                                                                         \
    } while (false)
