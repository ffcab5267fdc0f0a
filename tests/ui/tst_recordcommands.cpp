// The list's add, modify and delete commands in the main window, on a real
// book: the owner rule, the questions, what the list selects afterwards and
// the book's figures, which must always equal a full count.
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "query/CQueryDlg.h"
#include "records/BookStatus.h"
#include "records/CAddRecordDlg.h"
#include "records/CModifyRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "store/BookConnection.h"
#include "support/ScriptedPrompter.h"
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
#include <QTest>
#include <QTimer>

#include <functional>

using orv::RecordKind;

namespace {

const QString kDad = QStringLiteral("爸爸");
const QString kMum = QStringLiteral("妈妈");

// Runs trigger(); each modal dialog of type D that comes up meanwhile is
// handed to drive, then closed if drive left it open. Answers how many came.
template <typename D>
int WithModal(const std::function<void()> &trigger, const std::function<void(D *)> &drive)
{
    int seen = 0;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        ++seen;
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

} // namespace

class TstRecordCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void addShowsEachNewEntry();
    void addAfterSortReturnsToIdOrder();
    void addLoanLeavesBalance();
    void modifyNeedsARow();
    void modifyRefusesForeignRow();
    void modifyChangesRowInPlace();
    void modifyCancelledChangesNothing();
    void modifyAndDeleteAfterSortReturnToIdOrder();
    void deleteNeedsARow();
    void deleteRefusesForeignRow();
    void deleteLastRowSelectsNewLast();
    void deleteMiddleRowSelectsItsSuccessor();
    void deleteQuestionNamesTheId();
    void deleteTakesTheSelectedRow();
    void deleteAnsweredNo();
    void multiDeleteWithForeignRowDeletesNothing();
    void multiDeleteAnsweredNoStillScrolls();
    void multiDelete();
    void queryModule();

private:
    void Open(int module);
    void Select(std::initializer_list<int> rows);
    void VerifyFigures();

    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CLedgerDlg> m_ledger;
};

void TstRecordCommands::init()
{
    m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{{kDad, QStringLiteral("1")},
                                                                      {kMum, QStringLiteral("2")}});
    m_book->directLogin(kDad);
    m_prompter = std::make_unique<ScriptedPrompter>();
}

void TstRecordCommands::cleanup()
{
    m_ledger.reset();
    m_prompter.reset();
    m_book.reset();
}

void TstRecordCommands::Open(int module)
{
    m_ledger = std::make_unique<CLedgerDlg>();
    QCOMPARE(g_strCurUser, kDad);
    m_ledger->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_ledger.get()));
    m_ledger->SwitchToModule(module);
    QCOMPARE(g_nModule, module);
}

