// The financial-analysis module as a family meets it: where it sits in the
// main window, the period and its buttons, each chart drawing its series
// with its figures beside it, tips, clicks that open the query module on
// the same entries and totals, following the book, and the pictures and the
// workbook it saves.

#include "analysis/AnalysisColors.h"
#include "analysis/CAnalysisPage.h"
#include "analysis/CAnalysisView.h"
#include "analysis/CPeriodBar.h"
#include "app/AppBook.h"
#include "app/Globals.h"
#include "mainwnd/CColorToolBar.h"
#include "mainwnd/CLedgerDlg.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "records/CRecordListCtrl.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "support/XlsxReadBack.h"

#include <QAbstractBarSeries>
#include <QAction>
#include <QBarSet>
#include <QChart>
#include <QBarCategoryAxis>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using orv::AnalysisChart;
using orv::AnalysisPeriod;
using orv::QueryCriteria;
using orv::QueryRange;
using orv::RecordKind;

namespace {

const QString kDad = QStringLiteral("爸爸");
const QString kMum = QStringLiteral("妈妈");

// A row of the figures beside a chart, its cells joined by '|'.
QString RowText(const QTreeWidgetItem *item)
{
    QStringList cells;
    for (int c = 0; c < item->columnCount(); ++c)
        cells.append(item->text(c));
    return cells.join(u'|');
}

QStringList TopRows(const CAnalysisPage *page)
{
    QStringList rows;
    for (int i = 0; i < page->Figures()->topLevelItemCount(); ++i)
        rows.append(RowText(page->Figures()->topLevelItem(i)));
    return rows;
}

// A row of the query module's list, its cells joined by '|'.
QString ListRow(int row)
{
    QStringList cells;
    for (int c = 0; c < 6; ++c)
        cells.append(RecordList().GetItemText(row, c));
    return cells.join(u'|');
}

// How many pixels of an image are exactly this colour.
int PixelsOf(const QImage &picture, quint32 rgb)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += (line[x] & 0xffffff) == rgb;
    }
    return count;
}

// The same within the chart's plot on screen (not its legend).
int PlotPixelsOf(const CAnalysisPage *page, quint32 rgb)
{
    QChart *chart = page->Chart();
    QChartView *view = page->ChartView();
    const QRect plot = view->mapFromScene(chart->mapToScene(chart->plotArea())).boundingRect();
    return PixelsOf(view->grab(plot).toImage(), rgb);
}

QueryCriteria Criteria(QueryRange range, const QDate &from, const QDate &to, const QString &category = orv::kSelectAll,
                       const QString &user = orv::kSelectAll)
{
    QueryCriteria criteria;
    criteria.range = range;
    criteria.dateFrom = from;
    criteria.dateTo = to;
    criteria.category = category;
    criteria.user = user;
    return criteria;
}

// The user picks an entry of a drop-down box.
void Choose(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

template <typename T>
T *SeriesOf(const CAnalysisPage *page, int index = 0)
{
    return qobject_cast<T *>(page->Chart()->series().value(index));
}

} // namespace

