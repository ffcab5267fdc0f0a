// Backup, restore and new book on real books in temp folders: copies that
// are whole and consistent, users carried across, the old book in the
// Trash, and every failure leaving the old book and its users as they were.

#include "settings/GbkText.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "store/BookMaintenance.h"
#include "store/BookSchema.h"
#include "store/UserCarryFile.h"
#include "support/TestBook.h"
#include "users/UserStore.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
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
    TrashHome()
        : m_previous(qgetenv("XDG_DATA_HOME"))
        , m_had(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
    }
    ~TrashHome()
    {
        if (m_had)
            qputenv("XDG_DATA_HOME", m_previous);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    QString dataHome() const { return m_dir.filePath(QStringLiteral("share")); }
    QString trashFiles() const { return dataHome() + QStringLiteral("/Trash/files"); }
    QString trashInfo() const { return dataHome() + QStringLiteral("/Trash/info"); }

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

QList<UserAccount> accounts(const QList<QPair<QString, QString>> &pairs)
{
    QList<UserAccount> list;
    for (const auto &[name, password] : pairs)
        list.append({name, password});
    return list;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything that is in the program folder besides the book's own files.
QStringList folderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
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

const QList<QPair<QString, QString>> kFamily = {{QStringLiteral("爸爸"), QStringLiteral("pw")},
                                                {QStringLiteral("妈妈"), QStringLiteral("it's \"mine\"")},
                                                {QStringLiteral("小明"), QString()}};

} // namespace

class TestBookMaintenance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void backupName_data();
    void backupName();

    void sameFileBySpelling();

    void backupIsWholeCopy();
    void backupWhileBookOpenAndWritten();
    void backupReplacesOldFileOnlyWhenDone();
    void backupRefusals();

    void carryFileIsGbkWithCrLf();
    void carryFileShortOrMissing();

    void restoreKeepsPresentUsers();
    void newBookFromTemplate();
    void refusedBeforeAnythingIsTouched_data();
    void refusedBeforeAnythingIsTouched();
    void damagedBackupLeavesBookAlone_data();
    void damagedBackupLeavesBookAlone();
    void carryFailureLeavesBookAlone();
    void busyBookIsNotSwapped();
    void readOnlyFolderLeavesBookAlone();
    void withoutTrashOldBookStaysBeside();
    void missingBookIsReported();
};

void TestBookMaintenance::backupName_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("name");
    QTest::newRow("no leading zeros") << QDate(2009, 3, 7) << QStringLiteral("2009-3-7帐本数据库备份.ovd");
    QTest::newRow("two-digit month and day") << QDate(2009, 12, 5) << QStringLiteral("2009-12-5帐本数据库备份.ovd");
    QTest::newRow("year end") << QDate(2024, 12, 31) << QStringLiteral("2024-12-31帐本数据库备份.ovd");
}

void TestBookMaintenance::backupName()
{
    QFETCH(QDate, day);
    QFETCH(QString, name);
    QCOMPARE(BM::backupFileName(day), name);
}

void TestBookMaintenance::sameFileBySpelling()
{
    TestBook book;
    const QString dir = book.dir();
    const QString path = book.bookPath();
    QVERIFY(BM::isSameFile(path, path));
    QVERIFY(BM::isSameFile(path, QStringLiteral("./Orvendal.ovd")));
    QVERIFY(BM::isSameFile(path, QStringLiteral("Orvendal.ovd")));
    QVERIFY(BM::isSameFile(path, dir + QStringLiteral("//Orvendal.ovd")));
    QVERIFY(BM::isSameFile(path, dir + QStringLiteral("/./user/../Orvendal.ovd")));
    QVERIFY(QFile::link(path, book.path(QStringLiteral("link.ovd"))));
    QVERIFY(BM::isSameFile(path, book.path(QStringLiteral("link.ovd"))));
    QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(book.path(QStringLiteral("hard.ovd"))).constData()) == 0);
    QVERIFY(BM::isSameFile(path, book.path(QStringLiteral("hard.ovd"))));
    QVERIFY(QDir(dir).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(dir, book.path(QStringLiteral("sub/up"))));
    QVERIFY(BM::isSameFile(path, book.path(QStringLiteral("sub/up/Orvendal.ovd"))));

    QVERIFY(QFile::copy(path, book.path(QStringLiteral("copy.ovd"))));
    QVERIFY(!BM::isSameFile(path, book.path(QStringLiteral("copy.ovd"))));
    QVERIFY(!BM::isSameFile(path, book.path(QStringLiteral("none.ovd"))));
    QVERIFY(BM::isSameFile(book.path(QStringLiteral("none.ovd")), dir + QStringLiteral("//./none.ovd")));
    QVERIFY(!BM::isSameFile(path, QString()));
}

