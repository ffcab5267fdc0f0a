// What the query module's list shows: the overview on entering it, the
// four kinds of query result, their totals and colours, failures, and
// re-sorting by a header click.
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/CAmountEdit.h"
#include "query/CQueryDlg.h"
#include "query/QueryDialogCommand.h"
#include "records/CRecordListCtrl.h"
#include "store/TextForms.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

using orv::RecordKind;

namespace {

const QColor kYellow(255, 255, 0);
const QColor kBlack(0, 0, 0);
const QString kMayLabel = QStringLiteral("2009年5月1日 至 2009年5月31日");

QStringList Row(int row)
{
    QStringList cells;
    for (int column = 0; column < 6; ++column)
        cells.append(RecordList().GetItemText(row, column));
    return cells;
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

    // Sets the dialog's range and May 2009, and runs the query.
    void Query(const char *rangeId, std::function<void(CQueryDlg &)> more = {});

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void emptyCombinedResult();
    void combinedResult();
    void enterInAPickerRunsTheQuery();
    void combinedResultWithCriteria();
    void singleKindResults_data();
    void singleKindResults();
    void loanResult();
    void loanResultKeepsConclusionBesideRemark();
    void emptyLoanResult();
    void nextQueryResetsExpenseHeadingColour();
    void eachQueryReplacesTheList();
    void enterWithEmptyFromBoxCountsAsZero();
    void typedQuotesAndWildcardsAreHarmless();
    void bookThatWillNotOpen();
    void statementRefusedMidway();
    void resortCombinedResult();
    void resortSingleKindResult();
    void overview();
    void resortOverview();
    void queryDialogFromTheMainWindow();
};

void TestQueryResults::initTestCase()
{
    m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{{QStringLiteral("爸爸"), QStringLiteral("1")},
                                                                       {QStringLiteral("妈妈"), QStringLiteral("2")}});
    m_prompter = std::make_unique<ScriptedPrompter>();
    SetPrompter(m_prompter.get());
    TestBook &b = *m_book;
    b.add(RecordKind::Income, QDate(2009, 5, 20), QStringLiteral("奖金"), 800, QStringLiteral("季度奖"), QStringLiteral("妈妈"));
    b.add(RecordKind::Income, QDate(2009, 5, 3), QStringLiteral("工资"), 5200, QStringLiteral("五月工资"));
    b.add(RecordKind::Income, QDate(2009, 4, 3), QStringLiteral("工资"), 5100, QStringLiteral("四月工资"));
    b.add(RecordKind::Payout, QDate(2009, 5, 31), QStringLiteral("住房"), 1500, QStringLiteral("房租"));
    b.add(RecordKind::Payout, QDate(2009, 5, 1), QStringLiteral("餐饮"), 35.5, QStringLiteral("午饭"), QStringLiteral("妈妈"));
    b.add(RecordKind::Payout, QDate(2009, 5, 9), QStringLiteral("餐饮"), 120, QStringLiteral("家里聚餐"));
    b.add(RecordKind::Payout, QDate(2008, 12, 9), QStringLiteral("交通"), 60, QStringLiteral("去年的车票"));
    b.add(RecordKind::Loan, QDate(2009, 5, 2), QStringLiteral("借出"), 100, QStringLiteral("借给小王"));
    b.add(RecordKind::Loan, QDate(2009, 5, 6), QStringLiteral("还入"), 30, QStringLiteral("小王还钱"));
    b.add(RecordKind::Loan, QDate(2009, 5, 8), QStringLiteral("利息"), 5, QStringLiteral("小王给的利息"));
}

void TestQueryResults::init()
{
    m_prompter->clear();
    g_nModule = 3;
    RecordList().CreateListWindow(&m_host, QRect(0, 0, 700, 400), ListColumns::Query, QColor(115, 151, 234));
    m_dlg = std::make_unique<CQueryDlg>();
}

void TestQueryResults::cleanup()
{
    m_dlg.reset();
    QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->texts().join(u'|')));
}

void TestQueryResults::Query(const char *rangeId, std::function<void(CQueryDlg &)> more)
{
    m_dlg->findChild<QRadioButton *>(rangeId)->click();
    m_dlg->DateFromPicker()->setDate(QDate(2009, 5, 1));
    m_dlg->DateToPicker()->setDate(QDate(2009, 5, 31));
    if (more)
        more(*m_dlg);
    m_dlg->findChild<QPushButton *>("1")->click();
}

