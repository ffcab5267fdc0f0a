// set.ini and the code-page text files: what the program reads from them and
// what it leaves on disk.

#include "settings/GbkText.h"
#include "settings/ProgramSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

class TestSettings : public QObject
{
    Q_OBJECT

    QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private Q_SLOTS:
    void gbkRoundTripWithCrLf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.txt"));
        QVERIFY(writeGbkLines(path, {QStringLiteral("管理员"), QString(), QStringLiteral("a'b")}));
        // 管理员 in GBK, then CR LF line ends.
        QCOMPARE(read(path), QByteArray("\xb9\xdc\xc0\xed\xd4\xb1\r\n\r\na'b\r\n"));
        QCOMPARE(readGbkLines(path), std::optional<QStringList>({QStringLiteral("管理员"), QString(),
                                                                 QStringLiteral("a'b")}));
        QCOMPARE(decodeGbk(encodeGbk(QStringLiteral("€ 😀 工资"))), QStringLiteral("€ 😀 工资"));
    }

    void readsPlainLfFilesToo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.txt"));
        write(path, "1\nabc");
        QCOMPARE(readGbkLines(path), std::optional<QStringList>({QStringLiteral("1"), QStringLiteral("abc")}));
    }

    void directLoginReadingRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("direct");
        QTest::addColumn<QString>("user");
        QTest::newRow("empty file") << QByteArray() << true << QString();
        QTest::newRow("off") << QByteArray("0\r\n\xc2\xe8\xc2\xe8\r\n") << false << QStringLiteral("妈妈");
        QTest::newRow("on") << QByteArray("1\r\nghost\r\n") << true << QStringLiteral("ghost");
        QTest::newRow("any other text is on") << QByteArray("no\r\nx\r\n") << true << QStringLiteral("x");
        QTest::newRow("zero with blank is on") << QByteArray("0 \r\nx\r\n") << true << QStringLiteral("x");
        QTest::newRow("empty first line") << QByteArray("\r\nx\r\n") << true << QStringLiteral("x");
        QTest::newRow("only the flag") << QByteArray("0") << false << QString();
    }
    void directLoginReadingRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, direct);
        QFETCH(QString, user);
        QTemporaryDir dir;
        write(dir.filePath(QStringLiteral("set.ini")), content);
        const DirectLoginSetting setting = ProgramSettings(dir.path()).load();
        QVERIFY(setting.readable);
        QCOMPARE(setting.directLogin, direct);
        QCOMPARE(setting.userName, user);
    }

    void missingFileIsCreatedEmptyAndMeansDirectLogin()
    {
        QTemporaryDir dir;
        const DirectLoginSetting setting = ProgramSettings(dir.path()).load();
        QVERIFY(setting.readable);
        QVERIFY(setting.directLogin);
        QVERIFY(setting.userName.isEmpty());
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("set.ini"))));
        QCOMPARE(read(dir.filePath(QStringLiteral("set.ini"))), QByteArray());
    }

    void unopenableFileMeansTheLoginDialog()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("set.ini")));
        const DirectLoginSetting setting = ProgramSettings(dir.path()).load();
        QVERIFY(!setting.readable);
        QVERIFY(!setting.directLogin);
    }

    void turningDirectLoginOnWritesFlagAndUser()
    {
        QTemporaryDir dir;
        const ProgramSettings settings(dir.path());
        QVERIFY(settings.save(true, QStringLiteral("管理员")));
        QCOMPARE(read(settings.filePath()), QByteArray("1\r\n\xb9\xdc\xc0\xed\xd4\xb1\r\n"));
        QVERIFY(settings.save(false, QStringLiteral("a")));
        QCOMPARE(read(settings.filePath()), QByteArray("0\r\na\r\n"));
    }

    void logOffTurnsDirectLoginOffAndKeepsTheUser_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("on") << QByteArray("1\r\nbob\r\n") << QByteArray("0\r\nbob\r\n");
        // An empty first line must not let the new flag run into the name.
        QTest::newRow("empty flag") << QByteArray("\r\nbob\r\n") << QByteArray("0\r\nbob\r\n");
        QTest::newRow("empty file") << QByteArray() << QByteArray("0\r\n");
        QTest::newRow("longer flag") << QByteArray("yes\r\nbob\r\n") << QByteArray("0\r\nbob\r\n");
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
