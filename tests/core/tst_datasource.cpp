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

private Q_SLOTS:
    void initTestCase()
    {
        m_ini = m_home.filePath(QStringLiteral("odbc.ini"));
        qputenv("ODBCINI", QFile::encodeName(m_ini));
    }

    void registeringAgainPointsAtTheNewPlace()
    {
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