void TestBookMaintenance::backupIsWholeCopy()
{
    TestBook book(kFamily);
    fillIncome(book, 300);
    book.add(RecordKind::Loan, QDate(2009, 12, 5), QStringLiteral("借出"), 50, QString(), QStringLiteral("妈妈"));
    const QString target = book.path(QStringLiteral("备份/") + BM::backupFileName(QDate(2009, 12, 5)));
    QVERIFY(QDir(book.dir()).mkdir(QStringLiteral("备份")));
    const QByteArray before = fileBytes(book.bookPath());

    const BM::Outcome outcome = BM::backupBook(book.bookPath(), target);
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));

    QVERIFY(BookSchema::isBookFile(target));
    const BookConnection copy(target);
    for (const QString &table : BookSchema::tableNames()) {
        auto rows = copy.read(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
        QVERIFY(rows);
        QList<QStringList> copied;
        while (rows->next()) {
            QStringList row;
            for (int c = 0; c < rows->record().count(); ++c)
                row << rows->value(c).toString();
            copied << row;
        }
        QCOMPARE(copied, book.rows(table));
    }
    QCOMPARE(fileBytes(book.bookPath()), before);
    QCOMPARE(folderEntries(book.path(QStringLiteral("备份"))), QStringList{BM::backupFileName(QDate(2009, 12, 5))});
}

