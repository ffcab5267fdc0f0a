// One family evening with the account book, from the first login to the
// log-off, driven through the real main window and its dialogs on a fresh
// program folder, the way a user clicks and types. Every step checks what
// the user would see: list cells, status bar, start screen, title, messages
// and the files on disk.

#include "support/WidgetTestMain.h"
#include "app/CLoginDlg.h"
#include "app/Globals.h"
#include "app/ProcessControl.h"
#include "items/CItemEditDlg.h"
#include "items/CSetItemsDlg.h"
#include "mainwnd/CColorToolBar.h"
#include "mainwnd/CLedgerDlg.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "query/CAmountEdit.h"
#include "query/CQueryDlg.h"
#include "records/CAddRecordDlg.h"
#include "records/CAmountKeypadDlg.h"
#include "records/CModifyRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "settings/GbkText.h"
#include "store/BookFile.h"
#include "store/BookSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "support/XlsxReadBack.h"
#include "users/CAddUserDlg.h"
#include "users/CModifyUserDlg.h"
#include "users/CUserManageDlg.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using orv::RecordKind;

namespace {

const QString kAdmin = QStringLiteral("管理员");
const QString kDad = QStringLiteral("爸爸");
const QString kMum = QStringLiteral("妈妈");
const QString kKid = QStringLiteral("小明");
const QString kTitle = QStringLiteral("KestruneV2.5.1  —  当前用户：%1");
const QColor kYellow(255, 255, 0);

void Step(const char *what)
{
    qInfo("---- %s", what);
}

// Runs open(), which brings up a modal dialog of type D, and hands that
// dialog to drive() once it is on screen. Whatever drive() leaves open is
// closed afterwards, and any other dialog that comes up instead is closed
// and counted as a failure, so that a broken step cannot hang the run.
// True when the dialog came and every check inside passed; a dialog that
// did not come is reported as a failure under the name what.
template <typename D>
bool WithDialog(const char *what, const std::function<void()> &open, const std::function<void(D *)> &drive)
{
    QWidget *const outer = QApplication::activeModalWidget();
    bool seen = false;
    QString stray;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == outer || !modal->isVisible())
            return;
        poll.stop();
        if (auto *dlg = qobject_cast<D *>(modal)) {
            seen = true;
            {
                const ModalGuard::Expect expected(dlg);
                drive(dlg);
            }
            if (dlg->isVisible())
                dlg->done(QDialog::Rejected);
        } else {
            stray = modal->metaObject()->className() + QStringLiteral(" “") + modal->windowTitle() + u'”';
            if (auto *other = qobject_cast<QDialog *>(modal))
                other->done(QDialog::Rejected);
            else
                modal->close();
        }
    });
    poll.start();
    open();
    poll.stop();
    if (QTest::currentTestFailed())
        return false;
    if (!stray.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("%1: another dialog came up instead, %2")
                                    .arg(QString::fromUtf8(what), stray)),
                     __FILE__, __LINE__);
    else if (!seen)
        QTest::qFail(qPrintable(QStringLiteral("%1 did not come up").arg(QString::fromUtf8(what))), __FILE__,
                     __LINE__);
    return seen && stray.isEmpty();
}

QString LabelText(CLedgerDlg &ledger, int id)
{
    auto *label = qobject_cast<QLabel *>(ledger.Control(id));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(id);
}

// The start screen's four figures: income, expense and loan counts, balance.
QStringList StartFigures(CLedgerDlg &ledger)
{
    return {LabelText(ledger, 1030), LabelText(ledger, 1031), LabelText(ledger, 1033), LabelText(ledger, 1032)};
}

QStringList StatusTexts(CLedgerDlg &ledger)
{
    QStringList texts;
    if (CStatusBarCtrl *bar = ledger.StatusBar()) {
        for (int part = 0; part < 4; ++part)
            texts << bar->Text(part);
    }
    return texts;
}

QStringList Status(int income, int payout, int loans, const QString &balance)
{
    return {QStringLiteral("收入记录%1条").arg(income), QStringLiteral("支出记录%1条").arg(payout),
            QStringLiteral("借贷记录%1条").arg(loans), QStringLiteral("当前余额%1元").arg(balance)};
}

QStringList Row(int row)
{
    QStringList cells;
    for (int column = 0; column < RecordList().GetColumnCount(); ++column)
        cells << RecordList().GetItemText(row, column);
    return cells;
}

QList<QStringList> Rows()
{
    QList<QStringList> rows;
    for (int row = 0; row < RecordList().GetItemCount(); ++row)
        rows << Row(row);
    return rows;
}

QStringList ColumnTexts(int column, int from, int to)
{
    QStringList texts;
    for (int row = from; row <= to; ++row)
        texts << RecordList().GetItemText(row, column);
    return texts;
}

QColor RowColor(int row)
{
    const CRecordListModel &model = RecordList().Model();
    return model.data(model.index(row, 0), Qt::ForegroundRole).value<QColor>();
}

