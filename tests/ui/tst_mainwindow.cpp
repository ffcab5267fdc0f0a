// The main window as a user meets it: where the start screen puts its
// controls, what every module switch shows and hides, the status bar, the
// menus and the toolbar, and how the window ends.

#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include "app/Globals.h"
#include "app/ProcessControl.h"
#include "controls/DialogUnits.h"
#include "mainwnd/CColorToolBar.h"
#include "mainwnd/CLedgerDlg.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "records/CRecordListCtrl.h"

#include <QAction>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <memory>

using orv::RecordKind;

namespace {

constexpr int kStartScreen[] = {1004, 1001, 1002, 1003, 1025, 1026, 1027, 1028, 1029, 1030,
                                1031, 1032, 1033, 1034, 1035, 1036, 1037};

QString Text(QWidget *w)
{
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *button = qobject_cast<QPushButton *>(w))
        return button->text();
    if (auto *group = qobject_cast<QGroupBox *>(w))
        return group->title();
    return {};
}

// Collects the URLs the desktop is asked to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    // A book with a few entries, logged in directly as 爸爸, and its window.
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<CLedgerDlg> m_dlg;
    ScriptedPrompter m_prompter;

    CLedgerDlg &Open(bool show = true)
    {
        m_dlg.reset();
        m_book = std::make_unique<TestBook>();
        m_book->directLogin(QStringLiteral("爸爸"));
        m_book->add(RecordKind::Income, QDate(2024, 1, 5), QStringLiteral("工资"), 8500);
        m_book->add(RecordKind::Income, QDate(2024, 2, 5), QStringLiteral("工资"), 8500);
        m_book->add(RecordKind::Payout, QDate(2024, 1, 6), QStringLiteral("伙食"), 356.8);
        m_book->add(RecordKind::Loan, QDate(2024, 1, 20), QStringLiteral("借出"), 2000);
        m_dlg = std::make_unique<CLedgerDlg>();
        if (show) {
            m_dlg->show();
            if (!QTest::qWaitForWindowExposed(m_dlg.get()))
                qWarning("the main window was not exposed");
        }
        return *m_dlg;
    }

    bool Shown(int id) const { return !m_dlg->Control(id)->isHidden(); }

