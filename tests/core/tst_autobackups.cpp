// Automatic backups: their names, which of them go when more than the kept
// number are there (never a file the program did not name), and a real
// backup of a file or server book into its folder.

#include "backup/AutoBackups.h"
#include "store/BookConnection.h"
#include "support/FileSizeLimit.h"
#include "support/TestBook.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace orv;

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(18, 30, 5));

mode_t modeOf(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

void touch(const QString &path, const QByteArray &bytes = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

} // namespace

class TestAutoBackups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("automatic");
        QTest::newRow("ours") << QStringLiteral("2026-12-07 18-30-05 自动备份.ovd") << true;
        QTest::newRow("ours, second of a second") << QStringLiteral("2026-12-07 18-30-05 (2) 自动备份.ovd") << true;
        QTest::newRow("a backup made by hand") << QStringLiteral("2026-12-7帐本数据库备份.ovd") << false;
        QTest::newRow("renamed by the user") << QStringLiteral("2026-12-07 18-30-05 自动备份 留着.ovd") << false;
        QTest::newRow("a copy by the file manager") << QStringLiteral("2026-12-07 18-30-05 自动备份 (副本).ovd") << false;
        QTest::newRow("no such day") << QStringLiteral("2026-02-30 18-30-05 自动备份.ovd") << false;
        QTest::newRow("no such time") << QStringLiteral("2026-12-07 25-30-05 自动备份.ovd") << false;
        QTest::newRow("other ending") << QStringLiteral("2026-12-07 18-30-05 自动备份.ovd-journal") << false;
        QTest::newRow("a note") << QStringLiteral("readme.txt") << false;
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(bool, automatic);
        QCOMPARE(AutoBackups::partsOf(name).has_value(), automatic);
    }

    void nameOfAMoment()
    {
        QCOMPARE(AutoBackups::fileName(kNow), QStringLiteral("2026-12-07 18-30-05 自动备份.ovd"));
        QCOMPARE(AutoBackups::fileName(kNow, 3), QStringLiteral("2026-12-07 18-30-05 (3) 自动备份.ovd"));
        const auto parts = AutoBackups::partsOf(AutoBackups::fileName(kNow, 3));
        QVERIFY(parts);
        QCOMPARE(parts->when, kNow);
        QCOMPARE(parts->sequence, 3);
    }

    void surplus_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("keep");
        QTest::addColumn<QStringList>("going");
        const QString a = QStringLiteral("2025-01-31 09-00-00 自动备份.ovd");
        const QString b = QStringLiteral("2025-12-01 08-00-00 自动备份.ovd");
        const QString c = QStringLiteral("2025-12-01 08-00-00 (2) 自动备份.ovd");
        const QString d = QStringLiteral("2026-01-01 00-00-00 自动备份.ovd");
        const QString byHand = QStringLiteral("2024-3-7帐本数据库备份.ovd");
        const QString note = QStringLiteral("说明.txt");
        QTest::newRow("fewer than kept") << QStringList{d, a, byHand} << 10 << QStringList{};
        QTest::newRow("as many as kept") << QStringList{a, b, c, d} << 4 << QStringList{};
        QTest::newRow("oldest go, oldest first") << QStringList{d, note, b, a, byHand, c} << 2 << QStringList{a, b};
        QTest::newRow("the second of a second is newer") << QStringList{c, b} << 1 << QStringList{b};
        QTest::newRow("others never listed") << QStringList{byHand, note} << 0 << QStringList{};
    }
    void surplus()
    {
        QFETCH(QStringList, names);
        QFETCH(int, keep);
        QFETCH(QStringList, going);
        QCOMPARE(AutoBackups::surplus(names, keep), going);
    }

    void backupIntoItsFolderKeepingTheNewest()
    {
        TestBook book;
        book.add(RecordKind::Income, QDate(2026, 12, 1), QStringLiteral("工资"), 5000);
        const QString folder = AutoBackups::folderFor(book.location(), book.dir());
        // A file book keeps them beside itself; a server book in the program folder.
        QCOMPARE(folder, QDir(book.dir()).filePath(QStringLiteral("backups")));
        QVERIFY(QDir().mkpath(folder));
        const QStringList older = {QStringLiteral("2026-12-01 08-00-00 自动备份.ovd"),
                                   QStringLiteral("2026-12-02 08-00-00 自动备份.ovd"),
                                   QStringLiteral("2026-12-03 08-00-00 自动备份.ovd")};
        for (const QString &name : older)
            touch(QDir(folder).filePath(name));
        // What the program did not name stays, whatever it is.
        touch(QDir(folder).filePath(QStringLiteral("2026-12-7帐本数据库备份.ovd")));
        touch(QDir(folder).filePath(QStringLiteral("说明.txt")));
        QTemporaryDir elsewhere;
        const QString precious = elsewhere.filePath(QStringLiteral("precious.ovd"));
        touch(precious, "keep me");
        QVERIFY(QFile::link(precious, QDir(folder).filePath(QStringLiteral("2026-11-01 08-00-00 自动备份.ovd"))));

        const AutoBackups::Outcome outcome = AutoBackups::make(book.location(), book.dir(), 2, kNow);
        QVERIFY2(outcome.ok(), qPrintable(outcome.copy.detail + outcome.folderMade.error));
        QCOMPARE(outcome.path, QDir(folder).filePath(QStringLiteral("2026-12-07 18-30-05 自动备份.ovd")));
        QVERIFY(outcome.notRemoved.isEmpty());
        QCOMPARE(filesIn(folder), (QStringList{QStringLiteral("2026-11-01 08-00-00 自动备份.ovd"),
                                               QStringLiteral("2026-12-03 08-00-00 自动备份.ovd"),
                                               QStringLiteral("2026-12-07 18-30-05 自动备份.ovd"),
                                               QStringLiteral("2026-12-7帐本数据库备份.ovd"),
                                               QStringLiteral("说明.txt")}));
        QCOMPARE(modeOf(outcome.path), mode_t(0600));
        QFile kept(precious);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));

        // The backup is the book.
        const BookConnection copy(outcome.path);
        QVERIFY(copy.isOpen());
        auto rows = copy.read(QStringLiteral("SELECT \"items\" FROM \"INCOME\""));
        QVERIFY(rows && rows->next());
        QCOMPARE(rows->value(0).toString(), QStringLiteral("工资"));

        // The same second again: a name of its own, nothing overwritten.
        const AutoBackups::Outcome again = AutoBackups::make(book.location(), book.dir(), 2, kNow);
        QVERIFY(again.ok());
        QCOMPARE(QFileInfo(again.path).fileName(), QStringLiteral("2026-12-07 18-30-05 (2) 自动备份.ovd"));
        QVERIFY(QFile::exists(outcome.path));
        QVERIFY(!QFile::exists(QDir(folder).filePath(older.last())));
    }

    void aNewFolderIsTheOwnersAlone()
    {
        TestBook book;
        const AutoBackups::Outcome outcome = AutoBackups::make(book.location(), book.dir(), 10, kNow);
        QVERIFY(outcome.ok());
        QCOMPARE(modeOf(outcome.folder), mode_t(0700));
        QCOMPARE(filesIn(outcome.folder), QStringList{QStringLiteral("2026-12-07 18-30-05 自动备份.ovd")});
    }

    void failuresRemoveNothing()
    {
        TestBook book;
        const QString folder = AutoBackups::folderFor(book.location(), book.dir());
        // A file where the folder would be.
        touch(folder);
        AutoBackups::Outcome outcome = AutoBackups::make(book.location(), book.dir(), 1, kNow);
        QVERIFY(!outcome.ok());
        QVERIFY(!outcome.folderMade.ok());
        QVERIFY(outcome.path.isEmpty());
        QVERIFY(QFile::remove(folder));

        // A full disk: the older backup stays, no part of the new one is left.
        QVERIFY(QDir().mkpath(folder));
        const QString old = QDir(folder).filePath(QStringLiteral("2026-12-01 08-00-00 自动备份.ovd"));
        touch(old);
        {
            const FileSizeLimit full;
            outcome = AutoBackups::make(book.location(), book.dir(), 1, kNow);
        }
        QVERIFY(!outcome.ok());
        QVERIFY(outcome.folderMade.ok());
        QVERIFY(outcome.path.isEmpty());
        QCOMPARE(filesIn(folder), QStringList{QFileInfo(old).fileName()});
    }
};

QTEST_GUILESS_MAIN(TestAutoBackups)
#include "tst_autobackups.moc"