void TestBookMaintenance::backupWhileBookOpenAndWritten()
{
    TestBook book;
    book.add(RecordKind::Payout, QDate(2010, 5, 1), QStringLiteral("餐饮"), 12.5);
    const QString target = book.path(QStringLiteral("while-open.ovd"));

    // Another connection is in the middle of a change, and a third is
    // walking a table: the backup shows the book as last committed.
    BookConnection writer(book.bookPath());
    QVERIFY(writer.isOpen());
    Transaction tx(writer);
    QVERIFY(tx.started());
    QVERIFY(writer.change(QStringLiteral("INSERT INTO \"PAYOUT\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                                         "VALUES ('2010-05-02', '交通', 3, '', '爸爸')")));
    QVERIFY(QFile::exists(book.bookPath() + QStringLiteral("-journal")));
    const BookConnection reader(book.bookPath());
    auto walking = reader.read(QStringLiteral("SELECT * FROM \"INCOME_ITEMS\""));
    QVERIFY(walking && walking->next());

    const BM::Outcome outcome = BM::backupBook(book.bookPath(), target);
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));
    {
        const BookConnection copy(target);
        auto count = copy.read(QStringLiteral("SELECT COUNT(*) FROM \"PAYOUT\""));
        QVERIFY(count && count->next());
        QCOMPARE(count->value(0).toInt(), 1);
        QVERIFY(BookSchema::isBook(copy));
    }
    walking->finish();
    QVERIFY(tx.commit());
    QCOMPARE(book.count(QStringLiteral("PAYOUT")), 2);
    // The backup is a book of its own, not tied to the original's journal.
    QVERIFY(!QFile::exists(target + QStringLiteral("-journal")));
}

void TestBookMaintenance::backupReplacesOldFileOnlyWhenDone()
{
    TestBook book;
    book.add(RecordKind::Income, QDate(2011, 1, 1), QStringLiteral("奖金"), 1000);
    const QString target = book.path(QStringLiteral("old-backup.ovd"));
    book.writeFile(QStringLiteral("old-backup.ovd"), "an older backup");
    // A journal left beside the old file must not be played into the new one.
    book.writeFile(QStringLiteral("old-backup.ovd-journal"), QByteArray(2048, '\x7f'));

    QVERIFY(BM::backupBook(book.bookPath(), target).ok());
    QVERIFY(BookSchema::isBookFile(target));
    QVERIFY(!QFile::exists(target + QStringLiteral("-journal")));
    const BookConnection copy(target);
    auto rows = copy.read(QStringLiteral("SELECT \"items\", \"money\" FROM \"INCOME\""));
    QVERIFY(rows && rows->next());
    QCOMPARE(rows->value(0).toString(), QStringLiteral("奖金"));
    QCOMPARE(rows->value(1).toDouble(), 1000.0);
}

void TestBookMaintenance::backupRefusals()
{
    TestBook book;
    const QByteArray before = fileBytes(book.bookPath());
    QCOMPARE(BM::backupBook(book.bookPath(), QStringLiteral("./Orvendal.ovd")).problem, BM::Problem::SameAsBook);
    QCOMPARE(BM::backupBook(book.bookPath(), book.dir() + QStringLiteral("//Orvendal.ovd")).problem,
             BM::Problem::SameAsBook);
    QCOMPARE(fileBytes(book.bookPath()), before);

    // A folder that is not there, and a folder in place of the file.
    QCOMPARE(BM::backupBook(book.bookPath(), book.path(QStringLiteral("nowhere/b.ovd"))).problem,
             BM::Problem::CannotCopy);
    QVERIFY(QDir(book.dir()).mkdir(QStringLiteral("b.ovd")));
    QCOMPARE(BM::backupBook(book.bookPath(), book.path(QStringLiteral("b.ovd"))).problem, BM::Problem::CannotCopy);
    // No book to back up.
    QCOMPARE(BM::backupBook(book.path(QStringLiteral("gone.ovd")), book.path(QStringLiteral("c.ovd"))).problem,
             BM::Problem::CannotOpenBook);
    // A book file that is not a database.
    book.writeFile(QStringLiteral("text.ovd"), QByteArray(4096, 'x'));
    QCOMPARE(BM::backupBook(book.path(QStringLiteral("text.ovd")), book.path(QStringLiteral("c.ovd"))).problem,
             BM::Problem::CannotOpenBook);

    // Nothing half-made is left behind by any of them.
    QCOMPARE(folderEntries(book.dir()),
             (QStringList{QStringLiteral("Orvendal.ovd"), QStringLiteral("b.ovd"), QStringLiteral("text.ovd"),
                          QStringLiteral("user")}));
}

void TestBookMaintenance::carryFileIsGbkWithCrLf()
{
    TestBook book(kFamily);
    const QString path = UserCarryFile::path(book.dir());
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("userTemp.dat"));
    const QList<UserAccount> users = usersOf(book.bookPath());
    QCOMPARE(users, accounts(kFamily));

    book.writeFile(QStringLiteral("userTemp.dat"), QByteArray(500, 'z')); // left over: replaced, not overlaid
    QVERIFY(UserCarryFile::write(path, users));
    const QByteArray expected = encodeGbk(QStringLiteral("爸爸")) + "\r\npw\r\n" + encodeGbk(QStringLiteral("妈妈")) +
                                "\r\nit's \"mine\"\r\n" + encodeGbk(QStringLiteral("小明")) + "\r\n\r\n";
    QCOMPARE(fileBytes(path), expected);
    QCOMPARE(QByteArray("\xb0\xd6\xb0\xd6"), encodeGbk(QStringLiteral("爸爸"))); // GBK, not UTF-8

    const auto back = UserCarryFile::read(path, int(users.size()));
    QVERIFY(back);
    QCOMPARE(*back, users);

    // The carried users replace a book's own, all of them or none.
    const QString other = book.path(QStringLiteral("other.ovd"));
    QVERIFY(BookSchema::createBook(other, {{QStringLiteral("外人"), QStringLiteral("x")}}));
    {
        BookConnection conn(other);
        QVERIFY(UserCarryFile::replaceUsers(conn, *back));
    }
    QCOMPARE(usersOf(other), users);
}

