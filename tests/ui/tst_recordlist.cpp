// The record list: whole-table fills in id order, sorting by a header click
// with its one shared direction, the sort orders a Chinese family expects,
// query results that keep their summary rows, and row colours.

#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"

#include <QHeaderView>
#include <QTest>

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
        const CRecordListCtrl &list = RecordList();
        for (int row = 0; row < list.GetItemCount(); ++row)
            texts.append(list.GetItemText(row, column));
        return texts;
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
        g_nPayoutHeaderRow = 0;
    }

    void fillShowsTheTableInIdOrderWithGaps()
    {
        for (int i = 1; i <= 5; ++i)
            m_book->add(RecordKind::Income, QDate(2024, 1, 6 - i), QStringLiteral("工资"), 100.0 * i + 0.5,
                        QStringLiteral("第%1笔").arg(i));
        m_book->exec(QStringLiteral("DELETE FROM \"INCOME\" WHERE \"id\" IN (2, 4)"));
        CLedgerDlg &dlg = Window();
        dlg.SwitchToIncome();
        QCOMPARE(Column(0), (QStringList{"1", "3", "5"}));
        QCOMPARE(Column(1), (QStringList{"2024年1月5日", "2024年1月3日", "2024年1月1日"}));
        QCOMPARE(Column(3), (QStringList{"100.50", "300.50", "500.50"}));
        QCOMPARE(Column(4), (QStringList{"第1笔", "第3笔", "第5笔"}));
        QCOMPARE(Column(5), (QStringList{"爸爸", "爸爸", "爸爸"}));

        // Each kind fills from its own table.
        m_book->add(RecordKind::Loan, QDate(2009, 5, 1), QStringLiteral("借出"), 2000, QStringLiteral("借给小王"));
        dlg.SwitchToLoan();
        QCOMPARE(RecordList().GetItemCount(), 1);
        QCOMPARE(RecordList().GetItemText(0, 1), QStringLiteral("2009年5月1日"));
        QCOMPARE(RecordList().GetItemText(0, 2), QStringLiteral("借出"));
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
        QVERIFY(RecordList().m_bAscending);
        ClickHeader(1);
        QCOMPARE(Column(0), (QStringList{"1", "3", "2"}));
        // After "日期" twice, "金额（元）" sorts ascending: the direction is
        // shared, not kept per column.
        ClickHeader(3);
        QCOMPARE(Column(3), (QStringList{"10.00", "20.00", "30.00"}));
        ClickHeader(3);
        QCOMPARE(Column(3), (QStringList{"30.00", "20.00", "10.00"}));

        // "序号" only flips the direction and reloads nothing.
        const bool before = RecordList().m_bAscending;
        ClickHeader(0);
        QCOMPARE(RecordList().m_bAscending, !before);
        QCOMPARE(Column(3), (QStringList{"30.00", "20.00", "10.00"}));
        // ... so the next click sorts the other way than it would have.
        ClickHeader(1);
        QCOMPARE(RecordList().m_bAscending, before);
        QCOMPARE(Column(1), (QStringList{"2024年3月1日", "2024年2月1日", "2024年1月1日"}));
    }

    void firstDateThenAmountGivesDescendingAmounts()
    {
        m_book->add(RecordKind::Income, QDate(2024, 3, 1), QStringLiteral("工资"), 5);
        m_book->add(RecordKind::Income, QDate(2024, 1, 1), QStringLiteral("工资"), 50);
        m_book->add(RecordKind::Income, QDate(2024, 2, 1), QStringLiteral("工资"), 500);
        Window().SwitchToIncome();
        ClickHeader(1);
        ClickHeader(3);
        QCOMPARE(Column(3), (QStringList{"500.00", "50.00", "5.00"}));
    }

    void textsSortByPinyin()
    {
        const QString items[] = {QStringLiteral("利息"), QStringLiteral("工资"), QStringLiteral("奖金"),
                                 QStringLiteral("兼职"), QStringLiteral("阿姨给的")};
        const QString users[] = {QStringLiteral("妈妈"), QStringLiteral("爷爷"), QStringLiteral("爸爸"),
                                 QStringLiteral("奶奶"), QStringLiteral("妈妈")};
        for (int i = 0; i < 5; ++i)
            m_book->add(RecordKind::Income, QDate(2024, 1, 1), items[i], 1, items[4 - i], users[i]);
        Window().SwitchToIncome();
        ClickHeader(2);
        QCOMPARE(Column(2), (QStringList{"阿姨给的", "工资", "兼职", "奖金", "利息"}));
        ClickHeader(2);
        QCOMPARE(Column(2), (QStringList{"利息", "奖金", "兼职", "工资", "阿姨给的"}));
        ClickHeader(4);
        QCOMPARE(Column(4), (QStringList{"阿姨给的", "工资", "兼职", "奖金", "利息"}));
        ClickHeader(5);
        QCOMPARE(Column(5), (QStringList{"爷爷", "奶奶", "妈妈", "妈妈", "爸爸"}));
        // Equal names keep their entries in id order.
        QCOMPARE(Column(0).mid(2, 2), (QStringList{"1", "5"}));
    }

    void datesSortAsDatesAndAmountsAsNumbers()
    {
        m_book->add(RecordKind::Income, QDate(2024, 10, 1), QStringLiteral("工资"), 100);
        m_book->add(RecordKind::Income, QDate(2024, 2, 1), QStringLiteral("工资"), 9.5);
        m_book->add(RecordKind::Income, QDate(2023, 12, 31), QStringLiteral("工资"), 10);
        m_book->add(RecordKind::Income, QDate(2024, 2, 10), QStringLiteral("工资"), 1000.25);
        Window().SwitchToIncome();
        ClickHeader(1);
        QCOMPARE(Column(1), (QStringList{"2023年12月31日", "2024年2月1日", "2024年2月10日", "2024年10月1日"}));
        ClickHeader(0);
        ClickHeader(3);
        QCOMPARE(Column(3), (QStringList{"9.50", "10.00", "100.00", "1000.25"}));
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
        ClickHeader(1);
        dlg.SwitchToStart();
        dlg.SwitchToLoan();
        QCOMPARE(Column(0), (QStringList{"1", "2", "3", "4"}));
    }

    void queryResultsSortWithinTheirBlocks()
    {
        m_book->add(RecordKind::Income, QDate(2024, 1, 1), QStringLiteral("工资"), 300);
        m_book->add(RecordKind::Income, QDate(2024, 1, 2), QStringLiteral("奖金"), 100);
        m_book->add(RecordKind::Payout, QDate(2024, 1, 3), QStringLiteral("伙食"), 20);
        m_book->add(RecordKind::Payout, QDate(2024, 1, 4), QStringLiteral("交通"), 50);
        m_book->add(RecordKind::Payout, QDate(2024, 1, 5), QStringLiteral("娱乐"), 5);
        CLedgerDlg &dlg = Window();
        dlg.SwitchToQuery();

        // The rows a combined query writes: balance, income heading, income
        // entries, expense heading (coloured), expense entries.
        CRecordListCtrl &list = RecordList();
        CRecordListModel &model = list.Model();
        const orv::BookConnection conn(m_book->bookPath());
        model.Clear(); // a query result replaces the overview
        model.AppendFixedRow({QStringLiteral("余额"), {}, {}, QStringLiteral("325.00")});
        model.AppendFixedRow({QStringLiteral("收入记录"), {}, {}, QStringLiteral("400.00")});
        qsizetype from = model.Entries().size();
        QVERIFY(orv::EntryStore::appendSelected(conn, orv::EntryStore::selectColumns(RecordKind::Income), {},
                                                model.Entries()));
        model.AppendEntryRows(from);
        g_nPayoutHeaderRow = model.AppendFixedRow({QStringLiteral("支出记录"), {}, {}, QStringLiteral("75.00")});
        list.SetRowColor(g_nPayoutHeaderRow, QColor(255, 255, 0));
        from = model.Entries().size();
        QVERIFY(orv::EntryStore::appendSelected(conn, orv::EntryStore::selectColumns(RecordKind::Payout), {},
                                                model.Entries()));
        model.AppendEntryRows(from);
        QCOMPARE(g_nPayoutHeaderRow, 4);

        ClickHeader(3);
        QCOMPARE(Column(0), (QStringList{"余额", "收入记录", "", "", "支出记录", "", "", ""}));
        QCOMPARE(Column(3), (QStringList{"325.00", "400.00", "100.00", "300.00", "75.00", "5.00", "20.00", "50.00"}));
        ClickHeader(2);
        QCOMPARE(Column(2), (QStringList{"", "", "奖金", "工资", "", "娱乐", "交通", "伙食"}));
        // Column 0 of a query list: only the direction flips.
        ClickHeader(0);
        QCOMPARE(Column(2), (QStringList{"", "", "奖金", "工资", "", "娱乐", "交通", "伙食"}));
        QCOMPARE(model.data(model.index(4, 0), Qt::ForegroundRole).value<QColor>(), QColor(255, 255, 0));
        QCOMPARE(list.GetItemText(4, 0), QStringLiteral("支出记录"));
    }

    void headerClickOutsideAListModuleDoesNothing()
    {
        Window();
        g_nModule = 0;
        const bool before = RecordList().m_bAscending;
        RecordList().OnColumnClick(1);
        RecordList().OnColumnClick(0);
        QCOMPARE(RecordList().m_bAscending, before);
    }

    void rowColoursColourWholeRows()
    {
        for (int i = 1; i <= 3; ++i)
            m_book->add(RecordKind::Income, QDate(2024, 1, i), QStringLiteral("工资"), i);
        Window().SwitchToIncome();
        CRecordListCtrl &list = RecordList();
        const CRecordListModel &model = list.Model();
        QVERIFY(!model.data(model.index(2, 1), Qt::ForegroundRole).isValid());
        list.SetRowColor(2, QColor(200, 0, 0));
        for (int c = 0; c < 6; ++c)
            QCOMPARE(model.data(model.index(2, c), Qt::ForegroundRole).value<QColor>(), QColor(200, 0, 0));
        QVERIFY(!model.data(model.index(1, 1), Qt::ForegroundRole).isValid() ||
                model.data(model.index(1, 1), Qt::ForegroundRole).value<QColor>() == QColor(0, 0, 0));
        list.SetRowColor(2, QColor(0, 0, 0));
        QCOMPARE(model.data(model.index(2, 3), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
    }

    void selectionMarkIsTheRowLastClicked()
    {
        for (int i = 1; i <= 3; ++i)
            m_book->add(RecordKind::Income, QDate(2024, 1, i), QStringLiteral("工资"), i);
        Window().SwitchToIncome();
        CRecordListCtrl &list = RecordList();
        QCOMPARE(list.GetSelectionMark(), -1);
        QCOMPARE(list.GetSelectedRows(), QList<int>());
        CRecordListView *view = list.Window();
        const QPoint row0 = view->visualRect(list.Model().index(0, 1)).center();
        const QPoint row2 = view->visualRect(list.Model().index(2, 1)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row2);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, row0);
        QCOMPARE(list.GetSelectionMark(), 0);
        QCOMPARE(list.GetSelectedRows(), (QList<int>{0, 2}));
        // The selection shows as strongly when another window has the focus.
        QCOMPARE(view->palette().color(QPalette::Inactive, QPalette::Highlight),
                 view->palette().color(QPalette::Active, QPalette::Highlight));
    }
};

QTEST_MAIN(TestRecordList)
#include "tst_recordlist.moc"
