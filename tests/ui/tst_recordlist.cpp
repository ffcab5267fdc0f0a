// The record list in the main window, on a real book: whole-table fills in
// id order; sorting by a header click with its one shared direction, each
// column by its own kind of order; and the add, modify and delete commands
// with the owner rule, the questions, what the list selects afterwards and
// the book's figures, which must always equal a full count.
#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "records/BookStatus.h"
#include "records/CAddRecordDlg.h"
#include "records/CModifyRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "store/BookConnection.h"
#include "support/ModalGuard.h"
#include "support/ScriptedPrompter.h"
#include "support/ListProbe.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using orv::RecordKind;

namespace {

const QString kDad = QStringLiteral("爸爸");
const QString kMum = QStringLiteral("妈妈");

// Runs trigger(); each modal dialog of type D that comes up meanwhile is
// handed to drive, then closed if drive left it open. Answers how many came.
template <typename D>
int WithModal(const std::function<void()> &trigger, const std::function<void(D *)> &drive = [](D *) {})
{
    int seen = 0;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        ++seen;
        const ModalGuard::Expect expected(dialog);
        drive(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll.start();
    trigger();
    return seen;
}

bool RowVisible(int row)
{
    CRecordListView *view = RecordList().Window();
    const QRect rect = view->visualRect(RecordList().Model().index(row, 0));
    return rect.isValid() && view->viewport()->rect().contains(rect.center());
}

QStringList Row(int row)
{
    QStringList cells;
    for (int c = 0; c < 6; ++c)
        cells.append(RecordList().GetItemText(row, c));
    return cells;
}

// A click on a column header, where the user would click.
void ClickHeader(int column)
{
    QHeaderView *header = RecordList().Window()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 8, header->height() / 2));
}

} // namespace

