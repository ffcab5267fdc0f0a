// The category tables on a real book in a temp folder: refusals, awkward
// texts, duplicates, and swaps that never scramble the order.

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
    static QList<CategoryRow> Rows(const TestBook &book, RecordKind kind)
    {
        const orv::BookConnection conn(book.location());
        auto rows = CategoryStore::rows(conn, kind);
        if (!rows)
            qFatal("cannot read categories: %s", qPrintable(rows.error().message));
        return *rows;
    }
    static QStringList Names(const TestBook &book, RecordKind kind)
    {
        QStringList names;
        for (const CategoryRow &row : Rows(book, kind))
            names << row.text;
        return names;
    }
    // Replaces a kind's categories by these, in this order.
    static void SetCategories(const TestBook &book, RecordKind kind, const QStringList &names)
    {
        book.exec(QStringLiteral("DELETE FROM \"%1\"").arg(orv::itemsTable(kind)));
        const orv::BookConnection conn(book.location());
        for (const QString &name : names)
            QVERIFY(CategoryStore::add(conn, kind, name).ok());
    }
    static orv::DbStatus Swap(const TestBook &book, RecordKind kind, int a, int b)
    {
        const QList<CategoryRow> rows = Rows(book, kind);
        orv::BookConnection conn(book.location());
        return CategoryStore::swap(conn, kind, rows.at(a), rows.at(b));
    }

    // Rows a rename or delete changed; -1 when it failed.
    static int Changed(const orv::DbResult<int> &result) { return result ? *result : -1; }

private Q_SLOTS:
    void overlongAndBlankNamesAreRefusedNeverCut()
    {
        TestBook book;
        const QStringList before = Names(book, RecordKind::Income);
        const orv::BookConnection conn(book.location());
        for (const QString &name : {QString(128, QChar(0x5DE5)), QStringLiteral("  \t ")}) {
            const orv::DbStatus added = CategoryStore::add(conn, RecordKind::Income, name);
            QCOMPARE(added.error().kind, orv::DbError::Kind::Refused);
            QCOMPARE(CategoryStore::rename(conn, RecordKind::Income, before.first(), name).error().kind,
                     orv::DbError::Kind::Refused);
        }
        QCOMPARE(Names(book, RecordKind::Income), before);
        QVERIFY(CategoryStore::add(conn, RecordKind::Income, QString(127, QChar(0x5DE5))).ok());
    }

    void quotesAndPercentSignsAreKeptExactly()
    {
        TestBook book;
        const QString odd = QStringLiteral("O'Neil's \"红包\" 100% _x_ ');DROP TABLE \"USER\";--");
        const orv::BookConnection conn(book.location());
        QVERIFY(CategoryStore::add(conn, RecordKind::Loan, odd).ok());
        QCOMPARE(Names(book, RecordKind::Loan).last(), odd);
        QCOMPARE(Changed(CategoryStore::rename(conn, RecordKind::Loan, odd, odd + u'\'')), 1);
        QCOMPARE(Names(book, RecordKind::Loan).last(), odd + u'\'');
        QVERIFY(CategoryStore::remove(conn, RecordKind::Loan, odd + u'\'').ok());
        QCOMPARE(Names(book, RecordKind::Loan), orv::BookSchema::defaultCategories(RecordKind::Loan));
        QCOMPARE(book.count(QStringLiteral("USER")), 1);
    }

    void renameAndDeleteActOnEveryRowOfTheText()
    {
        TestBook book;
        SetCategories(book, RecordKind::Payout, {"a", "b", "a", "c"});
        const orv::BookConnection conn(book.location());
        QCOMPARE(Changed(CategoryStore::rename(conn, RecordKind::Payout, QStringLiteral("a"), QStringLiteral("z"))), 2);
        QCOMPARE(Names(book, RecordKind::Payout), (QStringList{"z", "b", "z", "c"}));
        QCOMPARE(Changed(CategoryStore::remove(conn, RecordKind::Payout, QStringLiteral("z"))), 2);
        QCOMPARE(Names(book, RecordKind::Payout), (QStringList{"b", "c"}));
        // A text that is gone meanwhile is reported, never silently skipped.
        QCOMPARE(CategoryStore::rename(conn, RecordKind::Payout, QStringLiteral("z"), QStringLiteral("y")).error().kind,
                 orv::DbError::Kind::Refused);
        QCOMPARE(CategoryStore::remove(conn, RecordKind::Payout, QStringLiteral("z")).error().kind, orv::DbError::Kind::Refused);
    }

    void swapMovesOnlyTheTwoRows()
    {
        TestBook book;
        SetCategories(book, RecordKind::Payout, {"x", "temp", "y", "x"});
        QVERIFY(Swap(book, RecordKind::Payout, 1, 2).ok());
        QCOMPARE(Names(book, RecordKind::Payout), (QStringList{"x", "y", "temp", "x"}));
        // Duplicates: only the row swapped moves, not every row of its text.
        QVERIFY(Swap(book, RecordKind::Payout, 3, 2).ok());
        QCOMPARE(Names(book, RecordKind::Payout), (QStringList{"x", "y", "x", "temp"}));
        QVERIFY(Swap(book, RecordKind::Payout, 0, 1).ok());
        QCOMPARE(Names(book, RecordKind::Payout), (QStringList{"y", "x", "x", "temp"}));
    }

    void aListThatChangedMeanwhileIsNotScrambled()
    {
        TestBook book;
        SetCategories(book, RecordKind::Income, {"a", "b", "c"});
        const QList<CategoryRow> stale = Rows(book, RecordKind::Income);
        orv::BookConnection conn(book.location());
        QVERIFY(CategoryStore::rename(conn, RecordKind::Income, QStringLiteral("b"), QStringLiteral("B")).ok());
        const orv::DbStatus swapped = CategoryStore::swap(conn, RecordKind::Income, stale.at(0), stale.at(1));
        QCOMPARE(swapped.error().kind, orv::DbError::Kind::Refused);
        QCOMPARE(Names(book, RecordKind::Income), (QStringList{"a", "B", "c"}));
    }
};

QTEST_GUILESS_MAIN(TestCategoryStore)
#include "tst_categorystore.moc"
