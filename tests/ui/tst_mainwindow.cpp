// The main window as a user meets it: where the start screen puts its
// controls, what every module switch shows and hides, the book's figures,
// the doors into the modules and the list's commands.

#include "support/WidgetTestMain.h"
#include "support/ScriptedPrompter.h"
#include "support/UrlCatcher.h"
#include "support/TestBook.h"

#include "app/Globals.h"
#include "mainwnd/CColorToolBar.h"
#include "mainwnd/CLedgerDlg.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "records/CRecordListCtrl.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using orv::RecordKind;

namespace {

constexpr int kStartScreen[] = {1004, 1001, 1002, 1000, 1003, 1025, 1026, 1027, 1028, 1029, 1030,
                                1031, 1032, 1033, 1034, 1035, 1036, 1037};

QString Text(QWidget *w)
{
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *button = qobject_cast<QPushButton *>(w))
        return button->text();
    return {};
}

// Each column of the list as "caption width".
QStringList Columns()
{
    QStringList columns;
    for (int c = 0; c < RecordList().GetColumnCount(); ++c)
        columns.append(QStringLiteral("%1 %2").arg(RecordList().GetColumnCaption(c)).arg(RecordList().Window()->columnWidth(c)));
    return columns;
}

// Closes whatever modal dialog a command brings up, while it lives.
struct ModalCloser
{
    QTimer timer;
    ModalCloser()
    {
        QObject::connect(&timer, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        timer.start(20);
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<CLedgerDlg> m_dlg;
    ScriptedPrompter m_prompter;

    // A book with two income entries, one expense and one loan, logged in
    // directly as 爸爸, and its window on screen.
    CLedgerDlg &Open(bool withEntries = true)
    {
        m_dlg.reset();
        m_book = std::make_unique<TestBook>();
        m_book->directLogin(QStringLiteral("爸爸"));
        if (withEntries) {
            m_book->add(RecordKind::Income, QDate(2024, 1, 5), QStringLiteral("工资"), 8500);
            m_book->add(RecordKind::Income, QDate(2024, 2, 5), QStringLiteral("工资"), 8500);
            m_book->add(RecordKind::Payout, QDate(2024, 1, 6), QStringLiteral("伙食"), 356.8);
            m_book->add(RecordKind::Loan, QDate(2024, 1, 20), QStringLiteral("借出"), 2000);
        }
        m_dlg = std::make_unique<CLedgerDlg>();
        m_dlg->show();
        if (!QTest::qWaitForWindowExposed(m_dlg.get()))
            qWarning("the main window was not exposed");
        return *m_dlg;
    }

    bool Shown(int id) const { return !m_dlg->Control(id)->isHidden(); }

    QList<QRect> StartButtons() const
    {
        QList<QRect> places;
        for (int id : {1004, 1001, 1002, 1000, 1003})
            places.append(m_dlg->Control(id)->geometry());
        return places;
    }

    static QList<QRect> StartRow(int y) // at a client width of 798
    {
        return {QRect(87, y, 92, 66), QRect(220, y, 92, 66), QRect(353, y, 92, 66), QRect(486, y, 92, 66),
                QRect(619, y, 92, 66)};
    }

    // Income, expense and loan counts and the balance on the start screen; the status bar.
    QStringList Figures() const
    {
        return {Text(m_dlg->Control(1030)), Text(m_dlg->Control(1031)), Text(m_dlg->Control(1033)),
                Text(m_dlg->Control(1032))};
    }
    QStringList BarTexts() const
    {
        QStringList texts;
        for (int part = 0; part < 4; ++part)
            texts.append(m_dlg->StatusBar()->Text(part));
        return texts;
    }

private Q_SLOTS:
    void cleanup()
    {
        m_dlg.reset();
        m_book.reset();
        m_prompter.clear();
    }

    void startScreenLayoutAtWidth798AndAfterResize()
    {
        CLedgerDlg &dlg = Open();
        QCOMPARE(dlg.Client()->width(), 798);
        const int h = dlg.Client()->height();
        QCOMPARE(StartButtons(), StartRow(3 * ((h + 62) / 4) - 33));
        const int mid = (h + 62) / 2;
        QCOMPARE(dlg.Control(1025)->geometry(), QRect(199, mid - 50, 400, 100));
        QCOMPARE(dlg.Control(1032)->geometry(), QRect(484, mid + 14, 100, 18));
        QVERIFY(Shown(1000));
        QVERIFY(dlg.Control(1000)->isEnabled());
        for (int id : {1011, 1012, 1013, 1014, 1015})
            QVERIFY2(!Shown(id), qPrintable(QString::number(id)));
        QVERIFY(!dlg.StatusBar());
        QCOMPARE(Text(dlg.Control(1007)), QStringLiteral("当前位置：开始界面"));
        // The window cannot get so narrow that the position label is cut.
        auto *label = qobject_cast<QLabel *>(dlg.Control(1007));
        QVERIFY(dlg.Client()->minimumWidth() >=
                label->x() + (label->width() + label->fontMetrics().horizontalAdvance(label->text())) / 2);
        // Showing and painting do not lay the window out again.
        QCoreApplication::processEvents();
        QCOMPARE(StartButtons(), StartRow(3 * ((h + 62) / 4) - 33));

        // A real resize does, ten pixels lower than at first.
        dlg.resize(dlg.width() + 100, dlg.height() + 40);
        QTRY_COMPARE(dlg.Client()->width(), 898);
        const int h2 = dlg.Client()->height();
        QCOMPARE(dlg.Control(1004)->geometry(), QRect(898 / 6 - 46, 3 * ((h2 + 62) / 4) - 23, 92, 66));
        QCOMPARE(dlg.Control(1003)->x(), 5 * (898 / 6) - 46);

        // So does the way back from a module.
        CLedgerDlg &again = Open();
        again.SwitchToIncome();
        again.SwitchToStart();
        QCOMPARE(StartButtons(), StartRow(3 * ((h + 62) / 4) - 23));
    }

    void modulesShowTheirListAndButtons_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("pressed");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("columns");
        const QStringList records = {"序号 43", "日期 120", "名目 100", "金额（元） 100", "备注 210", "记录人 80"};
        QTest::newRow("income") << 1 << "当前位置：收入记录" << 32787 << 2 << records;
        QTest::newRow("expense") << 2 << "当前位置：支出记录" << 32788 << 1 << records;
        QTest::newRow("loans") << 5 << "当前位置：借贷情况" << 32791 << 1 << records;
        // The overview: balance, income heading and 2 entries, expense heading and 1.
        QTest::newRow("query") << 3 << "当前位置：查询备份" << 32789 << 6
                               << QStringList{"类别 78", "日期 *", "名目 80", "金额（元） 90", "备注 *", "记录人 70"};
    }

    void modulesShowTheirListAndButtons()
    {
        QFETCH(int, module);
        QFETCH(QString, position);
        QFETCH(int, pressed);
        QFETCH(int, rows);
        QFETCH(QStringList, columns);
        CLedgerDlg &dlg = Open();
        dlg.SwitchToModule(module);
        QCOMPARE(g_nModule, module);
        QCOMPARE(Text(dlg.Control(1007)), position);
        QCOMPARE(Text(dlg.Control(1011)), module == 3 ? QStringLiteral("查询(&Q)...") : QStringLiteral("添加(&A)..."));
        for (int id : kStartScreen)
            QVERIFY2(!Shown(id), qPrintable(QString::number(id)));
        QCOMPARE(RecordList().GetItemCount(), rows);
        QStringList shown = Columns();
        if (module == 3) {
            // The overview's date column grows to show whole dates, at the remark column's cost.
            const CRecordListView *view = RecordList().Window();
            // The remark column gives up what the date (and amount) columns take.
        int total = 0;
        for (int c = 0; c < 6; ++c)
            total += view->columnWidth(c);
        QCOMPARE(total, 78 + 100 + 80 + 90 + 262 + 70);
            shown[1] = QStringLiteral("日期 *");
            shown[4] = QStringLiteral("备注 *");
        }
        QCOMPARE(shown, columns);
        QVERIFY(QApplication::focusWidget() == RecordList().Window());
        for (int id : {32787, 32788, 32789, 32813, 32793, 32791}) {
            QCOMPARE(dlg.ToolBar()->Button(id)->isChecked(), id == pressed);
            QCOMPARE(dlg.ToolBar()->Button(id)->isEnabled(), id != pressed);
        }
        QVERIFY(dlg.ToolBar()->geometry().bottom() < 80); // above the strip
        QCOMPARE(QColor(dlg.Client()->grab().toImage().pixel(2, 200)), QColor(235, 233, 237));

        // Buttons (the query module has no modify and delete), list and
        // status bar where they belong, before and after a resize.
        for (const int w : {798, 858}) {
            if (w == 858)
                dlg.resize(dlg.width() + 60, dlg.height() + 30);
            QTRY_COMPARE(dlg.Client()->width(), w);
            const int h = dlg.Client()->height();
            QList<QRect> buttons, places;
            for (int id : {1011, 1012, 1013, 1015, 1014})
                if (Shown(id))
                    buttons.append(dlg.Control(id)->geometry());
            for (int x : module == 3 ? QList<int>{w / 4, 3 * (w / 4)}
                                     : QList<int>{w / 7, 8 * (w / 21), 13 * (w / 21), 6 * (w / 7)})
                places.append(QRect(x - 55, h - 60, 110, 28));
            places.append(QRect(6, h - 76, w - 12, 53));
            QCOMPARE(buttons, places);
            QCOMPARE(RecordList().Window()->geometry(), QRect(6, 86, w - 12, h - (w == 798 ? 166 : 169)));
            QCOMPARE(dlg.StatusBar()->geometry(), QRect(0, h - 25, w, 25));
            QCOMPARE(dlg.Control(1007)->geometry().topLeft(), QPoint(420, 18));
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
        // The remark column gives up what the date (and amount) columns take.
        int total = 0;
        for (int c = 0; c < 6; ++c)
            total += view->columnWidth(c);
        QCOMPARE(total, 78 + 100 + 80 + 90 + 262 + 70);
    }

    void switchingModulesMakesListAndStatusBarAnew()
    {
        CLedgerDlg &dlg = Open();
        // Added behind the program's back (another window): the list made
        // anew shows them, scrolled to the end, and the figures count them.
        for (int i = 0; i < 150; ++i)
            m_book->add(RecordKind::Income, QDate(2024, 3, 1).addDays(i), QStringLiteral("利息"), i + 1);
        dlg.SwitchToIncome();
        QApplication::processEvents();
        const QScrollBar *bar = RecordList().Window()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
        QPointer<QWidget> list = RecordList().Window();
        QPointer<CStatusBarCtrl> statusBar = dlg.StatusBar();
        dlg.SwitchToStart();
        QVERIFY(list.isNull() && statusBar.isNull());
        QCOMPARE(Text(dlg.Control(1030)), QStringLiteral("152"));
    }

    void bookFigures()
    {
        CLedgerDlg &dlg = Open();
        QCOMPARE(Figures(), (QStringList{"2", "1", "1", "16643.20"}));
        dlg.SwitchToLoan();
        QCOMPARE(BarTexts(), (QStringList{"收入记录2条", "支出记录1条", "借贷记录1条", "当前余额16643.20元"}));
        // More expense than income: a leading minus sign.
        m_book->add(RecordKind::Payout, QDate(2024, 5, 1), QStringLiteral("房租"), 16655.70);
        dlg.UpdateBookStatus();
        dlg.UpdateStatusTexts();
        QCOMPARE(BarTexts().mid(1), (QStringList{"支出记录2条", "借贷记录1条", "当前余额-12.50元"}));
        QCOMPARE(Figures().last(), QStringLiteral("-12.50"));

        CLedgerDlg &empty = Open(false);
        QCOMPARE(Figures(), (QStringList{"0", "0", "0", "0.00"}));
        empty.SwitchToIncome();
        QCOMPARE(RecordList().GetItemCount(), 0);
        QCOMPARE(BarTexts(), (QStringList{"收入记录0条", "支出记录0条", "借贷记录0条", "当前余额0.00元"}));
    }

    void everyDoorLeadsToItsModule()
    {
        CLedgerDlg &dlg = Open();
        auto menu = [&](int id) { dlg.MenuCommand(id)->trigger(); return g_nModule; };
        auto tool = [&](int id) { dlg.ToolBar()->Button(id)->trigger(); return g_nModule; };
        auto button = [&](int id) {
            dlg.SwitchToStart();
            QTest::mouseClick(dlg.Control(id), Qt::LeftButton);
            return g_nModule;
        };
        const QList<int> reached = {menu(32777), menu(32778), menu(32779), menu(32812), menu(32781), menu(32780),
                                    tool(32787), tool(32788), tool(32789), tool(32813), tool(32791), tool(32793),
                                    button(1004), button(1001), button(1002), button(1000), button(1003)};
        QCOMPARE(reached, (QList<int>{1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5}));
        // Enter on the start screen presses income.
        dlg.SwitchToStart();
        QVERIFY(qobject_cast<QPushButton *>(dlg.Control(1004))->isDefault());
    }

    void toolbarPicturesLoseTheirWhiteGround()
    {
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setPixel(1, 1, qRgb(254, 255, 255));
        const QImage masked = CColorToolBar::MaskedImage(picture);
        QCOMPARE(qAlpha(masked.pixel(0, 0)), 0);
        QCOMPARE(masked.pixel(1, 1), qRgb(254, 255, 255));
    }

    void listMenuRunsTheListCommands()
    {
        CLedgerDlg &dlg = Open();
        QSignalSpy run(&dlg, &CLedgerDlg::CommandRun);
        for (int module : {5, 3}) {
            dlg.SwitchToModule(module);
            QMenu menu;
            RecordList().FillContextMenu(&menu);
            ModalCloser closer;
            for (QAction *item : menu.actions())
                item->trigger();
        }
        QList<int> ids;
        for (const QList<QVariant> &call : run)
            ids.append(call.at(0).toInt());
        QCOMPARE(ids, (QList<int>{1011, 1012, 1013, 1015, 1011, 1015}));
    }

    void helpAndAbout()
    {
        CLedgerDlg &dlg = Open();
        auto catcher = std::make_unique<UrlCatcher>();
        m_prompter.clear();
        dlg.MenuCommand(32775)->trigger(); // no help page beside the book: the user is told
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY(m_prompter.lastText().contains(QStringLiteral("Kestrune帮助.html")));
        QVERIFY(catcher->urls().isEmpty());
        m_book->writeFile(QStringLiteral("Kestrune帮助.html"), "<html></html>");
        dlg.MenuCommand(32775)->trigger();
        QCOMPARE(catcher->urls(), QList<QUrl>{QUrl::fromLocalFile(m_book->path(QStringLiteral("Kestrune帮助.html")))});
        QCOMPARE(m_prompter.shown.size(), 1);
        // No browser: the opener says so, and so does the program.
        catcher.reset(); // the PATH of before, then the new opener on it
        catcher = std::make_unique<UrlCatcher>(3);
        dlg.MenuCommand(32775)->trigger();
        QCOMPARE(catcher->urls().size(), 1);
        QCOMPARE(m_prompter.shown.size(), 2);
        QVERIFY(m_prompter.lastText().startsWith(QStringLiteral("无法打开帮助文档")));
        QVERIFY(m_prompter.lastText().contains(QStringLiteral("no method available")));
        catcher.reset();
        m_prompter.clear();

        QString title;
        QTimer::singleShot(0, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                title = modal->windowTitle();
                modal->close();
            }
        });
        dlg.MenuCommand(32776)->trigger();
        QCOMPARE(title, QStringLiteral("关于 Orvendal"));
        QVERIFY(dlg.isVisible());
    }

    void desktopToolsStartTheFirstFoundOrSayNoneIsThere()
    {
        CLedgerDlg &dlg = Open();
        QTemporaryDir bin;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        m_prompter.clear();
        dlg.MenuCommand(32809)->trigger();
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY(m_prompter.lastText().contains(QStringLiteral("计算器")));

        // A calculator on the PATH starts, in the program folder, without a word.
        const QString started = m_book->path(QStringLiteral("started"));
        QFile fake(bin.filePath(QStringLiteral("xcalc")));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\npwd > started\n");
        fake.close();
        fake.setPermissions(fake.permissions() | QFileDevice::ExeOwner);
        dlg.MenuCommand(32809)->trigger();
        qputenv("PATH", path);
        QCOMPARE(m_prompter.shown.size(), 1);
        QTRY_VERIFY(QFile::exists(started));
    }
};

ORV_WIDGET_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