// Types text into a field: keys for what a keyboard has, and what a Chinese
// user types through the input method as the method's committed text.
void Type(QWidget *field, const QString &text)
{
    QString keys;
    auto flushKeys = [&] {
        if (!keys.isEmpty())
            QTest::keyClicks(field, keys);
        keys.clear();
    };
    for (qsizetype i = 0; i < text.size();) {
        if (text.at(i).unicode() < 0x80) {
            keys += text.at(i++);
            continue;
        }
        flushKeys();
        qsizetype end = i;
        while (end < text.size() && text.at(end).unicode() >= 0x80)
            ++end;
        QInputMethodEvent commit;
        commit.setCommitString(text.mid(i, end - i));
        QApplication::sendEvent(field, &commit);
        i = end;
    }
    flushKeys();
}

void Click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void ClickControl(CLedgerDlg &ledger, int id)
{
    Click(ledger.Control(id));
}

void ClickToolButton(CLedgerDlg &ledger, int command)
{
    Click(ledger.ToolBar()->widgetForAction(ledger.ToolBar()->Button(command)));
}

// Chooses a menu item by the words on the menu bar and in the menu; false
// when there is no such item.
bool Choose(CLedgerDlg &ledger, const QString &menu, const QString &item)
{
    for (QAction *top : ledger.MenuBar()->actions()) {
        if (top->text() != menu || !top->menu())
            continue;
        for (QAction *action : top->menu()->actions()) {
            if (action->text() == item && action->isEnabled()) {
                action->trigger();
                return true;
            }
        }
    }
    qWarning("no menu item %s → %s", qPrintable(menu), qPrintable(item));
    return false;
}

