// The book's figures (counts of each kind and the balance of income minus
// expense), and reading entry rows, on real books.

#include "support/TestBook.h"

#include "records/BookStatus.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/SqliteEntryReader.h"

#include <QTest>

using orv::RecordKind;

class TestBookStatus : public QObject
{
    Q_OBJECT

private:
    static orv::BookStatus StatusOf(const TestBook &book)
    {
        const orv::BookConnection conn(book.bookPath());
        auto status = orv::BookStatus::compute(conn);
        if (!status)
            qFatal("no status: %s", qPrintable(status.error().message));
        return *status;
    }

private Q_SLOTS:
    void emptyBookIsAllZero()
    {
        TestBook book;
        const orv::BookStatus status = StatusOf(book);
        QCOMPARE(status.incomeCountText(), QStringLiteral("0"));
        QCOMPARE(status.payoutCountText(), QStringLiteral("0"));
        QCOMPARE(status.loanCountText(), QStringLiteral("0"));
        QCOMPARE(status.balanceText(), QStringLiteral("0.00"));
    }

    void balanceIsIncomeMinusExpense()
    {
        TestBook book;
        book.add(RecordKind::Income, QDate(2024, 1, 1), QStringLiteral("工资"), 100.10);
        book.add(RecordKind::Income, QDate(2024, 1, 2), QStringLiteral("奖金"), 0.20);
        book.add(RecordKind::Payout, QDate(2024, 1, 3), QStringLiteral("伙食"), 112.80);
        orv::BookStatus status = StatusOf(book);
        QCOMPARE(status.incomeCount, 2);
        QCOMPARE(status.payoutCount, 1);
        QCOMPARE(status.balanceText(), QStringLiteral("-12.50"));

        // A loan is counted, never summed.
        book.add(RecordKind::Loan, QDate(2024, 1, 4), QStringLiteral("借出"), 5000);
        status = StatusOf(book);
        QCOMPARE(status.loanCountText(), QStringLiteral("1"));
        QCOMPARE(status.balanceText(), QStringLiteral("-12.50"));

        // Deleting an income entry lowers its count and the balance by its amount.
        book.exec(QStringLiteral("DELETE FROM \"INCOME\" WHERE \"id\" = 1"));
        status = StatusOf(book);
        QCOMPARE(status.incomeCountText(), QStringLiteral("1"));
        QCOMPARE(status.balanceText(), QStringLiteral("-112.60"));
    }

    void sumsThatCancelShowNoMinusSign()
    {
        TestBook book;
        for (int i = 0; i < 10; ++i)
            book.add(RecordKind::Income, QDate(2024, 1, 1), QStringLiteral("零钱"), 0.1);
        book.add(RecordKind::Payout, QDate(2024, 1, 1), QStringLiteral("零钱"), 1.0);
        QCOMPARE(StatusOf(book).balanceText(), QStringLiteral("0.00"));
    }

    void changesKeepTheFiguresTrue()
    {
        orv::BookStatus status;
        status.applyAdded(RecordKind::Income, 50);
        status.applyAdded(RecordKind::Payout, 20);
        status.applyAdded(RecordKind::Loan, 1000);
        status.applyChanged(RecordKind::Payout, 20, 62.5);
        QCOMPARE(status.balanceText(), QStringLiteral("-12.50"));
        status.applyRemoved(RecordKind::Loan, 1000);
        QCOMPARE(status.loanCountText(), QStringLiteral("0"));
        QCOMPARE(status.payoutCountText(), QStringLiteral("1"));
    }

    void entryRowsReadExactly()
    {
        TestBook book;
        const QString odd[] = {QStringLiteral("O'Brien 的 \"礼物\""), QStringLiteral("100% 满意_好"), QString(),
                               QStringLiteral("emoji 🎉 和 ﹏")};
        for (int i = 0; i < 4; ++i)
            book.add(RecordKind::Payout, QDate(2009, 5, i + 1), odd[i], 10.5 * (i + 1), odd[3 - i],
                     QStringLiteral("妈妈"));
        book.exec(QStringLiteral("UPDATE \"PAYOUT\" SET \"remark\" = NULL WHERE \"id\" = 2"));
        const orv::BookConnection conn(book.bookPath());
        auto list = orv::EntryStore::readAll(conn, RecordKind::Payout);
        QVERIFY(list);
        QCOMPARE(list->size(), 4);
        for (int i = 0; i < 4; ++i) {
            const orv::EntryValues values = list->values(list->at(i));
            QCOMPARE(list->at(i).id, i + 1);
            QCOMPARE(values.date, QDate(2009, 5, i + 1));
            QCOMPARE(values.items, odd[i].isNull() ? QString(QLatin1String("")) : odd[i]);
            QCOMPARE(values.money, 10.5 * (i + 1));
            QCOMPARE(values.remark, i == 1 ? QString(QLatin1String("")) : odd[3 - i]);
            QCOMPARE(values.user, QStringLiteral("妈妈"));
        }
        QCOMPARE(list->cellText(list->at(0), orv::EntryColumn::Date), QStringLiteral("2009年5月1日"));
        QCOMPARE(list->cellText(list->at(3), orv::EntryColumn::Money), QStringLiteral("42.00"));
    }

