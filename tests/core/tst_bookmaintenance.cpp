// Backup, restore and new book on real books in temp folders: copies that
// are whole and consistent, users carried across, the old book in the
// Trash, and every failure leaving the old book and its users as they were.

#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "book/BookMaintenance.h"
#include "store/BookSchema.h"
#include "settings/GbkText.h"
#include "book/UserCarryFile.h"
#include "support/TestBook.h"
#include "security/PasswordHash.h"
#include "users/UserStore.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

using namespace orv;
namespace BM = orv::BookMaintenance;

namespace {

// Points the desktop Trash into a temp folder that does not exist yet, as
// on a fresh account without ~/.local/share.
class TrashHome
{
public:
    TrashHome() : m_previous(qgetenv("XDG_DATA_HOME")), m_had(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
    }
    ~TrashHome() { m_had ? qputenv("XDG_DATA_HOME", m_previous) : qunsetenv("XDG_DATA_HOME"); }
    QString dataHome() const { return m_dir.filePath(QStringLiteral("share")); }
    QString trashFiles() const { return dataHome() + QStringLiteral("/Trash/files"); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_had;
};

QList<UserAccount> usersOf(const QString &book)
{
    const BookConnection conn(book);
    auto users = UserStore::accounts(conn);
    return users ? *users : QList<UserAccount>{};
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList folderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// What a failed step must leave as it was: the book's bytes, its users and
// what lies in the program folder.
struct Kept
{
    QByteArray bytes;
    QList<UserAccount> users;
    QStringList entries;
    bool operator==(const Kept &) const = default;
};

Kept keptOf(const TestBook &book)
{
    return {fileBytes(book.bookPath()), usersOf(book.bookPath()), folderEntries(book.dir())};
}

// n income entries in one statement (one sync of the disk, not n).
void fillIncome(const TestBook &book, int n)
{
    book.exec(QStringLiteral("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < %1) "
                             "INSERT INTO \"INCOME\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                             "SELECT date('2009-01-01', '+' || (i % 365) || ' days'), '工资', 100 + i, "
                             "'第' || i || '笔 ''quoted''', '爸爸' FROM c")
                  .arg(n));
}

const QList<QPair<QString, QString>> kFamily = {
    {QStringLiteral("爸爸"), QStringLiteral("pw")}, {QStringLiteral("妈妈"), QStringLiteral("it's \"mine\"")},
    {QStringLiteral("小明"), QString()}};

// The empty-book template beside the book, with a user of its own.
QString makeTemplate(const TestBook &book)
{
    const QString templ = BookFile::templatePath(book.dir());
    if (!BookSchema::createBook(templ, {{QStringLiteral("模板用户"), QStringLiteral("t")}}))
        qFatal("cannot make the template");
    return templ;
}

} // namespace

class TestBookMaintenance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Replacing and copying book files; a server book's maintenance has tests of its own.
        ORV_FILE_BOOK_ONLY();
    }

