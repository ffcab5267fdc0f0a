// The program's small files (set.ini, user/<name>.ini, userTemp.dat):
// written all or nothing, never through a link, and what a crash leaves
// of them removed at the next start.

#include "book/Leftovers.h"
#include "settings/ProgramSettings.h"
#include "settings/UserColorFile.h"
#include "book/UserCarryFile.h"
#include "support/FileSizeLimit.h"
#include "support/TestBook.h"
#include "security/PasswordHash.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <cerrno>

using namespace orv;

class TestSafeFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesAreAllOrNothingAndNeverThroughALink_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("set.ini: direct login") << "set.ini";
        QTest::newRow("set.ini: log-off") << "set.ini off";
        QTest::newRow("colour file") << "user/爸爸.ini";
        QTest::newRow("user carry file") << "userTemp.dat";
    }
    void writesAreAllOrNothingAndNeverThroughALink()
    {
        QFETCH(QString, file);
        TestBook book;
        const auto writeIt = [&]() -> FileOutcome {
            if (file == QLatin1String("set.ini"))
                return ProgramSettings(book.dir()).save(true, QStringLiteral("妈妈"));
            if (file == QLatin1String("set.ini off"))
                return ProgramSettings(book.dir()).clearDirectLogin();
            if (file == QLatin1String("userTemp.dat"))
                return UserCarryFile::write(book.path(file), {{"爸爸", PasswordHash::hash(QStringLiteral("pw")).value()}});
            return UserColorFile(book.dir(), QStringLiteral("爸爸")).save({1, 2, 3});
        };
        const QString path = book.path(file.section(u' ', 0, 0));
        // The file is a link to one elsewhere that is not the program's to touch.
        book.writeFile(QStringLiteral("precious"), "1\r\n\xb0\xd6\xb0\xd6\r\n");
        QVERIFY(QFile::link(book.path(QStringLiteral("precious")), path));
        const QStringList before = QDir(book.dir()).entryList(QDir::AllEntries | QDir::System) +
                                   QDir(book.path(QStringLiteral("user"))).entryList(QDir::AllEntries | QDir::System);
        FileOutcome failed;
        {
            const FileSizeLimit diskFull;
            failed = writeIt();
        }
        QCOMPARE(failed.path, path);
        QCOMPARE(failed.error, qt_error_string(EFBIG));
        // Nothing changed, and no half-written file of the attempt is left.
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(QDir(book.dir()).entryList(QDir::AllEntries | QDir::System) +
                     QDir(book.path(QStringLiteral("user"))).entryList(QDir::AllEntries | QDir::System),
                 before);
        // With room on the disk: the link is replaced by the file, never followed.
        QVERIFY(writeIt().ok());
        QVERIFY(!QFileInfo(path).isSymLink());
        QVERIFY(book.readFile(file.section(u' ', 0, 0)) != book.readFile(QStringLiteral("precious")));
        QCOMPARE(book.readFile(QStringLiteral("precious")), QByteArray("1\r\n\xb0\xd6\xb0\xd6\r\n"));
    }

    void leftoversOfACrashGoAtTheNextStart()
    {
        ORV_FILE_BOOK_ONLY();
        TestBook book;
        const QStringList leftovers = {"userTemp.dat", "set.ini.tmp-0a1b2c3d", "user/爸爸.ini.tmp-ffffffff"};
        // A user may be called "a.tmp-12345678"; other names and folders stay too.
        const QStringList kept = {"set.ini", "user/a.tmp-12345678.ini", "notes.tmp-123", "user/userTemp.dat"};
        for (const QString &name : leftovers + kept)
            book.writeFile(name, "x");
        QVERIFY(QDir(book.dir()).mkdir(QStringLiteral("old.tmp-00000000")));
        const LeftoverCleanup cleanup = cleanLeftovers(book.dir());
        QVERIFY(cleanup.failed.isEmpty());
        QCOMPARE(cleanup.removed.size(), leftovers.size());
        for (const QString &name : leftovers)
            QVERIFY2(!QFileInfo::exists(book.path(name)), qPrintable(name));
        for (const QString &name : kept + QStringList{"old.tmp-00000000", "Orvendal.ovd"})
            QVERIFY2(QFileInfo::exists(book.path(name)), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestSafeFiles)
#include "tst_safefiles.moc"
