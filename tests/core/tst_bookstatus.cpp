// The book's figures (counts of each kind and the balance of income minus
// expense), and the engine's own words when a statement fails.

#include "support/TestBook.h"

#include "records/BookStatus.h"
#include "store/BookConnection.h"

#include <QTest>

using orv::RecordKind;

class TestBookStatus : public QObject
{
    Q_OBJECT

private:
    static orv::BookStatus StatusOf(const TestBook &book)
    {
        const orv::BookConnection conn(book.location());
        auto status = orv::BookStatus::compute(conn);
        if (!status)
            qFatal("no status: %s", qPrintable(status.error().message));
        return *status;
    }
    static QStringList Texts(const orv::BookStatus &status)
    {
        return {status.incomeCountText(), status.payoutCountText(), status.loanCountText(), status.balanceText()};
    }

private Q_SLOTS:
    void figuresOfTheBook()
    {
        TestBook book;
        QCOMPARE(Texts(StatusOf(book)), (QStringList{"0", "0", "0", "0.00"}));

        book.add(RecordKind::Income, QDate(2024, 1, 1), QStringLiteral("工资"), 100.10);
        book.add(RecordKind::Income, QDate(2024, 1, 2), QStringLiteral("奖金"), 0.20);
        book.add(RecordKind::Payout, QDate(2024, 1, 3), QStringLiteral("伙食"), 112.80);
        // A loan is counted, never summed.
        book.add(RecordKind::Loan, QDate(2024, 1, 4), QStringLiteral("借出"), 5000);
        orv::BookStatus status = StatusOf(book);
        QCOMPARE(Texts(status), (QStringList{"2", "1", "1", "-12.50"}));

        // The figures follow the changes the window makes without reading the book again.
        status.applyDelta(RecordKind::Income, 1, orv::fenOf(50));
        status.applyDelta(RecordKind::Payout, 0, orv::fenOf(62.5) - orv::fenOf(112.80));
        status.applyDelta(RecordKind::Loan, -1, -orv::fenOf(5000));
        QCOMPARE(Texts(status), (QStringList{"3", "1", "0", "87.80"}));
    }

    void aBadStatementIsReportedWithTheEnginesText()
    {
        TestBook book;
        const orv::BookConnection conn(book.location());
        auto query = conn.read(QStringLiteral("SELECT * FROM \"NO_SUCH\""));
        QVERIFY(!query);
        QCOMPARE(query.error().kind, orv::DbError::Kind::Statement);
        QVERIFY(query.error().message.contains(QStringLiteral("NO_SUCH")));
    }
};

QTEST_GUILESS_MAIN(TestBookStatus)
#include "tst_bookstatus.moc"