class TestAnalysisModule final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<CLedgerDlg> m_dlg;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    QTemporaryDir m_out;

    // A family's first months of 2024 (and a loan of the year before),
    // logged in directly as 爸爸, the module on screen with 2024.
    CLedgerDlg &Open()
    {
        m_dlg.reset();
        m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{{kDad, QStringLiteral("1")},
                                                                          {kMum, QStringLiteral("2")}});
        m_book->directLogin(kDad);
        TestBook &b = *m_book;
        b.add(RecordKind::Income, QDate(2024, 2, 1), "奖金", 0.1, "一毛", kDad);
        b.add(RecordKind::Income, QDate(2024, 2, 29), "奖金", 0.2, "两毛", kMum);
        b.add(RecordKind::Income, QDate(2024, 3, 15), "工资", 5000, "三月工资", kMum);
        b.add(RecordKind::Payout, QDate(2024, 1, 31), "餐饮", 35.5, "饺子", kDad);
        b.add(RecordKind::Payout, QDate(2024, 3, 1), "住房", 1500, "房租", kMum);
        b.add(RecordKind::Payout, QDate(2024, 3, 2), "餐饮", 64.5, "聚餐", kDad);
        b.add(RecordKind::Loan, QDate(2023, 12, 31), "借出", 100, "借给小王", kDad);
        b.add(RecordKind::Loan, QDate(2024, 3, 1), "还入", 30, "小王还", kDad);
        b.add(RecordKind::Loan, QDate(2024, 3, 2), "利息", 5, "小王的利息", kDad);
        m_dlg = std::make_unique<CLedgerDlg>();
        m_dlg->show();
        if (!QTest::qWaitForWindowExposed(m_dlg.get()))
            qWarning("the main window was not exposed");
        QTest::mouseClick(m_dlg->Control(1000), Qt::LeftButton);
        View().SetPeriod(AnalysisPeriod::year(2024));
        return *m_dlg;
    }

    CAnalysisView &View() const { return *m_dlg->AnalysisView(); }
    CAnalysisPage *Page(AnalysisChart chart) const
    {
        View().SetCurrentChart(chart);
        return View().Page(chart);
    }
    bool Shown(int id) const { return !m_dlg->Control(id)->isHidden(); }

