// set.ini and the code-page text files: what the program reads from them and
// what it leaves on disk.

#include "settings/GbkText.h"
#include "settings/ProgramSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

namespace {

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void directLoginReadingRules_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<bool>("direct");
        QTest::addColumn<QString>("user");
        QTest::newRow("no file") << QByteArray() << true << QString();
        QTest::newRow("empty file") << QByteArray("") << true << QString();
        QTest::newRow("off") << QByteArray("0\r\n\xc2\xe8\xc2\xe8\r\n") << false << QStringLiteral("妈妈");
        QTest::newRow("on") << QByteArray("1\r\nghost\r\n") << true << QStringLiteral("ghost");
        QTest::newRow("any other text is on") << QByteArray("no\r\nx\r\n") << true << QStringLiteral("x");
        QTest::newRow("zero with blank is on") << QByteArray("0 \r\nx\r\n") << true << QStringLiteral("x");
        QTest::newRow("empty first line") << QByteArray("\r\nx\r\n") << true << QStringLiteral("x");
        QTest::newRow("only the flag") << QByteArray("0") << false << QString();
        QTest::newRow("plain LF line ends") << QByteArray("1\nabc") << true << QStringLiteral("abc");
    }
    void directLoginReadingRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, direct);
        QFETCH(QString, user);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set.ini"));
        if (!content.isNull())
            write(path, content);
        const DirectLoginSetting setting = ProgramSettings(dir.path()).load();
        QVERIFY(setting.readable);
        QCOMPARE(setting.directLogin, direct);
        QCOMPARE(setting.userName, user);
        // A missing file is created empty.
        QCOMPARE(read(path), content.isNull() ? QByteArray("") : content);
        QVERIFY(QFile::exists(path));
    }

    void unopenableFileMeansTheLoginDialog()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("set.ini")));
        const DirectLoginSetting setting = ProgramSettings(dir.path()).load();
        QVERIFY(!setting.readable);
        QVERIFY(!setting.directLogin);
    }

    void logOffTurnsDirectLoginOffAndKeepsTheUser_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("on") << QByteArray("1\r\nbob\r\n") << QByteArray("0\r\nbob\r\n");
        // A shorter or longer first line must not let the new flag run into the name.
        QTest::newRow("empty flag") << QByteArray("\r\nbob\r\n") << QByteArray("0\r\nbob\r\n");
        QTest::newRow("longer flag") << QByteArray("yes\r\nbob\r\n") << QByteArray("0\r\nbob\r\n");
        QTest::newRow("empty file") << QByteArray("") << QByteArray("0\r\n");
    }
    void logOffTurnsDirectLoginOffAndKeepsTheUser()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const ProgramSettings settings(dir.path());
        write(settings.filePath(), before);
        QVERIFY(settings.clearDirectLogin());
        QCOMPARE(read(settings.filePath()), after);
        QVERIFY(!settings.load().directLogin);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