void TestQueryResults::emptyCombinedResult()
{
    Query("1034", [](CQueryDlg &dlg) {
        dlg.DateFromPicker()->setDate(QDate(2001, 1, 1));
        dlg.DateToPicker()->setDate(QDate(2001, 1, 31));
    });
    QCOMPARE(RecordList().GetItemCount(), 3);
    const QString period = QStringLiteral("2001年1月1日 至 2001年1月31日");
    QCOMPARE(Row(0), (QStringList{"余额", period, "所有", "0.00", "所有", ""}));
    QCOMPARE(Row(1), (QStringList{"收入记录", period, "所有", "0.00", "所有", "所有"}));
    QCOMPARE(Row(2), (QStringList{"支出记录", period, "所有", "0.00", "所有", "所有"}));
    QCOMPARE(g_nPayoutHeaderRow, 2);
    QCOMPARE(RowColor(0), kYellow);
    QCOMPARE(RowColor(1), kYellow);
    QCOMPARE(RowColor(2), kYellow);
    QCOMPARE(RecordList().m_nQueryKind, 0);
}

void TestQueryResults::combinedResult()
{
    Query("1034");
    QCOMPARE(RecordList().GetItemCount(), 8);
    QCOMPARE(Row(0), (QStringList{"余额", kMayLabel, "所有", "4344.50", "所有", ""}));
    QCOMPARE(Row(1), (QStringList{"收入记录", kMayLabel, "所有", "6000.00", "所有", "所有"}));
    QCOMPARE(Row(2), (QStringList{"", "2009年5月3日", "工资", "5200.00", "五月工资", "爸爸"}));
    QCOMPARE(Row(3), (QStringList{"", "2009年5月20日", "奖金", "800.00", "季度奖", "妈妈"}));
    QCOMPARE(Row(4), (QStringList{"支出记录", kMayLabel, "所有", "1655.50", "所有", "所有"}));
    QCOMPARE(Column(4, 5, 7), (QStringList{"午饭", "家里聚餐", "房租"}));
    QCOMPARE(Column(1, 5, 7), (QStringList{"2009年5月1日", "2009年5月9日", "2009年5月31日"}));
    QCOMPARE(Column(3, 5, 7), (QStringList{"35.50", "120.00", "1500.00"}));
    QCOMPARE(g_nPayoutHeaderRow, 4);
    QCOMPARE(RowColor(4), kYellow);
    QVERIFY(!RowColor(2).isValid() || RowColor(2) == kBlack);
    QCOMPARE(RecordList().m_nQueryKind, 0);
    QCOMPARE(RecordList().m_query, m_dlg->m_query);
    QCOMPARE(RecordList().m_query.dateFrom, QDate(2009, 5, 1));

    // The period shows whole; the remark column makes room for it as far
    // as it can, so the columns take the width they took.
    const CRecordListView *view = RecordList().Window();
    QVERIFY(view->columnWidth(1) > view->fontMetrics().horizontalAdvance(kMayLabel));
    int total = 0;
    for (int column = 0; column < 6; ++column)
        total += view->columnWidth(column);
    if (view->columnWidth(4) > 160)
        QCOMPARE(total, 78 + 100 + 80 + 90 + 262 + 70);
    else
        QCOMPARE(view->columnWidth(4), 160);
}

void TestQueryResults::enterInAPickerRunsTheQuery()
{
    m_dlg->show();
    m_dlg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    m_dlg->findChild<QRadioButton *>("1035")->click();
    m_dlg->DateFromPicker()->setDate(QDate(2009, 5, 1));
    m_dlg->DateToPicker()->setDate(QDate(2009, 5, 31));
    m_dlg->DateToPicker()->setFocus();
    QTRY_VERIFY(m_dlg->DateToPicker()->hasFocus());
    QTest::keyClick(m_dlg->DateToPicker(), Qt::Key_Return);
    QCOMPARE(RecordList().m_nQueryKind, 1);
    QCOMPARE(RecordList().GetItemText(0, 3), QStringLiteral("6000.00"));
    QVERIFY(m_dlg->isVisible());
    QTest::keyClick(m_dlg->DateToPicker(), Qt::Key_Escape);
    QVERIFY(!m_dlg->isVisible());
}