void TestBookMaintenance::carryFileShortOrMissing()
{
    TestBook book;
    const QString path = UserCarryFile::path(book.dir());
    QVERIFY(!UserCarryFile::read(path, 1));
    QVERIFY(UserCarryFile::write(path, accounts({{QStringLiteral("爸爸"), QStringLiteral("pw")}})));
    QVERIFY(UserCarryFile::read(path, 1));
    QVERIFY(!UserCarryFile::read(path, 2));
    QCOMPARE(UserCarryFile::read(path, 0)->size(), 0);
}

void TestBookMaintenance::restoreKeepsPresentUsers()
{
    TrashHome trash;
    TestBook book(kFamily);
    book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 5000, QStringLiteral("十二月"));
    book.add(RecordKind::Loan, QDate(2009, 12, 6), QStringLiteral("借出"), 300, QStringLiteral("给'老王'"));
    const QString backup = book.path(BM::backupFileName(QDate(2009, 12, 6)));
    QVERIFY(BM::backupBook(book.bookPath(), backup).ok());
    const QList<QStringList> backupIncome = book.rows(QStringLiteral("INCOME"));
    const QList<QStringList> backupLoans = book.rows(QStringLiteral("ON_LOAD"));

    // Life goes on after the backup: entries, a user gone, a user added.
    book.add(RecordKind::Income, QDate(2010, 1, 5), QStringLiteral("奖金"), 800);
    book.exec(QStringLiteral("DELETE FROM \"USER\" WHERE \"user\" = '小明'"));
    book.exec(QStringLiteral("INSERT INTO \"USER\" VALUES ('奶奶', '1234')"));
    const QList<UserAccount> present = usersOf(book.bookPath());
    const QByteArray oldBook = fileBytes(book.bookPath());

    const BM::Outcome outcome = BM::replaceBook(book.dir(), backup);
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));

    QCOMPARE(book.rows(QStringLiteral("INCOME")), backupIncome);
    QCOMPARE(book.rows(QStringLiteral("ON_LOAD")), backupLoans);
    QCOMPARE(usersOf(book.bookPath()), present);
    QVERIFY(!QFile::exists(book.path(QStringLiteral("userTemp.dat"))));
    // The backup itself is untouched, users and all.
    QCOMPARE(usersOf(backup), accounts(kFamily));

    // The old book is in the Trash, whole, with the desktop's info file; no
    // stray Trash in the working directory.
    QVERIFY(outcome.oldBookInTrash);
    QCOMPARE(QFileInfo(outcome.oldBookPath).absolutePath(), trash.trashFiles());
    QCOMPARE(fileBytes(outcome.oldBookPath), oldBook);
    QVERIFY(QFile::exists(trash.trashInfo() + u'/' + QFileInfo(outcome.oldBookPath).fileName() +
                          QStringLiteral(".trashinfo")));
    QStringList expected{QStringLiteral("Orvendal.ovd"), QFileInfo(backup).fileName(), QStringLiteral("user")};
    expected.sort();
    QCOMPARE(folderEntries(book.dir()), expected);

    // The swapped-in book is an ordinary book: it takes new entries.
    book.add(RecordKind::Payout, QDate(2010, 2, 1), QStringLiteral("交通"), 2);
    QCOMPARE(book.count(QStringLiteral("PAYOUT")), 1);
}