void TstRecordCommands::Select(std::initializer_list<int> rows)
{
    CRecordListCtrl &list = RecordList();
    QItemSelectionModel *selection = list.Window()->selectionModel();
    selection->clear();
    for (int row : rows)
        selection->setCurrentIndex(list.Model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The figures on the start screen and in the status bar equal a full count.
void TstRecordCommands::VerifyFigures()
{
    const orv::BookConnection conn(m_book->bookPath());
    const auto counted = orv::BookStatus::compute(conn);
    QVERIFY(counted.ok());
    QCOMPARE(m_ledger->m_strIncomeCount, counted->incomeCountText());
    QCOMPARE(m_ledger->m_strPayoutCount, counted->payoutCountText());
    QCOMPARE(m_ledger->m_strLoanCount, counted->loanCountText());
    QCOMPARE(m_ledger->m_strBalance, counted->balanceText());
    QVERIFY(qAbs(m_ledger->m_dIncomeSum - counted->incomeSum) < 1e-6);
    QVERIFY(qAbs(m_ledger->m_dPayoutSum - counted->payoutSum) < 1e-6);
    QVERIFY(qAbs(m_ledger->m_dBalance - counted->balance()) < 1e-6);
    QCOMPARE(qobject_cast<QLabel *>(m_ledger->Control(1030))->text(), counted->incomeCountText());
    QCOMPARE(qobject_cast<QLabel *>(m_ledger->Control(1032))->text(), counted->balanceText());
    QCOMPARE(qobject_cast<QLabel *>(m_ledger->Control(1033))->text(), counted->loanCountText());
    QVERIFY(m_ledger->StatusBar());
    QCOMPARE(m_ledger->StatusBar()->Text(0), QStringLiteral("收入记录%1条").arg(counted->incomeCountText()));
    QCOMPARE(m_ledger->StatusBar()->Text(1), QStringLiteral("支出记录%1条").arg(counted->payoutCountText()));
    QCOMPARE(m_ledger->StatusBar()->Text(2), QStringLiteral("借贷记录%1条").arg(counted->loanCountText()));
    QCOMPARE(m_ledger->StatusBar()->Text(3), QStringLiteral("当前余额%1元").arg(counted->balanceText()));
}

void TstRecordCommands::addShowsEachNewEntry()
{
    for (int i = 0; i < 60; ++i)
        m_book->add(RecordKind::Payout, QDate(2020, 1, 1).addDays(i), QStringLiteral("餐饮"), 10.0 + i);
    m_book->add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 100.0);
    Open(2);
    CRecordListCtrl &list = RecordList();
    list.SelectRow(0);
    QVERIFY(RowVisible(0));
    QVERIFY(!RowVisible(59));

    const int dialogs = WithModal<CAddRecordDlg>([&] { QTest::mouseClick(qobject_cast<QPushButton *>(m_ledger->Control(1011)), Qt::LeftButton); },
                                                 [&](CAddRecordDlg *dlg) {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("添加支出记录"));
        dlg->DatePicker()->setDate(QDate(2024, 2, 29));
        dlg->ItemsBox()->setEditText(QStringLiteral("Tom's 茶"));
        dlg->AmountEdit()->setText(QStringLiteral("12.5"));
        dlg->RemarkEdit()->setText(QStringLiteral("第一笔"));
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        // The new entry is the list's last row, selected and in view.
        QCOMPARE(list.GetItemCount(), 61);
        QCOMPARE(list.GetSelectedRows(), QList<int>({60}));
        QCOMPARE(list.GetSelectionMark(), 60);
        QVERIFY(RowVisible(60));
        QCOMPARE(list.GetItemText(60, 1), QStringLiteral("2024年2月29日"));
        QCOMPARE(list.GetItemText(60, 2), QStringLiteral("Tom's 茶"));
        QCOMPARE(list.GetItemText(60, 3), QStringLiteral("12.50"));
        QCOMPARE(list.GetItemText(60, 4), QStringLiteral("第一笔"));
        QCOMPARE(list.GetItemText(60, 5), kDad);
        VerifyFigures();

        dlg->AmountEdit()->setText(QStringLiteral("1234.567"));
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        QCOMPARE(list.GetItemCount(), 62);
        QCOMPARE(list.GetSelectedRows(), QList<int>({61}));
        QCOMPARE(list.GetItemText(61, 1), QStringLiteral("2024年2月29日"));
        QCOMPARE(list.GetItemText(61, 2), QStringLiteral("Tom's 茶"));
        QCOMPARE(list.GetItemText(61, 3), QStringLiteral("1234.57"));
        QCOMPARE(list.GetItemText(61, 4), QString());
        VerifyFigures();
        // A refused press changes neither the list nor the figures.
        dlg->AmountEdit()->setText(QStringLiteral("0"));
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        QCOMPARE(list.GetItemCount(), 62);
        QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("金额必须大于零!")}));
        QTest::mouseClick(dlg->ExitButton(), Qt::LeftButton);
    });
    QCOMPARE(dialogs, 1);
    // The list's ids are the book's.
    const QList<QStringList> rows = m_book->rows(QStringLiteral("PAYOUT"));
    QCOMPARE(rows.size(), 62);
    for (int r = 0; r < 62; ++r)
        QCOMPARE(list.GetItemText(r, 0), rows[r][0]);
    QCOMPARE(rows[61][3], QStringLiteral("1234.57"));
    QCOMPARE(m_ledger->focusWidget(), list.Window());
    VerifyFigures();
}

