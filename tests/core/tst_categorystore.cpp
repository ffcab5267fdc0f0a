// The category tables: table order, add, rename, delete and the swap of two
// neighbours, on a real book in a temp folder.

#include "items/CategoryStore.h"
#include "store/BookConnection.h"
#include "store/BookSchema.h"
#include "support/TestBook.h"

#include <QTest>

using orv::CategoryRow;
using orv::RecordKind;
namespace CategoryStore = orv::CategoryStore;

class TestCategoryStore : public QObject
{
    Q_OBJECT

private:
    static QStringList Names(const TestBook &book, RecordKind kind)
    {
        const orv::BookConnection conn(book.bookPath());
        auto names = CategoryStore::names(conn, kind);
        if (!names)
            qFatal("cannot read categories: %s", qPrintable(names.error().message));
        return *names;
    }
    static QList<CategoryRow> Rows(const TestBook &book, RecordKind kind)
    {
        const orv::BookConnection conn(book.bookPath());
        auto rows = CategoryStore::rows(conn, kind);
        if (!rows)
            qFatal("cannot read categories: %s", qPrintable(rows.error().message));
        return *rows;
    }
    // Replaces a kind's categories by these, in this order.
    static void SetCategories(const TestBook &book, RecordKind kind, const QStringList &names)
    {
        book.exec(QStringLiteral("DELETE FROM \"%1\"").arg(orv::itemsTable(kind)));
        const orv::BookConnection conn(book.bookPath());
        for (const QString &name : names)
            QVERIFY(CategoryStore::add(conn, kind, name).ok());
    }
    static orv::DbStatus Swap(const TestBook &book, RecordKind kind, int a, int b)
    {
        const QList<CategoryRow> rows = Rows(book, kind);
        orv::BookConnection conn(book.bookPath());
        return CategoryStore::swap(conn, kind, rows.at(a), rows.at(b));
    }

private Q_SLOTS:
    void readsEachKindInTableOrder()
    {
        TestBook book;
        for (RecordKind kind : orv::kAllKinds)
            QCOMPARE(Names(book, kind), orv::BookSchema::defaultCategories(kind));
    }

    void addAppendsAndAllowsDuplicates()
    {
        TestBook book;
        SetCategories(book, RecordKind::Payout, {QStringLiteral("餐饮"), QStringLiteral("交通")});
        const orv::BookConnection conn(book.bookPath());
        QVERIFY(CategoryStore::add(conn, RecordKind::Payout, QStringLiteral("书报")).ok());
        QVERIFY(CategoryStore::add(conn, RecordKind::Payout, QStringLiteral("书报")).ok());
        QCOMPARE(Names(book, RecordKind::Payout),
                 (QStringList{QStringLiteral("餐饮"), QStringLiteral("交通"), QStringLiteral("书报"), QStringLiteral("书报")}));
        // The other kinds are untouched.
        QCOMPARE(Names(book, RecordKind::Income), orv::BookSchema::defaultCategories(RecordKind::Income));
    }