void TestBookMaintenance::newBookFromTemplate()
{
    TrashHome trash;
    TestBook book(kFamily);
    book.add(RecordKind::Payout, QDate(2009, 12, 5), QStringLiteral("餐饮"), 25);
    book.exec(QStringLiteral("INSERT INTO \"PAYOUT_ITEMS\" VALUES ('宠物')"));
    const QString templ = BookFile::templatePath(book.dir());
    QVERIFY(BookSchema::createBook(templ, {{QStringLiteral("模板用户"), QStringLiteral("t")}}));
    const QByteArray templBytes = fileBytes(templ);

    const BM::Outcome outcome = BM::replaceBook(book.dir(), templ);
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));

    QCOMPARE(book.count(QStringLiteral("PAYOUT")), 0);
    QCOMPARE(book.count(QStringLiteral("INCOME")), 0);
    QCOMPARE(book.count(QStringLiteral("ON_LOAD")), 0);
    QStringList items;
    for (const QStringList &row : book.rows(QStringLiteral("PAYOUT_ITEMS")))
        items << row.first();
    QCOMPARE(items, BookSchema::defaultCategories(RecordKind::Payout));
    QCOMPARE(usersOf(book.bookPath()), accounts(kFamily));
    QCOMPARE(fileBytes(templ), templBytes); // the template never changes
    QVERIFY(!QFile::exists(book.path(QStringLiteral("userTemp.dat"))));
    QVERIFY(outcome.oldBookInTrash);
    QVERIFY(QFile::exists(outcome.oldBookPath));
}

void TestBookMaintenance::refusedBeforeAnythingIsTouched_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("content"); // written to source unless it is the book
    QTest::addColumn<int>("problem");

    QTest::newRow("the book itself") << QStringLiteral("Orvendal.ovd") << QByteArray() << int(BM::Problem::SameAsBook);
    QTest::newRow("missing") << QStringLiteral("gone.ovd") << QByteArray() << int(BM::Problem::SourceMissing);
    QTest::newRow("a text file") << QStringLiteral("notes.ovd") << QByteArray("not a book\r\n")
                                 << int(BM::Problem::NotABook);
    QTest::newRow("an empty file") << QStringLiteral("empty.ovd") << QByteArray("") << int(BM::Problem::NotABook);
    QTest::newRow("another database") << QStringLiteral("@otherdb") << QByteArray() << int(BM::Problem::NotABook);
    QTest::newRow("a folder") << QStringLiteral("@folder") << QByteArray() << int(BM::Problem::NotABook);
}

void TestBookMaintenance::refusedBeforeAnythingIsTouched()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, content);
    QFETCH(int, problem);

    TrashHome trash;
    TestBook book(kFamily);
    book.add(RecordKind::Income, QDate(2009, 1, 1), QStringLiteral("工资"), 1);
    QString path = book.path(source);
    if (source == QLatin1String("@otherdb")) {
        path = book.path(QStringLiteral("other.ovd"));
        const BookConnection seed(book.bookPath()); // keeps the driver loaded
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otherdb"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TABLE t (x)")));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("otherdb"));
    } else if (source == QLatin1String("@folder")) {
        path = book.path(QStringLiteral("folder.ovd"));
        QVERIFY(QDir(book.dir()).mkdir(QStringLiteral("folder.ovd")));
    } else if (!content.isNull() && source != QLatin1String("gone.ovd")) {
        book.writeFile(source, content);
    }
    const QByteArray before = fileBytes(book.bookPath());
    const QStringList entries = folderEntries(book.dir());

    QCOMPARE(int(BM::checkReplacement(book.bookPath(), path).problem), problem);
    const BM::Outcome outcome = BM::replaceBook(book.dir(), path);
    QCOMPARE(int(outcome.problem), problem);

    QCOMPARE(fileBytes(book.bookPath()), before);
    QCOMPARE(usersOf(book.bookPath()), accounts(kFamily));
    QCOMPARE(folderEntries(book.dir()), entries);
    QVERIFY(!QFile::exists(trash.dataHome()));
}

void TestBookMaintenance::damagedBackupLeavesBookAlone_data()
{
    QTest::addColumn<bool>("cutShort");
    QTest::addColumn<bool>("seenByCheck");
    // A backup cut short (a full stick, a broken download): SQLite notices
    // as soon as it reads the schema.
    QTest::newRow("cut short") << true << true;
    // A page of entries overwritten: the schema reads fine, the entries do
    // not, and only the copy's own check finds it.
    QTest::newRow("page overwritten") << false << false;
}