private Q_SLOTS:
    void cleanup()
    {
        m_dlg.reset();
        m_book.reset();
        m_prompter.clear();
        m_prompter.answers.clear();
    }

    void startScreenAtWidth798()
    {
        CLedgerDlg &dlg = Open();
        QCOMPARE(dlg.Client()->width(), 798);
        const int h = dlg.Client()->height();
        QCOMPARE(dlg.m_cx, 798);
        QCOMPARE(dlg.m_cy, h);
        const int firstRow = 3 * ((h + 62) / 4) - 33;
        const int x[] = {87, 262, 438, 619};
        const int ids[] = {1004, 1001, 1002, 1003};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(dlg.Control(ids[i])->geometry(), QRect(x[i], firstRow, 92, 66));
            QVERIFY(Shown(ids[i]));
        }
        QVERIFY(dlg.Control(1000)->isHidden());
        QVERIFY(!dlg.Control(1000)->isEnabled());
        // The book's figures: group and rows around the middle.
        const int mid = (h + 62) / 2;
        QCOMPARE(dlg.Control(1025)->geometry(), QRect(199, mid - 50, 400, 100));
        QCOMPARE(dlg.Control(1026)->geometry(), QRect(247, mid - 25, 60, 18));
        QCOMPARE(dlg.Control(1030)->geometry(), QRect(307, mid - 25, 50, 18));
        QCOMPARE(dlg.Control(1031)->geometry(), QRect(484, mid - 25, 50, 18));
        QCOMPARE(dlg.Control(1033)->geometry(), QRect(307, mid + 14, 50, 18));
        QCOMPARE(dlg.Control(1032)->geometry(), QRect(484, mid + 14, 100, 18));
        QCOMPARE(dlg.Control(1037)->geometry(), QRect(584, mid + 14, 18, 18));
        for (int id : {1011, 1012, 1013, 1014, 1015})
            QVERIFY2(!Shown(id), qPrintable(QString::number(id)));
        QVERIFY(!dlg.StatusBar());
        QCOMPARE(Text(dlg.Control(1007)), QStringLiteral("当前位置：开始界面"));
        QCOMPARE(g_nModule, 0);
    }

    void startButtonsSitLowerAfterAResizeOrReturn()
    {
        CLedgerDlg &dlg = Open();
        const int h = dlg.Client()->height();
        QCOMPARE(dlg.Control(1004)->y(), 3 * ((h + 62) / 4) - 33);
        // Showing and painting do not lay the window out again.
        QTest::qWait(20);
        QCOMPARE(dlg.Control(1004)->y(), 3 * ((h + 62) / 4) - 33);

        dlg.resize(dlg.width() + 100, dlg.height() + 40);
        QTRY_COMPARE(dlg.Client()->width(), 898);
        const int h2 = dlg.Client()->height();
        QCOMPARE(dlg.Control(1004)->geometry(), QRect(898 / 6 - 46, 3 * ((h2 + 62) / 4) - 23, 92, 66));
        QCOMPARE(dlg.Control(1003)->x(), 5 * (898 / 6) - 46);
        dlg.resize(dlg.width() - 100, dlg.height() - 40);
        QTRY_COMPARE(dlg.Client()->width(), 798);
        QCOMPARE(dlg.Control(1004)->y(), 3 * ((h + 62) / 4) - 23);

        // A fresh window, then income and back: the later row as well.
        CLedgerDlg &again = Open();
        again.SwitchToIncome();
        again.SwitchToStart();
        QCOMPARE(again.Control(1004)->y(), 3 * ((h + 62) / 4) - 23);
        QCOMPARE(again.Control(1002)->x(), 438);
    }

    void recordModulesShowTheirListAndButtons_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("pressed");
        QTest::addColumn<int>("rows");
        QTest::newRow("income") << 1 << QStringLiteral("当前位置：收入记录") << 32787 << 2;
        QTest::newRow("expense") << 2 << QStringLiteral("当前位置：支出记录") << 32788 << 1;
        QTest::newRow("loans") << 5 << QStringLiteral("当前位置：借贷情况") << 32791 << 1;
    }

    void recordModulesShowTheirListAndButtons()
    {
        QFETCH(int, module);
        QFETCH(QString, position);
        QFETCH(int, pressed);
        QFETCH(int, rows);
        CLedgerDlg &dlg = Open();
        dlg.SwitchToModule(module);
        QCOMPARE(g_nModule, module);
        QCOMPARE(Text(dlg.Control(1007)), position);
        for (int id : kStartScreen)
            QVERIFY2(!Shown(id), qPrintable(QString::number(id)));
        for (int id : {1011, 1012, 1013, 1014, 1015})
            QVERIFY2(Shown(id), qPrintable(QString::number(id)));
        QCOMPARE(Text(dlg.Control(1011)), QStringLiteral("添加(&A)..."));
        QCOMPARE(Text(dlg.Control(1012)), QStringLiteral("修改(&M)..."));
        QCOMPARE(Text(dlg.Control(1013)), QStringLiteral("删除(&D)"));
        QCOMPARE(Text(dlg.Control(1015)), QStringLiteral("生成Excel表(&E)..."));
        QCOMPARE(Text(dlg.Control(1014)), QStringLiteral("操作区"));

        const int w = 798, h = dlg.Client()->height();
        QCOMPARE(dlg.Control(1014)->geometry(), QRect(6, h - 76, w - 12, 53));
        QCOMPARE(dlg.Control(1011)->geometry(), QRect(w / 7 - 55, h - 60, 110, 28));
        QCOMPARE(dlg.Control(1012)->geometry(), QRect(8 * (w / 21) - 55, h - 60, 110, 28));
        QCOMPARE(dlg.Control(1013)->geometry(), QRect(13 * (w / 21) - 55, h - 60, 110, 28));
        QCOMPARE(dlg.Control(1015)->geometry(), QRect(6 * (w / 7) - 55, h - 60, 110, 28));

        CRecordListCtrl &list = RecordList();
        QVERIFY(list.Window());
        QCOMPARE(list.Window()->objectName(), QStringLiteral("1"));
        QCOMPARE(list.Window()->geometry(), QRect(6, 86, w - 12, h - 166));
        QCOMPARE(list.GetItemCount(), rows);
        QCOMPARE(list.GetColumnCount(), 6);
        const QStringList captions = {QStringLiteral("序号"), QStringLiteral("日期"), QStringLiteral("名目"),
                                      QStringLiteral("金额（元）"), QStringLiteral("备注"), QStringLiteral("记录人")};
        const int widths[] = {43, 120, 100, 100, 210, 80};
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(list.GetColumnCaption(c), captions[c]);
            QCOMPARE(list.Window()->columnWidth(c), widths[c]);
        }
        QCOMPARE(list.Window()->palette().color(QPalette::Base), QColor(115, 151, 234));
        QCOMPARE(list.Window()->palette().color(QPalette::Text), QColor(0, 0, 0));
        QVERIFY(list.Window()->showGrid());
        QCOMPARE(list.Window()->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list.Window()->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(list.Window()->horizontalHeader()->sectionsMovable());
        QVERIFY(list.Window()->hasFocus() || QApplication::focusWidget() == list.Window());

        QVERIFY(dlg.StatusBar());
        QCOMPARE(dlg.StatusBar()->objectName(), QStringLiteral("32792"));
        QCOMPARE(dlg.StatusBar()->geometry(), QRect(0, h - 25, w, 25));

        for (int id : {32787, 32788, 32789, 32793, 32791}) {
            QAction *button = dlg.ToolBar()->Button(id);
            QCOMPARE(button->isChecked(), id == pressed);
            QCOMPARE(button->isEnabled(), id != pressed);
        }
    }

    void queryOverviewShowsWholeDates()
    {
        // In a font larger than the widths were made for, the date column
        // grows for the widest date, at the remark column's cost.
        CLedgerDlg &dlg = Open();
        QFont large = dlg.font();
        large.setPointSizeF(large.pointSizeF() * 1.5);
        dlg.setFont(large);
        dlg.SwitchToQuery();
        const CRecordListView *view = RecordList().Window();
        const int widest = view->fontMetrics().horizontalAdvance(QStringLiteral("2000年12月28日"));
        QVERIFY(widest > 100);
        QVERIFY(view->columnWidth(1) > widest);
        QCOMPARE(view->columnWidth(1) + view->columnWidth(4), 100 + 262);
    }

    void queryModuleShowsItsColumnsAndTwoButtons()
    {
        CLedgerDlg &dlg = Open();
        dlg.SwitchToIncome();
        dlg.SwitchToQuery();
        QCOMPARE(g_nModule, 3);
        QCOMPARE(RecordList().m_nQueryKind, -1);
        QCOMPARE(Text(dlg.Control(1007)), QStringLiteral("当前位置：查询备份"));
        QCOMPARE(Text(dlg.Control(1011)), QStringLiteral("查询(&Q)..."));
        for (int id : {1011, 1014, 1015})
            QVERIFY(Shown(id));
        for (int id : {1012, 1013})
            QVERIFY(!Shown(id));
        for (int id : kStartScreen)
            QVERIFY(!Shown(id));
        const int w = 798, h = dlg.Client()->height();
        QCOMPARE(dlg.Control(1011)->geometry(), QRect(w / 4 - 55, h - 60, 110, 28));
        QCOMPARE(dlg.Control(1015)->geometry(), QRect(3 * (w / 4) - 55, h - 60, 110, 28));
        CRecordListCtrl &list = RecordList();
        const QStringList captions = {QStringLiteral("类别"), QStringLiteral("日期"), QStringLiteral("名目"),
                                      QStringLiteral("金额（元）"), QStringLiteral("备注"), QStringLiteral("记录人")};
        const int widths[] = {78, 100, 80, 90, 262, 70};
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(list.GetColumnCaption(c), captions[c]);
            if (c != 1 && c != 4)
                QCOMPARE(list.Window()->columnWidth(c), widths[c]);
        }
        // The date column shows the widest date whole; the remark column
        // makes room for it, so the two take the width they took.
        const CRecordListView *view = list.Window();
        QVERIFY(view->columnWidth(1) >= 100);
        QVERIFY(view->columnWidth(1) > view->fontMetrics().horizontalAdvance(QStringLiteral("2000年12月28日")));
        if (view->columnWidth(4) > 160)
            QCOMPARE(view->columnWidth(1) + view->columnWidth(4), 100 + 262);
        else
            QCOMPARE(view->columnWidth(4), 160);
        QVERIFY(dlg.StatusBar());
        QVERIFY(dlg.ToolBar()->Button(32789)->isChecked());
        QVERIFY(!dlg.ToolBar()->Button(32789)->isEnabled());
        QVERIFY(dlg.ToolBar()->Button(32787)->isEnabled());
    }

    void maximisingTheQueryModuleMovesOnlyItsControls()
    {
        CLedgerDlg &dlg = Open();
        dlg.SwitchToQuery();
        const QRect before = dlg.Client()->geometry();
        dlg.showMaximized();
        QTRY_VERIFY(dlg.Client()->size() != before.size());
        int w = dlg.Client()->width(), h = dlg.Client()->height();
        QVERIFY(!Shown(1012));
        QVERIFY(!Shown(1013));
        QCOMPARE(dlg.Control(1011)->geometry(), QRect(w / 4 - 55, h - 60, 110, 28));
        QCOMPARE(dlg.Control(1015)->geometry(), QRect(3 * (w / 4) - 55, h - 60, 110, 28));
        QCOMPARE(dlg.Control(1014)->geometry(), QRect(6, h - 76, w - 12, 53));
        QCOMPARE(RecordList().Window()->geometry(), QRect(6, 86, w - 12, h - 169));
        QCOMPARE(dlg.StatusBar()->geometry(), QRect(0, h - 25, w, 25));
        dlg.showNormal();
        QTRY_COMPARE(dlg.Client()->size(), before.size());
        w = dlg.Client()->width();
        h = dlg.Client()->height();
        QVERIFY(!Shown(1012));
        QVERIFY(!Shown(1013));
        QCOMPARE(dlg.Control(1011)->x(), w / 4 - 55);
        QCOMPARE(RecordList().Window()->geometry(), QRect(6, 86, w - 12, h - 169));
    }

    void resizingARecordModuleLaysItOut()
    {
        CLedgerDlg &dlg = Open();
        dlg.SwitchToPayout();
        dlg.resize(dlg.width() + 60, dlg.height() + 30);
        QTRY_COMPARE(dlg.Client()->width(), 858);
        const int w = 858, h = dlg.Client()->height();
        QCOMPARE(dlg.Control(1013)->geometry(), QRect(13 * (w / 21) - 55, h - 60, 110, 28));
        QCOMPARE(RecordList().Window()->geometry(), QRect(6, 86, w - 12, h - 169));
        QCOMPARE(dlg.StatusBar()->geometry(), QRect(0, h - 25, w, 25));
        // The label that names the module never moves.
        QCOMPARE(dlg.Control(1007)->geometry().topLeft(), QPoint(420, 18));
    }

    void switchingModulesMakesListAndStatusBarAnew()
    {
        CLedgerDlg &dlg = Open();
        for (int i = 0; i < 150; ++i)
            m_book->add(RecordKind::Income, QDate(2024, 3, 1).addDays(i), QStringLiteral("利息"), i + 1);
        dlg.SwitchToIncome();
        QPointer<QWidget> firstList = RecordList().Window();
        QPointer<CStatusBarCtrl> firstBar = dlg.StatusBar();
        QApplication::processEvents();
        QScrollBar *bar = RecordList().Window()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());

        dlg.SwitchToStart();
        QVERIFY(!RecordList().Window());
        QVERIFY(!dlg.StatusBar());
        QVERIFY(firstList.isNull());
        QVERIFY(firstBar.isNull());
        // The summary keeps what it showed: the entries were added behind
        // the program's back, and a switch counts nothing.
        QCOMPARE(Text(dlg.Control(1030)), QStringLiteral("2"));

        dlg.SwitchToIncome();
        QVERIFY(RecordList().Window());
        QVERIFY(dlg.StatusBar());
        QApplication::processEvents();
        bar = RecordList().Window()->verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(RecordList().GetItemText(RecordList().GetItemCount() - 1, 3), QStringLiteral("150.00"));
    }

    void statusFiguresOnStartScreenAndStatusBar()
    {
        CLedgerDlg &dlg = Open();
        QCOMPARE(Text(dlg.Control(1030)), QStringLiteral("2"));
        QCOMPARE(Text(dlg.Control(1031)), QStringLiteral("1"));
        QCOMPARE(Text(dlg.Control(1033)), QStringLiteral("1"));
        QCOMPARE(Text(dlg.Control(1032)), QStringLiteral("16643.20"));
        QCOMPARE(Text(dlg.Control(1026)), QStringLiteral("收入记录："));
        QCOMPARE(Text(dlg.Control(1028)), QStringLiteral("当前余额："));
        QCOMPARE(Text(dlg.Control(1037)), QStringLiteral("元"));
        dlg.SwitchToLoan();
        CStatusBarCtrl *bar = dlg.StatusBar();
        QCOMPARE(bar->Text(0), QStringLiteral("收入记录2条"));
        QCOMPARE(bar->Text(1), QStringLiteral("支出记录1条"));
        QCOMPARE(bar->Text(2), QStringLiteral("借贷记录1条"));
        QCOMPARE(bar->Text(3), QStringLiteral("当前余额16643.20元"));
        const int w = bar->width();
        QCOMPARE(bar->PartEdges(), (std::array<int, 4>{w / 5, 2 * (w / 5), 3 * (w / 5), w}));

        // More expense than income: a leading minus sign.
        m_book->add(RecordKind::Payout, QDate(2024, 5, 1), QStringLiteral("房租"), 16655.70);
        dlg.UpdateBookStatus();
        dlg.UpdateStatusTexts();
        QCOMPARE(bar->Text(3), QStringLiteral("当前余额-12.50元"));
        QCOMPARE(bar->Text(1), QStringLiteral("支出记录2条"));
        QCOMPARE(Text(dlg.Control(1032)), QStringLiteral("-12.50"));
    }

    void emptyBookShowsZeros()
    {
        m_book = std::make_unique<TestBook>();
        m_book->directLogin(QStringLiteral("爸爸"));
        m_dlg = std::make_unique<CLedgerDlg>();
        for (int id : {1030, 1031, 1033})
            QCOMPARE(Text(m_dlg->Control(id)), QStringLiteral("0"));
        QCOMPARE(Text(m_dlg->Control(1032)), QStringLiteral("0.00"));
        m_dlg->SwitchToIncome();
        QCOMPARE(RecordList().GetItemCount(), 0);
        QCOMPARE(m_dlg->StatusBar()->Text(3), QStringLiteral("当前余额0.00元"));
    }

    void titleAndPositionLabel()
    {
        CLedgerDlg &dlg = Open(false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("KestruneV2.5.1  —  当前用户：爸爸"));
        QCOMPARE(g_strCurUser, QStringLiteral("爸爸"));
        QLabel *label = qobject_cast<QLabel *>(dlg.Control(1007));
        QCOMPARE(label->font().family(), HeitiFamily());
        QCOMPARE(label->font().pointSizeF(), 16.9);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(label->alignment() & Qt::AlignHCenter);
        // The window cannot get so narrow that the label is cut.
        const int textRight = label->x() + (label->width() + label->fontMetrics().horizontalAdvance(label->text())) / 2;
        QVERIFY(dlg.Client()->minimumWidth() >= textRight);
    }

    void paintingFillsTheClientArea()
    {
        CLedgerDlg &dlg = Open();
        dlg.SwitchToIncome();
        const QImage shot = dlg.Client()->grab().toImage();
        // Between the list's left edge and the window's, below the strip.
        QCOMPARE(QColor(shot.pixel(2, 200)), QColor(235, 233, 237));
        QCOMPARE(QColor(shot.pixel(2, shot.height() - 40)), QColor(235, 233, 237));
    }

    void menusHoldEveryCommand()
    {
        CLedgerDlg &dlg = Open(false);
        QStringList seen;
        for (QAction *top : dlg.MenuBar()->actions()) {
            seen.append(top->text());
            for (QAction *item : top->menu()->actions())
                seen.append(item->isSeparator() ? QStringLiteral("  --") : QStringLiteral("  %1 %2").arg(item->objectName(), item->text()));
        }
        const QStringList expected = {
            QStringLiteral("系统管理(&S)"), QStringLiteral("  32802 管理用户(&M)..."), QStringLiteral("  32794 注销当前用户(&L)"),
            QStringLiteral("  --"), QStringLiteral("  32811 创建新账(&N)..."), QStringLiteral("  --"),
            QStringLiteral("  32774 退出系统(&X)"),
            QStringLiteral("选择模块(&M)"), QStringLiteral("  32777 收入记录(&I)"), QStringLiteral("  32778 支出记录(&P)"),
            QStringLiteral("  --"), QStringLiteral("  32779 查询统计(&Q)"), QStringLiteral("  32780 开始界面(&S)"),
            QStringLiteral("  --"), QStringLiteral("  32781 借贷情况(&L)"),
            QStringLiteral("设置(&D)"), QStringLiteral("  32782 设置名目(&C)..."), QStringLiteral("  32806 设置背景色(&B)..."),
            QStringLiteral("  --"), QStringLiteral("  32784 直接登录系统(&L)"),
            QStringLiteral("常用工具(&T)"), QStringLiteral("  32809 计算器(&C)..."), QStringLiteral("  32810 记事本(&B)..."),
            QStringLiteral("管理数据库(&D)"), QStringLiteral("  32803 导入恢复数据库(&I)..."),
            QStringLiteral("  32804 导出备份数据库(&E)..."),
            QStringLiteral("帮助(&H)"), QStringLiteral("  32775 帮助文档(&D)...   \tF1"), QStringLiteral("  --"),
            QStringLiteral("  32776 关于(&A)..."),
        };
        QCOMPARE(seen, expected);
        for (QAction *top : dlg.MenuBar()->actions()) {
            for (QAction *item : top->menu()->actions())
                QVERIFY(item->isEnabled());
        }
        QVERIFY(dlg.MenuCommand(32784)->isCheckable());
        QVERIFY(dlg.MenuCommand(32784)->isChecked());
        QCOMPARE(dlg.MenuCommand(32775)->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void menuItemsAndButtonsSwitchModules()
    {
        CLedgerDlg &dlg = Open();
        QSignalSpy commands(&dlg, &CLedgerDlg::CommandRun);
        dlg.MenuCommand(32778)->trigger();
        QCOMPARE(g_nModule, 2);
        dlg.MenuCommand(32780)->trigger();
        QCOMPARE(g_nModule, 0);
        QTest::mouseClick(dlg.Control(1003), Qt::LeftButton);
        QCOMPARE(g_nModule, 5);
        dlg.ToolBar()->Button(32789)->trigger();
        QCOMPARE(g_nModule, 3);
        dlg.ToolBar()->Button(32793)->trigger();
        QCOMPARE(g_nModule, 0);
        QTest::mouseClick(dlg.Control(1002), Qt::LeftButton);
        QCOMPARE(g_nModule, 3);
        dlg.MenuCommand(32777)->trigger();
        QCOMPARE(g_nModule, 1);
        dlg.MenuCommand(32779)->trigger();
        dlg.MenuCommand(32781)->trigger();
        QCOMPARE(g_nModule, 5);
        dlg.SwitchToStart();
        QTest::mouseClick(dlg.Control(1004), Qt::LeftButton);
        QCOMPARE(g_nModule, 1);
        QList<int> ids;
        for (const QList<QVariant> &call : commands)
            ids.append(call.at(0).toInt());
        QCOMPARE(ids, (QList<int>{32778, 32780, 32781, 32789, 32793, 32779, 32777, 32779, 32781, 32777}));
        // Enter on the start screen presses the default button: income.
        QVERIFY(qobject_cast<QPushButton *>(dlg.Control(1004))->isDefault());
    }

    void toolbarButtonsAndTips()
    {
        CLedgerDlg &dlg = Open();
        CColorToolBar *bar = dlg.ToolBar();
        QStringList order;
        for (QAction *action : bar->actions())
            order.append(action->isSeparator() ? QStringLiteral("|") : action->objectName());
        QCOMPARE(order, (QStringList{"32787", "32788", "|", "32789", "32793", "|", "32791"}));
        QCOMPARE(bar->iconSize(), QSize(66, 66));
        const QStringList tips = {QStringLiteral("收入记录"), QStringLiteral("支出记录"), QStringLiteral("查询备份"),
                                  QStringLiteral("开始界面"), QStringLiteral("借贷情况")};
        const int ids[] = {32787, 32788, 32789, 32793, 32791};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(bar->Button(ids[i])->toolTip(), tips[i]);
            auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(bar->Button(ids[i])));
            QVERIFY(button->width() >= 66 && button->height() >= 66);
            QVERIFY(bar->rect().contains(button->geometry()));
        }
        // Start screen: its own button pressed.
        QVERIFY(bar->Button(32793)->isChecked());
        QVERIFY(!bar->Button(32793)->isEnabled());
        // The whole toolbar lies above the strip at y = 80.
        QVERIFY2(bar->geometry().bottom() < 80, qPrintable(QStringLiteral("toolbar %1 high, buttons %2").arg(bar->height()).arg(bar->widgetForAction(bar->Button(32787))->height())));

        // Hovering the third button shows its tip.
        QWidget *query = bar->widgetForAction(bar->Button(32789));
        const QPoint centre = query->rect().center();
        QHelpEvent hover(QEvent::ToolTip, centre, query->mapToGlobal(centre));
        QApplication::sendEvent(query, &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("查询备份"));
        QToolTip::hideText();
    }

    void toolbarPicturesLoseTheirWhiteGround()
    {
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setPixel(1, 1, qRgb(200, 30, 30));
        picture.setPixel(2, 2, qRgb(254, 255, 255));
        const QImage masked = CColorToolBar::MaskedImage(picture);
        QCOMPARE(qAlpha(masked.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(masked.pixel(3, 3)), 0);
        QCOMPARE(masked.pixel(1, 1), qRgb(200, 30, 30));
        QCOMPARE(masked.pixel(2, 2), qRgb(254, 255, 255));

        // Drawn on a transparent ground: nothing to take away.
        QImage clear(4, 4, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        clear.setPixel(1, 1, qRgb(255, 255, 255));
        QCOMPARE(CColorToolBar::MaskedImage(clear).pixel(1, 1), qRgb(255, 255, 255));
    }

    void listCommandsReachTheMainWindow_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QList<int>>("commands");
        QTest::newRow("income") << 1
                                << QStringList{"32797 添加记录(&A)...", "32798 修改记录(&M)...", "--",
                                               "32799 删除记录(&D)", "--", "32805 导出Excel表(&E)..."}
                                << QList<int>{1011, 1012, 1013, 1015};
        QTest::newRow("loans") << 5
                               << QStringList{"32797 添加记录(&A)...", "32798 修改记录(&M)...", "--",
                                              "32799 删除记录(&D)", "--", "32805 导出Excel表(&E)..."}
                               << QList<int>{1011, 1012, 1013, 1015};
        QTest::newRow("query") << 3 << QStringList{"32800 查询(&Q)...", "--", "32801 导出Excel表(&E)..."}
                               << QList<int>{1011, 1015};
    }

    void listCommandsReachTheMainWindow()
    {
        QFETCH(int, module);
        QFETCH(QStringList, items);
        QFETCH(QList<int>, commands);
        CLedgerDlg &dlg = Open();
        dlg.SwitchToModule(module);
        QMenu menu;
        RecordList().FillContextMenu(&menu);
        QStringList seen;
        QList<QAction *> actions;
        for (QAction *item : menu.actions()) {
            seen.append(item->isSeparator() ? QStringLiteral("--") : item->objectName() + u' ' + item->text());
            if (!item->isSeparator())
                actions.append(item);
        }
        QCOMPARE(seen, items);
        QCOMPARE(menu.title(), module == 3 ? QStringLiteral("查询右键菜单") : QStringLiteral("右键菜单"));

        QSignalSpy run(&dlg, &CLedgerDlg::CommandRun);
        // Any modal box a command opens is closed at once.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        closer.start(50);
        for (QAction *action : actions)
            action->trigger();
        closer.stop();
        QList<int> ids;
        for (const QList<QVariant> &call : run)
            ids.append(call.at(0).toInt());
        QCOMPARE(ids, commands);
    }

    void doubleClickModifiesOnlyARow()
    {
        CLedgerDlg &dlg = Open();
        dlg.SwitchToIncome();
        CRecordListView *view = RecordList().Window();
        QApplication::processEvents();
        QSignalSpy run(&dlg, &CLedgerDlg::CommandRun);
        // Empty list space, nothing selected: nothing happens.
        const QPoint empty(20, view->viewport()->height() - 5);
        QCOMPARE(view->indexAt(empty).isValid(), false);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, empty);
        QCOMPARE(RecordList().GetSelectionMark(), -1);
        QCOMPARE(run.count(), 0);

        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        closer.start(50);
        const QPoint row = view->visualRect(RecordList().Model().index(1, 2)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row);
        closer.stop();
        QCOMPARE(RecordList().GetSelectionMark(), 1);
        QCOMPARE(run.count(), 1);
        QCOMPARE(run.at(0).at(0).toInt(), 1012);
    }

    void fixedRowColoursFollowTheModule()
    {
        CLedgerDlg &dlg = Open();
        dlg.SwitchToQuery();
        // What a query writes in place of the overview: summary row,
        // heading, the expense heading.
        CRecordListModel &model = RecordList().Model();
        model.Clear();
        model.AppendFixedRow({QStringLiteral("余额")});
        model.AppendFixedRow({QStringLiteral("收入记录")});
        model.AppendFixedRow({QStringLiteral("支出记录")});
        g_nPayoutHeaderRow = 2;
        RecordList().SetRowColor(2, QColor(255, 255, 0));
        QApplication::processEvents();
        const QColor yellow(255, 255, 0);
        for (int row : {0, 1, 2})
            QCOMPARE(model.data(model.index(row, 0), Qt::ForegroundRole).value<QColor>(), yellow);

        dlg.SwitchToIncome();
        QApplication::processEvents();
        for (int row : {0, 1})
            QCOMPARE(model.data(model.index(row, 0), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
        g_nPayoutHeaderRow = 0;
    }

    void escapeAndCloseBoxEndTheRun()
    {
        CLedgerDlg &dlg = Open();
        dlg.SwitchToIncome();
        QTest::keyClick(RecordList().Window(), Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), 2);

        CLedgerDlg &second = Open();
        second.close();
        QVERIFY(!second.isVisible());
        QCOMPARE(second.result(), 2);

        CLedgerDlg &third = Open();
        third.MenuCommand(32774)->trigger();
        QVERIFY(!third.isVisible());
        QCOMPARE(third.result(), 0);
    }

    void logOffAsksThenRestartsWithTheLogin()
    {
        int restarts = 0;
        SetRestartHook([&] { ++restarts; });
        CLedgerDlg &dlg = Open();
        m_prompter.answers.enqueue(MsgResult::No);
        dlg.MenuCommand(32794)->trigger();
        QCOMPARE(m_prompter.lastText(), QStringLiteral("真的要注销当前用户吗？"));
        QCOMPARE(m_prompter.shown.last().caption, QStringLiteral("注销"));
        QCOMPARE(m_prompter.shown.last().buttons, MsgButtons::YesNo);
        QCOMPARE(m_prompter.shown.last().icon, MsgIcon::Question);
        QVERIFY(dlg.isVisible());
        QCOMPARE(restarts, 0);

        m_prompter.answers.enqueue(MsgResult::Yes);
        dlg.MenuCommand(32794)->trigger();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), 0);
        QCOMPARE(restarts, 1);
        // The next start asks for the password again; the name stays.
        QVERIFY(m_book->readFile(QStringLiteral("set.ini")).startsWith("0\r\n"));
        SetRestartHook(nullptr);
    }

    void directLoginToggleWritesTheSetting()
    {
        CLedgerDlg &dlg = Open(false);
        QVERIFY(dlg.m_bDirectLogin);
        dlg.MenuCommand(32784)->trigger();
        QVERIFY(!dlg.m_bDirectLogin);
        QVERIFY(!dlg.MenuCommand(32784)->isChecked());
        QVERIFY(m_book->readFile(QStringLiteral("set.ini")).startsWith("0\r\n"));
        dlg.MenuCommand(32784)->trigger();
        QVERIFY(dlg.MenuCommand(32784)->isChecked());
        QVERIFY(m_book->readFile(QStringLiteral("set.ini")).startsWith("1\r\n"));
    }

    void helpOpensTheHelpPage()
    {
        CLedgerDlg &dlg = Open(false);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        dlg.MenuCommand(32775)->trigger();
        QVERIFY(catcher.urls.isEmpty()); // no help page beside the book: nothing happens
        m_book->writeFile(QStringLiteral("Kestrune帮助.html"), "<html></html>");
        dlg.MenuCommand(32775)->trigger();
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls.first().toLocalFile(), m_book->path(QStringLiteral("Kestrune帮助.html")));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    void aboutCommandShowsTheAboutBox()
    {
        CLedgerDlg &dlg = Open();
        QString title;
        QTimer::singleShot(100, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                title = modal->windowTitle();
                if (auto *ok = modal->findChild<QPushButton *>(QStringLiteral("1")))
                    ok->click();
            }
        });
        dlg.MenuCommand(32776)->trigger();
        QCOMPARE(title, QStringLiteral("关于 Orvendal"));
        QVERIFY(dlg.isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
