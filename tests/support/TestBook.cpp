#include "support/TestBook.h"

#include "app/Globals.h"
#include "records/EntryStore.h"
#include "settings/GbkText.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "store/BookSchema.h"
#include "users/PasswordHash.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

TestBook::TestBook(const QList<QPair<QString, QString>> &users)
    : m_dir(std::make_unique<QTemporaryDir>())
    , m_previousDir(QDir::currentPath())
{
    orv::PasswordHash::useCheapHashesForTests();
    QList<orv::BookSchema::StarterUser> starters;
    for (const auto &[name, password] : users)
        starters.append({name, password});
    const orv::DbStatus made = orv::BookSchema::createBook(bookPath(), starters);
    if (!made)
        qFatal("cannot make test book: %s", qPrintable(made.error().message));
    QDir(m_dir->path()).mkpath(QStringLiteral("user"));
    QDir::setCurrent(m_dir->path());
    g_strAppDir = m_dir->path();
}

TestBook::~TestBook()
{
    QDir::setCurrent(m_previousDir);
}

QString TestBook::bookPath() const
{
    return orv::BookFile::bookPath(m_dir->path());
}

QString TestBook::path(const QString &relative) const
{
    return QDir(m_dir->path()).filePath(relative);
}

qint32 TestBook::add(orv::RecordKind kind, const QDate &date, const QString &items, double money,
                     const QString &remark, const QString &user)
{
    const orv::BookConnection conn(bookPath());
    orv::EntryList scratch;
    auto stored = orv::EntryStore::insert(conn, kind, {date, items, money, remark, user}, scratch);
    if (!stored)
        qFatal("cannot add test entry: %s", qPrintable(stored.error().message));
    return stored->id;
}

QList<QStringList> TestBook::rows(const QString &table) const
{
    const orv::BookConnection conn(bookPath());
    QList<QStringList> result;
    auto query = conn.read(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
    if (!query)
        qFatal("cannot read %s: %s", qPrintable(table), qPrintable(query.error().message));
    while (query->next()) {
        QStringList row;
        for (int c = 0; c < query->record().count(); ++c)
            row.append(query->value(c).toString());
        result.append(row);
    }
    return result;
}

qint64 TestBook::count(const QString &table) const
{
    const orv::BookConnection conn(bookPath());
    auto query = conn.read(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table));
    if (!query || !query->next())
        return -1;
    return query->value(0).toLongLong();
}

void TestBook::exec(const QString &sql) const
{
    const orv::BookConnection conn(bookPath());
    auto done = conn.change(sql);
    if (!done)
        qFatal("cannot run %s: %s", qPrintable(sql), qPrintable(done.error().message));
}

void TestBook::directLogin(const QString &user) const
{
    // set.ini is kept in GBK, as the program reads it.
    writeFile(QStringLiteral("set.ini"), QByteArray("1\r\n") + orv::encodeGbk(user) + "\r\n");
}

void TestBook::writeFile(const QString &relative, const QByteArray &bytes) const
{
    QFile file(path(relative));
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(relative));
    file.write(bytes);
}

QByteArray TestBook::readFile(const QString &relative) const
{
    QFile file(path(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