    void addAfterDeletingTheLastStillGoesToTheEnd()
    {
        TestBook book;
        SetCategories(book, RecordKind::Income, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        const orv::BookConnection conn(book.bookPath());
        QVERIFY(CategoryStore::remove(conn, RecordKind::Income, QStringLiteral("a")).ok());
        QVERIFY(CategoryStore::remove(conn, RecordKind::Income, QStringLiteral("c")).ok());
        QVERIFY(CategoryStore::add(conn, RecordKind::Income, QStringLiteral("d")).ok());
        QVERIFY(CategoryStore::add(conn, RecordKind::Income, QStringLiteral("a")).ok());
        QCOMPARE(Names(book, RecordKind::Income), (QStringList{QStringLiteral("b"), QStringLiteral("d"), QStringLiteral("a")}));
    }

    void refusesEmptyAndOverlongNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QString() << false << QStringLiteral("名目不能为空!");
        QTest::newRow("blanks") << QStringLiteral("  \t ") << false << QStringLiteral("名目不能为空!");
        QTest::newRow("127 hanzi") << QString(127, QChar(0x5DE5)) << true << QString();
        QTest::newRow("128 hanzi") << QString(128, QChar(0x5DE5)) << false << QStringLiteral("名目太长了");
        QTest::newRow("255 letters") << QString(255, u'x') << true << QString();
        QTest::newRow("256 letters") << QString(256, u'x') << false << QStringLiteral("名目太长了");
    }
    void refusesEmptyAndOverlongNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QFETCH(QString, message);
        TestBook book;
        const QStringList before = Names(book, RecordKind::Income);
        const orv::BookConnection conn(book.bookPath());
        const orv::DbStatus added = CategoryStore::add(conn, RecordKind::Income, name);
        QCOMPARE(added.ok(), accepted);
        if (accepted) {
            QCOMPARE(Names(book, RecordKind::Income), before + QStringList{name});
            return;
        }
        QCOMPARE(added.error().kind, orv::DbError::Kind::Refused);
        QVERIFY2(added.error().message.startsWith(message), qPrintable(added.error().message));
        QCOMPARE(Names(book, RecordKind::Income), before);
        // A rename to such a name is refused the same way, never cut short.
        auto renamed = CategoryStore::rename(conn, RecordKind::Income, before.first(), name);
        QVERIFY(!renamed.ok());
        QCOMPARE(Names(book, RecordKind::Income), before);
    }

    void quotesAndPercentSignsAreKeptExactly()
    {
        TestBook book;
        const QString odd = QStringLiteral("O'Neil's \"红包\" 100% _x_ ');DROP TABLE \"USER\";--");
        const orv::BookConnection conn(book.bookPath());
        QVERIFY(CategoryStore::add(conn, RecordKind::Loan, odd).ok());
        QCOMPARE(Names(book, RecordKind::Loan).last(), odd);
        const QString renamed = odd + QStringLiteral("'");
        auto changed = CategoryStore::rename(conn, RecordKind::Loan, odd, renamed);
        QVERIFY(changed.ok());
        QCOMPARE(*changed, 1);
        QCOMPARE(Names(book, RecordKind::Loan).last(), renamed);
        QVERIFY(CategoryStore::remove(conn, RecordKind::Loan, renamed).ok());
        QCOMPARE(Names(book, RecordKind::Loan), orv::BookSchema::defaultCategories(RecordKind::Loan));
        QCOMPARE(book.count(QStringLiteral("USER")), 1);
    }

    void renameKeepsThePlaceAndLeavesEntriesAlone()
    {
        TestBook book;
        SetCategories(book, RecordKind::Income, {QStringLiteral("X"), QStringLiteral("Y")});
        book.add(RecordKind::Income, QDate(2009, 3, 7), QStringLiteral("X"), 12.5);
        const orv::BookConnection conn(book.bookPath());
        auto changed = CategoryStore::rename(conn, RecordKind::Income, QStringLiteral("X"), QStringLiteral("W"));
        QVERIFY(changed.ok());
        QCOMPARE(Names(book, RecordKind::Income), (QStringList{QStringLiteral("W"), QStringLiteral("Y")}));
        QCOMPARE(book.rows(QStringLiteral("INCOME")).first().at(2), QStringLiteral("X"));
    }

    void renameAndDeleteActOnEveryRowOfTheText()
    {
        TestBook book;
        SetCategories(book, RecordKind::Payout,
                      {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")});
        const orv::BookConnection conn(book.bookPath());
        auto renamed = CategoryStore::rename(conn, RecordKind::Payout, QStringLiteral("a"), QStringLiteral("z"));
        QVERIFY(renamed.ok());
        QCOMPARE(*renamed, 2);
        QCOMPARE(Names(book, RecordKind::Payout),
                 (QStringList{QStringLiteral("z"), QStringLiteral("b"), QStringLiteral("z"), QStringLiteral("c")}));
        auto removed = CategoryStore::remove(conn, RecordKind::Payout, QStringLiteral("z"));
        QVERIFY(removed.ok());
        QCOMPARE(*removed, 2);
        QCOMPARE(Names(book, RecordKind::Payout), (QStringList{QStringLiteral("b"), QStringLiteral("c")}));
    }

    void aCategoryThatIsGoneIsReportedNotSilentlySkipped()
    {
        TestBook book;
        const orv::BookConnection conn(book.bookPath());
        auto renamed = CategoryStore::rename(conn, RecordKind::Income, QStringLiteral("没有这个"), QStringLiteral("新"));
        QVERIFY(!renamed.ok());
        QCOMPARE(renamed.error().kind, orv::DbError::Kind::Refused);
        auto removed = CategoryStore::remove(conn, RecordKind::Income, QStringLiteral("没有这个"));
        QVERIFY(!removed.ok());
        QCOMPARE(removed.error().kind, orv::DbError::Kind::Refused);
        QCOMPARE(Names(book, RecordKind::Income), orv::BookSchema::defaultCategories(RecordKind::Income));
    }

    void swapExchangesNeighbours()
    {
        TestBook book;
        SetCategories(book, RecordKind::Income, {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
        QVERIFY(Swap(book, RecordKind::Income, 1, 0).ok());
        QCOMPARE(Names(book, RecordKind::Income), (QStringList{QStringLiteral("y"), QStringLiteral("x"), QStringLiteral("z")}));
        QVERIFY(Swap(book, RecordKind::Income, 1, 2).ok());
        QCOMPARE(Names(book, RecordKind::Income), (QStringList{QStringLiteral("y"), QStringLiteral("z"), QStringLiteral("x")}));
        // The rows stay in place; only their texts move.
        const QList<CategoryRow> rows = Rows(book, RecordKind::Income);
        QVERIFY(rows.at(0).rowId < rows.at(1).rowId && rows.at(1).rowId < rows.at(2).rowId);
    }

    void aCategoryNamedTempSurvivesMoves()
    {
        TestBook book;
        SetCategories(book, RecordKind::Payout, {QStringLiteral("餐饮"), QStringLiteral("temp"), QStringLiteral("交通")});
        QVERIFY(Swap(book, RecordKind::Payout, 1, 2).ok());
        QCOMPARE(Names(book, RecordKind::Payout),
                 (QStringList{QStringLiteral("餐饮"), QStringLiteral("交通"), QStringLiteral("temp")}));
        QVERIFY(Swap(book, RecordKind::Payout, 0, 1).ok());
        QCOMPARE(Names(book, RecordKind::Payout),
                 (QStringList{QStringLiteral("交通"), QStringLiteral("餐饮"), QStringLiteral("temp")}));
    }

    void swapOfDuplicatesMovesOnlyTheTwoRows()
    {
        TestBook book;
        SetCategories(book, RecordKind::Loan, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a")});
        QVERIFY(Swap(book, RecordKind::Loan, 1, 0).ok());
        QCOMPARE(Names(book, RecordKind::Loan), (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("a")}));
    }

    void aFailureInTheSecondStepLeavesTheOrderAsItWas()
    {
        TestBook book;
        SetCategories(book, RecordKind::Income, {QStringLiteral("工资"), QStringLiteral("奖金"), QStringLiteral("其他")});
        // The book refuses to change "奖金": the first half of the swap has
        // run by then and must be undone.
        book.exec(QStringLiteral("CREATE TRIGGER \"refuse\" BEFORE UPDATE ON \"INCOME_ITEMS\" "
                                 "WHEN OLD.\"items\" = '奖金' BEGIN SELECT RAISE(ABORT, 'refused by test'); END"));
        const orv::DbStatus swapped = Swap(book, RecordKind::Income, 0, 1);
        QVERIFY(!swapped.ok());
        QCOMPARE(swapped.error().kind, orv::DbError::Kind::Statement);
        QVERIFY(swapped.error().message.contains(QStringLiteral("refused by test")));
        QCOMPARE(Names(book, RecordKind::Income),
                 (QStringList{QStringLiteral("工资"), QStringLiteral("奖金"), QStringLiteral("其他")}));
    }

    void aListThatChangedMeanwhileIsNotScrambled()
    {
        TestBook book;
        SetCategories(book, RecordKind::Income, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        const QList<CategoryRow> stale = Rows(book, RecordKind::Income);
        {
            const orv::BookConnection conn(book.bookPath());
            QVERIFY(CategoryStore::rename(conn, RecordKind::Income, QStringLiteral("b"), QStringLiteral("B")).ok());
        }
        orv::BookConnection conn(book.bookPath());
        const orv::DbStatus swapped = CategoryStore::swap(conn, RecordKind::Income, stale.at(0), stale.at(1));
        QVERIFY(!swapped.ok());
        QCOMPARE(swapped.error().kind, orv::DbError::Kind::Refused);
        QCOMPARE(Names(book, RecordKind::Income), (QStringList{QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("c")}));
    }
};

QTEST_GUILESS_MAIN(TestCategoryStore)
#include "tst_categorystore.moc"
