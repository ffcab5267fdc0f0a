// The record list: whole-table fills in id order, and sorting by a header
// click with its one shared direction, each column by its own kind of order.

#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"

#include <QHeaderView>
#include <QTest>

#include <algorithm>
#include <memory>

using orv::RecordKind;

class TestRecordList : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<CLedgerDlg> m_dlg;
    ScriptedPrompter m_prompter;

    CLedgerDlg &Window()
    {
        m_book->directLogin(QStringLiteral("爸爸"));
        m_dlg = std::make_unique<CLedgerDlg>();
        m_dlg->show();
        if (!QTest::qWaitForWindowExposed(m_dlg.get()))
            qWarning("main window not exposed");
        return *m_dlg;
    }

    static QStringList Column(int column)
    {
        QStringList texts;
        for (int row = 0; row < RecordList().GetItemCount(); ++row)
            texts.append(RecordList().GetItemText(row, column));
        return texts;
    }

    static QStringList Rows()
    {
        QStringList rows;
        for (int row = 0; row < RecordList().GetItemCount(); ++row) {
            QStringList cells;
            for (int c = 0; c < 6; ++c)
                cells.append(RecordList().GetItemText(row, c));
            rows.append(cells.join(u'|'));
        }
        return rows;
    }

    // A click on a column header, where the user would click.
    static void ClickHeader(int column)
    {
        QHeaderView *header = RecordList().Window()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 8, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>();
        RecordList().m_bAscending = false; // as after start-up
    }

    void cleanup()
    {
        m_dlg.reset();
        m_book.reset();
    }

    void fillShowsTheTableInIdOrderWithGaps()
    {
        for (int i = 1; i <= 5; ++i)
            m_book->add(RecordKind::Income, QDate(2024, 1, 6 - i), QStringLiteral("工资"), 100.0 * i + 0.5,
                        QStringLiteral("第%1笔").arg(i));
        m_book->exec(QStringLiteral("DELETE FROM \"INCOME\" WHERE \"id\" IN (2, 4)"));
        m_book->add(RecordKind::Loan, QDate(2009, 5, 1), QStringLiteral("借出"), 2000, QStringLiteral("借给小王"));
        CLedgerDlg &dlg = Window();
        dlg.SwitchToIncome();
        QCOMPARE(Rows(), (QStringList{"1|2024年1月5日|工资|100.50|第1笔|爸爸", "3|2024年1月3日|工资|300.50|第3笔|爸爸",
                                      "5|2024年1月1日|工资|500.50|第5笔|爸爸"}));
        // Each kind fills from its own table.
        dlg.SwitchToLoan();
        QCOMPARE(Rows(), QStringList{"1|2009年5月1日|借出|2000.00|借给小王|爸爸"});
        dlg.SwitchToPayout();
        QCOMPARE(RecordList().GetItemCount(), 0);
    }

    void headerClicksShareOneDirection()
    {
        m_book->add(RecordKind::Payout, QDate(2024, 3, 1), QStringLiteral("伙食"), 30);
        m_book->add(RecordKind::Payout, QDate(2024, 1, 1), QStringLiteral("交通"), 10);
        m_book->add(RecordKind::Payout, QDate(2024, 2, 1), QStringLiteral("娱乐"), 20);
        CLedgerDlg &dlg = Window();
        dlg.SwitchToPayout();

        ClickHeader(1);
        QCOMPARE(Column(0), (QStringList{"2", "3", "1"}));
        ClickHeader(1);
        QCOMPARE(Column(0), (QStringList{"1", "3", "2"}));
        // After "日期" twice, "金额（元）" sorts ascending: the direction is
        // shared, not kept per column.
        ClickHeader(3);
        QCOMPARE(Column(3), (QStringList{"10.00", "20.00", "30.00"}));
        // "序号" only flips the direction and reorders nothing ...
        ClickHeader(0);
        QCOMPARE(Column(3), (QStringList{"10.00", "20.00", "30.00"}));
        // ... so the next click sorts the same way again.
        ClickHeader(1);
        QCOMPARE(Column(1), (QStringList{"2024年1月1日", "2024年2月1日", "2024年3月1日"}));

        // Away from the lists a click changes nothing.
        dlg.SwitchToStart();
        const bool before = RecordList().m_bAscending;
        RecordList().OnColumnClick(1);
        QCOMPARE(RecordList().m_bAscending, before);
    }

    void eachColumnSortsByItsKind_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascending");
        QTest::newRow("dates as dates") << 1 << QStringList{"2023年12月31日", "2024年2月1日", "2024年2月10日", "2024年10月1日"};
        QTest::newRow("categories by pinyin") << 2 << QStringList{"阿姨给的", "工资", "奖金", "利息"};
        QTest::newRow("amounts as numbers") << 3 << QStringList{"9.50", "10.00", "100.00", "1000.25"};
        QTest::newRow("remarks by pinyin") << 4 << QStringList{"阿姨给的", "工资", "兼职", "利息"};
        QTest::newRow("users by pinyin") << 5 << QStringList{"爸爸", "妈妈", "奶奶", "爷爷"};
    }

    void eachColumnSortsByItsKind()
    {
        QFETCH(int, column);
        QFETCH(QStringList, ascending);
        m_book->add(RecordKind::Income, QDate(2024, 10, 1), QStringLiteral("利息"), 100, QStringLiteral("阿姨给的"),
                    QStringLiteral("妈妈"));
        m_book->add(RecordKind::Income, QDate(2024, 2, 1), QStringLiteral("工资"), 9.5, QStringLiteral("兼职"),
                    QStringLiteral("爷爷"));
        m_book->add(RecordKind::Income, QDate(2023, 12, 31), QStringLiteral("奖金"), 10, QStringLiteral("工资"));
        m_book->add(RecordKind::Income, QDate(2024, 2, 10), QStringLiteral("阿姨给的"), 1000.25, QStringLiteral("利息"),
                    QStringLiteral("奶奶"));
        Window().SwitchToIncome();
        ClickHeader(column);
        QCOMPARE(Column(column), ascending);
        ClickHeader(column);
        std::reverse(ascending.begin(), ascending.end());
        QCOMPARE(Column(column), ascending);
    }

    void aFreshFillReturnsToIdOrder()
    {
        for (int i = 1; i <= 4; ++i)
            m_book->add(RecordKind::Loan, QDate(2024, 1, i), QStringLiteral("借出"), 10 * i);
        CLedgerDlg &dlg = Window();
        dlg.SwitchToLoan();
        ClickHeader(3);
        ClickHeader(3);
        QCOMPARE(Column(0), (QStringList{"4", "3", "2", "1"}));
        dlg.FillLoanList();
        QCOMPARE(Column(0), (QStringList{"1", "2", "3", "4"}));
        ClickHeader(3);
        dlg.SwitchToStart();
        dlg.SwitchToLoan();
        QCOMPARE(Column(0), (QStringList{"1", "2", "3", "4"}));
    }
};

QTEST_MAIN(TestRecordList)
#include "tst_recordlist.moc"