    // Other spellings ("./", "//") are refused by the commands themselves.
    void sameFileThroughLinks()
    {
        TestBook book;
        const QString dir = book.dir();
        const QString path = book.bookPath();
        QVERIFY(QFile::link(path, book.path(QStringLiteral("link.ovd"))));
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(book.path("hard.ovd")).constData()), 0);
        QVERIFY(QDir(dir).mkdir(QStringLiteral("sub")) && QFile::link(dir, book.path(QStringLiteral("sub/up"))));
        for (const QString &same : QStringList{book.path("link.ovd"), book.path("hard.ovd"), book.path("sub/up/Orvendal.ovd")})
            QVERIFY2(BM::isSameFile(path, same), qPrintable(same));
        QVERIFY(QFile::copy(path, book.path(QStringLiteral("copy.ovd"))));
        for (const QString &other : QStringList{book.path("copy.ovd"), book.path("none.ovd"), QString()})
            QVERIFY2(!BM::isSameFile(path, other), qPrintable(other));
    }

    void backupIsAConsistentCopyWhileTheBookIsInUse()
    {
        TestBook book(kFamily);
        fillIncome(book, 300);
        book.add(RecordKind::Loan, QDate(2009, 12, 5), QStringLiteral("借出"), 50, QString(), QStringLiteral("妈妈"));
        const QString name = BM::backupFileName(QDate(2009, 12, 5));
        QCOMPARE(name, QStringLiteral("2009-12-5帐本数据库备份.ovd"));
        QVERIFY(QDir(book.dir()).mkdir(QStringLiteral("备份")));
        const QString target = book.path(QStringLiteral("备份/") + name);
        // An older backup of that name, with a journal beside it that must
        // not be played into the new one.
        book.writeFile(QStringLiteral("备份/") + name, "an older backup");
        book.writeFile(QStringLiteral("备份/") + name + QStringLiteral("-journal"), QByteArray(2048, '\x7f'));

        // Another connection is in the middle of a change, and a third is
        // walking a table: the backup shows the book as last committed.
        BookConnection writer(book.location());
        Transaction tx(writer);
        QVERIFY(writer.change(QStringLiteral("INSERT INTO \"PAYOUT\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                                             "VALUES ('2010-05-02', '交通', 3, '', '爸爸')")));
        const BookConnection reader(book.location());
        auto walking = reader.read(QStringLiteral("SELECT * FROM \"INCOME_ITEMS\""));
        QVERIFY(walking && walking->next());

        const BM::Outcome outcome = BM::backupBook(book.location(), book.dir(), target);
        QVERIFY2(outcome.ok(), qPrintable(outcome.detail));
        QCOMPARE(folderEntries(book.path(QStringLiteral("备份"))), QStringList{name});
        {
            TestBook copy; // reads the backup as its book
            QVERIFY(QFile::remove(copy.bookPath()) && QFile::copy(target, copy.bookPath()));
            for (const QString &table : BookSchema::tableNames())
                QCOMPARE(copy.rows(table), book.rows(table));
        }
        walking->finish();
        QVERIFY(tx.commit());
        QCOMPARE(book.count(QStringLiteral("PAYOUT")), 1);
    }

    void backupRefusals()
    {
        TestBook book;
        // A folder in place of the file.
        QVERIFY(QDir(book.dir()).mkdir(QStringLiteral("b.ovd")));
        QCOMPARE(BM::backupBook(book.location(), book.dir(), book.path("b.ovd")).problem, BM::Problem::CannotCopy);
        // No book to back up, or a book file that is not a database.
        QCOMPARE(BM::backupBook(orv::BookLocation::file(book.path("gone.ovd")), book.dir(), book.path("c.ovd")).problem, BM::Problem::CannotOpenBook);
        book.writeFile(QStringLiteral("text.ovd"), QByteArray(4096, 'x'));
        QCOMPARE(BM::backupBook(orv::BookLocation::file(book.path("text.ovd")), book.dir(), book.path("c.ovd")).problem, BM::Problem::CannotOpenBook);
        // Nothing half-made is left behind by any of them.
        QCOMPARE(folderEntries(book.dir()), (QStringList{"Orvendal.ovd", "b.ovd", "text.ovd", "user"}));
    }

    void newBookKeepsTheUsersAndTheOldBook_data()
    {
        QTest::addColumn<bool>("trashWorks");
        QTest::newRow("old book to the Trash") << true;
        // A data folder that cannot be: the old book stays beside the new one.
        QTest::newRow("no Trash") << false;
    }
    void newBookKeepsTheUsersAndTheOldBook()
    {
        QFETCH(bool, trashWorks);
        TrashHome trash;
        if (!trashWorks) {
            QVERIFY(QDir().mkpath(QFileInfo(trash.dataHome()).absolutePath()));
            QFile blocker(trash.dataHome());
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        TestBook book(kFamily);
        book.add(RecordKind::Payout, QDate(2009, 12, 5), QStringLiteral("餐饮"), 25);
        book.exec(QStringLiteral("INSERT INTO \"PAYOUT_ITEMS\" VALUES ('宠物')"));
        const QString templ = makeTemplate(book);
        const QByteArray templBytes = fileBytes(templ);
        const QByteArray oldBook = fileBytes(book.bookPath());
        const QList<UserAccount> users = usersOf(book.bookPath());

        const BM::Outcome outcome = BM::replaceBook(book.location(), book.dir(), templ);
        QVERIFY2(outcome.ok(), qPrintable(outcome.detail));
        QCOMPARE(book.count(QStringLiteral("PAYOUT")), 0);
        QVERIFY(!book.rows(QStringLiteral("PAYOUT_ITEMS")).contains(QStringList{"宠物"}));
        QCOMPARE(usersOf(book.bookPath()), users);
        QCOMPARE(fileBytes(templ), templBytes); // the template never changes
        QCOMPARE(fileBytes(outcome.oldBookPath), oldBook);
        QCOMPARE(outcome.oldBookInTrash, trashWorks);
        QStringList expected{"NewBook.ovd", "Orvendal.ovd", "user"};
        if (!trashWorks) {
            QVERIFY(QFileInfo(outcome.oldBookPath).fileName().startsWith(QStringLiteral("Orvendal-旧账-")));
            expected.append(QFileInfo(outcome.oldBookPath).fileName());
            expected.sort();
        }
        QCOMPARE(folderEntries(book.dir()), expected); // never a stray Trash in the working directory
        // The swapped-in book is an ordinary book: it takes new entries.
        book.add(RecordKind::Payout, QDate(2010, 2, 1), QStringLiteral("交通"), 2);
        QCOMPARE(book.count(QStringLiteral("PAYOUT")), 1);
    }

    // userTemp.dat read half-way through a new book: what a crash at that
    // moment would leave on the disk.
    void theCarryFileNeverHoldsAPasswordAsTyped()
    {
        TrashHome trash;
        TestBook book(kFamily);
        // 妈妈's password kept as typed, as an older version kept them all.
        book.exec(QStringLiteral("UPDATE \"USER\" SET \"code\" = 'it''s \"mine\"' WHERE \"user\" = '妈妈'"));
        const QList<UserAccount> before = usersOf(book.bookPath());
        const QString templ = makeTemplate(book);
        QStringList carried;
        QFile::Permissions mode;
        UserCarryFile::setWrittenHook([&](const QString &path) {
            carried = readGbkLines(path).value_or(QStringList());
            mode = QFileInfo(path).permissions();
        });
        const BM::Outcome outcome = BM::replaceBook(book.location(), book.dir(), templ);
        UserCarryFile::setWrittenHook(nullptr);
        QVERIFY2(outcome.ok(), qPrintable(outcome.detail));

        QCOMPARE(carried.size(), 2 * kFamily.size());
        QCOMPARE(mode, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        const QList<UserAccount> after = usersOf(book.bookPath());
        QCOMPARE(after.size(), kFamily.size());
        for (int i = 0; i < kFamily.size(); ++i) {
            const auto &[name, password] = kFamily[i];
            QCOMPARE(carried[2 * i], name);
            QVERIFY2(PasswordHash::isHash(carried[2 * i + 1]), qPrintable(carried[2 * i + 1]));
            QVERIFY(!carried.contains(password));
            // Everyone logs in to the new book with the password of the old.
            QCOMPARE(after[i].name, name);
            QVERIFY(PasswordHash::matches(password, after[i].password));
        }
        // Hashes are carried exactly as they were.
        QCOMPARE(after[0], before[0]);
        QCOMPARE(after[2], before[2]);
        QCOMPARE(after[1].password, carried[3]);
    }

    void failuresLeaveTheBookAlone_data()
    {
        QTest::addColumn<QString>("source"); // empty: the template
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<int>("checked"); // what the check before any question finds
        QTest::addColumn<int>("problem");
        const int none = int(BM::Problem::None), notABook = int(BM::Problem::NotABook);
        const int damaged = int(BM::Problem::Damaged);
        QTest::newRow("missing") << "gone.ovd" << "" << int(BM::Problem::SourceMissing) << int(BM::Problem::SourceMissing);
        QTest::newRow("another database") << "other.ovd" << "otherdb" << notABook << notABook;
        QTest::newRow("a folder") << "folder.ovd" << "folder" << notABook << notABook;
        // A backup cut short (a full stick, a broken download): SQLite
        // notices as soon as it reads the schema.
        QTest::newRow("cut short") << "damaged.ovd" << "cut" << damaged << damaged;
        // A page of entries overwritten: the schema reads fine, the entries
        // do not, and only the copy's own check finds it.
        QTest::newRow("page overwritten") << "damaged.ovd" << "overwrite" << none << damaged;
        // Half-way: something in the way of userTemp.dat; a change of the
        // book in progress elsewhere; a folder the copy cannot be written to;
        // a book gone behind the program's back, whose users cannot be carried.
        QTest::newRow("users cannot be carried") << "" << "carry" << none << int(BM::Problem::CannotCarryUsers);
        QTest::newRow("book busy") << "" << "busy" << none << int(BM::Problem::BookBusy);
        QTest::newRow("read-only folder") << "" << "readonly" << none << int(BM::Problem::CannotCopy);
        QTest::newRow("book gone") << "" << "gone" << none << int(BM::Problem::CannotOpenBook);
    }
    void failuresLeaveTheBookAlone()
    {
        QFETCH(QString, source);
        QFETCH(QString, obstacle);
        QFETCH(int, checked);
        QFETCH(int, problem);
        if (obstacle == QLatin1String("readonly") && ::geteuid() == 0)
            QSKIP("the superuser writes into read-only folders");
        TrashHome trash;
        TestBook book(kFamily);
        book.add(RecordKind::Income, QDate(2009, 1, 1), QStringLiteral("工资"), 1);
        const QString path = source.isEmpty() ? makeTemplate(book) : book.path(source);
        std::optional<BookConnection> writer;
        std::optional<Transaction> tx;
        if (obstacle == QLatin1String("otherdb")) {
            // A database, but not a book: one of the tables is missing.
            QVERIFY(BookSchema::createBook(path));
            QVERIFY(BookConnection(path).change(QStringLiteral("DROP TABLE \"USER\"")));
        } else if (obstacle == QLatin1String("folder") || obstacle == QLatin1String("carry")) {
            QVERIFY(QDir(book.dir()).mkdir(obstacle == QLatin1String("carry") ? QStringLiteral("userTemp.dat") : source));
        } else if (obstacle == QLatin1String("cut") || obstacle == QLatin1String("overwrite")) {
            // Enough entries for the tables to reach well beyond the first pages.
            fillIncome(book, 3000);
            QVERIFY(BM::backupBook(book.location(), book.dir(), path).ok());
            QFile damaged(path);
            QVERIFY(obstacle == QLatin1String("cut") ? damaged.resize(damaged.size() / 2)
                                                     : damaged.open(QIODevice::ReadWrite) && damaged.seek(damaged.size() - 8192) &&
                                                           damaged.write(QByteArray(4096, '\xff')) == 4096);
        } else if (obstacle == QLatin1String("busy")) {
            writer.emplace(book.bookPath());
            tx.emplace(*writer);
            QVERIFY(writer->change(QStringLiteral("INSERT INTO \"INCOME_ITEMS\" VALUES ('彩票')")));
        } else if (obstacle == QLatin1String("gone")) {
            QVERIFY(QFile::rename(book.bookPath(), book.path(QStringLiteral("elsewhere.ovd"))));
        }
        const Kept before = keptOf(book);

        QCOMPARE(int(BM::checkReplacement(book.location(), path).problem), checked);
        if (obstacle == QLatin1String("readonly"))
            QVERIFY(QFile::setPermissions(book.dir(), QFile::ReadOwner | QFile::ExeOwner));
        const BM::Outcome outcome = BM::replaceBook(book.location(), book.dir(), path);
        QFile::setPermissions(book.dir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(int(outcome.problem), problem);
        QVERIFY(keptOf(book) == before);
        QVERIFY(!QFile::exists(trash.dataHome()));
        if (tx) {
            // The change in progress goes through as if nothing had happened.
            QVERIFY(tx->commit());
            QCOMPARE(book.rows(QStringLiteral("INCOME_ITEMS")).last(), QStringList{"彩票"});
        }
    }
};

QTEST_GUILESS_MAIN(TestBookMaintenance)
#include "tst_bookmaintenance.moc"