void TstRecordCommands::addAfterSortReturnsToIdOrder()
{
    m_book->add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 300.0);
    m_book->add(RecordKind::Income, QDate(2020, 1, 2), QStringLiteral("奖金"), 100.0);
    m_book->add(RecordKind::Income, QDate(2020, 1, 3), QStringLiteral("兼职"), 200.0);
    Open(1);
    CRecordListCtrl &list = RecordList();
    list.m_bAscending = false;
    list.OnColumnClick(3); // amount, ascending
    QCOMPARE(list.GetItemText(0, 3), QStringLiteral("100.00"));
    WithModal<CAddRecordDlg>([&] { m_ledger->OnAddRecord(); }, [&](CAddRecordDlg *dlg) {
        dlg->AmountEdit()->setText(QStringLiteral("50"));
        dlg->OnAdd();
    });
    QCOMPARE(list.GetItemCount(), 4);
    for (int r = 0; r < 4; ++r)
        QCOMPARE(list.GetItemText(r, 0), QString::number(r + 1));
    QCOMPARE(list.GetSelectedRows(), QList<int>({3}));
    QCOMPARE(list.GetItemText(3, 3), QStringLiteral("50.00"));
    VerifyFigures();
}

void TstRecordCommands::addLoanLeavesBalance()
{
    m_book->add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 300.0);
    m_book->add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), 312.5);
    Open(5);
    QCOMPARE(m_ledger->m_strBalance, QStringLiteral("-12.50"));
    WithModal<CAddRecordDlg>([&] { m_ledger->OnAddRecord(); }, [&](CAddRecordDlg *dlg) {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("添加借贷记录"));
        QCOMPARE(dlg->ItemsBox()->currentText(), QStringLiteral("借出"));
        dlg->AmountEdit()->setText(QStringLiteral("1000"));
        dlg->OnAdd();
    });
    QCOMPARE(m_ledger->m_strLoanCount, QStringLiteral("1"));
    QCOMPARE(m_ledger->m_strBalance, QStringLiteral("-12.50"));
    QCOMPARE(RecordList().GetItemText(0, 2), QStringLiteral("借出"));
    VerifyFigures();
}

void TstRecordCommands::modifyNeedsARow()
{
    m_book->add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 300.0);
    Open(1);
    RecordList().ClearSelection();
    QCOMPARE(RecordList().GetSelectionMark(), -1);
    const int dialogs = WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }, [](CModifyRecordDlg *) {});
    QCOMPARE(dialogs, 0);
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("请选择您要修改的行!")}));
    QCOMPARE(m_prompter->shown[0].caption, QStringLiteral("注意"));
    QCOMPARE(m_prompter->shown[0].icon, MsgIcon::Exclamation);
}

void TstRecordCommands::modifyRefusesForeignRow()
{
    m_book->add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), 10.0, QString(), kMum);
    m_book->add(RecordKind::Payout, QDate(2020, 1, 2), QStringLiteral("餐饮"), 20.0, QString(), QStringLiteral("Bob"));
    Open(2);
    CRecordListCtrl &list = RecordList();
    list.SelectRow(0);
    int dialogs = WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }, [](CModifyRecordDlg *) {});
    QCOMPARE(dialogs, 0);
    QCOMPARE(m_prompter->lastText(), QStringLiteral("只能修改当前用户(爸爸)的记录!"));

    // A double-click reaches the same refusal.
    m_prompter->clear();
    CRecordListView *view = list.Window();
    const QPoint cell = view->visualRect(list.Model().index(0, 2)).center();
    dialogs = WithModal<CModifyRecordDlg>(
        [&] {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, cell);
        },
        [](CModifyRecordDlg *) {});
    QCOMPARE(dialogs, 0);
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("只能修改当前用户(爸爸)的记录!")}));

    // Letter case counts.
    g_strCurUser = QStringLiteral("bob");
    list.SelectRow(1);
    m_prompter->clear();
    dialogs = WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }, [](CModifyRecordDlg *) {});
    QCOMPARE(dialogs, 0);
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("只能修改当前用户(bob)的记录!")}));
    QCOMPARE(m_book->rows(QStringLiteral("PAYOUT"))[0][3], QStringLiteral("10"));
}