void TestQueryResults::combinedResultWithCriteria()
{
    Query("1034", [](CQueryDlg &dlg) {
        dlg.findChild<QRadioButton *>("1099")->click();
        dlg.CategoryBox()->setEditText(QStringLiteral("餐"));
        dlg.RemarkBox()->setEditText(QStringLiteral("饭"));
        dlg.UserBox()->setCurrentIndex(2); // 妈妈
    });
    QCOMPARE(RecordList().GetItemCount(), 4);
    QCOMPARE(Row(0), (QStringList{"余额", kMayLabel, "餐", "-35.50", "饭", "妈妈"}));
    QCOMPARE(Row(1), (QStringList{"收入记录", kMayLabel, "餐", "0.00", "饭", "妈妈"}));
    QCOMPARE(Row(2), (QStringList{"支出记录", kMayLabel, "餐", "35.50", "饭", "妈妈"}));
    QCOMPARE(Row(3), (QStringList{"", "2009年5月1日", "餐饮", "35.50", "午饭", "妈妈"}));
    QCOMPARE(g_nPayoutHeaderRow, 2);
}

void TestQueryResults::singleKindResults_data()
{
    QTest::addColumn<QString>("rangeId");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("summary");
    QTest::addColumn<QStringList>("heading");
    QTest::addColumn<QStringList>("remarks");

    QTest::newRow("income") << "1035" << 1 << "选择全部"
                            << QStringList{"收入金额", kMayLabel, "所有", "6000.00", "所有", ""}
                            << QStringList{"收入记录", "", "", "", "", ""}
                            << QStringList{"五月工资", "季度奖"};
    QTest::newRow("expense") << "1036" << 2 << "选择全部"
                             << QStringList{"支出金额", kMayLabel, "所有", "1655.50", "所有", ""}
                             << QStringList{"支出记录", "", "", "", "", ""}
                             << QStringList{"午饭", "家里聚餐", "房租"};
    QTest::newRow("expense of one user") << "1036" << 2 << "爸爸"
                                         << QStringList{"支出金额", kMayLabel, "所有", "1620.00", "所有", "爸爸"}
                                         << QStringList{"支出记录", "", "", "", "", ""}
                                         << QStringList{"家里聚餐", "房租"};
}

void TestQueryResults::singleKindResults()
{
    QFETCH(QString, rangeId);
    QFETCH(int, kind);
    QFETCH(QString, user);
    QFETCH(QStringList, summary);
    QFETCH(QStringList, heading);
    QFETCH(QStringList, remarks);

    Query(qPrintable(rangeId), [&](CQueryDlg &dlg) { dlg.UserBox()->setEditText(user); });
    QCOMPARE(RecordList().GetItemCount(), 2 + remarks.size());
    QCOMPARE(Row(0), summary);
    QCOMPARE(Row(1), heading);
    QCOMPARE(Column(4, 2, RecordList().GetItemCount() - 1), remarks);
    QCOMPARE(Column(0, 2, RecordList().GetItemCount() - 1), QStringList(remarks.size(), QString()));
    QCOMPARE(RowColor(0), kYellow);
    QCOMPARE(RowColor(1), kYellow);
    QCOMPARE(RecordList().m_nQueryKind, kind);
}

void TestQueryResults::loanResult()
{
    Query("1037");
    QCOMPARE(RecordList().GetItemCount(), 5);
    QCOMPARE(Row(0), (QStringList{"借贷总计", kMayLabel, "所有", "70.00", "别人欠你钱", ""}));
    QCOMPARE(Row(1), (QStringList{"借贷记录", "", "", "", "", ""}));
    // The entry of another category is listed but counted in no sum.
    QCOMPARE(Row(4), (QStringList{"", "2009年5月8日", "利息", "5.00", "小王给的利息", "爸爸"}));
    QCOMPARE(RecordList().m_nQueryKind, 3);

    Query("1037", [](CQueryDlg &dlg) {
        dlg.CategoryBox()->setCurrentIndex(2); // 借入
        dlg.UserBox()->setEditText(QStringLiteral("爸爸"));
    });
    QCOMPARE(Row(0), (QStringList{"借贷总计", kMayLabel, "借入", "0.00", "互不相欠", "爸爸"}));
    QCOMPARE(RecordList().GetItemCount(), 2);
}

