// A run killed in the middle of restore, new book or backup: a child
// process does the work and ends at once at a chosen step, as a power cut
// or a kill would end it. Afterwards a whole book stands under the book's
// name, and the next start's clean-up leaves the program folder as it was
// before, with nothing lost.

#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "book/BookMaintenance.h"
#include "store/BookSchema.h"
#include "book/Leftovers.h"
#include "support/TestBook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using namespace orv;
namespace BM = orv::BookMaintenance;

namespace {

constexpr int kKilled = 42;
constexpr int kRanThrough = 0;

// Runs work in a child process; answers its exit code (kKilled when it
// ended at the chosen moment).
int RunInChild(const std::function<void()> &work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        work();
        ::_exit(kRanThrough);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// A progress that kills the run at its first report.
bool KillAtOnce(qint64, qint64)
{
    ::_exit(kKilled);
}

QStringList FolderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The book under the book's name opens, is whole and is a book.
void VerifyWholeBook(const TestBook &book)
{
    const BookConnection conn(book.location());
    QVERIFY2(conn.isOpen(), qPrintable(conn.openError().message));
    QVERIFY(BookSchema::isBook(conn));
    if (TestBook::onServer())
        return;
    auto check = conn.read(QStringLiteral("PRAGMA quick_check"));
    QVERIFY(check && check->next());
    QCOMPARE(check->value(0).toString(), QStringLiteral("ok"));
}

} // namespace

class TestReplacementCrash : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dataHome;

private Q_SLOTS:
    void initTestCase()
    {
        // The Trash of the run, never the real one.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.filePath(QStringLiteral("share"))));
    }

    void killedDuringARestore_data()
    {
        QTest::addColumn<QString>("step"); // "" for the first progress report of the copy
        QTest::addColumn<bool>("replaced");
        QTest::newRow("while copying") << "" << false;
        QTest::newRow("copied") << "copied" << false;
        QTest::newRow("users carried") << "users" << false;
        QTest::newRow("before the second name") << "linked" << false;
        QTest::newRow("before the rename") << "swap" << false;
        QTest::newRow("after the rename") << "swapped" << true;
    }
    void killedDuringARestore()
    {
        QFETCH(QString, step);
        QFETCH(bool, replaced);
        // A server book is replaced in one transaction, which a kill only rolls back.
        if (!step.isEmpty())
            ORV_FILE_BOOK_ONLY();
        const QString trash = m_dataHome.filePath(QStringLiteral("share/Trash/files"));
        QDir(trash).removeRecursively();
        QTemporaryDir backups;
        const QString backup = backups.filePath(QStringLiteral("备份.ovd"));
        QList<QStringList> backupIncome;
        {
            // A backup large enough for the copy to report several steps.
            TestBook older({{QStringLiteral("奶奶"), QStringLiteral("x")}});
            older.fill(RecordKind::Income, 30000);
            QVERIFY(BM::backupBook(older.location(), older.dir(), backup).ok());
            backupIncome = older.rows(QStringLiteral("INCOME"));
        }
        TestBook book({{QStringLiteral("爸爸"), QStringLiteral("pw")}, {QStringLiteral("妈妈"), QStringLiteral("pw2")}});
        book.add(RecordKind::Payout, QDate(2024, 3, 1), QStringLiteral("餐饮"), 12.5);
        const QString before = book.contents();
        const QList<QStringList> users = book.rows(QStringLiteral("USER"));
        const QStringList folder = FolderEntries(book.dir());
        const QByteArray oldBytes = TestBook::onServer() ? QByteArray() : FileBytes(book.bookPath());

        const int ended = RunInChild([&] {
            const std::string at = step.toStdString();
            BM::setStepHookForTests([at](const char *reached) {
                if (at == reached)
                    ::_exit(kKilled);
                return true;
            });
            BM::replaceBook(book.location(), book.dir(), backup, step.isEmpty() ? orv::Progress(KillAtOnce) : orv::Progress());
        });
        QCOMPARE(ended, kKilled);

        // At every moment a whole book stands under the book's name.
        VerifyWholeBook(book);
        if (replaced) {
            QCOMPARE(book.rows(QStringLiteral("INCOME")), backupIncome);
            QCOMPARE(book.rows(QStringLiteral("USER")), users);
        } else {
            QCOMPARE(book.contents(), before);
        }

        // The next start removes what the run left, and nothing else.
        const LeftoverCleanup cleanup = cleanLeftovers(book.dir());
        QVERIFY(cleanup.failed.isEmpty());
        QCOMPARE(FolderEntries(book.dir()), folder);
        VerifyWholeBook(book);
        if (replaced) {
            // The old book went where the finished restore would have put it.
            QCOMPARE(QDir(trash).entryList(QDir::Files), QStringList{QStringLiteral("Orvendal.ovd")});
            QCOMPARE(FileBytes(trash + QStringLiteral("/Orvendal.ovd")), oldBytes);
        } else {
            QCOMPARE(book.contents(), before);
            QVERIFY(QDir(trash).isEmpty());
        }
        QCOMPARE(FolderEntries(backups.path()), QStringList{QStringLiteral("备份.ovd")});
    }