void TstRecordCommands::modifyChangesRowInPlace()
{
    m_book->add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), 10.0);
    const qint32 id = m_book->add(RecordKind::Payout, QDate(2021, 2, 3), QStringLiteral("旧名目"), 12.5,
                                  QStringLiteral("出租车"));
    m_book->add(RecordKind::Payout, QDate(2020, 1, 3), QStringLiteral("餐饮"), 30.0, QString(), kMum);
    // The category was deleted since; the entry keeps it.
    Open(2);
    CRecordListCtrl &list = RecordList();
    // Several rows selected: the row last clicked is the one modified.
    Select({0, 1});
    QCOMPARE(list.GetSelectionMark(), 1);
    const int dialogs = WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }, [&](CModifyRecordDlg *dlg) {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("修改支出记录"));
        QCOMPARE(dlg->m_nId, id);
        QCOMPARE(dlg->DatePicker()->date(), QDate(2021, 2, 3));
        QCOMPARE(dlg->ItemsBox()->currentIndex(), -1);
        QCOMPARE(dlg->ItemsBox()->currentText(), QStringLiteral("旧名目"));
        QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("12.5"));
        QCOMPARE(dlg->RemarkEdit()->text(), QStringLiteral("出租车"));
        dlg->ItemsBox()->setCurrentIndex(2);
        dlg->AmountEdit()->setText(QStringLiteral("99.999"));
        dlg->RemarkEdit()->setText(QStringLiteral("it's \"late\""));
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
    });
    QCOMPARE(dialogs, 1);
    QCOMPARE(list.GetItemCount(), 3);
    QCOMPARE(list.GetSelectedRows(), QList<int>({1}));
    QCOMPARE(list.GetItemText(1, 0), QString::number(id));
    QCOMPARE(list.GetItemText(1, 1), QStringLiteral("2021年2月3日"));
    QCOMPARE(list.GetItemText(1, 2), QStringLiteral("交通"));
    QCOMPARE(list.GetItemText(1, 3), QStringLiteral("100.00"));
    QCOMPARE(list.GetItemText(1, 4), QStringLiteral("it's \"late\""));
    QCOMPARE(list.GetItemText(1, 5), kDad);
    const QStringList stored = m_book->rows(QStringLiteral("PAYOUT"))[1];
    QCOMPARE(stored, QStringList({QString::number(id), QStringLiteral("2021-02-03"), QStringLiteral("交通"),
                                  QStringLiteral("100"), QStringLiteral("it's \"late\""), kDad}));
    QCOMPARE(m_ledger->focusWidget(), list.Window());
    VerifyFigures();
}

void TstRecordCommands::modifyCancelledChangesNothing()
{
    m_book->add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 10.0);
    m_book->add(RecordKind::Income, QDate(2020, 1, 2), QStringLiteral("工资"), 20.0);
    Open(1);
    CRecordListCtrl &list = RecordList();
    list.m_bAscending = true;
    list.OnColumnClick(3); // amount, descending: 20 first
    list.SelectRow(0);
    // Meanwhile another program added an entry: the refresh after a
    // cancelled modify counts the book afresh.
    m_book->add(RecordKind::Income, QDate(2020, 1, 3), QStringLiteral("工资"), 5.0);
    WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }, [&](CModifyRecordDlg *dlg) {
        dlg->AmountEdit()->setText(QStringLiteral("77"));
        QTest::mouseClick(dlg->ExitButton(), Qt::LeftButton);
    });
    QCOMPARE(list.GetItemText(0, 3), QStringLiteral("20.00"));
    QCOMPARE(m_book->rows(QStringLiteral("INCOME"))[1][3], QStringLiteral("20"));
    VerifyFigures();
    QCOMPARE(m_ledger->m_strIncomeCount, QStringLiteral("3"));
}