void TestQueryResults::loanResultKeepsConclusionBesideRemark()
{
    Query("1037", [](CQueryDlg &dlg) {
        dlg.findChild<QRadioButton *>("1099")->click();
        dlg.RemarkBox()->setEditText(QStringLiteral("小王还"));
    });
    QCOMPARE(RecordList().GetItemCount(), 3);
    QCOMPARE(Row(0), (QStringList{"借贷总计", kMayLabel, "所有", "30.00", "你欠别人钱", ""}));
    QCOMPARE(Row(1), (QStringList{"借贷记录", "", "", "", "小王还", ""}));
}

void TestQueryResults::emptyLoanResult()
{
    Query("1037", [](CQueryDlg &dlg) { dlg.DateFromPicker()->setDate(QDate(2009, 5, 31)); });
    QCOMPARE(RecordList().GetItemCount(), 2);
    QCOMPARE(Row(0), (QStringList{"借贷总计", "2009年5月31日 至 2009年5月31日", "所有", "0.00", "互不相欠", ""}));
}

void TestQueryResults::nextQueryResetsExpenseHeadingColour()
{
    Query("1034");
    QCOMPARE(g_nPayoutHeaderRow, 4);
    QCOMPARE(RowColor(4), kYellow);
    Query("1035", [](CQueryDlg &dlg) {
        dlg.DateFromPicker()->setDate(QDate(2009, 1, 1));
        dlg.DateToPicker()->setDate(QDate(2009, 12, 31));
    });
    // Row 4 is an ordinary row now, plain again; the index stays where it was.
    QCOMPARE(RecordList().GetItemCount(), 5);
    QCOMPARE(Row(4).at(4), QStringLiteral("季度奖"));
    QCOMPARE(g_nPayoutHeaderRow, 4);
    QCOMPARE(RowColor(4), kBlack);
    QCOMPARE(RowColor(0), kYellow);
    QCOMPARE(RowColor(1), kYellow);
}

void TestQueryResults::eachQueryReplacesTheList()
{
    Query("1036");
    QCOMPARE(RecordList().GetItemCount(), 5);
    Query("1035");
    QCOMPARE(RecordList().GetItemCount(), 4);
    QCOMPARE(Column(4, 2, 3), (QStringList{"五月工资", "季度奖"}));
    QCOMPARE(RecordList().m_nQueryKind, 1);
    QVERIFY(m_dlg->findChild<QPushButton *>("1")->isEnabled());
}

void TestQueryResults::enterWithEmptyFromBoxCountsAsZero()
{
    m_dlg->show();
    m_dlg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    m_dlg->findChild<QRadioButton *>("1036")->click();
    m_dlg->DateFromPicker()->setDate(QDate(2009, 5, 1));
    m_dlg->DateToPicker()->setDate(QDate(2009, 5, 31));
    CAmountEdit *from = m_dlg->MoneyFromEdit();
    from->setFocus();
    QTRY_VERIFY(from->hasFocus());
    from->clear();
    m_dlg->MoneyToEdit()->setText(QStringLiteral("120"));
    QTest::keyClick(from, Qt::Key_Return);
    QCOMPARE(from->text(), QString()); // still in the box, still empty
    QCOMPARE(RecordList().m_nQueryKind, 2);
    QCOMPARE(Column(4, 2, RecordList().GetItemCount() - 1), (QStringList{"午饭", "家里聚餐"}));
}

void TestQueryResults::typedQuotesAndWildcardsAreHarmless()
{
    for (int mode : {0, 1}) {
        Query("1034", [&](CQueryDlg &dlg) {
            dlg.findChild<QRadioButton *>(mode ? "1099" : "1098")->click();
            dlg.CategoryBox()->setEditText(QStringLiteral("'"));
            dlg.RemarkBox()->setEditText(QStringLiteral("%' OR ''='"));
            dlg.UserBox()->setEditText(QStringLiteral("_"));
        });
        QCOMPARE(RecordList().GetItemCount(), 3);
        QCOMPARE(RecordList().GetItemText(0, 2), QStringLiteral("'"));
        QCOMPARE(RecordList().GetItemText(0, 4), QStringLiteral("%' OR ''='"));
        QCOMPARE(RecordList().m_nQueryKind, 0);
    }
}

