// What the query module's list shows: the overview on entering it, the
// four kinds of query result with their totals and colours, failures, and
// re-sorting by a header click.
#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/CQueryDlg.h"
#include "query/QueryDialogCommand.h"
#include "records/CRecordListCtrl.h"
#include "model/TextForms.h"
#include "support/NextModal.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

using orv::RecordKind;

namespace {

const QColor kYellow(255, 255, 0);
const QString kMayLabel = QStringLiteral("2009年5月1日 至 2009年5月31日");

// A row's cells joined by '|'.
QString Row(int row)
{
    QStringList cells;
    for (int column = 0; column < 6; ++column)
        cells.append(RecordList().GetItemText(row, column));
    return cells.join(u'|');
}

QStringList Rows()
{
    QStringList rows;
    for (int row = 0; row < RecordList().GetItemCount(); ++row)
        rows.append(Row(row));
    return rows;
}

QStringList Column(int column, int first, int last)
{
    QStringList cells;
    for (int row = first; row <= last; ++row)
        cells.append(RecordList().GetItemText(row, column));
    return cells;
}

QColor RowColor(int row)
{
    const CRecordListModel &model = RecordList().Model();
    return model.data(model.index(row, 0), Qt::ForegroundRole).value<QColor>();
}

} // namespace

class TestQueryResults final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CQueryDlg> m_dlg;
    // Where the query module's list lives while a test runs without the main window.
    QWidget m_host;

    // Picks a range, May 2009 and the typed criteria, then runs the query.
    void Query(const char *rangeId, bool fuzzy = false, const QString &category = QStringLiteral("选择全部"),
               const QString &remark = QStringLiteral("选择全部"), const QString &user = QStringLiteral("选择全部"))
    {
        m_dlg->findChild<QRadioButton *>(rangeId)->click();
        m_dlg->findChild<QRadioButton *>(fuzzy ? "1099" : "1098")->click();
        m_dlg->DateFromPicker()->setDate(QDate(2009, 5, 1));
        m_dlg->DateToPicker()->setDate(QDate(2009, 5, 31));
        m_dlg->CategoryBox()->setEditText(category);
        m_dlg->RemarkBox()->setEditText(remark);
        m_dlg->UserBox()->setEditText(user);
        m_dlg->findChild<QPushButton *>("1")->click();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{
            {QStringLiteral("爸爸"), QStringLiteral("1")}, {QStringLiteral("妈妈"), QStringLiteral("2")}});
        m_prompter = std::make_unique<ScriptedPrompter>();
        SetPrompter(m_prompter.get());
        TestBook &b = *m_book;
        b.add(RecordKind::Income, QDate(2009, 5, 20), "奖金", 800, "季度奖", "妈妈");
        b.add(RecordKind::Income, QDate(2009, 5, 3), "工资", 5200, "五月工资");
        b.add(RecordKind::Income, QDate(2009, 4, 3), "工资", 5100, "四月工资");
        b.add(RecordKind::Payout, QDate(2009, 5, 31), "住房", 1500, "房租");
        b.add(RecordKind::Payout, QDate(2009, 5, 1), "餐饮", 35.5, "午饭", "妈妈");
        b.add(RecordKind::Payout, QDate(2009, 5, 9), "餐饮", 120, "家里聚餐");
        b.add(RecordKind::Payout, QDate(2008, 12, 9), "交通", 60, "去年的车票");
        b.add(RecordKind::Loan, QDate(2009, 5, 2), "借出", 100, "借给小王");
        b.add(RecordKind::Loan, QDate(2009, 5, 6), "还入", 30, "小王还钱");
        b.add(RecordKind::Loan, QDate(2009, 5, 8), "利息", 5, "小王给的利息");
    }
    void init()
    {
        m_prompter->clear();
        g_nModule = 3;
        RecordList().CreateListWindow(&m_host, QRect(0, 0, 700, 400), ListColumns::Query, QColor(115, 151, 234));
        m_dlg = std::make_unique<CQueryDlg>();
    }
    void cleanup()
    {
        m_dlg.reset();
        QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->texts().join(u'|')));
    }

    void results_data()
    {
        QTest::addColumn<QString>("rangeId");
        QTest::addColumn<bool>("fuzzy");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("remark");
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("rows"); // "@" stands for the period
        const QString all = QStringLiteral("选择全部");
        const QString trap = QStringLiteral("%' OR ''='");

        QTest::newRow("income and expense") << "1034" << false << all << all << all << 0 << QStringList{
            "余额|@|所有|4344.50|所有|", "收入记录|@|所有|6000.00|所有|所有", "|2009年5月3日|工资|5200.00|五月工资|爸爸",
            "|2009年5月20日|奖金|800.00|季度奖|妈妈", "支出记录|@|所有|1655.50|所有|所有",
            "|2009年5月1日|餐饮|35.50|午饭|妈妈", "|2009年5月9日|餐饮|120.00|家里聚餐|爸爸",
            "|2009年5月31日|住房|1500.00|房租|爸爸"};
        QTest::newRow("income and expense, fuzzy, negative balance") << "1034" << true << "餐" << "饭" << "妈妈" << 0
            << QStringList{"余额|@|餐|-35.50|饭|妈妈", "收入记录|@|餐|0.00|饭|妈妈", "支出记录|@|餐|35.50|饭|妈妈",
                           "|2009年5月1日|餐饮|35.50|午饭|妈妈"};
        QTest::newRow("income and expense, nothing found") << "1034" << false << "无此名目" << all << all << 0
            << QStringList{"余额|@|无此名目|0.00|所有|", "收入记录|@|无此名目|0.00|所有|所有",
                           "支出记录|@|无此名目|0.00|所有|所有"};
        QTest::newRow("quotes and wildcards typed") << "1034" << true << "'" << trap << "_" << 0
            << QStringList{"余额|@|'|0.00|" + trap + "|_", "收入记录|@|'|0.00|" + trap + "|_",
                           "支出记录|@|'|0.00|" + trap + "|_"};
        QTest::newRow("income") << "1035" << false << all << all << all << 1 << QStringList{
            "收入金额|@|所有|6000.00|所有|", "收入记录|||||", "|2009年5月3日|工资|5200.00|五月工资|爸爸",
            "|2009年5月20日|奖金|800.00|季度奖|妈妈"};
        QTest::newRow("expense of one user") << "1036" << false << all << all << "爸爸" << 2 << QStringList{
            "支出金额|@|所有|1620.00|所有|爸爸", "支出记录|||||", "|2009年5月9日|餐饮|120.00|家里聚餐|爸爸",
            "|2009年5月31日|住房|1500.00|房租|爸爸"};
        // The entry of another category is listed but counted in no sum.
        QTest::newRow("loans") << "1037" << false << all << all << all << 3 << QStringList{
            "借贷总计|@|所有|70.00|别人欠你钱|", "借贷记录|||||", "|2009年5月2日|借出|100.00|借给小王|爸爸",
            "|2009年5月6日|还入|30.00|小王还钱|爸爸", "|2009年5月8日|利息|5.00|小王给的利息|爸爸"};
        QTest::newRow("loans, fuzzy remark beside the conclusion") << "1037" << true << all << "小王还" << all << 3
            << QStringList{"借贷总计|@|所有|30.00|你欠别人钱|", "借贷记录||||小王还|", "|2009年5月6日|还入|30.00|小王还钱|爸爸"};
        QTest::newRow("loans, nothing found") << "1037" << false << "借入" << all << "爸爸" << 3
            << QStringList{"借贷总计|@|借入|0.00|互不相欠|爸爸", "借贷记录|||||"};
    }
    void results()
    {
        QFETCH(QString, rangeId);
        QFETCH(bool, fuzzy);
        QFETCH(QString, category);
        QFETCH(QString, remark);
        QFETCH(QString, user);
        QFETCH(int, kind);
        QFETCH(QStringList, rows);
        Query(qPrintable(rangeId), fuzzy, category, remark, user);
        QCOMPARE(Rows(), rows.replaceInStrings(QStringLiteral("@"), kMayLabel));
        // Summary and headings yellow, entries plain.
        for (int row = 0; row < rows.size(); ++row)
            QCOMPARE(RowColor(row) == kYellow, !RecordList().GetItemText(row, 0).isEmpty());
        if (kind == 0)
            QCOMPARE(RecordList().GetItemText(g_nPayoutHeaderRow, 0), QStringLiteral("支出记录"));
        QCOMPARE(RecordList().m_nQueryKind, kind);
        QCOMPARE(RecordList().m_query, m_dlg->m_query);
    }

    void nextQueryResetsExpenseHeadingColour()
    {
        Query("1034");
        QCOMPARE(g_nPayoutHeaderRow, 4);
        // The period shows whole.
        QVERIFY(RecordList().Window()->columnWidth(1) >
                RecordList().Window()->fontMetrics().horizontalAdvance(kMayLabel));
        m_dlg->findChild<QRadioButton *>("1035")->click();
        m_dlg->DateFromPicker()->setDate(QDate(2009, 1, 1));
        m_dlg->findChild<QPushButton *>("1")->click();
        // Row 4 is an ordinary row now, plain again.
        QCOMPARE(RecordList().GetItemCount(), 5);
        QCOMPARE(RecordList().GetItemText(4, 4), QStringLiteral("季度奖"));
        QCOMPARE(RowColor(4), QColor(0, 0, 0));
    }

    void enterInAPickerRunsTheQueryEscapeCloses()
    {
        m_dlg->show();
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
        m_dlg->DateToPicker()->setFocus();
        QTRY_VERIFY(m_dlg->DateToPicker()->hasFocus());
        m_dlg->findChild<QRadioButton *>("1035")->click();
        m_dlg->DateFromPicker()->setDate(QDate(2009, 5, 1));
        m_dlg->DateToPicker()->setDate(QDate(2009, 5, 31));
        QTest::keyClick(m_dlg->DateToPicker(), Qt::Key_Return);
        QCOMPARE(RecordList().m_nQueryKind, 1);
        QCOMPARE(RecordList().GetItemText(0, 3), QStringLiteral("6000.00"));
        QVERIFY(m_dlg->isVisible());
        QTest::keyClick(m_dlg->DateToPicker(), Qt::Key_Escape);
        QVERIFY(!m_dlg->isVisible());
    }

    void bookThatWillNotOpen()
    {
        ORV_FILE_BOOK_ONLY();
        Query("1035");
        const orv::QueryCriteria before = RecordList().m_query;
        const QString book = m_book->bookPath();
        // The book goes missing after the category box was filled.
        m_dlg->findChild<QRadioButton *>("1037")->click();
        QVERIFY(QFile::rename(book, book + ".aside"));
        m_dlg->findChild<QPushButton *>("1")->click();
        QVERIFY(QFile::rename(book + ".aside", book));
        QCOMPARE(m_prompter->shown.size(), 1);
        QCOMPARE(m_prompter->lastText().section(u'\n', 0, 0), QStringLiteral("不能打开数据库"));
        QVERIFY(m_prompter->lastText().contains(QStringLiteral("找不到帐本文件")));
        m_prompter->clear();
        // The list keeps what was written; the query is not recorded.
        QCOMPARE(Rows(), QStringList{"借贷总计||所有||所有|"});
        QCOMPARE(RecordList().m_nQueryKind, 1);
        QCOMPARE(RecordList().m_query, before);
    }

    void statementRefusedMidway()
    {
        const auto back = qScopeGuard([this] { g_strAppDir = m_book->dir(); });
        TestBook broken;
        broken.add(RecordKind::Income, QDate(2009, 5, 4), "工资", 10, "只有收入");
        broken.exec(QStringLiteral("DROP TABLE \"PAYOUT\""));
        RecordList().m_nQueryKind = -1;
        Query("1034");
        QCOMPARE(m_prompter->shown.size(), 1);
        QCOMPARE(m_prompter->shown[0].icon, MsgIcon::Stop);
        QVERIFY(m_prompter->shown[0].text.contains(QStringLiteral("PAYOUT")));
        m_prompter->clear();
        // Written up to the failure: summary, income block, expense heading.
        QCOMPARE(Rows().mid(1), (QStringList{"收入记录|||10.00||", "|2009年5月4日|工资|10.00|只有收入|爸爸",
                                             "支出记录|||||"}));
        QCOMPARE(g_nPayoutHeaderRow, 3);
        QCOMPARE(RowColor(3), kYellow);
        QCOMPARE(RecordList().m_nQueryKind, -1);
    }

    void resortCombinedResult()
    {
        Query("1034");
        const QStringList before = Rows();
        CRecordListCtrl &list = RecordList();
        list.m_bAscending = false;
        list.OnColumnClick(3); // 金额, ascending
        QCOMPARE(list.GetItemCount(), before.size());
        for (int row : {0, 1, 4}) {
            QCOMPARE(Row(row), before[row]);
            QCOMPARE(RowColor(row), kYellow);
        }
        QCOMPARE(Column(3, 2, 3), (QStringList{"800.00", "5200.00"}));
        QCOMPARE(Column(3, 5, 7), (QStringList{"35.50", "120.00", "1500.00"}));
        QCOMPARE(g_nPayoutHeaderRow, 4);
        list.OnColumnClick(1); // 日期, descending now
        QCOMPARE(Column(1, 2, 3), (QStringList{"2009年5月20日", "2009年5月3日"}));
        QCOMPARE(Column(1, 5, 7), (QStringList{"2009年5月31日", "2009年5月9日", "2009年5月1日"}));
        QCOMPARE(Row(4), before[4]);
    }

    void overviewAndTheDialogFromTheMainWindow()
    {
        m_book->directLogin(QStringLiteral("爸爸"));
        CLedgerDlg main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.SwitchToQuery();
        QCOMPARE(RecordList().m_nQueryKind, -1);
        // Every income and expense entry, whatever its date; no loans.
        const QStringList rows = Rows();
        QCOMPARE(rows.size(), 10);
        QCOMPARE(rows[0], "余额|" + orv::dateText(QDate::currentDate()) + "|所有|9384.50|总余额数|");
        QCOMPARE(rows[1], QStringLiteral("收入记录|||11100.00|收入总金额|"));
        QCOMPARE(Column(4, 2, 4), (QStringList{"四月工资", "五月工资", "季度奖"}));
        QCOMPARE(rows[5], QStringLiteral("支出记录|||1715.50|支出总金额|"));
        QCOMPARE(Column(4, 6, 9), (QStringList{"去年的车票", "午饭", "家里聚餐", "房租"}));
        QCOMPARE(g_nPayoutHeaderRow, 5);
        for (int row = 0; row < rows.size(); ++row)
            QCOMPARE(RowColor(row) == kYellow, row == 0 || row == 1 || row == 5);

        bool seen = false;
        WithNextModal<CQueryDlg>(seen, [](CQueryDlg *dlg) {
            dlg->findChild<QRadioButton *>("1036")->click();
            dlg->DateFromPicker()->setDate(QDate(2009, 5, 1));
            dlg->DateToPicker()->setDate(QDate(2009, 5, 31));
            dlg->findChild<QPushButton *>("1")->click();
            // The dialog stays for the next query; the list behind it is filled.
            QVERIFY(dlg->isVisible());
            QCOMPARE(RecordList().GetItemCount(), 5);
            dlg->findChild<QPushButton *>("2")->click();
        });
        RunQueryDialog(&main);
        QVERIFY(seen);
        QCOMPARE(RecordList().GetItemText(0, 0), QStringLiteral("支出金额"));
        // The list has the focus back (the window's focus, whether or not the window is active).
        QCOMPARE(main.focusWidget(), RecordList().Window());
    }
};

ORV_WIDGET_TEST_MAIN(TestQueryResults)
#include "tst_queryresults.moc"