void TstRecordCommands::modifyAndDeleteAfterSortReturnToIdOrder()
{
    for (double money : {30.0, 10.0, 50.0, 20.0, 40.0})
        m_book->add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), money);
    Open(2);
    CRecordListCtrl &list = RecordList();
    list.m_bAscending = true;
    list.OnColumnClick(3); // amount, descending: ids 3 5 1 4 2
    QCOMPARE(list.GetItemText(0, 0), QStringLiteral("3"));
    list.SelectRow(1);
    WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }, [&](CModifyRecordDlg *dlg) {
        QCOMPARE(dlg->m_nId, 5);
        dlg->AmountEdit()->setText(QStringLiteral("45"));
        dlg->OnModify();
    });
    // Id order again; the row at the former place is selected.
    for (int r = 0; r < 5; ++r)
        QCOMPARE(list.GetItemText(r, 0), QString::number(r + 1));
    QCOMPARE(list.GetItemText(4, 3), QStringLiteral("45.00"));
    QCOMPARE(list.GetSelectedRows(), QList<int>({1}));
    VerifyFigures();

    list.OnColumnClick(3); // ascending: ids 2 4 1 5 3
    QCOMPARE(list.GetItemText(0, 0), QStringLiteral("2"));
    list.SelectRow(0);
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("真的要删除第 2 条记录吗？"));
    QCOMPARE(list.GetItemCount(), 4);
    const QStringList ids = {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
    for (int r = 0; r < 4; ++r)
        QCOMPARE(list.GetItemText(r, 0), ids[r]);
    QCOMPARE(list.GetSelectedRows(), QList<int>({0}));
    VerifyFigures();
}

void TstRecordCommands::deleteNeedsARow()
{
    m_book->add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 10.0);
    Open(1);
    RecordList().ClearSelection();
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("请选择您要删除的行!")}));
    QCOMPARE(m_prompter->shown[0].caption, QStringLiteral("注意"));
    QCOMPARE(m_prompter->shown[0].icon, MsgIcon::Exclamation);
    QCOMPARE(m_book->count(QStringLiteral("INCOME")), 1);
}

void TstRecordCommands::deleteRefusesForeignRow()
{
    m_book->add(RecordKind::Loan, QDate(2020, 1, 1), QStringLiteral("借出"), 10.0, QString(), kMum);
    Open(5);
    RecordList().SelectRow(0);
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("只能删除当前用户(爸爸)的记录!")}));
    QCOMPARE(m_book->count(QStringLiteral("ON_LOAD")), 1);
    QCOMPARE(RecordList().GetItemCount(), 1);
}

void TstRecordCommands::deleteLastRowSelectsNewLast()
{
    for (int i = 0; i < 4; ++i)
        m_book->add(RecordKind::Income, QDate(2020, 1, 1 + i), QStringLiteral("工资"), 10.0 * (i + 1));
    Open(1);
    CRecordListCtrl &list = RecordList();
    list.SelectRow(3);
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("真的要删除第 4 条记录吗？")}));
    QCOMPARE(m_prompter->shown[0].caption, QStringLiteral("注意"));
    QCOMPARE(m_prompter->shown[0].icon, MsgIcon::Question);
    QCOMPARE(m_prompter->shown[0].buttons, MsgButtons::YesNo);
    QCOMPARE(list.GetItemCount(), 3);
    QCOMPARE(list.GetSelectedRows(), QList<int>({2}));
    QCOMPARE(list.GetSelectionMark(), 2);
    QCOMPARE(list.GetItemText(2, 0), QStringLiteral("3"));
    QCOMPARE(m_book->count(QStringLiteral("INCOME")), 3);
    QCOMPARE(m_ledger->focusWidget(), list.Window());
    VerifyFigures();
    QCOMPARE(m_ledger->m_strBalance, QStringLiteral("60.00"));

    // Down to an empty list.
    for (int left = 3; left > 0; --left) {
        list.SelectRow(left - 1);
        m_ledger->OnDeleteRecord();
    }
    QCOMPARE(list.GetItemCount(), 0);
    QCOMPARE(list.GetSelectionMark(), -1);
    VerifyFigures();
    QCOMPARE(m_ledger->m_strBalance, QStringLiteral("0.00"));
}

void TstRecordCommands::deleteMiddleRowSelectsItsSuccessor()
{
    for (int i = 0; i < 4; ++i)
        m_book->add(RecordKind::Payout, QDate(2020, 1, 1 + i), QStringLiteral("餐饮"), 1.25 * (i + 1));
    Open(2);
    CRecordListCtrl &list = RecordList();
    list.SelectRow(1);
    m_ledger->OnDeleteRecord();
    QCOMPARE(list.GetItemCount(), 3);
    QCOMPARE(list.GetSelectedRows(), QList<int>({1}));
    QCOMPARE(list.GetItemText(1, 0), QStringLiteral("3"));
    const QList<QStringList> rows = m_book->rows(QStringLiteral("PAYOUT"));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[1][0], QStringLiteral("3"));
    VerifyFigures();
}