void TestQueryResults::bookThatWillNotOpen()
{
    Query("1035");
    QCOMPARE(RecordList().m_nQueryKind, 1);
    const orv::QueryCriteria before = RecordList().m_query;

    const QString book = m_book->bookPath();
    const QString aside = book + QStringLiteral(".aside");
    // The book goes missing after the category box was filled.
    Query("1037", [&](CQueryDlg &) { QVERIFY(QFile::rename(book, aside)); });
    QVERIFY(QFile::rename(aside, book));
    QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("不能打开数据库")});
    m_prompter->clear();
    // The list keeps what was written; the query is not recorded.
    QCOMPARE(RecordList().GetItemCount(), 1);
    QCOMPARE(Row(0), (QStringList{"借贷总计", "", "所有", "", "所有", ""}));
    QCOMPARE(RecordList().m_nQueryKind, 1);
    QCOMPARE(RecordList().m_query, before);
}

void TestQueryResults::statementRefusedMidway()
{
    const auto back = qScopeGuard([this] { g_strAppDir = m_book->dir(); });
    TestBook broken;
    broken.add(RecordKind::Income, QDate(2009, 5, 4), QStringLiteral("工资"), 10, QStringLiteral("只有收入"));
    broken.exec(QStringLiteral("DROP TABLE \"PAYOUT\""));
    RecordList().m_nQueryKind = -1;
    Query("1034");
    QCOMPARE(m_prompter->shown.size(), 1);
    QCOMPARE(m_prompter->shown[0].icon, MsgIcon::Stop);
    QVERIFY(m_prompter->shown[0].text.contains(QStringLiteral("PAYOUT")));
    m_prompter->clear();
    // Written up to the failure: summary, income block, expense heading.
    QCOMPARE(RecordList().GetItemCount(), 4);
    QCOMPARE(Row(1), (QStringList{"收入记录", "", "", "10.00", "", ""}));
    QCOMPARE(Row(2).at(4), QStringLiteral("只有收入"));
    QCOMPARE(Row(3), (QStringList{"支出记录", "", "", "", "", ""}));
    QCOMPARE(g_nPayoutHeaderRow, 3);
    QCOMPARE(RowColor(3), kYellow);
    QCOMPARE(RecordList().m_nQueryKind, -1);
}

void TestQueryResults::resortCombinedResult()
{
    Query("1034");
    const int rows = RecordList().GetItemCount();
    CRecordListCtrl &list = RecordList();
    list.m_bAscending = false;
    list.OnColumnClick(3); // 金额, ascending
    QCOMPARE(list.GetItemCount(), rows);
    QCOMPARE(Row(0).at(0), QStringLiteral("余额"));
    QCOMPARE(Row(1).at(0), QStringLiteral("收入记录"));
    QCOMPARE(Row(4), (QStringList{"支出记录", kMayLabel, "所有", "1655.50", "所有", "所有"}));
    QCOMPARE(Column(3, 2, 3), (QStringList{"800.00", "5200.00"}));
    QCOMPARE(Column(3, 5, 7), (QStringList{"35.50", "120.00", "1500.00"}));
    QCOMPARE(RowColor(4), kYellow);
    QCOMPARE(g_nPayoutHeaderRow, 4);

    list.OnColumnClick(1); // 日期, descending now
    QCOMPARE(Column(1, 2, 3), (QStringList{"2009年5月20日", "2009年5月3日"}));
    QCOMPARE(Column(1, 5, 7), (QStringList{"2009年5月31日", "2009年5月9日", "2009年5月1日"}));
    QCOMPARE(Row(4).at(0), QStringLiteral("支出记录"));
    QCOMPARE(RowColor(4), kYellow);
}

void TestQueryResults::resortSingleKindResult()
{
    Query("1037");
    CRecordListCtrl &list = RecordList();
    list.m_bAscending = true;
    list.OnColumnClick(4); // 备注, descending
    QCOMPARE(list.GetItemCount(), 5);
    QCOMPARE(Row(0).at(4), QStringLiteral("别人欠你钱"));
    QCOMPARE(Row(1).at(0), QStringLiteral("借贷记录"));
    QCOMPARE(Column(3, 2, 4), (QStringList{"30.00", "5.00", "100.00"})); // 小王还钱, 小王给的利息, 借给小王
    list.OnColumnClick(0); // only flips the direction
    QCOMPARE(Column(3, 2, 4), (QStringList{"30.00", "5.00", "100.00"}));
    list.OnColumnClick(3); // descending again
    QCOMPARE(Column(3, 2, 4), (QStringList{"100.00", "30.00", "5.00"}));
}