    void boundValuesSelectTheSameRows()
    {
        TestBook book;
        book.add(RecordKind::Income, QDate(2009, 5, 1), QStringLiteral("工资"), 100, QStringLiteral("五月"));
        book.add(RecordKind::Income, QDate(2009, 5, 31), QStringLiteral("奖金"), 200, QStringLiteral("100%奖"));
        book.add(RecordKind::Income, QDate(2009, 6, 1), QStringLiteral("工资"), 300, QStringLiteral("六月"),
                 QStringLiteral("妈妈"));
        const orv::BookConnection conn(book.bookPath());
        const QString select = orv::EntryStore::selectColumns(RecordKind::Income);
        struct Case
        {
            QString where;
            QVariantList values;
            QList<qint32> ids;
        };
        const Case cases[] = {
            {QStringLiteral(" WHERE \"date\" BETWEEN ? AND ? ORDER BY \"id\""),
             {QDate(2009, 5, 1), QDate(2009, 5, 31)}, {1, 2}},
            {QStringLiteral(" WHERE \"money\" >= ? ORDER BY \"money\" DESC"), {150.0}, {3, 2}},
            {QStringLiteral(" WHERE \"id\" > ? AND \"user\" = ?"), {1, QStringLiteral("妈妈")}, {3}},
            {QStringLiteral(" WHERE \"remark\" LIKE ? ESCAPE '\\'"), {QStringLiteral("%100\\%%")}, {2}},
            {QStringLiteral(" WHERE \"items\" = ?"), {QString()}, {}},
            {QStringLiteral(" WHERE \"id\" = ?"), {qint64(2)}, {2}},
        };
        for (const Case &c : cases) {
            orv::EntryList list;
            auto added = orv::EntryStore::appendSelected(conn, select + c.where, c.values, list);
            QVERIFY2(added, qPrintable(c.where));
            QList<qint32> ids;
            for (const orv::Entry &e : list.entries())
                ids.append(e.id);
            QCOMPARE(ids, c.ids);
            QCOMPARE(*added, qsizetype(c.ids.size()));
        }
        // Appending keeps what the list held.
        orv::EntryList both;
        QVERIFY(orv::EntryStore::appendSelected(conn, select + QStringLiteral(" WHERE \"id\" = 1"), {}, both));
        QVERIFY(orv::EntryStore::appendSelected(conn, select + QStringLiteral(" WHERE \"id\" = 3"), {}, both));
        QCOMPARE(both.size(), 2);
        QCOMPARE(both.values(both.at(1)).remark, QStringLiteral("六月"));
    }

    void aBadStatementIsReported()
    {
        TestBook book;
        const orv::BookConnection conn(book.bookPath());
        orv::EntryList list;
        auto added = orv::EntryStore::appendSelected(conn, QStringLiteral("SELECT * FROM \"NO_SUCH\""), {}, list);
        QVERIFY(!added);
        QCOMPARE(added.error().kind, orv::DbError::Kind::Statement);
        QVERIFY(added.error().message.contains(QStringLiteral("NO_SUCH")));
        QCOMPARE(list.size(), 0);

        // The fast reader declines what it cannot bind; the caller then reads through Qt.
        QVERIFY(!orv::appendEntriesFromSqlite(conn, orv::EntryStore::selectColumns(RecordKind::Income),
                                              {QVariant(QByteArray("x"))}, list));
        auto declined = orv::EntryStore::appendSelected(
            conn, orv::EntryStore::selectColumns(RecordKind::Income) + QStringLiteral(" WHERE \"items\" = ?"),
            {QVariant(QByteArray("x"))}, list);
        QVERIFY(declined);
        QCOMPARE(*declined, 0);
    }
};

QTEST_GUILESS_MAIN(TestBookStatus)
#include "tst_bookstatus.moc"
