#include "analysis/CMembersPage.h"

#include "analysis/AnalysisColors.h"
#include "analysis/AnalysisDrillDown.h"
#include "analysis/ChartAxes.h"

#include <QBarSet>
#include <QChart>
#include <QHorizontalStackedBarSeries>
#include <QTreeWidget>

CMembersPage::CMembersPage(QWidget *parent)
    : CAnalysisPage(orv::AnalysisChart::Members, parent)
{
}

qsizetype CMembersPage::BarCount() const
{
    return 2 * m_figures.members.size();
}

CMembersPage::Bar CMembersPage::BarAt(int position) const
{
    // Bars count from the bottom; the first member's income lies on top,
    // as the table lists it.
    const qsizetype fromTop = BarCount() - 1 - position;
    if (position < 0 || fromTop < 0)
        return {};
    return {&m_figures.members[fromTop / 2], fromTop % 2 == 0};
}

void CMembersPage::OnPart(int position, const orv::ShareSlice &part, bool income, bool open)
{
    const Bar bar = BarAt(position);
    const orv::MemberRow *member = bar.member;
    // A part of one kind has nothing on the other kind's bar.
    if (!member || bar.income != income) {
        ShowTip({});
        return;
    }
    const orv::RecordKind kind = income ? orv::RecordKind::Income : orv::RecordKind::Payout;
    if (open) {
        if (part.isSingleCategory())
            Open(orv::DrillDown::member(m_dates, member->user, kind, part.categories.first()));
        return;
    }
    const orv::FenSum sum =
        orv::MemberFigures::partSum(income ? member->incomeCategories : member->payoutCategories, part);
    QString tip = QStringLiteral("%1 %2 · %3：%4").arg(member->user, orv::kindWord(kind), part.label, Yuan(sum));
    tip += part.isSingleCategory() ? QStringLiteral("\n点击查看这些记录")
                                   : QStringLiteral("\n包括：%1").arg(part.categories.join(QStringLiteral("、")));
    ShowTip(tip);
}

void CMembersPage::Show(const orv::AnalysisReport &report)
{
    m_figures = report.members();
    m_dates = report.dates();
    QChart *chart = NewChart(QStringLiteral("家庭成员的收入与支出"), report.period().label(),
                             m_figures.members.isEmpty() ? QStringLiteral("这一期间没有收支记录") : QString());

    // Lying on their side, so that each bar's name has room beside it.
    auto *stacked = new QHorizontalStackedBarSeries;
    QStringList labels;
    ValueSpan span;
    for (int position = 0; position < BarCount(); ++position) {
        const Bar bar = BarAt(position);
        labels << bar.member->user + (bar.income ? QStringLiteral(" 收入") : QStringLiteral(" 支出"));
        span.Take({bar.income ? bar.member->income : bar.member->payout});
    }
    for (const bool income : {true, false}) {
        const QList<orv::ShareSlice> parts = income ? m_figures.incomeParts() : m_figures.payoutParts();
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const orv::ShareSlice part = parts[i];
            auto *set = new QBarSet((income ? QStringLiteral("收入·") : QStringLiteral("支出·")) + part.label);
            const QColor colour(orv::partColor(income, i, part.label == orv::kOtherSlice));
            set->setColor(colour);
            set->setBorderColor(colour);
            for (int position = 0; position < BarCount(); ++position) {
                const Bar bar = BarAt(position);
                const orv::FenSum sum = orv::MemberFigures::partSum(
                    income ? bar.member->incomeCategories : bar.member->payoutCategories, part);
                set->append(bar.income == income ? orv::fenToDouble(sum) : 0.0);
            }
            stacked->append(set);
            connect(set, &QBarSet::hovered, this, [this, part, income](bool on, int index) {
                if (on)
                    OnPart(index, part, income, false);
                else
                    ShowTip({});
            });
            connect(set, &QBarSet::clicked, this,
                    [this, part, income](int index) { OnPart(index, part, income, true); });
        }
    }
    chart->addSeries(stacked);
    AttachAxes(chart, labels, span, Qt::Horizontal);
    CompactLegend(chart);

    ClearRows();
    SetCaptions({QStringLiteral("记录人 / 名目"), QStringLiteral("收入"), QStringLiteral("支出"), QStringLiteral("结余")});
    Figures()->setRootIsDecorated(true);
    for (const orv::MemberRow &member : m_figures.members) {
        QTreeWidgetItem *row = AddRow(nullptr,
                                      {member.user, orv::fenText(member.income), orv::fenText(member.payout),
                                       orv::fenText(member.balance())},
                                      orv::DrillDown::member(m_dates, member.user), true);
        for (const orv::CategoryShare &share : member.incomeCategories)
            AddRow(row, {QStringLiteral("收入 · ") + share.category, orv::fenText(share.sum), QString(), QString()},
                   orv::DrillDown::member(m_dates, member.user, orv::RecordKind::Income, share.category));
        for (const orv::CategoryShare &share : member.payoutCategories)
            AddRow(row, {QStringLiteral("支出 · ") + share.category, QString(), orv::fenText(share.sum), QString()},
                   orv::DrillDown::member(m_dates, member.user, orv::RecordKind::Payout, share.category));
        row->setExpanded(true);
    }
    FitFigures();
}