void TestQueryResults::overview()
{
    m_book->directLogin(QStringLiteral("爸爸"));
    CLedgerDlg main;
    main.SwitchToQuery();
    QCOMPARE(g_nModule, 3);
    CRecordListCtrl &list = RecordList();
    QCOMPARE(list.m_nQueryKind, -1);
    QVERIFY(list.Window());
    // Every income and expense entry, whatever its date; no loans.
    QCOMPARE(list.GetItemCount(), 3 + 3 + 4);
    QCOMPARE(Row(0), (QStringList{"余额", orv::dateText(QDate::currentDate()), "所有", "9384.50", "总余额数", ""}));
    QCOMPARE(Row(1), (QStringList{"收入记录", "", "", "11100.00", "收入总金额", ""}));
    QCOMPARE(Column(4, 2, 4), (QStringList{"四月工资", "五月工资", "季度奖"}));
    QCOMPARE(Row(5), (QStringList{"支出记录", "", "", "1715.50", "支出总金额", ""}));
    QCOMPARE(Column(4, 6, 9), (QStringList{"去年的车票", "午饭", "家里聚餐", "房租"}));
    QCOMPARE(Column(0, 6, 9), QStringList(4, QString()));
    QCOMPARE(g_nPayoutHeaderRow, 5);
    QCOMPARE(RowColor(0), kYellow);
    QCOMPARE(RowColor(1), kYellow);
    QCOMPARE(RowColor(5), kYellow);
    QVERIFY(!RowColor(2).isValid());
    // The totals are the book's own figures, as the status bar shows them.
    QCOMPARE(main.m_dIncomeSum, 11100.0);
    QCOMPARE(main.m_dBalance, 9384.50);
}

void TestQueryResults::resortOverview()
{
    m_book->directLogin(QStringLiteral("爸爸"));
    CLedgerDlg main;
    main.SwitchToQuery();
    CRecordListCtrl &list = RecordList();
    list.m_bAscending = true;
    list.OnColumnClick(3); // 金额, descending
    QCOMPARE(list.GetItemCount(), 10);
    QCOMPARE(Column(3, 2, 4), (QStringList{"5200.00", "5100.00", "800.00"}));
    QCOMPARE(Row(5).at(0), QStringLiteral("支出记录"));
    QCOMPARE(Column(3, 6, 9), (QStringList{"1500.00", "120.00", "60.00", "35.50"}));
    QCOMPARE(RowColor(5), kYellow);
}

void TestQueryResults::queryDialogFromTheMainWindow()
{
    m_book->directLogin(QStringLiteral("爸爸"));
    CLedgerDlg main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.SwitchToQuery();
    bool answered = false;
    // Should the dialog not behave, it is closed rather than left waiting.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(10000);
    QTimer::singleShot(0, this, [&] {
        auto *dlg = qobject_cast<CQueryDlg *>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        dlg->findChild<QRadioButton *>("1036")->click();
        dlg->DateFromPicker()->setDate(QDate(2009, 5, 1));
        dlg->DateToPicker()->setDate(QDate(2009, 5, 31));
        dlg->findChild<QPushButton *>("1")->click();
        // The dialog stays for the next query; the list behind it is filled.
        QVERIFY(dlg->isVisible());
        QCOMPARE(RecordList().GetItemCount(), 5);
        dlg->findChild<QPushButton *>("2")->click();
        answered = true;
    });
    RunQueryDialog(&main);
    QVERIFY(answered);
    QCOMPARE(RecordList().m_nQueryKind, 2);
    QCOMPARE(Row(0).at(0), QStringLiteral("支出金额"));
    // The list has the focus back (the window's focus, whether or not the window is active).
    QCOMPARE(main.focusWidget(), RecordList().Window());
}

QTEST_MAIN(TestQueryResults)
#include "tst_queryresults.moc"