class TestRecordList : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CLedgerDlg> m_ledger;

    CRecordListCtrl &Open(int module)
    {
        m_ledger = std::make_unique<CLedgerDlg>();
        m_ledger->show();
        if (!QTest::qWaitForWindowExposed(m_ledger.get()))
            qWarning("main window not exposed");
        m_ledger->SwitchToModule(module);
        return RecordList();
    }

    static void Select(std::initializer_list<int> rows)
    {
        QItemSelectionModel *selection = RecordList().Window()->selectionModel();
        selection->clear();
        for (int row : rows)
            selection->setCurrentIndex(RecordList().Model().index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // The figures on the start screen and in the status bar equal a full count.
    void VerifyFigures()
    {
        const auto counted = orv::BookStatus::compute(orv::BookConnection(m_book->location()));
        QVERIFY(counted.ok());
        const QStringList expected = {counted->incomeCountText(), counted->payoutCountText(), counted->loanCountText(),
                                      counted->balanceText()};
        QStringList shown, bar;
        for (int id : {1030, 1031, 1033, 1032})
            shown.append(qobject_cast<QLabel *>(m_ledger->Control(id))->text());
        for (int part = 0; part < 4; ++part)
            bar.append(m_ledger->StatusBar()->Text(part));
        QCOMPARE(shown, expected);
        QCOMPARE(bar, (QStringList{QStringLiteral("收入记录%1条").arg(expected[0]), QStringLiteral("支出记录%1条").arg(expected[1]),
                                   QStringLiteral("借贷记录%1条").arg(expected[2]), QStringLiteral("当前余额%1元").arg(expected[3])}));
    }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{{kDad, QStringLiteral("1")},
                                                                          {kMum, QStringLiteral("2")}});
        m_book->directLogin(kDad);
        m_prompter = std::make_unique<ScriptedPrompter>();
        RecordList().m_bAscending = false; // as after start-up
    }

    void cleanup()
    {
        m_ledger.reset();
        m_prompter.reset();
        m_book.reset();
    }

    void fillShowsTheTableInIdOrderWithGaps()
    {
        for (int i = 1; i <= 5; ++i)
            m_book->add(RecordKind::Income, QDate(2024, 1, 6 - i), QStringLiteral("工资"), 100.0 * i + 0.5,
                        QStringLiteral("第%1笔").arg(i));
        m_book->exec(QStringLiteral("DELETE FROM \"INCOME\" WHERE \"id\" IN (2, 4)"));
        m_book->add(RecordKind::Loan, QDate(2009, 5, 1), QStringLiteral("借出"), 2000, QStringLiteral("借给小王"));
        Open(1);
        QCOMPARE(Column(0), (QStringList{"1", "3", "5"}));
        QCOMPARE(Row(2), (QStringList{"5", "2024年1月1日", "工资", "500.50", "第5笔", kDad}));
        // Each kind fills from its own table.
        m_ledger->SwitchToLoan();
        QCOMPARE(Row(0), (QStringList{"1", "2009年5月1日", "借出", "2000.00", "借给小王", kDad}));
        m_ledger->SwitchToPayout();
        QCOMPARE(RecordList().GetItemCount(), 0);
    }

    void headerClicksShareOneDirection()
    {
        m_book->add(RecordKind::Payout, QDate(2024, 3, 1), QStringLiteral("伙食"), 30);
        m_book->add(RecordKind::Payout, QDate(2024, 1, 1), QStringLiteral("交通"), 10);
        m_book->add(RecordKind::Payout, QDate(2024, 2, 1), QStringLiteral("娱乐"), 20);
        Open(2);
        ClickHeader(1);
        QCOMPARE(Column(0), (QStringList{"2", "3", "1"}));
        ClickHeader(1);
        QCOMPARE(Column(0), (QStringList{"1", "3", "2"}));
        // After "日期" twice, "金额（元）" sorts ascending: the direction is
        // shared, not kept per column.
        ClickHeader(3);
        QCOMPARE(Column(3), (QStringList{"10.00", "20.00", "30.00"}));
        // "序号" only flips the direction and reorders nothing, so the next
        // click sorts the same way again.
        ClickHeader(0);
        QCOMPARE(Column(3), (QStringList{"10.00", "20.00", "30.00"}));
        ClickHeader(1);
        QCOMPARE(Column(1), (QStringList{"2024年1月1日", "2024年2月1日", "2024年3月1日"}));

        // Away from the lists a click changes nothing; a list made anew is in id order.
        m_ledger->SwitchToStart();
        const bool before = RecordList().m_bAscending;
        RecordList().OnColumnClick(1);
        QCOMPARE(RecordList().m_bAscending, before);
        m_ledger->SwitchToPayout();
        QCOMPARE(Column(0), (QStringList{"1", "2", "3"}));
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
        m_book->add(RecordKind::Income, QDate(2024, 10, 1), QStringLiteral("利息"), 100, QStringLiteral("阿姨给的"), kMum);
        m_book->add(RecordKind::Income, QDate(2024, 2, 1), QStringLiteral("工资"), 9.5, QStringLiteral("兼职"),
                    QStringLiteral("爷爷"));
        m_book->add(RecordKind::Income, QDate(2023, 12, 31), QStringLiteral("奖金"), 10, QStringLiteral("工资"));
        m_book->add(RecordKind::Income, QDate(2024, 2, 10), QStringLiteral("阿姨给的"), 1000.25, QStringLiteral("利息"),
                    QStringLiteral("奶奶"));
        Open(1);
        ClickHeader(column);
        QCOMPARE(Column(column), ascending);
        ClickHeader(column);
        std::reverse(ascending.begin(), ascending.end());
        QCOMPARE(Column(column), ascending);
    }

    // -- the commands -------------------------------------------------------

    // The three record modules; each test also puts entries of the other
    // kinds into the book, which the module's list must never show.
    static void RecordModules()
    {
        QTest::addColumn<int>("module");
        QTest::newRow("income") << 1;
        QTest::newRow("expense") << 2;
        QTest::newRow("loans") << 5;
    }

    void AddOtherKinds(RecordKind kind)
    {
        for (RecordKind other : {RecordKind::Income, RecordKind::Payout, RecordKind::Loan})
            if (other != kind)
                for (int i = 0; i < 3; ++i)
                    m_book->add(other, QDate(2019, 5, 1 + i), QStringLiteral("别的"), 1.0 + i);
    }

    void addShowsEachNewEntry_data() { RecordModules(); }
    void addShowsEachNewEntry()
    {
        QFETCH(int, module);
        const RecordKind kind = *orv::kindFromModule(module);
        AddOtherKinds(kind);
        for (int i = 0; i < 60; ++i)
            m_book->add(kind, QDate(2020, 1, 1).addDays(i), QStringLiteral("餐饮"), 10.0 + i);
        CRecordListCtrl &list = Open(module);
        list.SelectRow(0);
        QVERIFY(!RowVisible(59));
        const auto press = [&] { QTest::mouseClick(m_ledger->Control(1011), Qt::LeftButton); };
        const int dialogs = WithModal<CAddRecordDlg>(press, [&](CAddRecordDlg *dlg) {
            dlg->DatePicker()->setDate(QDate(2024, 2, 29));
            dlg->ItemsBox()->setEditText(QStringLiteral("Tom's 茶"));
            dlg->AmountEdit()->setText(QStringLiteral("12.5"));
            dlg->RemarkEdit()->setText(QStringLiteral("第一笔"));
            QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
            // The new entry is the list's last row, selected and in view.
            QCOMPARE(Row(60), (QStringList{"61", "2024年2月29日", "Tom's 茶", "12.50", "第一笔", kDad}));
            QCOMPARE(list.GetSelectedRows(), QList<int>{60});
            QVERIFY(RowVisible(60));
            VerifyFigures();
            dlg->AmountEdit()->setText(QStringLiteral("1234.567"));
            QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
            QCOMPARE(Row(61), (QStringList{"62", "2024年2月29日", "Tom's 茶", "1234.57", "", kDad}));
        });
        QCOMPARE(dialogs, 1);
        QCOMPARE(list.GetItemCount(), 62);
        QCOMPARE(m_book->rows(orv::recordTable(kind))[61].mid(0, 4), (QStringList{"62", "2024-02-29", "Tom's 茶", "1234.57"}));
        QCOMPARE(m_ledger->focusWidget(), list.Window());
        VerifyFigures();
    }

    void commandsNeedARow()
    {
        m_book->add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 300.0);
        CRecordListCtrl &list = Open(1);
        list.ClearSelection();
        // Meanwhile another program added an entry: a command that changes
        // nothing counts the book afresh.
        m_book->add(RecordKind::Income, QDate(2020, 1, 3), QStringLiteral("工资"), 5.0);
        QCOMPARE(WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }), 0);
        QCOMPARE(m_ledger->m_strIncomeCount, QStringLiteral("2"));
        m_ledger->OnDeleteRecord();
        QCOMPARE(m_prompter->texts(), (QStringList{"请选择您要修改的行!", "请选择您要删除的行!"}));
        QCOMPARE(m_prompter->shown[1].caption, QStringLiteral("注意"));
        QCOMPARE(m_book->count(QStringLiteral("INCOME")), 2);
        VerifyFigures();
    }

    void foreignRowsAreRefused()
    {
        m_book->add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), 10.0, QString(), kMum);
        m_book->add(RecordKind::Payout, QDate(2020, 1, 2), QStringLiteral("餐饮"), 20.0, QString(), QStringLiteral("Bob"));
        CRecordListCtrl &list = Open(2);
        list.SelectRow(0);
        QCOMPARE(WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }), 0);
        m_ledger->OnDeleteRecord();
        // A double-click on the row reaches the same refusal; on empty space, nothing.
        CRecordListView *view = list.Window();
        const QPoint cell = view->visualRect(list.Model().index(0, 2)).center();
        const QPoint empty(20, view->viewport()->height() - 5);
        QCOMPARE(WithModal<CModifyRecordDlg>([&] {
                     QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, empty);
                     QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
                     QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
                 }),
                 0);
        // Letter case counts: "bob" is not "Bob".
        g_strCurUser = QStringLiteral("bob");
        list.SelectRow(1);
        QCOMPARE(WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }), 0);
        QCOMPARE(m_prompter->texts(), (QStringList{"只能修改当前用户(爸爸)的记录!", "只能删除当前用户(爸爸)的记录!",
                                                   "只能修改当前用户(爸爸)的记录!", "只能修改当前用户(bob)的记录!"}));
        QCOMPARE(m_book->count(QStringLiteral("PAYOUT")), 2);
        QCOMPARE(list.GetItemCount(), 2);
    }

    void modifyChangesTheRowInPlace_data() { RecordModules(); }
    void modifyChangesTheRowInPlace()
    {
        QFETCH(int, module);
        const RecordKind kind = *orv::kindFromModule(module);
        AddOtherKinds(kind);
        QString chosen;
        m_book->add(kind, QDate(2020, 1, 1), QStringLiteral("餐饮"), 10.0);
        // The category was deleted since; the entry keeps it.
        m_book->add(kind, QDate(2021, 2, 3), QStringLiteral("旧名目"), 12.5, QStringLiteral("出租车"));
        m_book->add(kind, QDate(2020, 1, 3), QStringLiteral("餐饮"), 30.0, QString(), kMum);
        CRecordListCtrl &list = Open(module);
        // Several rows selected: the row last clicked is the one modified.
        Select({0, 1});
        const int dialogs = WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }, [&](CModifyRecordDlg *dlg) {
            QCOMPARE(dlg->m_nId, 2);
            QCOMPARE(dlg->DatePicker()->date(), QDate(2021, 2, 3));
            QCOMPARE(dlg->ItemsBox()->currentText(), QStringLiteral("旧名目"));
            QCOMPARE(dlg->AmountEdit()->selectedText(), QStringLiteral("12.5"));
            QCOMPARE(dlg->RemarkEdit()->text(), QStringLiteral("出租车"));
            dlg->ItemsBox()->setCurrentIndex(2);
            chosen = dlg->ItemsBox()->currentText();
            dlg->AmountEdit()->setText(QStringLiteral("99.999"));
            dlg->RemarkEdit()->setText(QStringLiteral("it's \"late\""));
            QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        });
        QCOMPARE(dialogs, 1);
        QVERIFY(!chosen.isEmpty());
        QCOMPARE(Row(1), (QStringList{"2", "2021年2月3日", chosen, "100.00", "it's \"late\"", kDad}));
        QCOMPARE(list.GetSelectedRows(), QList<int>{1});
        QCOMPARE(m_book->rows(orv::recordTable(kind))[1], (QStringList{"2", "2021-02-03", chosen, "100.00", "it's \"late\"", kDad}));
        QCOMPARE(m_ledger->focusWidget(), list.Window());
        VerifyFigures();
    }

    void afterASortEveryCommandReturnsToIdOrder()
    {
        for (double money : {30.0, 10.0, 50.0, 20.0, 40.0})
            m_book->add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), money);
        CRecordListCtrl &list = Open(2);
        list.m_bAscending = true;
        list.OnColumnClick(3); // amount, descending: ids 3 5 1 4 2
        list.SelectRow(1);
        WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }, [&](CModifyRecordDlg *dlg) {
            QCOMPARE(dlg->m_nId, 5);
            dlg->AmountEdit()->setText(QStringLiteral("45"));
            dlg->OnModify();
        });
        // Id order again; the row at the former place is selected.
        QCOMPARE(Column(0), (QStringList{"1", "2", "3", "4", "5"}));
        QCOMPARE(list.GetItemText(4, 3), QStringLiteral("45.00"));
        QCOMPARE(list.GetSelectedRows(), QList<int>{1});

        list.OnColumnClick(3); // ascending: ids 2 4 1 5 3
        list.SelectRow(0);
        m_ledger->OnDeleteRecord();
        QCOMPARE(m_prompter->lastText(), QStringLiteral("真的要删除第 2 条记录吗？"));
        QCOMPARE(Column(0), (QStringList{"1", "3", "4", "5"}));
        QCOMPARE(list.GetSelectedRows(), QList<int>{0});

        list.OnColumnClick(3);
        WithModal<CAddRecordDlg>([&] { m_ledger->OnAddRecord(); }, [&](CAddRecordDlg *dlg) {
            dlg->AmountEdit()->setText(QStringLiteral("5"));
            dlg->OnAdd();
        });
        QCOMPARE(Column(0), (QStringList{"1", "3", "4", "5", "6"}));
        QCOMPARE(list.GetSelectedRows(), QList<int>{4});
        VerifyFigures();
    }

    void deleteSelectsTheRowThatTakesItsPlace_data() { RecordModules(); }
    void deleteSelectsTheRowThatTakesItsPlace()
    {
        QFETCH(int, module);
        const RecordKind kind = *orv::kindFromModule(module);
        AddOtherKinds(kind);
        for (int i = 0; i < 5; ++i)
            m_book->add(kind, QDate(2020, 1, 1 + i), QStringLiteral("工资"), 10.0 * (i + 1));
        m_book->exec(QStringLiteral("DELETE FROM \"%1\" WHERE \"id\" = 2").arg(orv::recordTable(kind)));
        CRecordListCtrl &list = Open(module);
        // The question names the entry's id, not the row.
        list.SelectRow(1);
        m_prompter->answers.enqueue(MsgResult::No);
        m_ledger->OnDeleteRecord();
        QCOMPARE(Column(0), (QStringList{"1", "3", "4", "5"}));
        QCOMPARE(list.GetSelectedRows(), QList<int>{1});
        m_ledger->OnDeleteRecord(); // a middle row: its successor is selected
        QCOMPARE(Column(0), (QStringList{"1", "4", "5"}));
        QCOMPARE(list.GetSelectedRows(), QList<int>{1});
        list.SelectRow(2);
        m_ledger->OnDeleteRecord(); // the last row: the new last is selected
        QCOMPARE(Column(0), (QStringList{"1", "4"}));
        QCOMPARE(list.GetSelectedRows(), QList<int>{1});
        QCOMPARE(m_prompter->texts(), (QStringList{"真的要删除第 3 条记录吗？", "真的要删除第 3 条记录吗？",
                                                   "真的要删除第 5 条记录吗？"}));
        QCOMPARE(m_prompter->shown[0].buttons, MsgButtons::YesNo);
        QCOMPARE(m_book->rows(orv::recordTable(kind)).size(), 2);
        QCOMPARE(m_ledger->focusWidget(), list.Window());
        VerifyFigures();

        m_ledger->OnDeleteRecord();
        list.SelectRow(0);
        m_ledger->OnDeleteRecord();
        QCOMPARE(list.GetItemCount(), 0);
        QCOMPARE(list.GetSelectionMark(), -1);
        VerifyFigures();
    }

    void deleteTakesTheSelectedRowNotTheLastClicked()
    {
        for (int i = 0; i < 3; ++i)
            m_book->add(RecordKind::Income, QDate(2020, 1, 1 + i), QStringLiteral("工资"), 10.0 + i);
        CRecordListCtrl &list = Open(1);
        // Row 2 selected, then row 0 added and taken off again with Ctrl.
        CRecordListView *view = list.Window();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(list.Model().index(2, 1)).center());
        const QPoint first = view->visualRect(list.Model().index(0, 1)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, first);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, first);
        QCOMPARE(list.GetSelectionMark(), 0);
        m_ledger->OnDeleteRecord();
        QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("真的要删除第 3 条记录吗？")});
        QCOMPARE(Column(0), (QStringList{"1", "2"}));
    }

    void multiDeleteWithForeignRowDeletesNothing()
    {
        m_book->add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), 10.0);
        m_book->add(RecordKind::Payout, QDate(2020, 1, 2), QStringLiteral("餐饮"), 20.0, QString(), kMum);
        m_book->add(RecordKind::Payout, QDate(2020, 1, 3), QStringLiteral("餐饮"), 30.0);
        CRecordListCtrl &list = Open(2);
        Select({0, 1, 2});
        // Another program adds an entry meanwhile: the refused command does
        // not even count the book again.
        m_book->add(RecordKind::Payout, QDate(2020, 1, 4), QStringLiteral("餐饮"), 40.0);
        m_ledger->OnDeleteRecord();
        QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("选中的记录中含有非当前用户(爸爸)的记录，操作失败!")});
        QCOMPARE(m_book->count(QStringLiteral("PAYOUT")), 4);
        QCOMPARE(list.GetSelectedRows(), (QList<int>{0, 1, 2}));
        QCOMPARE(m_ledger->StatusBar()->Text(1), QStringLiteral("支出记录3条"));
    }

    void multiDelete()
    {
        for (int i = 0; i < 60; ++i)
            m_book->add(RecordKind::Income, QDate(2020, 1, 1).addDays(i), QStringLiteral("工资"), 1.5 * i);
        CRecordListCtrl &list = Open(1);
        // Answered No: nothing deleted, yet the list scrolls to its end.
        list.EnsureVisible(0);
        Select({0, 5, 7});
        m_prompter->answers.enqueue(MsgResult::No);
        m_ledger->OnDeleteRecord();
        QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("真的要删除所选中的多条记录吗？")});
        QCOMPARE(m_book->count(QStringLiteral("INCOME")), 60);
        QVERIFY(RowVisible(59));
        QCOMPARE(list.GetSelectedRows(), (QList<int>{0, 5, 7}));

        list.EnsureVisible(0);
        m_ledger->OnDeleteRecord();
        QCOMPARE(m_book->count(QStringLiteral("INCOME")), 57);
        QCOMPARE(Column(0).mid(0, 6), (QStringList{"2", "3", "4", "5", "7", "9"}));
        QVERIFY(RowVisible(56));
        QVERIFY(list.GetSelectedRows().isEmpty());
        VerifyFigures();
    }

    void modifyInTheQueryModuleOnlyRecounts()
    {
        m_book->add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 10.0);
        Open(3);
        // A double-click on a query row: no entry dialog, the book counted afresh.
        m_book->add(RecordKind::Income, QDate(2020, 1, 2), QStringLiteral("工资"), 5.0);
        QCOMPARE(WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }), 0);
        QVERIFY(m_prompter->shown.isEmpty());
        QCOMPARE(m_ledger->m_strIncomeCount, QStringLiteral("2"));
        VerifyFigures();
    }

    // Modules whose list a test fills: the three record modules and the
    // query module's overview (income and expense).
    static void ListModules()
    {
        QTest::addColumn<int>("module");
        QTest::newRow("income") << 1;
        QTest::newRow("expense") << 2;
        QTest::newRow("query") << 3;
        QTest::newRow("loans") << 5;
    }

    // Enough entries of the module's kind (both kinds for the query overview)
    // that the list must scroll.
    void FillForScrolling(int module, int count)
    {
        const QList<RecordKind> kinds = module == 3 ? QList<RecordKind>{RecordKind::Income, RecordKind::Payout}
                                                    : QList<RecordKind>{*orv::kindFromModule(module)};
        for (RecordKind kind : kinds)
            for (int i = 0; i < count; ++i)
                m_book->add(kind, QDate(2024, 1, 1).addDays(i * 7 % 365), QStringLiteral("名目%1").arg(i % 7), 10 + i);
    }

    void aSortShowsTheBeginningOfTheNewOrder_data() { ListModules(); }
    void aSortShowsTheBeginningOfTheNewOrder()
    {
        QFETCH(int, module);
        FillForScrolling(module, 80);
        CRecordListCtrl &list = Open(module);
        CRecordListView *view = list.Window();
        view->scrollToBottom();
        QVERIFY(!RowVisible(0));
        ClickHeader(3);
        QCOMPARE(view->verticalScrollBar()->value(), 0);
        QVERIFY(RowVisible(0));
    }

    void scrolledToTheEndTheTopRowIsWhole_data() { ListModules(); }
    void scrolledToTheEndTheTopRowIsWhole()
    {
        QFETCH(int, module);
        FillForScrolling(module, 80);
        CRecordListCtrl &list = Open(module);
        CRecordListView *view = list.Window();
        // Heights that leave part of a row over at the end.
        for (int extra = 0; extra < view->rowHeight(0); extra += 5) {
            view->resize(view->width(), 200 + extra);
            view->scrollToBottom();
            QCoreApplication::processEvents();
            const int top = view->rowAt(0);
            QCOMPARE(view->rowViewportPosition(top), 0);
            QVERIFY(RowVisible(list.GetItemCount() - 1));
        }
    }

    // Ids past the narrow 序号 column (a book that has seen a million
    // entries, ids above 2^32) are shown whole, not as "399…".
    void longIdsShowWhole_data() { RecordModules(); }
    void longIdsShowWhole()
    {
        QFETCH(int, module);
        const RecordKind kind = *orv::kindFromModule(module);
        const QString table = orv::recordTable(kind);
        {
            const orv::BookConnection conn(m_book->location());
            const qint64 last = Q_INT64_C(4294967296);
            const auto raised =
                TestBook::onServer()
                    ? conn.run(QStringLiteral("SELECT setval(pg_get_serial_sequence('\"%1\"', 'id'), ?)").arg(table), {last})
                    : conn.run(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT ?, ? WHERE NOT EXISTS "
                                              "(SELECT 1 FROM sqlite_sequence WHERE name = ?)"),
                               {table, last, table});
            if (!TestBook::onServer())
                QVERIFY(conn.run(QStringLiteral("UPDATE sqlite_sequence SET seq = ? WHERE name = ?"), {last, table}).ok());
            QVERIFY2(raised.ok(), raised.ok() ? "" : qPrintable(raised.error().message));
        }
        QCOMPARE(m_book->add(kind, QDate(2024, 3, 1), QStringLiteral("工资"), 5), Q_INT64_C(4294967297));
        CRecordListCtrl &list = Open(module);
        CRecordListView *view = list.Window();
        const int margins = 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view);
        int shown = 0;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            const QString text = list.GetItemText(row, 0);
            if (text != QLatin1String("4294967297"))
                continue;
            ++shown;
            QVERIFY2(view->fontMetrics().horizontalAdvance(text) + margins <= view->columnWidth(0), qPrintable(text));
        }
        QCOMPARE(shown, 1);
        // The list still fits its window as before.
        int total = 0;
        for (int c = 0; c < list.GetColumnCount(); ++c)
            total += view->columnWidth(c);
        int original = 0;
        for (int width : ListWidths(ListColumns::Records))
            original += width;
        QCOMPARE(total, original);
        // The query's list shows kinds in its first column: left as it is.
        m_ledger->SwitchToQuery();
        QCOMPARE(RecordList().Window()->columnWidth(0), ListWidths(ListColumns::Query).first());
    }

    // Amounts and totals of twelve characters and more are shown whole.
    void longAmountsShowWhole_data() { ListModules(); }
    void longAmountsShowWhole()
    {
        QFETCH(int, module);
        const RecordKind kind = module == 3 ? RecordKind::Income : *orv::kindFromModule(module);
        m_book->add(kind, QDate(2024, 3, 1), QStringLiteral("工资"), 100011401234.56);
        m_book->add(kind, QDate(2024, 3, 2), QStringLiteral("工资"), 100011401234.56);
        CRecordListCtrl &list = Open(module);
        CRecordListView *view = list.Window();
        const int margins = 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view);
        for (int row = 0; row < list.GetItemCount(); ++row) {
            const QString text = list.GetItemText(row, 3);
            QVERIFY2(view->fontMetrics().horizontalAdvance(text) + margins <= view->columnWidth(3), qPrintable(text));
        }
        if (module == 3)
            QCOMPARE(list.GetItemText(0, 3), QStringLiteral("200022802469.12")); // the balance
        // The list still fits its window as before.
        int total = 0;
        for (int c = 0; c < list.GetColumnCount(); ++c)
            total += view->columnWidth(c);
        int original = 0;
        for (int width : ListWidths(module == 3 ? ListColumns::Query : ListColumns::Records))
            original += width;
        QCOMPARE(total, original);
    }
};

ORV_WIDGET_TEST_MAIN(TestRecordList)
#include "tst_recordlist.moc"