void TestBookMaintenance::damagedBackupLeavesBookAlone()
{
    QFETCH(bool, cutShort);
    QFETCH(bool, seenByCheck);
    TrashHome trash;
    TestBook book(kFamily);
    // Enough entries for the tables to reach well beyond the first pages.
    fillIncome(book, 3000);
    const QString backup = book.path(QStringLiteral("damaged.ovd"));
    QVERIFY(BM::backupBook(book.bookPath(), backup).ok());
    QFile damaged(backup);
    if (cutShort) {
        QVERIFY(damaged.resize(damaged.size() / 2));
    } else {
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        QVERIFY(damaged.seek(damaged.size() - 8192));
        damaged.write(QByteArray(4096, '\xff'));
        damaged.close();
    }
    QCOMPARE(BM::checkReplacement(book.bookPath(), backup).problem,
             seenByCheck ? BM::Problem::Damaged : BM::Problem::None);
    book.exec(QStringLiteral("INSERT INTO \"USER\" VALUES ('奶奶', '1234')"));
    const QList<UserAccount> present = usersOf(book.bookPath());
    const QByteArray before = fileBytes(book.bookPath());

    const BM::Outcome outcome = BM::replaceBook(book.dir(), backup);
    QCOMPARE(outcome.problem, BM::Problem::Damaged);

    QCOMPARE(fileBytes(book.bookPath()), before);
    QCOMPARE(usersOf(book.bookPath()), present);
    QVERIFY(!QFile::exists(book.path(QStringLiteral("userTemp.dat"))));
    QCOMPARE(folderEntries(book.dir()),
             (QStringList{QStringLiteral("Orvendal.ovd"), QStringLiteral("damaged.ovd"), QStringLiteral("user")}));
    QVERIFY(!QFile::exists(trash.trashFiles()));
}

void TestBookMaintenance::carryFailureLeavesBookAlone()
{
    TrashHome trash;
    TestBook book(kFamily);
    const QString templ = BookFile::templatePath(book.dir());
    QVERIFY(BookSchema::createBook(templ));
    // Something in the way of userTemp.dat.
    QVERIFY(QDir(book.dir()).mkdir(QStringLiteral("userTemp.dat")));
    const QByteArray before = fileBytes(book.bookPath());

    const BM::Outcome outcome = BM::replaceBook(book.dir(), templ);
    QCOMPARE(outcome.problem, BM::Problem::CannotCarryUsers);
    QCOMPARE(fileBytes(book.bookPath()), before);
    QCOMPARE(usersOf(book.bookPath()), accounts(kFamily));
    QCOMPARE(folderEntries(book.dir()), (QStringList{QStringLiteral("NewBook.ovd"), QStringLiteral("Orvendal.ovd"),
                                                     QStringLiteral("user"), QStringLiteral("userTemp.dat")}));
    QVERIFY(QFileInfo(book.path(QStringLiteral("userTemp.dat"))).isDir());
    QVERIFY(!QFile::exists(trash.trashFiles()));
}

void TestBookMaintenance::busyBookIsNotSwapped()
{
    TrashHome trash;
    TestBook book(kFamily);
    const QString templ = BookFile::templatePath(book.dir());
    QVERIFY(BookSchema::createBook(templ));
    // Another connection is half-way through a change of the book.
    BookConnection writer(book.bookPath());
    Transaction tx(writer);
    QVERIFY(writer.change(QStringLiteral("INSERT INTO \"INCOME_ITEMS\" VALUES ('彩票')")));

    const BM::Outcome outcome = BM::replaceBook(book.dir(), templ);
    QCOMPARE(outcome.problem, BM::Problem::BookBusy);
    QVERIFY(tx.commit());
    QCOMPARE(book.rows(QStringLiteral("INCOME_ITEMS")).last().first(), QStringLiteral("彩票"));
    QCOMPARE(usersOf(book.bookPath()), accounts(kFamily));
    QVERIFY(!QFile::exists(book.path(QStringLiteral("userTemp.dat"))));
    QCOMPARE(folderEntries(book.dir()),
             (QStringList{QStringLiteral("NewBook.ovd"), QStringLiteral("Orvendal.ovd"), QStringLiteral("user")}));
}

