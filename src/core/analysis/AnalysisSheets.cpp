#include "analysis/AnalysisSheets.h"

#include "analysis/AnalysisColors.h"
#include "model/TextForms.h"

namespace orv {

namespace {

using Cell = WorkbookCell;

// Figures start under the heading and a blank line.
constexpr int kTableRow = 2;
// Bars with their amounts written on them stay readable up to about half a
// year; beyond, the figures are in the table beside the chart.
constexpr qsizetype kMostLabelledBars = 6;

QString heading(const AnalysisReport &report, AnalysisChart chart)
{
    QString period = report.period().label();
    if (report.period().kind() != PeriodKind::Range)
        period += QStringLiteral("（%1 至 %2）").arg(dateText(report.dates().first), dateText(report.dates().last));
    return QStringLiteral("%1 %2（单位：元）").arg(chartTitle(chart), period);
}

WorkbookSheet trendSheet(const AnalysisReport &report)
{
    const TrendFigures &trend = report.trend();
    WorkbookSheet sheet;
    sheet.name = chartTitle(AnalysisChart::Trend);
    sheet.heading = heading(report, AnalysisChart::Trend);
    sheet.columnWidths = {16, 13, 13, 13, 13, 10, 10};
    WorkbookTable table;
    table.row = kTableRow;
    table.captions = {QStringLiteral("期间"), QStringLiteral("收入"), QStringLiteral("支出"), QStringLiteral("结余"),
                      QStringLiteral("累计结余"), QStringLiteral("收入笔数"), QStringLiteral("支出笔数")};
    for (qsizetype i = 0; i < trend.buckets.size(); ++i) {
        const TrendRow &row = trend.rows[i];
        table.rows.append({Cell::ofText(trend.buckets.longLabel(i)), Cell::ofAmount(row.income),
                           Cell::ofAmount(row.payout), Cell::ofAmount(row.balance()), Cell::ofAmount(row.running),
                           Cell::ofCount(row.incomeCount), Cell::ofCount(row.payoutCount)});
    }
    const int bars = int(table.rows.size());
    table.rows.append({Cell::ofText(QStringLiteral("合计")), Cell::ofAmount(trend.income), Cell::ofAmount(trend.payout),
                       Cell::ofAmount(trend.balance()), Cell::ofAmount(trend.balance()), {}, {}});
    sheet.tables.append(table);

    WorkbookChart columns;
    columns.kind = WorkbookChartKind::Column;
    columns.title = QStringLiteral("收入与支出");
    columns.valueColumns = {1, 2};
    columns.colors = {kIncomeColor, kPayoutColor};
    columns.rowCount = bars;
    columns.valueLabels = bars <= kMostLabelledBars;
    columns.row = kTableRow;
    columns.column = 8;
    WorkbookChart lines;
    lines.kind = WorkbookChartKind::Line;
    lines.title = QStringLiteral("结余与累计结余");
    lines.valueColumns = {3, 4};
    lines.colors = {kBalanceColor, kRunningColor};
    lines.rowCount = bars;
    lines.valueLabels = bars <= kMostLabelledBars;
    lines.row = kTableRow + 20;
    lines.column = 8;
    sheet.charts = {columns, lines};
    return sheet;
}

WorkbookSheet sharesSheet(const AnalysisReport &report, RecordKind kind)
{
    const CategoryFigures &figures = report.shares(kind);
    const AnalysisChart chart = kind == RecordKind::Income ? AnalysisChart::IncomeShares : AnalysisChart::PayoutShares;
    WorkbookSheet sheet;
    sheet.name = chartTitle(chart);
    sheet.heading = heading(report, chart);
    sheet.columnWidths = {16, 13, 8, 9, 3, 16, 13};

    WorkbookTable all;
    all.row = kTableRow;
    all.captions = {QStringLiteral("名目"), QStringLiteral("金额"), QStringLiteral("笔数"), QStringLiteral("占比")};
    for (const CategoryShare &share : figures.categories)
        all.rows.append({Cell::ofText(share.category), Cell::ofAmount(share.sum), Cell::ofCount(share.count),
                         Cell::ofShare(figures.percentOf(share.sum) / 100.0)});
    all.rows.append({Cell::ofText(QStringLiteral("合计")), Cell::ofAmount(figures.total), Cell::ofCount(figures.count),
                     Cell::ofShare(figures.total == 0 ? 0.0 : 1.0)});

    // What the pie shows: the largest by name, the rest as "其他".
    WorkbookTable slices;
    slices.row = kTableRow;
    slices.column = 5;
    slices.captions = {QStringLiteral("图中扇区"), kindWord(kind) + QStringLiteral("金额")};
    WorkbookChart pie;
    pie.kind = WorkbookChartKind::Pie;
    pie.title = sheet.name;
    pie.table = 1;
    pie.valueColumns = {1};
    const QList<ShareSlice> parts = figures.slices();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        slices.rows.append({Cell::ofText(parts[i].label), Cell::ofAmount(parts[i].sum)});
        pie.colors.append(sliceColor(i, parts[i].label == kOtherSlice));
    }
    pie.row = kTableRow;
    pie.column = 8;
    pie.width = 600;
    pie.height = 400;
    sheet.tables = {all, slices};
    sheet.charts = {pie};
    return sheet;
}

WorkbookSheet membersSheet(const AnalysisReport &report)
{
    const MemberFigures &figures = report.members();
    WorkbookSheet sheet;
    sheet.name = chartTitle(AnalysisChart::Members);
    sheet.heading = heading(report, AnalysisChart::Members);
    sheet.columnWidths = {14, 13, 13, 13, 10, 10};

    WorkbookTable totals;
    totals.row = kTableRow;
    totals.captions = {QStringLiteral("记录人"), QStringLiteral("收入"), QStringLiteral("支出"), QStringLiteral("结余"),
                       QStringLiteral("收入笔数"), QStringLiteral("支出笔数")};
    for (const MemberRow &member : figures.members)
        totals.rows.append({Cell::ofText(member.user), Cell::ofAmount(member.income), Cell::ofAmount(member.payout),
                            Cell::ofAmount(member.balance()), Cell::ofCount(member.incomeCount),
                            Cell::ofCount(member.payoutCount)});

    // The bars: one for each member's income and one for the expense, each
    // made of the parts by category.
    const QList<ShareSlice> incomeParts = figures.incomeParts();
    const QList<ShareSlice> payoutParts = figures.payoutParts();
    WorkbookTable bars;
    bars.row = kTableRow + int(totals.rows.size()) + 3;
    bars.captions = {QStringLiteral("记录人与类别")};
    WorkbookChart stacked;
    stacked.kind = WorkbookChartKind::StackedColumn;
    stacked.title = QStringLiteral("各成员的收入与支出（按名目）");
    stacked.table = 1;
    for (qsizetype i = 0; i < incomeParts.size(); ++i) {
        bars.captions.append(QStringLiteral("收入·") + incomeParts[i].label);
        stacked.valueColumns.append(int(bars.captions.size()) - 1);
        stacked.colors.append(partColor(true, i, incomeParts[i].label == kOtherSlice));
    }
    for (qsizetype i = 0; i < payoutParts.size(); ++i) {
        bars.captions.append(QStringLiteral("支出·") + payoutParts[i].label);
        stacked.valueColumns.append(int(bars.captions.size()) - 1);
        stacked.colors.append(partColor(false, i, payoutParts[i].label == kOtherSlice));
    }
    for (const MemberRow &member : figures.members) {
        for (const bool income : {true, false}) {
            QList<Cell> row{Cell::ofText(member.user + (income ? QStringLiteral(" 收入") : QStringLiteral(" 支出")))};
            for (const ShareSlice &part : incomeParts)
                row.append(income ? Cell::ofAmount(MemberFigures::partSum(member.incomeCategories, part)) : Cell{});
            for (const ShareSlice &part : payoutParts)
                row.append(income ? Cell{} : Cell::ofAmount(MemberFigures::partSum(member.payoutCategories, part)));
            bars.rows.append(row);
        }
    }
    stacked.row = kTableRow;
    stacked.column = qMax(8, int(bars.captions.size()) + 1);
    // Wide enough for the bars' amounts and their parts' names.
    while (sheet.columnWidths.size() < bars.captions.size())
        sheet.columnWidths.append(13);
    stacked.width = 760;
    stacked.height = 420;

    // Every member's every category, for whoever wants the detail.
    WorkbookTable detail;
    detail.row = bars.row + int(bars.rows.size()) + 3;
    detail.captions = {QStringLiteral("记录人"), QStringLiteral("类别"), QStringLiteral("名目"), QStringLiteral("金额"),
                       QStringLiteral("笔数")};
    for (const MemberRow &member : figures.members) {
        for (const bool income : {true, false}) {
            for (const CategoryShare &share : income ? member.incomeCategories : member.payoutCategories)
                detail.rows.append({Cell::ofText(member.user), Cell::ofText(kindWord(income ? RecordKind::Income
                                                                                              : RecordKind::Payout)),
                                    Cell::ofText(share.category), Cell::ofAmount(share.sum), Cell::ofCount(share.count)});
        }
    }
    sheet.tables = {totals, bars, detail};
    sheet.charts = {stacked};
    return sheet;
}

WorkbookSheet loansSheet(const AnalysisReport &report)
{
    const LoanFigures &loans = report.loans();
    WorkbookSheet sheet;
    sheet.name = chartTitle(AnalysisChart::Loans);
    sheet.heading = heading(report, AnalysisChart::Loans);
    sheet.columnWidths = {18, 13, 13, 13, 14};
    WorkbookTable table;
    table.row = kTableRow;
    table.captions = {QStringLiteral("截至"), QStringLiteral("别人欠你"), QStringLiteral("你欠别人"),
                      QStringLiteral("净额"), QStringLiteral("结论")};
    for (qsizetype i = 0; i < loans.buckets.size(); ++i) {
        const LoanBalance &state = loans.atEnd[i];
        table.rows.append({Cell::ofText(dateText(loans.buckets.at(i).last)), Cell::ofAmount(owedToFamily(state)),
                           Cell::ofAmount(owedByFamily(state)), Cell::ofAmount(state.balance()),
                           Cell::ofText(state.conclusion())});
    }
    const int points = int(table.rows.size());
    if (loans.uncountedCount > 0)
        table.rows.append({Cell::ofText(QStringLiteral("另有%1笔借贷记录的名目（%2）不是借出、借入、还入、还出，不计入金额")
                                            .arg(loans.uncountedCount)
                                            .arg(loans.uncountedCategories.join(QStringLiteral("、"))))});
    sheet.tables.append(table);

    WorkbookChart chart;
    chart.kind = WorkbookChartKind::Line;
    chart.title = QStringLiteral("借贷往来（自%1起累计）").arg(dateText(loans.historyStart));
    chart.valueColumns = {1, 2, 3};
    chart.colors = {kOwedToFamilyColor, kOwedByFamilyColor, kBalanceColor};
    chart.rowCount = points;
    chart.valueLabels = points <= kMostLabelledBars;
    chart.row = kTableRow;
    chart.column = 7;
    sheet.charts = {chart};
    return sheet;
}

} // namespace

QList<WorkbookSheet> analysisSheets(const AnalysisReport &report)
{
    return {trendSheet(report), sharesSheet(report, RecordKind::Payout), sharesSheet(report, RecordKind::Income),
            membersSheet(report), loansSheet(report)};
}

} // namespace orv
