#include "analysis/CTrendPage.h"

#include "analysis/AnalysisColors.h"
#include "analysis/AnalysisDrillDown.h"
#include "analysis/ChartAxes.h"
#include "model/TextForms.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLineSeries>
#include <QTreeWidget>

CTrendPage::CTrendPage(QWidget *parent)
    : CAnalysisPage(orv::AnalysisChart::Trend, parent)
{
}

void CTrendPage::Show(const orv::AnalysisReport &report)
{
    m_figures = report.trend();
    const orv::TrendFigures &trend = m_figures;
    QChart *chart = NewChart(orv::chartTitle(ChartKind()), report.period().label(),
                             trend.count == 0 ? QStringLiteral("这一期间没有收支记录") : QString());

    auto *income = new QBarSet(QStringLiteral("收入"));
    auto *payout = new QBarSet(QStringLiteral("支出"));
    income->setColor(QColor(orv::kIncomeColor));
    income->setBorderColor(QColor(orv::kIncomeColor));
    payout->setColor(QColor(orv::kPayoutColor));
    payout->setBorderColor(QColor(orv::kPayoutColor));
    auto *balance = new QLineSeries;
    balance->setName(QStringLiteral("结余"));
    auto *running = new QLineSeries;
    running->setName(QStringLiteral("累计结余"));
    QStringList labels;
    ValueSpan span;
    for (qsizetype i = 0; i < trend.buckets.size(); ++i) {
        const orv::TrendRow &row = trend.rows[i];
        income->append(orv::fenToDouble(row.income));
        payout->append(orv::fenToDouble(row.payout));
        balance->append(double(i), orv::fenToDouble(row.balance()));
        running->append(double(i), orv::fenToDouble(row.running));
        span.Take({row.income, row.payout, row.balance(), row.running});
        labels.append(trend.buckets.shortLabel(i));
    }
    auto *bars = new QBarSeries;
    bars->append(income);
    bars->append(payout);
    chart->addSeries(bars);
    for (auto [line, colour] : {std::pair{balance, orv::kBalanceColor}, std::pair{running, orv::kRunningColor}}) {
        QPen pen(QColor(colour), 2.5);
        line->setPen(pen);
        line->setColor(QColor(colour));
        line->setPointsVisible(true);
        chart->addSeries(line);
    }
    AttachAxes(chart, labels, span);

    connect(bars, &QBarSeries::hovered, this, [this, income](bool on, int index, QBarSet *set) {
        ShowTip(on ? BarTip(index, set == income) : QString());
    });
    connect(bars, &QBarSeries::clicked, this, [this, income](int index, QBarSet *set) {
        Open(orv::DrillDown::bucket(m_figures.buckets, index,
                                    set == income ? orv::QueryRange::Income : orv::QueryRange::Payout));
    });
    for (const bool isRunning : {false, true}) {
        QLineSeries *line = isRunning ? running : balance;
        connect(line, &QLineSeries::hovered, this, [this, isRunning](const QPointF &point, bool on) {
            const qsizetype index = NearestIndex(point, m_figures.buckets.size());
            ShowTip(on && index >= 0 ? LineTip(index, isRunning) : QString());
        });
        connect(line, &QLineSeries::clicked, this, [this, isRunning](const QPointF &point) {
            const qsizetype index = NearestIndex(point, m_figures.buckets.size());
            if (index < 0)
                return;
            Open(isRunning ? orv::DrillDown::runningTo(m_figures.buckets, index)
                           : orv::DrillDown::bucket(m_figures.buckets, index, orv::QueryRange::IncomePayout));
        });
    }

    ClearRows();
    SetCaptions({QStringLiteral("期间"), QStringLiteral("收入"), QStringLiteral("支出"), QStringLiteral("结余"),
                 QStringLiteral("累计结余")});
    for (qsizetype i = 0; i < trend.buckets.size(); ++i) {
        const orv::TrendRow &row = trend.rows[i];
        AddRow(nullptr,
               {trend.buckets.longLabel(i), orv::fenText(row.income), orv::fenText(row.payout),
                orv::fenText(row.balance()), orv::fenText(row.running)},
               orv::DrillDown::bucket(trend.buckets, i, orv::QueryRange::IncomePayout));
    }
    AddRow(nullptr,
           {QStringLiteral("合计"), orv::fenText(trend.income), orv::fenText(trend.payout), orv::fenText(trend.balance()),
            orv::fenText(trend.balance())},
           orv::Analysis::criteriaFor(orv::QueryRange::IncomePayout, report.dates()), true);
    FitFigures();
}

QString CTrendPage::BarTip(qsizetype index, bool income) const
{
    if (index < 0 || index >= m_figures.rows.size())
        return {};
    const orv::TrendRow &row = m_figures.rows[index];
    return QStringLiteral("%1 %2：%3（%4笔）\n点击查看这些记录")
        .arg(m_figures.buckets.longLabel(index), income ? QStringLiteral("收入") : QStringLiteral("支出"),
             Yuan(income ? row.income : row.payout))
        .arg(income ? row.incomeCount : row.payoutCount);
}

QString CTrendPage::LineTip(qsizetype index, bool running) const
{
    const orv::TrendRow &row = m_figures.rows[index];
    if (running)
        return QStringLiteral("%1 %2起的累计结余：%3\n点击查看这些记录")
            .arg(m_figures.buckets.longLabel(index), orv::dateText(m_figures.buckets.dates().first),
                 Yuan(row.running));
    return QStringLiteral("%1 结余：%2（收入%3，支出%4）\n点击查看这些记录")
        .arg(m_figures.buckets.longLabel(index), Yuan(row.balance()), orv::fenText(row.income),
             orv::fenText(row.payout));
}