    // The rename that puts the new book in place is refused by the system.
    void aSwapThatFailsLeavesTheOldBook()
    {
        ORV_FILE_BOOK_ONLY();
        QDir(m_dataHome.filePath(QStringLiteral("share/Trash"))).removeRecursively();
        TestBook book;
        book.add(RecordKind::Income, QDate(2024, 1, 1), QStringLiteral("工资"), 1);
        QVERIFY(BookSchema::createBook(BookFile::templatePath(book.dir())));
        const QStringList folder = FolderEntries(book.dir());
        const QByteArray bytes = FileBytes(book.bookPath());
        BM::setStepHookForTests([](const char *step) { return qstrcmp(step, "swap") != 0; });
        const BM::Outcome outcome = BM::replaceBook(book.location(), book.dir(), BookFile::templatePath(book.dir()));
        BM::setStepHookForTests(nullptr);
        QCOMPARE(int(outcome.problem), int(BM::Problem::CannotSwap));
        QCOMPARE(FileBytes(book.bookPath()), bytes);
        QCOMPARE(FolderEntries(book.dir()), folder);
        QVERIFY(!QFile::exists(m_dataHome.filePath(QStringLiteral("share/Trash/files/Orvendal.ovd"))));
    }

    // A backup killed half-way leaves its ".part-" file beside the backup the
    // user chose; the next start removes it and leaves the older backup.
    void killedDuringABackup()
    {
        TestBook book;
        book.fill(RecordKind::Payout, 30000);
        QTemporaryDir stick;
        const QString target = stick.filePath(QStringLiteral("2024-3-1帐本数据库备份.ovd"));
        {
            QFile older(target);
            QVERIFY(older.open(QIODevice::WriteOnly) && older.write("an older backup") > 0);
        }
        const QStringList folder = FolderEntries(book.dir());
        const QString before = book.contents();

        QCOMPARE(RunInChild([&] { BM::backupBook(book.location(), book.dir(), target, KillAtOnce); }), kKilled);
        // The part file (with its journal, when the copy was being written
        // through one) beside the older backup.
        const QStringList left = FolderEntries(stick.path());
        QVERIFY2(left.size() >= 2 && left.filter(QStringLiteral(".part-")).size() == left.size() - 1,
                 qPrintable(left.join(u'|')));

        const LeftoverCleanup cleanup = cleanLeftovers(book.dir());
        QVERIFY(cleanup.failed.isEmpty());
        QCOMPARE(FolderEntries(stick.path()), QStringList{QFileInfo(target).fileName()});
        QCOMPARE(FileBytes(target), QByteArray("an older backup"));
        QCOMPARE(FolderEntries(book.dir()), folder);
        QCOMPARE(book.contents(), before);
    }
};

QTEST_GUILESS_MAIN(TestReplacementCrash)
#include "tst_replacementcrash.moc"