private Q_SLOTS:
    void init()
    {
        m_prompter = std::make_unique<ScriptedPrompter>();
    }
    void cleanup()
    {
        m_dlg.reset();
        m_book.reset();
        m_prompter.reset();
    }

    void theModuleInTheMainWindow()
    {
        CLedgerDlg &dlg = Open();
        QCOMPARE(g_nModule, 4);
        QCOMPARE(qobject_cast<QLabel *>(dlg.Control(1007))->text(), QStringLiteral("当前位置：财务分析"));
        QVERIFY(dlg.ToolBar()->Button(32813)->isChecked());
        QVERIFY(!dlg.ToolBar()->Button(32813)->isEnabled());
        QCOMPARE(CColorToolBar::TipText(32813), QStringLiteral("财务分析"));
        QCOMPARE(qobject_cast<QPushButton *>(dlg.Control(1011))->text(), QStringLiteral("保存图片(&P)..."));
        for (int id : {1011, 1015, 1014})
            QVERIFY2(Shown(id), qPrintable(QString::number(id)));
        for (int id : {1012, 1013, 1004, 1000, 1025})
            QVERIFY2(!Shown(id), qPrintable(QString::number(id)));
        QVERIFY(!RecordList().Window());
        QCOMPARE(dlg.StatusBar()->Text(0), QStringLiteral("收入记录3条"));
        QCOMPARE(dlg.StatusBar()->Text(3), QStringLiteral("当前余额3400.30元"));
        // Laid out as the query module, the charts where its list would be, before and after a resize.
        for (const int w : {798, 878}) {
            if (w == 878)
                dlg.resize(dlg.width() + 80, dlg.height() + 40);
            QTRY_COMPARE(dlg.Client()->width(), w);
            const int h = dlg.Client()->height();
            QCOMPARE(View().geometry(), QRect(6, 86, w - 12, h - 169));
            QCOMPARE(dlg.Control(1011)->geometry(), QRect(w / 4 - 55, h - 60, 110, 28));
            QCOMPARE(dlg.Control(1015)->geometry(), QRect(3 * (w / 4) - 55, h - 60, 110, 28));
            QCOMPARE(dlg.StatusBar()->geometry(), QRect(0, h - 25, w, 25));
        }
        // The tables take the user's list colour.
        QCOMPARE(Page(AnalysisChart::Trend)->Figures()->palette().color(QPalette::Base), dlg.m_crBack);
        m_prompter->colors.enqueue(QColor(170, 214, 178));
        dlg.OnSetBackColor();
        QCOMPARE(g_nModule, 4);
        QCOMPARE(Page(AnalysisChart::Loans)->Figures()->palette().color(QPalette::Base), QColor(170, 214, 178));

        // Other modules hide it.
        dlg.SwitchToIncome();
        QVERIFY(View().isHidden());
        QCOMPARE(RecordList().GetItemCount(), 3);
        dlg.SwitchToStart();
        QVERIFY(View().isHidden());
        QVERIFY(Shown(1000));

        // Esc ends the run, as everywhere in the window.
        dlg.SwitchToAnalysis();
        QTest::keyClick(Page(AnalysisChart::Trend)->Figures(), Qt::Key_Escape);
        QTRY_VERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), 2);
    }

    void thePeriodStaysWhileOtherModulesAreShown()
    {
        CLedgerDlg &dlg = Open();
        View().SetPeriod(AnalysisPeriod::month(2024, 2));
        View().SetCurrentChart(AnalysisChart::Members);
        dlg.SwitchToQuery();
        dlg.SwitchToStart();
        dlg.MenuCommand(32812)->trigger();
        QCOMPARE(View().Period(), AnalysisPeriod::month(2024, 2));
        QCOMPARE(View().CurrentChart(), AnalysisChart::Members);
        QCOMPARE(View().PeriodBar()->KindBox()->currentText(), QStringLiteral("按月"));
        QCOMPARE(View().PeriodBar()->MonthEdit()->date(), QDate(2024, 2, 1));
    }

    void periodBar_data()
    {
        QTest::addColumn<AnalysisPeriod>("start");
        QTest::addColumn<std::function<void(CPeriodBar *)>>("act");
        QTest::addColumn<AnalysisPeriod>("period");
        QTest::addColumn<QString>("days");
        QTest::addColumn<bool>("steps");
        using Act = std::function<void(CPeriodBar *)>;
        const auto year = AnalysisPeriod::year(2024);
        const auto february = AnalysisPeriod::month(2024, 2);
        QTest::newRow("next year") << year << Act([](CPeriodBar *bar) { bar->NextButton()->click(); })
                                   << AnalysisPeriod::year(2025) << "2025年1月1日 至 2025年12月31日" << true;
        QTest::newRow("a year typed") << year << Act([](CPeriodBar *bar) { bar->YearBox()->setValue(2023); })
                                      << AnalysisPeriod::year(2023) << "2023年1月1日 至 2023年12月31日" << true;
        QTest::newRow("by month: the year's first") << year << Act([](CPeriodBar *bar) { Choose(bar->KindBox(), 1); })
                                                    << AnalysisPeriod::month(2024, 1) << "2024年1月1日 至 2024年1月31日"
                                                    << true;
        QTest::newRow("previous month over New Year")
            << AnalysisPeriod::month(2024, 1) << Act([](CPeriodBar *bar) { bar->PreviousButton()->click(); })
            << AnalysisPeriod::month(2023, 12) << "2023年12月1日 至 2023年12月31日" << true;
        QTest::newRow("a range keeps the days shown") << february << Act([](CPeriodBar *bar) { Choose(bar->KindBox(), 2); })
                                                      << AnalysisPeriod::range(QDate(2024, 2, 1), QDate(2024, 2, 29))
                                                      << "2024年2月1日 至 2024年2月29日" << true;
        QTest::newRow("a whole-month range moves by months")
            << AnalysisPeriod::range(QDate(2024, 2, 1), QDate(2024, 2, 29))
            << Act([](CPeriodBar *bar) { bar->NextButton()->click(); })
            << AnalysisPeriod::range(QDate(2024, 3, 1), QDate(2024, 3, 31)) << "2024年3月1日 至 2024年3月31日" << true;
        QTest::newRow("from past to takes to along")
            << AnalysisPeriod::range(QDate(2024, 2, 1), QDate(2024, 2, 29))
            << Act([](CPeriodBar *bar) { bar->FromEdit()->setDate(QDate(2024, 3, 5)); })
            << AnalysisPeriod::range(QDate(2024, 3, 5), QDate(2024, 3, 5)) << "2024年3月5日 至 2024年3月5日" << true;
        QTest::newRow("the whole book: its span, no steps")
            << year << Act([](CPeriodBar *bar) { Choose(bar->KindBox(), 3); }) << AnalysisPeriod::whole()
            << "2023年12月31日 至 2024年3月15日" << false;
    }
    void periodBar()
    {
        QFETCH(AnalysisPeriod, start);
        QFETCH(std::function<void(CPeriodBar *)>, act);
        QFETCH(AnalysisPeriod, period);
        QFETCH(QString, days);
        QFETCH(bool, steps);
        Open();
        View().SetPeriod(start);
        CPeriodBar *bar = View().PeriodBar();
        act(bar);
        QCOMPARE(View().Period(), period);
        QCOMPARE(bar->DaysLabel()->text(), days);
        QCOMPARE(bar->PreviousButton()->isEnabled(), steps);
        QCOMPARE(bar->NextButton()->isEnabled(), steps);
        // The chart on screen was drawn for it.
        QVERIFY(Page(AnalysisChart::Trend)->Chart()->title().contains(period.label().toHtmlEscaped()));
    }

    void eachChartDrawsItsSeries_data()
    {
        QTest::addColumn<int>("chart");
        QTest::addColumn<QList<quint32>>("colours");
        // Those that go in a year without entries (lines of nothing stay, at 0).
        QTest::addColumn<QList<quint32>>("gone");
        const QList<quint32> slices{orv::sliceColor(0, false), orv::sliceColor(1, false)};
        const QList<quint32> parts{orv::partColor(true, 0, false), orv::partColor(false, 0, false),
                                   orv::partColor(false, 1, false)};
        QTest::newRow("trend") << int(AnalysisChart::Trend)
                               << QList<quint32>{orv::kIncomeColor, orv::kPayoutColor, orv::kBalanceColor, orv::kRunningColor}
                               << QList<quint32>{orv::kIncomeColor, orv::kPayoutColor};
        QTest::newRow("expense") << int(AnalysisChart::PayoutShares) << slices << slices;
        // 奖金's 0.30 beside 工资's 5000.00 is too thin a slice to see.
        QTest::newRow("income") << int(AnalysisChart::IncomeShares) << slices.mid(0, 1) << slices.mid(0, 1);
        QTest::newRow("members") << int(AnalysisChart::Members) << parts << parts;
        // Nothing is owed by the family: its line lies on 0, under none other.
        QTest::newRow("loans") << int(AnalysisChart::Loans)
                               << QList<quint32>{orv::kOwedByFamilyColor, orv::kBalanceColor} << QList<quint32>{};
    }
    void eachChartDrawsItsSeries()
    {
        QFETCH(int, chart);
        QFETCH(QList<quint32>, colours);
        QFETCH(QList<quint32>, gone);
        Open();
        const CAnalysisPage *page = Page(AnalysisChart(chart));
        for (quint32 colour : colours)
            QVERIFY2(PlotPixelsOf(page, colour) > 30, qPrintable(QString::number(colour, 16)));
        View().SetPeriod(AnalysisPeriod::year(2020));
        for (quint32 colour : gone)
            QVERIFY2(PlotPixelsOf(page, colour) == 0, qPrintable(QString::number(colour, 16)));
    }

    // Twelve months under a small chart would be cut to "…": they slant
    // there, and stand upright again where each fits under its bar.
    void monthLabelsSlantOnlyWhenCrowded()
    {
        CLedgerDlg &dlg = Open();
        View().SetPeriod(AnalysisPeriod::year(2024));
        const CAnalysisPage *page = Page(AnalysisChart::Trend);
        // The angle, and none cut short once slanted.
        auto labelsAngle = [page]() -> qreal {
            const QList<QAbstractAxis *> axes = page->Chart()->axes(Qt::Horizontal);
            auto *categories = axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis *>(axes.first());
            if (!categories || (categories->labelsAngle() != 0 && categories->truncateLabels()))
                return 999.0;
            return categories->labelsAngle();
        };
        dlg.resize(800, 580);
        QTRY_COMPARE(labelsAngle(), -45.0);
        dlg.resize(1900, 1100);
        QTRY_COMPARE(labelsAngle(), 0.0);
        dlg.resize(800, 580);
        QTRY_COMPARE(labelsAngle(), -45.0);
    }

    void figuresBesideEachChart()
    {
        Open();
        const QStringList trend = TopRows(Page(AnalysisChart::Trend));
        QCOMPARE(trend.size(), 13);
        QCOMPARE(trend.mid(0, 3), (QStringList{"2024年1月|0.00|35.50|-35.50|-35.50", "2024年2月|0.30|0.00|0.30|-35.20",
                                               "2024年3月|5000.00|1564.50|3435.50|3400.30"}));
        QCOMPARE(trend.last(), QStringLiteral("合计|5000.30|1600.00|3400.30|3400.30"));
        QCOMPARE(TopRows(Page(AnalysisChart::PayoutShares)),
                 (QStringList{"住房|1500.00|1|93.8%", "餐饮|100.00|2|6.3%", "合计|1600.00|3|100.0%"}));
        const QStringList members = TopRows(Page(AnalysisChart::Members));
        QCOMPARE(members, (QStringList{"爸爸|0.10|100.00|-99.90", "妈妈|5000.20|1500.00|3500.20"}));
        QCOMPARE(RowText(Page(AnalysisChart::Members)->Figures()->topLevelItem(1)->child(1)),
                 QStringLiteral("收入 · 奖金|0.20||"));
        const QStringList loans = TopRows(Page(AnalysisChart::Loans));
        QCOMPARE(loans.mid(0, 3), (QStringList{"2024年1月31日|100.00|0.00|别人欠你钱 100.00",
                                               "2024年2月29日|100.00|0.00|别人欠你钱 100.00",
                                               "2024年3月31日|70.00|0.00|别人欠你钱 70.00"}));
        QVERIFY(loans.last().contains(QStringLiteral("利息")));
    }

    void tipsTellTheFigure()
    {
        Open();
        CAnalysisPage *trend = Page(AnalysisChart::Trend);
        auto *bars = SeriesOf<QAbstractBarSeries>(trend);
        QVERIFY(bars);
        Q_EMIT bars->hovered(true, 1, bars->barSets().at(0));
        QVERIFY2(trend->LastTip().startsWith(QStringLiteral("2024年2月 收入：0.30元（2笔）")), qPrintable(trend->LastTip()));
        Q_EMIT bars->hovered(false, 1, bars->barSets().at(0));
        QVERIFY(trend->LastTip().isEmpty());
        auto *running = SeriesOf<QLineSeries>(trend, 2);
        Q_EMIT running->hovered(QPointF(2.2, 3400.3), true);
        QVERIFY2(trend->LastTip().contains(QStringLiteral("累计结余：3400.30元")), qPrintable(trend->LastTip()));

        CAnalysisPage *payout = Page(AnalysisChart::PayoutShares);
        auto *pie = SeriesOf<QPieSeries>(payout);
        Q_EMIT pie->slices().at(0)->hovered(true);
        QVERIFY(pie->slices().at(0)->isExploded());
        QVERIFY2(payout->LastTip().startsWith(QStringLiteral("住房：1500.00元，占93.8%（1笔）")), qPrintable(payout->LastTip()));

        CAnalysisPage *loans = Page(AnalysisChart::Loans);
        Q_EMIT SeriesOf<QLineSeries>(loans)->hovered(QPointF(2, 70), true);
        QVERIFY2(loans->LastTip().contains(QStringLiteral("别人欠你钱 70.00")), qPrintable(loans->LastTip()));
    }

    void clicksOpenTheQueryOnTheSameEntries_data()
    {
        QTest::addColumn<std::function<void(TestAnalysisModule *)>>("click");
        QTest::addColumn<QueryCriteria>("criteria");
        QTest::addColumn<QString>("summary");
        using Click = std::function<void(TestAnalysisModule *)>;
        const QString year = QStringLiteral("2024年1月1日 至 2024年12月31日");
        QTest::newRow("March's income bar")
            << Click([](TestAnalysisModule *test) {
                   CAnalysisPage *page = test->Page(AnalysisChart::Trend);
                   QChart *chart = page->Chart();
                   auto *bars = SeriesOf<QAbstractBarSeries>(page);
                   // The income bar is the left one of its month's pair, halfway up.
                   const double month = chart->plotArea().width() / 12;
                   QPointF middle = chart->mapToPosition(QPointF(2, 2500), bars);
                   middle.setX(middle.x() - month * bars->barWidth() / 4);
                   QChartView *view = page->ChartView();
                   QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(chart->mapToScene(middle)));
               })
            << Criteria(QueryRange::Income, QDate(2024, 3, 1), QDate(2024, 3, 31))
            << "收入金额|2024年3月1日 至 2024年3月31日|所有|5000.00|所有|";
        QTest::newRow("the running balance at March")
            << Click([](TestAnalysisModule *test) {
                   Q_EMIT SeriesOf<QLineSeries>(test->Page(AnalysisChart::Trend), 2)->clicked(QPointF(1.8, 3400));
               })
            << Criteria(QueryRange::IncomePayout, QDate(2024, 1, 1), QDate(2024, 3, 31))
            << "余额|2024年1月1日 至 2024年3月31日|所有|3400.30|所有|";
        QTest::newRow("a month's row")
            << Click([](TestAnalysisModule *test) {
                   QTreeWidget *table = test->Page(AnalysisChart::Trend)->Figures();
                   const QRect row = table->visualItemRect(table->topLevelItem(0));
                   QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
               })
            << Criteria(QueryRange::IncomePayout, QDate(2024, 1, 1), QDate(2024, 1, 31))
            << "余额|2024年1月1日 至 2024年1月31日|所有|-35.50|所有|";
        QTest::newRow("the 餐饮 slice")
            << Click([](TestAnalysisModule *test) {
                   Q_EMIT SeriesOf<QPieSeries>(test->Page(AnalysisChart::PayoutShares))->slices().at(1)->clicked();
               })
            << Criteria(QueryRange::Payout, QDate(2024, 1, 1), QDate(2024, 12, 31), QStringLiteral("餐饮"))
            << "支出金额|" + year + "|餐饮|100.00|所有|";
        QTest::newRow("妈妈's 住房, by Enter on its row")
            << Click([](TestAnalysisModule *test) {
                   QTreeWidget *table = test->Page(AnalysisChart::Members)->Figures();
                   QTreeWidgetItem *mum = table->topLevelItem(1);
                   table->setFocus();
                   table->setCurrentItem(mum->child(mum->childCount() - 1));
                   QTest::keyClick(table, Qt::Key_Return);
               })
            << Criteria(QueryRange::Payout, QDate(2024, 1, 1), QDate(2024, 12, 31), QStringLiteral("住房"), kMum)
            << "支出金额|" + year + "|住房|1500.00|所有|妈妈";
        QTest::newRow("a member's stacked part")
            << Click([](TestAnalysisModule *test) {
                   auto *bars = SeriesOf<QAbstractBarSeries>(test->Page(AnalysisChart::Members));
                   // 爸爸's income lies on top, the last of the four bars from the
                   // bottom; 奖金 is the second part of the income (工资 the first).
                   Q_EMIT bars->barSets().at(1)->clicked(3);
               })
            << Criteria(QueryRange::Income, QDate(2024, 1, 1), QDate(2024, 12, 31), QStringLiteral("奖金"), kDad)
            << "收入金额|" + year + "|奖金|0.10|所有|爸爸";
        QTest::newRow("the loans at the end of March")
            << Click([](TestAnalysisModule *test) {
                   QTreeWidget *table = test->Page(AnalysisChart::Loans)->Figures();
                   QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                                     table->visualItemRect(table->topLevelItem(2)).center());
               })
            << Criteria(QueryRange::Loan, QDate(2023, 12, 31), QDate(2024, 3, 31))
            << "借贷总计|2023年12月31日 至 2024年3月31日|所有|70.00|别人欠你钱|";
    }
    void clicksOpenTheQueryOnTheSameEntries()
    {
        QFETCH(std::function<void(TestAnalysisModule *)>, click);
        QFETCH(QueryCriteria, criteria);
        QFETCH(QString, summary);
        Open();
        click(this);
        QCOMPARE(g_nModule, 3);
        QCOMPARE(RecordList().m_query, criteria);
        QCOMPARE(RecordList().m_nQueryKind, int(criteria.range));
        QCOMPARE(ListRow(0), summary);
        QVERIFY(m_prompter->shown.isEmpty());
        // The way back finds the period and the chart as they were.
        m_dlg->SwitchToAnalysis();
        QCOMPARE(View().Period(), AnalysisPeriod::year(2024));
    }

    void theFoldedSliceLeadsNowhere()
    {
        Open();
        // Twelve categories: the two smallest share the "其他" slice.
        for (int i = 0; i < 11; ++i)
            m_book->add(RecordKind::Payout, QDate(2024, 4, 1 + i), QStringLiteral("名目%1").arg(i), 10 + i, "试", kDad);
        View().Refresh();
        auto *pie = SeriesOf<QPieSeries>(Page(AnalysisChart::PayoutShares));
        QCOMPARE(pie->count(), 11);
        QPieSlice *other = pie->slices().last();
        QCOMPARE(other->label().section(u' ', 0, 0), QStringLiteral("其他"));
        Q_EMIT other->hovered(true);
        QVERIFY(Page(AnalysisChart::PayoutShares)->LastTip().contains(QStringLiteral("名目1、名目0")));
        Q_EMIT other->clicked();
        QCOMPARE(g_nModule, 4);
    }

    void followsTheBook()
    {
        CLedgerDlg &dlg = Open();
        CAnalysisPage *trend = Page(AnalysisChart::Trend);
        // Another window or computer adds an entry.
        m_book->add(RecordKind::Income, QDate(2024, 2, 10), "奖金", 0.05, "五分", kMum);
        QTRY_COMPARE((AppBook().catchUp(), TopRows(trend).at(1)), QStringLiteral("2024年2月|0.35|0.00|0.35|-35.15"));
        // This program changes the book.
        QVERIFY(AppBook().addEntry(RecordKind::Payout, {QDate(2024, 1, 5), QStringLiteral("餐饮"), 1, QStringLiteral("糖"), kDad}));
        QTRY_COMPARE(TopRows(trend).at(0), QStringLiteral("2024年1月|0.00|36.50|-36.50|-36.50"));
        // Out of sight it is not drawn; coming back shows the book as it is.
        dlg.SwitchToStart();
        m_book->add(RecordKind::Payout, QDate(2024, 1, 6), "餐饮", 2, "盐", kDad);
        dlg.SwitchToAnalysis();
        QCOMPARE(TopRows(trend).at(0), QStringLiteral("2024年1月|0.00|38.50|-38.50|-38.50"));
        QVERIFY(m_prompter->shown.isEmpty());
    }

    void savesTheChartAsAPicture()
    {
        CLedgerDlg &dlg = Open();
        CAnalysisPage *trend = Page(AnalysisChart::Trend);
        const QString png = m_out.filePath(QStringLiteral("趋势.png"));
        m_prompter->files.enqueue(png);
        QTest::mouseClick(dlg.Control(1011), Qt::LeftButton);
        const FileDialogRequest request = m_prompter->fileRequests.last();
        QCOMPARE(QFileInfo(request.proposedPath).fileName(),
                 QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("收支趋势.png"));
        QCOMPARE(request.filters.first(), QStringLiteral("PNG图片(*.png)"));
        QCOMPARE(m_prompter->lastText(), QStringLiteral("导出文件保存于%1!").arg(png));
        QImage picture(png);
        QCOMPARE(picture.size(), trend->ChartView()->viewport()->size() * 2);
        QVERIFY(PixelsOf(picture, orv::kIncomeColor) > 100);

        const QString svg = m_out.filePath(QStringLiteral("趋势.svg"));
        m_prompter->files.enqueue(svg);
        dlg.OnAddRecord();
        QSvgRenderer drawing(svg);
        QVERIFY(drawing.isValid());
        QFile svgFile(svg);
        QVERIFY(svgFile.open(QIODevice::ReadOnly));
        QVERIFY(svgFile.readAll().contains(QByteArray("#3e9e5c"))); // the income bars' green

        // No ending: a PNG. Another ending: refused, nothing written.
        m_prompter->files.enqueue(m_out.filePath(QStringLiteral("无后缀")));
        dlg.OnAddRecord();
        QVERIFY(!QImage(m_out.filePath(QStringLiteral("无后缀.png"))).isNull());
        m_prompter->clear();
        m_prompter->files.enqueue(m_out.filePath(QStringLiteral("图.jpg")));
        dlg.OnAddRecord();
        QCOMPARE(m_prompter->shown.size(), 1);
        QCOMPARE(m_prompter->shown.last().caption, QStringLiteral("注意"));
        QVERIFY(!QFile::exists(m_out.filePath(QStringLiteral("图.jpg"))));

        // A folder of that name cannot be replaced: said, and left as it was.
        const QString folder = m_out.filePath(QStringLiteral("文件夹.png"));
        QVERIFY(QDir().mkpath(folder));
        m_prompter->files.enqueue(folder);
        dlg.OnAddRecord();
        QCOMPARE(m_prompter->lastText(), QStringLiteral("覆盖文件时出错！"));
        QVERIFY(QFileInfo(folder).isDir());
        // Cancel: nothing at all.
        m_prompter->clear();
        dlg.OnAddRecord();
        QVERIFY(m_prompter->shown.isEmpty());
    }

    void theWorkbookOfEveryChart()
    {
        if (PythonWithOpenpyxl().isEmpty())
            QSKIP("python3 with openpyxl is needed to read the workbook back");
        CLedgerDlg &dlg = Open();
        const QString path = m_out.filePath(QStringLiteral("分析.xlsx"));
        m_prompter->files.enqueue(path);
        QTest::mouseClick(dlg.Control(1015), Qt::LeftButton);
        QCOMPARE(QFileInfo(m_prompter->fileRequests.last().proposedPath).fileName(),
                 QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("财务分析.xlsx"));
        QCOMPARE(m_prompter->lastText(), QStringLiteral("导出文件保存于%1!").arg(path));
        QString error;
        const auto members = ReadXlsx(path, &error, QStringLiteral("家庭成员"));
        QVERIFY2(members, qPrintable(error));
        // Every chart's figures, not only those of the chart on screen.
        QCOMPARE(members->sheetNames, (QStringList{"收支趋势", "支出构成", "收入构成", "家庭成员", "借贷往来"}));
        QCOMPARE(members->text(4, 0), kMum);
        QCOMPARE(members->text(4, 1).toDouble(), 5000.2);
        int charts = 0;
        for (const QString &part : XlsxParts(path).keys())
            charts += part.startsWith(QStringLiteral("xl/charts/chart"));
        QCOMPARE(charts, 6);
    }
};

QTEST_MAIN(TestAnalysisModule)
#include "tst_analysismodule.moc"