void TstRecordCommands::deleteQuestionNamesTheId()
{
    for (int i = 0; i < 6; ++i)
        m_book->add(RecordKind::Income, QDate(2020, 1, 1 + i), QStringLiteral("工资"), 10.0);
    m_book->exec(QStringLiteral("DELETE FROM \"INCOME\" WHERE \"id\" IN (1, 3)"));
    Open(1);
    CRecordListCtrl &list = RecordList();
    QCOMPARE(list.GetItemText(2, 0), QStringLiteral("5"));
    list.SelectRow(2);
    m_prompter->answers.enqueue(MsgResult::Yes);
    m_ledger->OnDeleteRecord();
    list.SelectRow(2); // now the entry with id 6
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("真的要删除第 5 条记录吗？"),
                                               QStringLiteral("真的要删除第 6 条记录吗？")}));
    QCOMPARE(list.GetItemCount(), 2);
    QCOMPARE(list.GetItemText(0, 0), QStringLiteral("2"));
    QCOMPARE(list.GetItemText(1, 0), QStringLiteral("4"));
    // A sorted list: the id is the row's own, whatever its place.
    list.m_bAscending = true;
    list.OnColumnClick(1); // date, descending: id 4 first
    list.SelectRow(0);
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("真的要删除第 4 条记录吗？"));
    QCOMPARE(m_book->rows(QStringLiteral("INCOME")).size(), 1);
    QCOMPARE(m_book->rows(QStringLiteral("INCOME"))[0][0], QStringLiteral("2"));
    VerifyFigures();
}

void TstRecordCommands::deleteTakesTheSelectedRow()
{
    for (int i = 0; i < 3; ++i)
        m_book->add(RecordKind::Income, QDate(2020, 1, 1 + i), QStringLiteral("工资"), 10.0 + i);
    Open(1);
    CRecordListCtrl &list = RecordList();
    // Row 2 selected, then row 0 added and taken off again with Ctrl: row 0
    // is the last clicked, row 2 the only selected one.
    CRecordListView *view = list.Window();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(list.Model().index(2, 1)).center());
    const QPoint first = view->visualRect(list.Model().index(0, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, first);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, first);
    QCOMPARE(list.GetSelectedRows(), QList<int>({2}));
    QCOMPARE(list.GetSelectionMark(), 0);
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("真的要删除第 3 条记录吗？")}));
    QCOMPARE(m_book->rows(QStringLiteral("INCOME")).size(), 2);
    QCOMPARE(m_book->rows(QStringLiteral("INCOME"))[1][0], QStringLiteral("2"));
}

void TstRecordCommands::deleteAnsweredNo()
{
    for (int i = 0; i < 3; ++i)
        m_book->add(RecordKind::Income, QDate(2020, 1, 1 + i), QStringLiteral("工资"), 10.0);
    Open(1);
    CRecordListCtrl &list = RecordList();
    list.SelectRow(1);
    m_prompter->answers.enqueue(MsgResult::No);
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_book->count(QStringLiteral("INCOME")), 3);
    QCOMPARE(list.GetItemCount(), 3);
    QCOMPARE(list.GetSelectedRows(), QList<int>({1}));
    VerifyFigures();
}