void TestBookMaintenance::readOnlyFolderLeavesBookAlone()
{
    if (::geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");
    TrashHome trash;
    TestBook book(kFamily);
    const QString templ = book.path(QStringLiteral("user/NewBook.ovd"));
    QVERIFY(BookSchema::createBook(templ));
    const QByteArray before = fileBytes(book.bookPath());
    QVERIFY(QFile::setPermissions(book.dir(), QFile::ReadOwner | QFile::ExeOwner));
    const BM::Outcome outcome = BM::replaceBook(book.dir(), templ);
    QFile::setPermissions(book.dir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(outcome.problem, BM::Problem::CannotCopy);
    QCOMPARE(fileBytes(book.bookPath()), before);
    QCOMPARE(usersOf(book.bookPath()), accounts(kFamily));
    QCOMPARE(folderEntries(book.dir()), (QStringList{QStringLiteral("Orvendal.ovd"), QStringLiteral("user")}));
}

void TestBookMaintenance::withoutTrashOldBookStaysBeside()
{
    TrashHome trash;
    // A data folder that cannot be: a plain file in its place.
    QVERIFY(QDir().mkpath(QFileInfo(trash.dataHome()).absolutePath()));
    {
        QFile blocker(trash.dataHome());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    TestBook book(kFamily);
    book.add(RecordKind::Income, QDate(2009, 1, 1), QStringLiteral("工资"), 1);
    const QString templ = BookFile::templatePath(book.dir());
    QVERIFY(BookSchema::createBook(templ));
    const QByteArray before = fileBytes(book.bookPath());

    const BM::Outcome outcome = BM::replaceBook(book.dir(), templ);
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));
    QVERIFY(!outcome.oldBookInTrash);
    QCOMPARE(QFileInfo(outcome.oldBookPath).absolutePath(), book.dir());
    QVERIFY(QFileInfo(outcome.oldBookPath).fileName().startsWith(QStringLiteral("Orvendal-旧账-")));
    QVERIFY(outcome.oldBookPath.endsWith(QStringLiteral(".ovd")));
    QCOMPARE(fileBytes(outcome.oldBookPath), before);
    QCOMPARE(book.count(QStringLiteral("INCOME")), 0);
    QCOMPARE(usersOf(book.bookPath()), accounts(kFamily));
    // Never a stray Trash in the working directory.
    QVERIFY(!QFile::exists(book.path(QStringLiteral("files"))));
}

void TestBookMaintenance::missingBookIsReported()
{
    TrashHome trash;
    TestBook book(kFamily);
    const QString templ = BookFile::templatePath(book.dir());
    QVERIFY(BookSchema::createBook(templ));
    // The book went missing behind the program's back: its users cannot be
    // carried, so no book takes its place and nothing is left over.
    QVERIFY(QFile::rename(book.bookPath(), book.path(QStringLiteral("elsewhere.ovd"))));
    const BM::Outcome outcome = BM::replaceBook(book.dir(), templ);
    QCOMPARE(outcome.problem, BM::Problem::CannotOpenBook);
    QCOMPARE(folderEntries(book.dir()), (QStringList{QStringLiteral("NewBook.ovd"), QStringLiteral("elsewhere.ovd"),
                                                     QStringLiteral("user")}));
    QCOMPARE(BM::backupBook(book.bookPath(), book.path(QStringLiteral("b.ovd"))).problem, BM::Problem::CannotOpenBook);
    QVERIFY(!QFile::exists(book.path(QStringLiteral("b.ovd"))));
}

QTEST_GUILESS_MAIN(TestBookMaintenance)
#include "tst_bookmaintenance.moc"
