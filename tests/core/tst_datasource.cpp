// The ODBC data source "Orvendal": registered in the user's odbc.ini (here a
// temp file through ODBCINI) so that ODBC tools reach the book by name.

#include "store/DataSource.h"
#include "support/TestBook.h"

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

private Q_SLOTS:
    void initTestCase()
    {
        m_ini = m_home.filePath(QStringLiteral("odbc.ini"));
        qputenv("ODBCINI", QFile::encodeName(m_ini));
    }

    void registersTheBookUnderItsName()
    {
        TestBook book;
        QCOMPARE(DataSource::registerBook(book.bookPath()), DataSource::Result::Registered);
        QFile ini(m_ini);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(ini.readAll());
        QVERIFY(text.contains(QStringLiteral("[Orvendal]")));
        QVERIFY(text.contains(QStringLiteral("SQLite3")));
        QVERIFY(text.contains(book.bookPath()));
    }

    void registeringAgainPointsAtTheNewPlaceWithoutDuplicates()
    {
        TestBook first;
        TestBook second;
        QCOMPARE(DataSource::registerBook(first.bookPath()), DataSource::Result::Registered);
        QCOMPARE(DataSource::registerBook(second.bookPath()), DataSource::Result::Registered);
        QFile ini(m_ini);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(ini.readAll());
        QCOMPARE(text.count(QStringLiteral("[Orvendal]")), 1);
        QVERIFY(text.contains(second.bookPath()));
        QVERIFY(!text.contains(first.bookPath()));
    }

    void longPathsAreNeverCut()
    {
        TestBook book;
        const QString deep = book.path(QString(60, u'长') + QStringLiteral("/") + QString(60, u'路'));
        QVERIFY(QDir().mkpath(deep));
        const QString path = deep + QStringLiteral("/Orvendal.ovd");
        QVERIFY(QFile::copy(book.bookPath(), path));
        QCOMPARE(DataSource::registerBook(path), DataSource::Result::Registered);
        QFile ini(m_ini);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(ini.readAll()).contains(path));
    }

    void odbcToolsReadTheBookByName()
    {
        const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql"));
        if (isql.isEmpty())
            QSKIP("isql (unixodbc) is not installed");
        TestBook book;
        book.add(RecordKind::Income, QDate(2009, 3, 1), QStringLiteral("工资"), 12.5);
        QCOMPARE(DataSource::registerBook(book.bookPath()), DataSource::Result::Registered);
        QProcess tool;
        tool.start(isql, {QStringLiteral("-b"), QStringLiteral("-d|"), QStringLiteral("Orvendal")});
        QVERIFY(tool.waitForStarted());
        tool.write("SELECT COUNT(*), SUM(money) FROM INCOME;\n");
        tool.closeWriteChannel();
        QVERIFY(tool.waitForFinished(20000));
        const QString out = QString::fromLocal8Bit(tool.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("1|12.5")), qPrintable(out + QString::fromLocal8Bit(tool.readAllStandardError())));
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_datasource.moc"