void TstRecordCommands::multiDeleteWithForeignRowDeletesNothing()
{
    m_book->add(RecordKind::Payout, QDate(2020, 1, 1), QStringLiteral("餐饮"), 10.0);
    m_book->add(RecordKind::Payout, QDate(2020, 1, 2), QStringLiteral("餐饮"), 20.0, QString(), kMum);
    m_book->add(RecordKind::Payout, QDate(2020, 1, 3), QStringLiteral("餐饮"), 30.0);
    Open(2);
    CRecordListCtrl &list = RecordList();
    Select({0, 1, 2});
    // Another program adds an entry meanwhile: the refused command does not
    // even count the book again.
    m_book->add(RecordKind::Payout, QDate(2020, 1, 4), QStringLiteral("餐饮"), 40.0);
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("选中的记录中含有非当前用户(爸爸)的记录，操作失败!")}));
    QCOMPARE(m_prompter->shown[0].icon, MsgIcon::Exclamation);
    QCOMPARE(m_book->count(QStringLiteral("PAYOUT")), 4);
    QCOMPARE(list.GetItemCount(), 3);
    QCOMPARE(list.GetSelectedRows(), QList<int>({0, 1, 2}));
    QCOMPARE(m_ledger->m_strPayoutCount, QStringLiteral("3"));
    QCOMPARE(m_ledger->StatusBar()->Text(1), QStringLiteral("支出记录3条"));
}

void TstRecordCommands::multiDeleteAnsweredNoStillScrolls()
{
    for (int i = 0; i < 60; ++i)
        m_book->add(RecordKind::Income, QDate(2020, 1, 1).addDays(i), QStringLiteral("工资"), 10.0);
    Open(1);
    CRecordListCtrl &list = RecordList();
    list.EnsureVisible(0);
    Select({0, 1});
    QVERIFY(!RowVisible(59));
    m_prompter->answers.enqueue(MsgResult::No);
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("真的要删除所选中的多条记录吗？")}));
    QCOMPARE(m_prompter->shown[0].icon, MsgIcon::Question);
    QCOMPARE(m_prompter->shown[0].buttons, MsgButtons::YesNo);
    QCOMPARE(m_book->count(QStringLiteral("INCOME")), 60);
    QVERIFY(RowVisible(59));
    QCOMPARE(list.GetSelectedRows(), QList<int>({0, 1}));
}

void TstRecordCommands::multiDelete()
{
    for (int i = 0; i < 60; ++i)
        m_book->add(RecordKind::Income, QDate(2020, 1, 1).addDays(i), QStringLiteral("工资"), 1.5 * i);
    Open(1);
    CRecordListCtrl &list = RecordList();
    list.EnsureVisible(0);
    Select({0, 5, 7});
    m_ledger->OnDeleteRecord();
    QCOMPARE(m_book->count(QStringLiteral("INCOME")), 57);
    QCOMPARE(list.GetItemCount(), 57);
    QCOMPARE(list.GetItemText(0, 0), QStringLiteral("2"));
    QCOMPARE(list.GetItemText(4, 0), QStringLiteral("7"));
    QCOMPARE(list.GetItemText(5, 0), QStringLiteral("9"));
    QVERIFY(RowVisible(56));
    QVERIFY(list.GetSelectedRows().isEmpty());
    VerifyFigures();
    for (const QStringList &row : m_book->rows(QStringLiteral("INCOME")))
        QVERIFY(row[0] != QStringLiteral("1") && row[0] != QStringLiteral("6") && row[0] != QStringLiteral("8"));
}

void TstRecordCommands::queryModule()
{
    m_book->add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("工资"), 10.0);
    Open(3);
    // The first button queries here: the query dialog comes up, no entry dialog.
    int entryDialogs = 0;
    const int queryDialogs = WithModal<CQueryDlg>([&] {
        entryDialogs = WithModal<CAddRecordDlg>([&] { m_ledger->OnAddRecord(); }, [](CAddRecordDlg *) {});
    }, [](CQueryDlg *) {});
    QCOMPARE(queryDialogs, 1);
    QCOMPARE(entryDialogs, 0);
    // Modify (a double-click on a query row) only counts the book afresh.
    m_book->add(RecordKind::Income, QDate(2020, 1, 2), QStringLiteral("工资"), 5.0);
    const int modifies = WithModal<CModifyRecordDlg>([&] { m_ledger->OnModifyRecord(); }, [](CModifyRecordDlg *) {});
    QCOMPARE(modifies, 0);
    QVERIFY(m_prompter->shown.isEmpty());
    QCOMPARE(m_ledger->m_strIncomeCount, QStringLiteral("2"));
    VerifyFigures();
}

QTEST_MAIN(TstRecordCommands)
#include "tst_recordcommands.moc"
