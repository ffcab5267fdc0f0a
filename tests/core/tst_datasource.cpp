// The ODBC data source "Orvendal": registered in the user's odbc.ini (here a
// temp file through ODBCINI) so that ODBC tools reach the book by name.

#include "store/DataSource.h"
#include "support/TestBook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

class TestDataSource : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_ini;

    QString iniText() const
    {
        QFile ini(m_ini);
        return ini.open(QIODevice::ReadOnly) ? QString::fromUtf8(ini.readAll()) : QString();
    }

    QString systemIniText() const
    {
        QFile ini(m_home.filePath(QStringLiteral("system/odbc.ini")));
        return ini.open(QIODevice::ReadOnly) ? QString::fromUtf8(ini.readAll()) : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_ini = m_home.filePath(QStringLiteral("odbc.ini"));
        qputenv("ODBCINI", QFile::encodeName(m_ini));
        // The system-wide files in a folder of the test's own (unixODBC
        // takes the first value it sees), so that a data source that went
        // there by mistake is seen, and the real one is never touched.
        QVERIFY(QDir(m_home.path()).mkdir(QStringLiteral("system")));
        QVERIFY(QFile::copy(QStringLiteral("/etc/odbcinst.ini"), m_home.filePath(QStringLiteral("system/odbcinst.ini"))));
        QFile empty(m_home.filePath(QStringLiteral("system/odbc.ini")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        qputenv("ODBCSYSINI", QFile::encodeName(m_home.filePath(QStringLiteral("system"))));
    }

    // When the user's file cannot be written, unixODBC would fall back to
    // the system-wide file (as root, it would write it): the data source
    // is for this user only, or not registered at all.
    void registeredForTheUserOnly()
    {
        ORV_FILE_BOOK_ONLY();
        TestBook book;
        const QString blocked = m_home.filePath(QStringLiteral("blocked.ini"));
        QVERIFY(QDir().mkdir(blocked)); // no file can be written there
        qputenv("ODBCINI", QFile::encodeName(blocked));
        const DataSource::Result result = DataSource::registerBook(book.bookPath());
        qputenv("ODBCINI", QFile::encodeName(m_ini));
        QCOMPARE(result, DataSource::Result::Refused);
        QVERIFY2(!systemIniText().contains(QStringLiteral("Orvendal")), qPrintable(systemIniText()));
        // With the user's file writable again, it lands there and only there.
        QCOMPARE(DataSource::registerBook(book.bookPath()), DataSource::Result::Registered);
        QVERIFY(iniText().contains(book.bookPath()));
        QVERIFY(!systemIniText().contains(QStringLiteral("Orvendal")));
    }

    void aPathThatWouldAddLinesIsRefused_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("line feed") << QStringLiteral("a\n[Evil]\nDriver=x");
        QTest::newRow("carriage return") << QStringLiteral("a\rb");
        QTest::newRow("tab") << QStringLiteral("a\tb");
    }
    void aPathThatWouldAddLinesIsRefused()
    {
        ORV_FILE_BOOK_ONLY();
        QFETCH(QString, folder);
        TestBook book;
        QCOMPARE(DataSource::registerBook(book.bookPath()), DataSource::Result::Registered);
        const QString before = iniText();
        const QString odd = book.path(folder);
        QVERIFY(QDir().mkpath(odd));
        QVERIFY(QFile::copy(book.bookPath(), odd + QStringLiteral("/Orvendal.ovd")));
        QCOMPARE(DataSource::registerBook(odd + QStringLiteral("/Orvendal.ovd")), DataSource::Result::UnsafePath);
        QCOMPARE(iniText(), before);
        QVERIFY(!systemIniText().contains(QStringLiteral("Orvendal")));
    }

    void registeringAgainPointsAtTheNewPlace()
    {
        ORV_FILE_BOOK_ONLY();
        TestBook first;
        // A long path is never cut short.
        const QString deep = first.path(QString(60, u'长') + QStringLiteral("/") + QString(60, u'路'));
        QVERIFY(QDir().mkpath(deep));
        const QString longPath = deep + QStringLiteral("/Orvendal.ovd");
        QVERIFY(QFile::copy(first.bookPath(), longPath));
        QCOMPARE(DataSource::registerBook(longPath), DataSource::Result::Registered);
        QVERIFY(iniText().contains(QStringLiteral("[Orvendal]")));
        QVERIFY(iniText().contains(QStringLiteral("SQLite3")));
        QVERIFY(iniText().contains(longPath));

        TestBook second;
        QCOMPARE(DataSource::registerBook(second.bookPath()), DataSource::Result::Registered);
        QCOMPARE(iniText().count(QStringLiteral("[Orvendal]")), 1);
        QVERIFY(iniText().contains(second.bookPath()));
        QVERIFY(!iniText().contains(longPath));
    }

    void odbcToolsReadTheBookByName()
    {
        const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql"));
        if (isql.isEmpty())
            QSKIP("isql (unixodbc) is not installed");
        TestBook book;
        book.add(RecordKind::Income, QDate(2009, 3, 1), QStringLiteral("工资"), 12.5);
        // A server book is named by its server, through the PostgreSQL driver.
        const DataSource::Result registered = book.location().isServer()
                                                  ? DataSource::registerServerBook(book.location().uri())
                                                  : DataSource::registerBook(book.bookPath());
        QCOMPARE(registered, DataSource::Result::Registered);
        QVERIFY(!iniText().contains(QStringLiteral("assword")));
        QProcess tool;
        tool.start(isql, {QStringLiteral("-b"), QStringLiteral("-d|"), QStringLiteral("Orvendal")});
        QVERIFY(tool.waitForStarted());
        tool.write("SELECT COUNT(*), SUM(\"money\") FROM \"INCOME\";\nSELECT * FROM \"USER\";\n");
        tool.closeWriteChannel();
        QVERIFY(tool.waitForFinished(20000));
        const QString out = QString::fromLocal8Bit(tool.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("1|12.5")), qPrintable(out + QString::fromLocal8Bit(tool.readAllStandardError())));
        // What anyone with the book sees of the passwords: hashes.
        QVERIFY2(out.contains(QStringLiteral("爸爸|$argon2id$")), qPrintable(out));
        QVERIFY(!out.contains(QStringLiteral("|pw")));
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_datasource.moc"