QPoint CellCentre(int row, int column)
{
    CRecordListView *view = RecordList().Window();
    const QModelIndex index = RecordList().Model().index(row, column);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

void ClickRow(int row)
{
    QTest::mouseClick(RecordList().Window()->viewport(), Qt::LeftButton, {}, CellCentre(row, 2));
}

void DoubleClickRow(int row)
{
    const QPoint at = CellCentre(row, 2);
    QTest::mouseClick(RecordList().Window()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(RecordList().Window()->viewport(), Qt::LeftButton, {}, at);
}

void ClickHeader(int column)
{
    QHeaderView *header = RecordList().Window()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

template <typename W>
W *Child(QWidget *dialog, int id)
{
    return dialog->findChild<W *>(QString::number(id));
}

void ChooseItem(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    if (index < 0)
        qWarning("%s is not offered", qPrintable(text));
    box->setCurrentIndex(index);
}

QStringList Items(QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QStringList UserNames(CUserManageDlg *dlg)
{
    QStringList names;
    for (int row = 0; row < dlg->UserList()->rowCount(); ++row)
        names << dlg->UserList()->item(row, 0)->text();
    return names;
}

// The add dialog's form filled as a user fills it; the amount typed.
void FillEntry(CRecordEntryDlg *dlg, const QDate &date, const QString &items, const QString &amount,
               const QString &remark)
{
    dlg->DatePicker()->setDate(date);
    ChooseItem(dlg->ItemsBox(), items);
    dlg->AmountEdit()->selectAll();
    Type(dlg->AmountEdit(), amount);
    dlg->RemarkEdit()->clear();
    Type(dlg->RemarkEdit(), remark);
}

QStringList Entry(int id, const QString &date, const QString &items, const QString &money, const QString &remark,
                  const QString &user)
{
    return {id < 0 ? QString() : QString::number(id), date, items, money, remark, user};
}

} // namespace

class TestAcceptance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aFamilyEveningWithTheBook();
};

void TestAcceptance::aFamilyEveningWithTheBook()
{
    // Never the real Trash or ODBC settings of whoever runs the test.
    QTemporaryDir home;
    QVERIFY(home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("share"))));
    qputenv("ODBCINI", QFile::encodeName(home.filePath(QStringLiteral("odbc.ini"))));
    QTemporaryDir elsewhere; // the user's documents: backups and workbooks
    int restarts = 0;
    SetRestartHook([&] { ++restarts; });
    SetTerminateHook([](int code) { qFatal("the program ended itself with code %d", code); });
    ScriptedPrompter prompter;

    // =====================================================================
    Step("1. first start on a fresh program folder, login");
    // As installed: the book with its one user, the empty-book template,
    // set.ini asking for the login with that user proposed, the colour folder.
    TestBook book({{kAdmin, QStringLiteral("123456")}});
    QVERIFY(orv::BookSchema::createBook(orv::BookFile::templatePath(book.dir())).ok());
    QVERIFY(orv::writeGbkLines(book.path(QStringLiteral("set.ini")), {QStringLiteral("0"), kAdmin}));

    CLedgerDlg ledger;
    // The ways into the dialogs: the first operation button under the list
    // (add, or query in the query module) and two menu items.
    const auto pressAdd = [&] { ClickControl(ledger, 1011); };
    const auto openUsers = [&] { QVERIFY(Choose(ledger, "系统管理(&S)", "管理用户(&M)...")); };
    const auto openCategories = [&] { QVERIFY(Choose(ledger, "设置(&D)", "设置名目(&C)...")); };
    QCOMPARE(ledger.windowTitle(), QStringLiteral("KestruneV2.5.1"));
    QVERIFY2(!ledger.MenuCommand(32784)->isChecked(), "direct login is off, as set.ini says");

    // The login comes up over the main window once it is on screen.
    bool loginDriven = false;
    const auto showWindow = [&] {
        ledger.show();
        QTRY_VERIFY(loginDriven && !QApplication::activeModalWidget());
    };
    if (!WithDialog<CLoginDlg>("the login dialog", showWindow, [&](CLoginDlg *login) {
            loginDriven = true;
            QCOMPARE(login->windowTitle(), QStringLiteral("登录"));
            QCOMPARE(login->UserBox()->currentText(), kAdmin);
            Type(login->PasswordEdit(), QStringLiteral("12345"));
            Click(Child<QPushButton>(login, 1));
            QVERIFY2(login->isVisible(), "a wrong password keeps the login open");
            QCOMPARE(prompter.texts(), QStringList{QStringLiteral("请输入正确的密码!")});
            QCOMPARE(prompter.shown.last().caption, QStringLiteral("密码错误"));
            QCOMPARE(prompter.shown.last().icon, MsgIcon::Exclamation);
            login->PasswordEdit()->clear();
            Type(login->PasswordEdit(), QStringLiteral("123456"));
            Click(Child<QPushButton>(login, 1));
            QVERIFY2(!login->isVisible(), "the right password logs in");
        }))
        return;
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(g_strCurUser, kAdmin);
    QCOMPARE(ledger.windowTitle(), kTitle.arg(kAdmin));
    QCOMPARE(LabelText(ledger, 1007), QStringLiteral("当前位置：开始界面"));
    QCOMPARE(StartFigures(ledger), (QStringList{"0", "0", "0", "0.00"}));
    QVERIFY2(!ledger.StatusBar(), "no status bar on the start screen");
    prompter.clear();

    // =====================================================================
    Step("2. two income entries in a row, the second through the keypad");
    ClickControl(ledger, 1004);
    QCOMPARE(g_nModule, 1);
    QCOMPARE(LabelText(ledger, 1007), QStringLiteral("当前位置：收入记录"));
    QCOMPARE(RecordList().GetItemCount(), 0);
    QCOMPARE(StatusTexts(ledger), Status(0, 0, 0, "0.00"));

    QPointer<CAmountKeypadDlg> keypad;
    if (!WithDialog<CAddRecordDlg>("the add dialog", pressAdd, [&](CAddRecordDlg *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("添加收入记录"));
            QCOMPARE(dlg->DatePicker()->date(), QDate::currentDate());
            QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("0"));
            FillEntry(dlg, QDate(2024, 1, 5), QStringLiteral("工资"), QStringLiteral("8500"), QStringLiteral("一月工资"));
            Click(dlg->OkButton());
            QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'|')));
            QCOMPARE(Rows(), (QList<QStringList>{Entry(1, "2024年1月5日", "工资", "8500.00", "一月工资", kAdmin)}));
            QCOMPARE(StatusTexts(ledger), Status(1, 0, 0, "8500.00"));

            // Ready for the next one: date and category kept, amount and remark empty.
            QVERIFY(dlg->isVisible());
            QCOMPARE(dlg->DatePicker()->date(), QDate(2024, 1, 5));
            QCOMPARE(dlg->ItemsBox()->currentText(), QStringLiteral("工资"));
            QCOMPARE(dlg->AmountEdit()->text(), QString());
            QCOMPARE(dlg->RemarkEdit()->text(), QString());

            // The amount with the mouse: 1, 2, ., 5 on the keypad.
            Click(dlg->KeypadButton());
            keypad = dlg->Keypad();
            QVERIFY2(keypad && keypad->isVisible(), "the keypad opens beside the dialog");
            for (int id : {1099, 1100, 1108, 1103})
                Click(keypad->Button(id));
            QTRY_COMPARE(dlg->AmountEdit()->text(), QStringLiteral("12.5"));
            Type(dlg->RemarkEdit(), QStringLiteral("存款利息"));
            Click(dlg->OkButton());
            QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'|')));
            QCOMPARE(RecordList().GetItemCount(), 2);
            QCOMPARE(Row(1), Entry(2, "2024年1月5日", "工资", "12.50", "存款利息", kAdmin));
            QCOMPARE(RecordList().GetSelectedRows(), QList<int>{1});
            Click(dlg->ExitButton());
        }))
        return;
    QVERIFY2(keypad.isNull(), "leaving the add dialog closes the keypad");
    QCOMPARE(StatusTexts(ledger), Status(2, 0, 0, "8512.50"));

    // =====================================================================
    Step("3. expense and loan entries; the toolbar switches modules");
    ClickToolButton(ledger, 32788);
    QCOMPARE(g_nModule, 2);
    QCOMPARE(LabelText(ledger, 1007), QStringLiteral("当前位置：支出记录"));
    QVERIFY(ledger.ToolBar()->Button(32788)->isChecked());
    QVERIFY(!ledger.ToolBar()->Button(32787)->isChecked());
    QCOMPARE(RecordList().GetItemCount(), 0);
    if (!WithDialog<CAddRecordDlg>("the add dialog for expenses", pressAdd, [&](CAddRecordDlg *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("添加支出记录"));
            FillEntry(dlg, QDate(2024, 1, 20), QStringLiteral("餐饮"), QStringLiteral("35.5"), QStringLiteral("聚餐"));
            Click(dlg->OkButton());
            FillEntry(dlg, QDate(2024, 1, 8), QStringLiteral("交通"), QStringLiteral("120"), QStringLiteral("火车票"));
            Click(dlg->OkButton());
            FillEntry(dlg, QDate(2024, 1, 15), QStringLiteral("日用品"), QStringLiteral("60"), QString());
            Click(dlg->OkButton());
            Click(dlg->ExitButton());
        }))
        return;
    QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'|')));
    QCOMPARE(Rows(), (QList<QStringList>{Entry(1, "2024年1月20日", "餐饮", "35.50", "聚餐", kAdmin),
                                          Entry(2, "2024年1月8日", "交通", "120.00", "火车票", kAdmin),
                                          Entry(3, "2024年1月15日", "日用品", "60.00", "", kAdmin)}));
    QCOMPARE(StatusTexts(ledger), Status(2, 3, 0, "8297.00"));

    ClickToolButton(ledger, 32791);
    QCOMPARE(g_nModule, 5);
    QCOMPARE(LabelText(ledger, 1007), QStringLiteral("当前位置：借贷情况"));
    if (!WithDialog<CAddRecordDlg>("the add dialog for loans", pressAdd, [&](CAddRecordDlg *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("添加借贷记录"));
            QCOMPARE(Items(dlg->ItemsBox()), (QStringList{"借出", "借入", "还入", "还出"}));
            FillEntry(dlg, QDate(2024, 1, 12), QStringLiteral("借出"), QStringLiteral("100"), QStringLiteral("借给小李"));
            Click(dlg->OkButton());
            FillEntry(dlg, QDate(2024, 1, 28), QStringLiteral("还入"), QStringLiteral("30"), QStringLiteral("小李还钱"));
            Click(dlg->OkButton());
            Click(dlg->ExitButton());
        }))
        return;
    QCOMPARE(Rows(), (QList<QStringList>{Entry(1, "2024年1月12日", "借出", "100.00", "借给小李", kAdmin),
                                          Entry(2, "2024年1月28日", "还入", "30.00", "小李还钱", kAdmin)}));
    // Loans are counted, never part of the balance.
    QCOMPARE(StatusTexts(ledger), Status(2, 3, 2, "8297.00"));

    // =====================================================================
    Step("4. sorting by a header, and back to id order after an add");
    ClickToolButton(ledger, 32788);
    QCOMPARE(g_nModule, 2);
    ClickHeader(1); // 日期: ascending first
    QCOMPARE(ColumnTexts(0, 0, 2), (QStringList{"2", "3", "1"}));
    QCOMPARE(ColumnTexts(1, 0, 2), (QStringList{"2024年1月8日", "2024年1月15日", "2024年1月20日"}));
    ClickHeader(1); // then descending
    QCOMPARE(ColumnTexts(0, 0, 2), (QStringList{"1", "3", "2"}));
    if (!WithDialog<CAddRecordDlg>("the add dialog after a sort", pressAdd, [&](CAddRecordDlg *dlg) {
            FillEntry(dlg, QDate(2024, 1, 25), QStringLiteral("娱乐"), QStringLiteral("45"), QStringLiteral("电影"));
            Click(dlg->OkButton());
            Click(dlg->ExitButton());
        }))
        return;
    QCOMPARE(ColumnTexts(0, 0, 3), (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(Row(3), Entry(4, "2024年1月25日", "娱乐", "45.00", "电影", kAdmin));
    QCOMPARE(RecordList().GetSelectedRows(), QList<int>{3});
    QCOMPARE(StatusTexts(ledger), Status(2, 4, 2, "8252.00"));

    // =====================================================================
    Step("5. modify an own entry; another user's entries are refused; delete");
    ClickToolButton(ledger, 32787);
    QCOMPARE(g_nModule, 1);
    const auto doubleClickSecondRow = [&] { DoubleClickRow(1); };
    if (!WithDialog<CModifyRecordDlg>("the modify dialog", doubleClickSecondRow, [&](CModifyRecordDlg *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("修改收入记录"));
            QCOMPARE(dlg->DatePicker()->date(), QDate(2024, 1, 5));
            QCOMPARE(dlg->ItemsBox()->currentText(), QStringLiteral("工资"));
            QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("12.5"));
            QCOMPARE(dlg->RemarkEdit()->text(), QStringLiteral("存款利息"));
            FillEntry(dlg, QDate(2024, 1, 6), QStringLiteral("奖金"), QStringLiteral("15"), QStringLiteral("季度奖"));
            Click(dlg->OkButton());
            QVERIFY2(!dlg->isVisible(), "a good modify closes the dialog");
        }))
        return;
    QCOMPARE(Row(1), Entry(2, "2024年1月6日", "奖金", "15.00", "季度奖", kAdmin));
    QCOMPARE(RecordList().GetSelectedRows(), QList<int>{1});
    QCOMPARE(StatusTexts(ledger), Status(2, 4, 2, "8254.50"));

    // Mum recorded an entry on the same book (she is not a user here yet):
    // the figures count it at the next command.
    book.add(RecordKind::Income, QDate(2024, 1, 10), QStringLiteral("礼金"), 200, QStringLiteral("红包"), kMum);
    ClickToolButton(ledger, 32793);
    QCOMPARE(g_nModule, 0);
    QCOMPARE(StartFigures(ledger), (QStringList{"3", "4", "2", "8454.50"}));
    ClickControl(ledger, 1004);
    QCOMPARE(Row(2), Entry(3, "2024年1月10日", "礼金", "200.00", "红包", kMum));
    prompter.clear();
    DoubleClickRow(2);
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("只能修改当前用户(管理员)的记录!")});
    QCOMPARE(prompter.shown.last().caption, QStringLiteral("注意"));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    // The refused command still counts the book afresh.
    QCOMPARE(StatusTexts(ledger), Status(3, 4, 2, "8454.50"));
    ClickRow(2);
    ClickControl(ledger, 1013);
    QCOMPARE(prompter.lastText(), QStringLiteral("只能删除当前用户(管理员)的记录!"));
    QCOMPARE(RecordList().GetItemCount(), 3);

    prompter.clear();
    ClickRow(1);
    ClickControl(ledger, 1013); // answered Yes
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("真的要删除第 2 条记录吗？")});
    QCOMPARE(prompter.shown.last().buttons, MsgButtons::YesNo);
    QCOMPARE(ColumnTexts(0, 0, 1), (QStringList{"1", "3"}));
    QCOMPARE(RecordList().GetItemCount(), 2);
    QCOMPARE(RecordList().GetSelectedRows(), QList<int>{1}); // the row that moved into its place
    QCOMPARE(StatusTexts(ledger), Status(2, 4, 2, "8439.50"));
    QCOMPARE(book.count(QStringLiteral("INCOME")), 2);

    // =====================================================================
    Step("6. query module: overview, the four ranges, re-sorting a result");
    ClickToolButton(ledger, 32789);
    QCOMPARE(g_nModule, 3);
    QCOMPARE(LabelText(ledger, 1007), QStringLiteral("当前位置：查询备份"));
    QCOMPARE(qobject_cast<QPushButton *>(ledger.Control(1011))->text(), QStringLiteral("查询(&Q)..."));
    const QDate today = QDate::currentDate();
    const QString todayText = QStringLiteral("%1年%2月%3日").arg(today.year()).arg(today.month()).arg(today.day());
    QCOMPARE(RecordList().GetItemCount(), 9);
    QCOMPARE(Row(0).mid(0, 5), (QStringList{"余额", todayText, "所有", "8439.50", "总余额数"}));
    QCOMPARE(Row(1).at(0), QStringLiteral("收入记录"));
    QCOMPARE(Row(1).at(3), QStringLiteral("8700.00"));
    QCOMPARE(Row(1).at(4), QStringLiteral("收入总金额"));
    QCOMPARE(Row(2), Entry(-1, "2024年1月5日", "工资", "8500.00", "一月工资", kAdmin));
    QCOMPARE(Row(3), Entry(-1, "2024年1月10日", "礼金", "200.00", "红包", kMum));
    QCOMPARE(g_nPayoutHeaderRow, 4);
    QCOMPARE(Row(4).at(0), QStringLiteral("支出记录"));
    QCOMPARE(Row(4).at(3), QStringLiteral("260.50"));
    QCOMPARE(Row(4).at(4), QStringLiteral("支出总金额"));
    QCOMPARE(RowColor(4), kYellow);
    QCOMPARE(ColumnTexts(1, 5, 8), (QStringList{"2024年1月8日", "2024年1月15日", "2024年1月20日", "2024年1月25日"}));
    QCOMPARE(StatusTexts(ledger), Status(2, 4, 2, "8439.50"));

    const QString period = QStringLiteral("2024年1月1日 至 2024年1月31日");
    if (!WithDialog<CQueryDlg>("the query dialog", pressAdd, [&](CQueryDlg *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("综合查询统计"));
            QCOMPARE(dlg->CategoryBox()->currentText(), QStringLiteral("选择全部"));
            QCOMPARE(Items(dlg->UserBox()), (QStringList{"选择全部", kAdmin}));
            QCOMPARE(dlg->MoneyFromEdit()->text(), QStringLiteral("0"));
            QCOMPARE(dlg->MoneyToEdit()->text(), QStringLiteral("无限"));
            dlg->DateFromPicker()->setDate(QDate(2024, 1, 1));
            dlg->DateToPicker()->setDate(QDate(2024, 1, 31));
            QPushButton *query = Child<QPushButton>(dlg, 1);

            // Income only.
            Click(Child<QRadioButton>(dlg, 1035));
            QCOMPARE(dlg->CategoryBox()->itemText(1), QStringLiteral("工资"));
            Click(query);
            QVERIFY2(dlg->isVisible(), "the dialog stays for the next query");
            QCOMPARE(RecordList().GetItemCount(), 4);
            QCOMPARE(Row(0).mid(0, 5), (QStringList{"收入金额", period, "所有", "8700.00", "所有"}));
            QCOMPARE(Row(1).at(0), QStringLiteral("收入记录"));
            QCOMPARE(ColumnTexts(3, 2, 3), (QStringList{"8500.00", "200.00"}));

            // Expense of one category, matched exactly.
            Click(Child<QRadioButton>(dlg, 1036));
            ChooseItem(dlg->CategoryBox(), QStringLiteral("交通"));
            Click(query);
            QCOMPARE(RecordList().GetItemCount(), 3);
            QCOMPARE(Row(0).mid(0, 5), (QStringList{"支出金额", period, "交通", "120.00", "所有"}));
            QCOMPARE(Row(1).at(0), QStringLiteral("支出记录"));
            QCOMPARE(Row(2), Entry(-1, "2024年1月8日", "交通", "120.00", "火车票", kAdmin));

            // Loans: who owes whom.
            Click(Child<QRadioButton>(dlg, 1037));
            QCOMPARE(dlg->CategoryBox()->currentText(), QStringLiteral("选择全部"));
            Click(query);
            QCOMPARE(RecordList().GetItemCount(), 4);
            QCOMPARE(Row(0).mid(0, 5), (QStringList{"借贷总计", period, "所有", "70.00", "别人欠你钱"}));
            QCOMPARE(Row(1).at(0), QStringLiteral("借贷记录"));
            QCOMPARE(ColumnTexts(2, 2, 3), (QStringList{"借出", "还入"}));

            // Income, expense and balance.
            Click(Child<QRadioButton>(dlg, 1034));
            Click(query);
            QCOMPARE(RecordList().GetItemCount(), 9);
            QCOMPARE(Row(0).mid(0, 5), (QStringList{"余额", period, "所有", "8439.50", "所有"}));
            QCOMPARE(Row(1).mid(0, 5), (QStringList{"收入记录", period, "所有", "8700.00", "所有"}));
            QCOMPARE(g_nPayoutHeaderRow, 4);
            QCOMPARE(Row(4).mid(0, 5), (QStringList{"支出记录", period, "所有", "260.50", "所有"}));
            QCOMPARE(RowColor(4), kYellow);
            QStringList amounts = ColumnTexts(3, 5, 8);
            amounts.sort();
            QCOMPARE(amounts, (QStringList{"120.00", "35.50", "45.00", "60.00"}));
            Click(Child<QPushButton>(dlg, 2));
            QVERIFY(!dlg->isVisible());
        }))
        return;
    QCOMPARE(RecordList().m_nQueryKind, 0);

    // Re-sorting the result by amount keeps the summary and heading rows.
    const QList<QStringList> before = Rows();
    ClickHeader(3);
    QCOMPARE(RecordList().GetItemCount(), 9);
    QCOMPARE(Row(0), before[0]);
    QCOMPARE(Row(1), before[1]);
    QCOMPARE(Row(4), before[4]);
    QCOMPARE(RowColor(4), kYellow);
    QCOMPARE(ColumnTexts(3, 2, 3), (QStringList{"200.00", "8500.00"}));
    QCOMPARE(ColumnTexts(3, 5, 8), (QStringList{"35.50", "45.00", "60.00", "120.00"}));
    QCOMPARE(Row(5), Entry(-1, "2024年1月20日", "餐饮", "35.50", "聚餐", kAdmin));

    // =====================================================================
    Step("7. a new category, offered by the add dialog right away");
    prompter.clear();
    if (!WithDialog<CSetItemsDlg>("the category dialog from 设置 → 设置名目", openCategories, [&](CSetItemsDlg *dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("设置名目"));
            ChooseItem(dlg->KindBox(), QStringLiteral("支出记录"));
            QCOMPARE(dlg->ItemList()->item(0)->text(), QStringLiteral("餐饮"));
            const auto pressAddItem = [&] { Click(Child<QPushButton>(dlg, 1011)); };
            if (!WithDialog<CItemEditDlg>("the category name dialog", pressAddItem, [&](CItemEditDlg *edit) {
                    QCOMPARE(edit->windowTitle(), QStringLiteral("添加支出记录名目"));
                    Type(edit->NameEdit(), QStringLiteral("宠物"));
                    Click(edit->OkButton());
                    QVERIFY2(edit->isVisible(), "the name dialog stays for the next name");
                    QCOMPARE(edit->NameEdit()->text(), QString());
                    const int last = dlg->ItemList()->count() - 1;
                    QCOMPARE(dlg->ItemList()->item(last)->text(), QStringLiteral("宠物"));
                    QCOMPARE(dlg->SelectedRow(), last);
                    Click(Child<QPushButton>(edit, 2));
                }))
                return;
            Click(Child<QPushButton>(dlg, 2));
        }))
        return;
    QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'|')));
    ClickToolButton(ledger, 32788);
    if (!WithDialog<CAddRecordDlg>("the add dialog offers the new category", pressAdd, [&](CAddRecordDlg *dlg) {
            const QStringList offered = Items(dlg->ItemsBox());
            QCOMPARE(offered.first(), QStringLiteral("餐饮"));
            QCOMPARE(offered.last(), QStringLiteral("宠物"));
            Click(dlg->ExitButton());
        }))
        return;
    QCOMPARE(RecordList().GetItemCount(), 4);

    // =====================================================================
    Step("8. a new user; renaming the logged-in user");
    if (!WithDialog<CUserManageDlg>("the user dialog from 系统管理 → 管理用户", openUsers, [&](CUserManageDlg *dlg) {
            QCOMPARE(UserNames(dlg), QStringList{kAdmin});
            const auto pressAddUser = [&] { Click(Child<QPushButton>(dlg, 1)); };
            if (!WithDialog<CAddUserDlg>("the add-user dialog", pressAddUser, [&](CAddUserDlg *add) {
                    QCOMPARE(add->windowTitle(), QStringLiteral("添加新用户"));
                    Type(add->NameEdit(), kMum);
                    Type(add->PasswordEdit(), QStringLiteral("mm"));
                    Type(add->ConfirmEdit(), QStringLiteral("mm"));
                    Click(Child<QPushButton>(add, 1));
                    QVERIFY2(!add->isVisible(), "the user is added");
                }))
                return;
            QCOMPARE(UserNames(dlg), (QStringList{kAdmin, kMum}));

            QTableWidget *list = dlg->UserList();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0, 0)).center());
            const auto pressModify = [&] { Click(Child<QPushButton>(dlg, 1012)); };
            if (!WithDialog<CModifyUserDlg>("the modify-user dialog", pressModify, [&](CModifyUserDlg *modify) {
                    QCOMPARE(modify->windowTitle(), QStringLiteral("修改用户信息"));
                    QCOMPARE(modify->NameEdit()->text(), kAdmin);
                    modify->NameEdit()->clear();
                    Type(modify->NameEdit(), kDad);
                    Type(modify->OldPasswordEdit(), QStringLiteral("123456"));
                    Type(modify->NewPasswordEdit(), QStringLiteral("654321"));
                    Type(modify->ConfirmEdit(), QStringLiteral("654321"));
                    Click(Child<QPushButton>(modify, 1));
                    QVERIFY2(!modify->isVisible(), "the user is changed");
                }))
                return;
            QCOMPARE(prompter.texts(), QStringList{QStringLiteral("用户信息修改成功!")});
            QCOMPARE(prompter.shown.last().caption, QStringLiteral("修改成功"));
            QCOMPARE(UserNames(dlg), (QStringList{kDad, kMum}));
            QCOMPARE(ledger.windowTitle(), kTitle.arg(kDad));
            Click(Child<QPushButton>(dlg, 2));
        }))
        return;
    QCOMPARE(g_strCurUser, kDad);
    QCOMPARE(ledger.windowTitle(), kTitle.arg(kDad));
    // Each user's colour file: the new one with the default colour, the
    // renamed one under the new name.
    QCOMPARE(book.readFile(QStringLiteral("user/妈妈.ini")), QByteArray("115\r\n151\r\n234\r\n"));
    QVERIFY(QFile::exists(book.path(QStringLiteral("user/爸爸.ini"))));
    QVERIFY(!QFile::exists(book.path(QStringLiteral("user/管理员.ini"))));
    // Entries keep the name they were recorded under.
    QCOMPARE(RecordList().GetItemText(0, 5), kAdmin);

    // =====================================================================
    Step("9. backup, new book, restore");
    ClickToolButton(ledger, 32787);
    QCOMPARE(g_nModule, 1);
    const QList<QStringList> incomeBefore = Rows();
    prompter.clear();
    const QString backup = elsewhere.filePath(QStringLiteral("一月帐本.ovd"));
    prompter.files.enqueue(backup);
    QVERIFY(Choose(ledger, "管理数据库(&D)", "导出备份数据库(&E)..."));
    QCOMPARE(prompter.fileRequests.size(), 1);
    QCOMPARE(prompter.fileRequests.last().title, QStringLiteral("导出数据库"));
    QCOMPARE(QFileInfo(prompter.fileRequests.last().proposedPath).fileName(),
             QStringLiteral("%1-%2-%3帐本数据库备份.ovd").arg(today.year()).arg(today.month()).arg(today.day()));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("数据库备份成功!")});
    QVERIFY(orv::BookSchema::isBookFile(backup));

    prompter.clear();
    prompter.answers.enqueue(MsgResult::No); // a new book without saving the old one first
    QVERIFY(Choose(ledger, "系统管理(&S)", "创建新账(&N)..."));
    QCOMPARE(prompter.shown.size(), 1);
    QCOMPARE(prompter.shown.last().caption, QStringLiteral("创建新账"));
    QCOMPARE(prompter.shown.last().buttons, MsgButtons::YesNoCancel);
    QVERIFY(prompter.fileRequests.isEmpty());
    QCOMPARE(RecordList().GetItemCount(), 0);
    QCOMPARE(StatusTexts(ledger), Status(0, 0, 0, "0.00"));
    QCOMPARE(StartFigures(ledger), (QStringList{"0", "0", "0", "0.00"}));
    QVERIFY2(TestBook::onServer() || QFile::exists(home.filePath(QStringLiteral("share/Trash/files/Orvendal.ovd"))),
             "the old book file is in the Trash");
    QVERIFY(!QFile::exists(book.path(QStringLiteral("userTemp.dat"))));
    // The family is still there; a child joins the new book.
    if (!WithDialog<CUserManageDlg>("the users after the new book", openUsers, [&](CUserManageDlg *dlg) {
            QCOMPARE(UserNames(dlg), (QStringList{kDad, kMum}));
            const auto pressAddUser = [&] { Click(Child<QPushButton>(dlg, 1)); };
            if (!WithDialog<CAddUserDlg>("the add-user dialog", pressAddUser, [&](CAddUserDlg *add) {
                    Type(add->NameEdit(), kKid);
                    Type(add->PasswordEdit(), QStringLiteral("xm"));
                    Type(add->ConfirmEdit(), QStringLiteral("xm"));
                    Click(Child<QPushButton>(add, 1));
                }))
                return;
            QCOMPARE(UserNames(dlg), (QStringList{kDad, kMum, kKid}));
            Click(Child<QPushButton>(dlg, 2));
        }))
        return;

    prompter.clear();
    prompter.files.enqueue(backup);
    QVERIFY(Choose(ledger, "管理数据库(&D)", "导入恢复数据库(&I)..."));
    QCOMPARE(prompter.fileRequests.size(), 1);
    QCOMPARE(prompter.fileRequests.last().title, QStringLiteral("导入恢复数据库"));
    QCOMPARE(prompter.texts(),
             (QStringList{QStringLiteral("进行数据恢复操作后，现有数据将会被全部覆盖，是否继续数据恢复操作？"),
                          QStringLiteral("数据库恢复成功!")}));
    QCOMPARE(Rows(), incomeBefore);
    QCOMPARE(StatusTexts(ledger), Status(2, 4, 2, "8439.50"));
    QCOMPARE(StartFigures(ledger), (QStringList{"2", "4", "2", "8439.50"}));
    QVERIFY(!QFile::exists(book.path(QStringLiteral("userTemp.dat"))));
    if (!WithDialog<CUserManageDlg>("the users after the restore", openUsers, [&](CUserManageDlg *dlg) {
            // The users of the book that was replaced, not those of the backup.
            QCOMPARE(UserNames(dlg), (QStringList{kDad, kMum, kKid}));
            Click(Child<QPushButton>(dlg, 2));
        }))
        return;
    QCOMPARE(QDir::currentPath(), g_strAppDir);

    // =====================================================================
    Step("10. the income list into a workbook, read back");
    prompter.clear();
    const QString workbook = elsewhere.filePath(QStringLiteral("一月收入.xlsx"));
    prompter.files.enqueue(workbook);
    ClickControl(ledger, 1015);
    QCOMPARE(prompter.fileRequests.size(), 1);
    QCOMPARE(prompter.fileRequests.last().title, QStringLiteral("保存Excel表"));
    QCOMPARE(QFileInfo(prompter.fileRequests.last().proposedPath).fileName(),
             today.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("收入帐.xlsx"));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("导出文件保存于%1!").arg(QDir::toNativeSeparators(workbook))});
    QString readError;
    const std::optional<XlsxBook> sheet = ReadXlsx(workbook, &readError);
    QVERIFY2(sheet, qPrintable(readError));
    QCOMPARE(sheet->sheetNames, QStringList{QStringLiteral("家庭帐务—收入")});
    QCOMPARE(sheet->rows.size(), 1 + RecordList().GetItemCount());
    for (int column = 0; column < 6; ++column)
        QCOMPARE(sheet->text(0, column), RecordList().GetColumnCaption(column));
    for (int row = 0; row < RecordList().GetItemCount(); ++row) {
        for (int column = 0; column < 6; ++column) {
            const QString where = QStringLiteral("row %1 column %2").arg(row).arg(column);
            QVERIFY2(sheet->text(row + 1, column) == RecordList().GetItemText(row, column), qPrintable(where));
            // Every cell a text, amounts and dates included.
            if (column < sheet->rows[row + 1].size() && !sheet->rows[row + 1][column].empty)
                QVERIFY2(sheet->rows[row + 1][column].type == QLatin1String("s"), qPrintable(where + " is no text"));
        }
    }
    QCOMPARE(sheet->text(1, 3), QStringLiteral("8500.00"));

    // =====================================================================
    Step("11. log off");
    prompter.clear();
    QVERIFY(Choose(ledger, "系统管理(&S)", "注销当前用户(&L)")); // answered Yes
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("真的要注销当前用户吗？")});
    QCOMPARE(prompter.shown.last().caption, QStringLiteral("注销"));
    QCOMPARE(restarts, 1);
    QVERIFY(!ledger.isVisible());
    QCOMPARE(ledger.result(), 0);
    // The next start asks for the password, proposing the user by the new name.
    QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("0\r\n") + orv::encodeGbk(kDad) + "\r\n");

    SetRestartHook(nullptr);
    SetTerminateHook(nullptr);
}

ORV_WIDGET_TEST_MAIN(TestAcceptance)
#include "tst_acceptance.moc"
