// The book store: schema, the open-run-close connection, awkward texts
// through bound parameters, ids, dates, and the book-file check.

#include "records/BookStatus.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "store/BookSchema.h"
#include "store/TextForms.h"
#include "support/TestBook.h"
#include "users/UserStore.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

class TestBookStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void schemaHasSevenTablesWithColumnsInOrder()
    {
        TestBook book;
        const BookConnection conn(book.bookPath());
        QVERIFY(conn.isOpen());
        QVERIFY(BookSchema::isBook(conn));
        for (const QString &table : {QStringLiteral("INCOME"), QStringLiteral("PAYOUT"), QStringLiteral("ON_LOAD")}) {
            auto query = conn.read(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
            QVERIFY(query);
            const QSqlRecord record = query->record();
            QCOMPARE(record.count(), 6);
            QCOMPARE(record.fieldName(0), QStringLiteral("id"));
            QCOMPARE(record.fieldName(1), QStringLiteral("date"));
            QCOMPARE(record.fieldName(2), QStringLiteral("items"));
            QCOMPARE(record.fieldName(3), QStringLiteral("money"));
            QCOMPARE(record.fieldName(4), QStringLiteral("remark"));
            QCOMPARE(record.fieldName(5), QStringLiteral("user"));
        }
        auto users = conn.read(QStringLiteral("SELECT * FROM \"USER\""));
        QVERIFY(users);
        QCOMPARE(users->record().fieldName(0), QStringLiteral("user"));
        QCOMPARE(users->record().fieldName(1), QStringLiteral("code"));
    }

    void newBooksOfferDefaultCategoriesAndTheFourLoanWords()
    {
        TestBook book;
        const auto loans = book.rows(QStringLiteral("ON_LOAD_ITEMS"));
        QCOMPARE(loans.size(), 4);
        QCOMPARE(loans[0][0], QStringLiteral("借出"));
        QCOMPARE(loans[1][0], QStringLiteral("借入"));
        QCOMPARE(loans[2][0], QStringLiteral("还入"));
        QCOMPARE(loans[3][0], QStringLiteral("还出"));
        QVERIFY(book.count(QStringLiteral("INCOME_ITEMS")) > 0);
        QVERIFY(book.count(QStringLiteral("PAYOUT_ITEMS")) > 0);
        QCOMPARE(book.count(QStringLiteral("INCOME")), 0);
    }

    void createBookNeverOverwritesAndLeavesNoHalfBook()
    {
        TestBook book;
        const QByteArray before = book.readFile(QStringLiteral("Orvendal.ovd"));
        QVERIFY(!BookSchema::createBook(book.bookPath()));
        QCOMPARE(book.readFile(QStringLiteral("Orvendal.ovd")), before);
        QVERIFY(!BookSchema::createBook(book.path(QStringLiteral("no/such/folder/x.ovd"))));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("no/such/folder/x.ovd"))));
    }

    void awkwardTextsStoreAndReadBackExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << QStringLiteral("it's 老王's");
        QTest::newRow("percent") << QStringLiteral("100% 满意");
        QTest::newRow("double quote") << QStringLiteral("\"引号\"");
        QTest::newRow("semicolon and drop") << QStringLiteral("a'; DROP TABLE INCOME; --");
        QTest::newRow("underscore backslash") << QStringLiteral("a_b\\c");
        QTest::newRow("empty") << QString();
    }
    void awkwardTextsStoreAndReadBackExactly()
    {
        QFETCH(QString, text);
        TestBook book;
        const qint32 id = book.add(RecordKind::Payout, QDate(2009, 3, 1), text, 5, text, text);
        const BookConnection conn(book.bookPath());
        auto list = EntryStore::readAll(conn, RecordKind::Payout);
        QVERIFY(list);
        QCOMPARE(list->size(), 1);
        const Entry &entry = list->at(0);
        QCOMPARE(entry.id, id);
        QCOMPARE(list->pool().text(entry.items), text.isNull() ? QString(u""_qs) : text);
        QCOMPARE(list->pool().text(entry.remark), text);
        QCOMPARE(list->pool().text(entry.user), text);
        QCOMPARE(book.count(QStringLiteral("INCOME")), 0); // the table survived
        // Never NULL: an empty remark is an empty text, which every query still finds.
        auto nulls = conn.read(QStringLiteral("SELECT COUNT(*) FROM \"PAYOUT\" WHERE \"remark\" IS NULL"));
        QVERIFY(nulls && nulls->next());
        QCOMPARE(nulls->value(0).toInt(), 0);
    }

    void userNamesWithQuotesLogInByBoundParameters()
    {
        TestBook book({{QStringLiteral("O'Brien"), QStringLiteral("p'w")}, {QStringLiteral("妈妈"), QString()}});
        const BookConnection conn(book.bookPath());
        auto names = UserStore::names(conn);
        QVERIFY(names);
        QCOMPARE(*names, (QStringList{QStringLiteral("O'Brien"), QStringLiteral("妈妈")}));
        auto code = UserStore::passwordOf(conn, QStringLiteral("O'Brien"));
        QVERIFY(code && code->has_value());
        QCOMPARE(**code, QStringLiteral("p'w"));
        auto none = UserStore::passwordOf(conn, QStringLiteral("' OR '1'='1"));
        QVERIFY(none);
        QVERIFY(!none->has_value());
    }

    void datesAmountsAndIdsAsTheListShowsThem()
    {
        TestBook book;
        const qint32 first = book.add(RecordKind::Income, QDate(2009, 3, 1), QStringLiteral("工资"), 5);
        const qint32 second = book.add(RecordKind::Income, QDate(2010, 12, 31), QStringLiteral("奖金"), 1234.567);
        const qint32 third = book.add(RecordKind::Income, QDate(2008, 1, 9), QStringLiteral("其他"), 0.1);
        BookConnection conn(book.bookPath());
        QVERIFY(EntryStore::remove(conn, RecordKind::Income, {second}));
        const qint32 fourth = book.add(RecordKind::Income, QDate(2011, 2, 3), QStringLiteral("其他"), 7);
        // Deleted ids are never handed out again: the list shows a gap.
        QVERIFY(fourth > third);
        QVERIFY(fourth != second);

        auto list = EntryStore::readAll(conn, RecordKind::Income);
        QVERIFY(list);
        QCOMPARE(list->size(), 3);
        QCOMPARE(list->cellText(list->at(0), EntryColumn::Id), QString::number(first));
        QCOMPARE(list->cellText(list->at(0), EntryColumn::Date), QStringLiteral("2009年3月1日"));
        QCOMPARE(list->cellText(list->at(0), EntryColumn::Money), QStringLiteral("5.00"));
        QCOMPARE(list->cellText(list->at(1), EntryColumn::Id), QString::number(third));
        QCOMPARE(list->cellText(list->at(2), EntryColumn::Id), QString::number(fourth));

        // The amount is stored as the two decimals it is shown with.
        const qint32 rounded = book.add(RecordKind::Income, QDate(2009, 3, 1), QStringLiteral("x"), 1234.567);
        auto stored = conn.read(QStringLiteral("SELECT \"money\", \"date\" FROM \"INCOME\" WHERE \"id\" = ?"), {rounded});
        QVERIFY(stored && stored->next());
        QCOMPARE(stored->value(0).toDouble(), 1234.57);
        // Stored dates are ISO text, so text order is date order.
        QCOMPARE(stored->value(1).toString(), QStringLiteral("2009-03-01"));
        auto ordered = conn.read(QStringLiteral("SELECT \"date\" FROM \"INCOME\" ORDER BY \"date\""));
        QVERIFY(ordered && ordered->next());
        QCOMPARE(ordered->value(0).toString(), QStringLiteral("2008-01-09"));
    }

    void updateKeepsTheRecordingUser()
    {
        TestBook book;
        const qint32 id = book.add(RecordKind::Loan, QDate(2020, 5, 6), QStringLiteral("借出"), 100, QStringLiteral("小王"),
                                   QStringLiteral("妈妈"));
        const BookConnection conn(book.bookPath());
        QVERIFY(EntryStore::update(conn, RecordKind::Loan, id,
                                   {QDate(2021, 1, 2), QStringLiteral("还入"), 30.456, QStringLiteral("还了"),
                                    QStringLiteral("爸爸")}));
        const auto rows = book.rows(QStringLiteral("ON_LOAD"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][1], QStringLiteral("2021-01-02"));
        QCOMPARE(rows[0][2], QStringLiteral("还入"));
        QCOMPARE(rows[0][3].toDouble(), 30.46);
        QCOMPARE(rows[0][5], QStringLiteral("妈妈"));
    }

    void removeIsAllOrNothing()
    {
        TestBook book;
        const qint32 a = book.add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), 1);
        const qint32 b = book.add(RecordKind::Payout, QDate(2020, 1, 2), QStringLiteral("餐饮"), 2);
        BookConnection conn(book.bookPath());
        QVERIFY(EntryStore::remove(conn, RecordKind::Payout, {a, b}));
        QCOMPARE(book.count(QStringLiteral("PAYOUT")), 0);
    }

    void bookThatCannotBeOpenedIsReportedAsSuch()
    {
        QTemporaryDir dir;
        const BookConnection missing(QDir(dir.path()).filePath(QStringLiteral("Orvendal.ovd")));
        QVERIFY(!missing.isOpen());
        QCOMPARE(missing.openError().kind, DbError::Kind::CannotOpen);
        // The connection never creates the file it was asked to open.
        QVERIFY(!QFile::exists(QDir(dir.path()).filePath(QStringLiteral("Orvendal.ovd"))));
        auto query = missing.read(QStringLiteral("SELECT 1"));
        QVERIFY(!query);
        QCOMPARE(query.error().kind, DbError::Kind::CannotOpen);

        const QString junk = QDir(dir.path()).filePath(QStringLiteral("junk.ovd"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        const BookConnection notABook(junk);
        QVERIFY(!notABook.isOpen());
        QVERIFY(!BookSchema::isBookFile(junk));
    }

    void statementTheEngineRejectsCarriesItsMessage()
    {
        TestBook book;
        const BookConnection conn(book.bookPath());
        auto query = conn.read(QStringLiteral("SELECT * FROM \"NO_SUCH_TABLE\""));
        QVERIFY(!query);
        QCOMPARE(query.error().kind, DbError::Kind::Statement);
        QVERIFY(query.error().message.contains(QStringLiteral("NO_SUCH_TABLE")));
    }

    void bookStatusCountsAndBalance()
    {
        TestBook book;
        const BookConnection conn(book.bookPath());
        auto empty = BookStatus::compute(conn);
        QVERIFY(empty);
        QCOMPARE(empty->incomeCountText(), QStringLiteral("0"));
        QCOMPARE(empty->balanceText(), QStringLiteral("0.00"));
        book.add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 10);
        book.add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), 22.5);
        book.add(RecordKind::Loan, QDate(2020, 1, 1), QStringLiteral("借出"), 1000);
        auto status = BookStatus::compute(conn);
        QVERIFY(status);
        QCOMPARE(status->incomeCount, 1);
        QCOMPARE(status->payoutCount, 1);
        QCOMPARE(status->loanCount, 1);
        QCOMPARE(status->balanceText(), QStringLiteral("-12.50"));
    }
};

class TestBookFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bookFoundWhereItIs()
    {
        TestBook book;
        QCOMPARE(BookFile::ensureBook(book.dir()), BookFile::CheckResult::Found);
    }

    void firstStartWithOnlyDataOvdRenamesIt()
    {
        QTemporaryDir dir;
        const QString data = QDir(dir.path()).filePath(QStringLiteral("Data.ovd"));
        QVERIFY(BookSchema::createBook(data));
        QCOMPARE(BookFile::ensureBook(dir.path()), BookFile::CheckResult::Renamed);
        QVERIFY(!QFile::exists(data));
        QVERIFY(BookSchema::isBookFile(BookFile::bookPath(dir.path())));
        QCOMPARE(BookFile::ensureBook(dir.path()), BookFile::CheckResult::Found);
    }

    void bothPresentUsesOrvendalAndLeavesDataAlone()
    {
        TestBook book;
        book.writeFile(QStringLiteral("Data.ovd"), "other");
        QCOMPARE(BookFile::ensureBook(book.dir()), BookFile::CheckResult::Found);
        QCOMPARE(book.readFile(QStringLiteral("Data.ovd")), QByteArray("other"));
    }

    void noBookAtAllIsMissing()
    {
        QTemporaryDir dir;
        QCOMPARE(BookFile::ensureBook(dir.path()), BookFile::CheckResult::Missing);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    void unreadableBookIsNeverReplacedByDataOvd()
    {
        QTemporaryDir dir;
        // A folder where the book should be: it cannot be opened for reading.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Orvendal.ovd")));
        QFile data(QDir(dir.path()).filePath(QStringLiteral("Data.ovd")));
        QVERIFY(data.open(QIODevice::WriteOnly));
        data.close();
        QCOMPARE(BookFile::ensureBook(dir.path()), BookFile::CheckResult::Missing);
        QVERIFY(QFile::exists(data.fileName()));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        TestBookStore store;
        status |= QTest::qExec(&store, argc, argv);
    }
    {
        TestBookFile file;
        status |= QTest::qExec(&file, argc, argv);
    }
    return status;
}

#include "tst_bookstore.moc"
