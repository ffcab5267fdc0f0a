#include "support/TestBook.h"

#include "app/AppBook.h"
#include "app/Globals.h"
#include "records/EntryStore.h"
#include "settings/GbkText.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "store/BookSchema.h"
#include "model/TextForms.h"
#include "security/PasswordHash.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {

// The server's own maintenance database, from the PG* variables.
bool AdminExec(const QString &sql)
{
    const QString name = QStringLiteral("orvendal-test-admin");
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setDatabaseName(qEnvironmentVariable("PGDATABASE", QStringLiteral("postgres")));
        if (!db.open())
            qFatal("cannot reach the test server: %s", qPrintable(db.lastError().text()));
        QSqlQuery query(db);
        done = query.exec(sql);
        if (!done)
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

QString NextDatabaseName()
{
    static QAtomicInteger<int> counter;
    return QStringLiteral("orv_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

TestServerDatabase::TestServerDatabase()
    : m_name(NextDatabaseName())
{
    if (!AdminExec(QStringLiteral("CREATE DATABASE \"%1\"").arg(m_name)))
        qFatal("cannot make a test database");
}

TestServerDatabase::~TestServerDatabase()
{
    AdminExec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_name));
}

orv::BookLocation TestServerDatabase::location() const
{
    return *orv::BookLocation::parse(QStringLiteral("postgresql:///%1").arg(m_name), QDir::currentPath());
}

bool TestBook::onServer()
{
    if (qEnvironmentVariable("ORV_TEST_ENGINE") != QLatin1String("postgres"))
        return false;
    // Run outside the test command's throwaway server: nothing to test on.
    if (qEnvironmentVariableIsEmpty("PGHOST") && qEnvironmentVariableIsEmpty("PGPORT")) {
        fprintf(stderr, "no PostgreSQL server for the tests (PGHOST, PGPORT unset)\n");
        ::exit(0);
    }
    return true;
}

TestBook::TestBook(const QList<QPair<QString, QString>> &users)
    : m_dir(std::make_unique<QTemporaryDir>())
    , m_previousDir(QDir::currentPath())
    , m_previousAppDir(g_strAppDir)
{
    if (AppBookLocation().isServer())
        m_previousBook = AppBookLocation();
    orv::PasswordHash::useCheapHashesForTests();
    QList<orv::BookSchema::StarterUser> starters;
    for (const auto &[name, password] : users)
        starters.append({name, password});
    QDir(m_dir->path()).mkpath(QStringLiteral("user"));
    QDir::setCurrent(m_dir->path());
    g_strAppDir = m_dir->path();
    if (onServer()) {
        m_database = NextDatabaseName();
        if (!AdminExec(QStringLiteral("CREATE DATABASE \"%1\"").arg(m_database)))
            qFatal("cannot make a test database");
        const orv::DbStatus made = orv::BookSchema::createServerBook(location().uri(), starters);
        if (!made)
            qFatal("cannot make test book: %s", qPrintable(made.error().message));
        // The program folder names its server book, as a family's would.
        writeFile(QStringLiteral("orvendal.ini"), "[book]\nuri=" + location().uri().toUtf8() + "\n");
        SetAppBookLocation(location());
        return;
    }
    SetAppBookLocation(std::nullopt);
    const orv::DbStatus made = orv::BookSchema::createBook(bookPath(), starters);
    if (!made)
        qFatal("cannot make test book: %s", qPrintable(made.error().message));
}

TestBook::~TestBook()
{
    // The run's connection goes before its book does.
    AppBook().close();
    // Put back what was there before, unless another book took over since
    // (a fixture that makes its next book before letting go of this one).
    if (g_strAppDir == m_dir->path()) {
        QDir::setCurrent(m_previousDir);
        g_strAppDir = m_previousAppDir;
        SetAppBookLocation(m_previousBook);
    }
    if (!m_database.isEmpty())
        AdminExec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_database));
}

QString TestBook::bookPath() const
{
    return orv::BookFile::bookPath(m_dir->path());
}

orv::BookLocation TestBook::location() const
{
    if (m_database.isEmpty())
        return orv::BookLocation::file(bookPath());
    // Host, port, user and password come from the PG* variables, as a
    // family's would come from ~/.pgpass.
    return *orv::BookLocation::parse(QStringLiteral("postgresql:///%1").arg(m_database), m_dir->path());
}

QString TestBook::path(const QString &relative) const
{
    return QDir(m_dir->path()).filePath(relative);
}

qint64 TestBook::add(orv::RecordKind kind, const QDate &date, const QString &items, double money,
                     const QString &remark, const QString &user)
{
    const orv::BookConnection conn(location());
    orv::EntryList scratch;
    auto stored = orv::EntryStore::insert(conn, kind, {date, items, money, remark, user}, scratch);
    if (!stored)
        qFatal("cannot add test entry: %s", qPrintable(stored.error().message));
    return stored->id;
}

QList<QStringList> TestBook::rows(const QString &table) const
{
    const orv::BookConnection conn(location());
    if (!conn.isOpen())
        qFatal("cannot open the test book: %s", qPrintable(conn.openError().message));
    const bool entries = table == QLatin1String("INCOME") || table == QLatin1String("PAYOUT") ||
                         table == QLatin1String("ON_LOAD");
    const QString order = entries ? QStringLiteral("\"id\"") : conn.sql().insertionOrder();
    QList<QStringList> result;
    auto query = conn.read(QStringLiteral("SELECT * FROM \"%1\" ORDER BY %2").arg(table, order));
    if (!query)
        qFatal("cannot read %s: %s", qPrintable(table), qPrintable(query.error().message));
    while (query->next()) {
        QStringList row;
        for (int c = 0; c < query->record().count(); ++c) {
            if (query->record().fieldName(c) == QLatin1String("seq"))
                continue;
            QString text = query->value(c).toString();
            if (entries && c == 1)
                text = text.left(10);
            if (entries && c == 3)
                text = orv::moneyText(query->value(c).toDouble());
            row.append(text);
        }
        result.append(row);
    }
    return result;
}

QString TestBook::contents() const
{
    QString text;
    for (const QString &table : orv::BookSchema::tableNames()) {
        text += table + u'\n';
        for (const QStringList &row : rows(table))
            text += row.join(u'|') + u'\n';
    }
    return text;
}

qint64 TestBook::count(const QString &table) const
{
    const orv::BookConnection conn(location());
    auto query = conn.read(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table));
    if (!query || !query->next())
        return -1;
    return query->value(0).toLongLong();
}

void TestBook::fill(orv::RecordKind kind, int n) const
{
    const QString insert = QStringLiteral("INSERT INTO \"%1\" (\"date\", \"items\", \"money\", \"remark\", \"user\") ")
                               .arg(orv::recordTable(kind));
    const QString values = QStringLiteral("'工资', 100 + i, '第' || i || '笔 ''quoted''', '爸爸'");
    if (onServer())
        exec(insert + QStringLiteral("SELECT DATE '2009-01-01' + (i % 365), ") + values +
             QStringLiteral(" FROM generate_series(1, %1) AS i").arg(n));
    else
        exec(QStringLiteral("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < %1) ").arg(n) +
             insert + QStringLiteral("SELECT date('2009-01-01', '+' || (i % 365) || ' days'), ") + values +
             QStringLiteral(" FROM c"));
}

void TestBook::exec(const QString &sql) const
{
    const orv::BookConnection conn(location());
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
