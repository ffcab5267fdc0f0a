#include "analysis/CLoansPage.h"

#include "analysis/AnalysisColors.h"
#include "analysis/AnalysisDrillDown.h"
#include "analysis/ChartAxes.h"
#include "model/TextForms.h"

#include <QChart>
#include <QLineSeries>
#include <QTreeWidget>

namespace {

// "别人欠你钱 40.00" — the query's own conclusion and amount.
QString Conclusion(const orv::LoanBalance &state)
{
    return state.conclusion() + u' ' + orv::fenText(state.shownAmount());
}

} // namespace

CLoansPage::CLoansPage(QWidget *parent)
    : CAnalysisPage(orv::AnalysisChart::Loans, parent)
{
}

void CLoansPage::Show(const orv::AnalysisReport &report)
{
    m_figures = report.loans();
    const orv::LoanFigures &loans = m_figures;
    QChart *chart = NewChart(orv::chartTitle(ChartKind()), report.period().label(),
                             QStringLiteral("各期期末，自%1起累计").arg(orv::dateText(loans.historyStart)));
    struct Line
    {
        QString name;
        quint32 colour;
        orv::FenSum (*figure)(const orv::LoanBalance &);
    };
    const Line lines[] = {
        {QStringLiteral("别人欠你"), orv::kOwedToFamilyColor, &orv::owedToFamily},
        {QStringLiteral("你欠别人"), orv::kOwedByFamilyColor, &orv::owedByFamily},
        {QStringLiteral("净额"), orv::kBalanceColor,
         [](const orv::LoanBalance &state) { return state.balance(); }},
    };
    QStringList labels;
    ValueSpan span;
    for (qsizetype i = 0; i < loans.buckets.size(); ++i) {
        labels.append(loans.buckets.shortLabel(i));
        const orv::LoanBalance &state = loans.atEnd[i];
        span.Take({orv::owedToFamily(state), orv::owedByFamily(state), state.balance()});
    }
    for (const Line &line : lines) {
        auto *series = new QLineSeries;
        series->setName(line.name);
        series->setPen(QPen(QColor(line.colour), 2.5));
        series->setColor(QColor(line.colour));
        series->setPointsVisible(true);
        for (qsizetype i = 0; i < loans.buckets.size(); ++i)
            series->append(double(i), orv::fenToDouble(line.figure(loans.atEnd[i])));
        chart->addSeries(series);
        connect(series, &QLineSeries::hovered, this, [this](const QPointF &point, bool on) {
            const qsizetype index = NearestIndex(point, m_figures.buckets.size());
            ShowTip(on && index >= 0 ? PointTip(index) : QString());
        });
        connect(series, &QLineSeries::clicked, this, [this](const QPointF &point) {
            const qsizetype index = NearestIndex(point, m_figures.buckets.size());
            if (index >= 0)
                Open(orv::DrillDown::loansAt(m_figures, index));
        });
    }
    AttachAxes(chart, labels, span);

    ClearRows();
    SetCaptions({QStringLiteral("截至"), QStringLiteral("别人欠你"), QStringLiteral("你欠别人"), QStringLiteral("结论")});
    for (qsizetype i = 0; i < loans.buckets.size(); ++i) {
        const orv::LoanBalance &state = loans.atEnd[i];
        AddRow(nullptr,
               {orv::dateText(loans.buckets.at(i).last), orv::fenText(orv::owedToFamily(state)),
                orv::fenText(orv::owedByFamily(state)), Conclusion(state)},
               orv::DrillDown::loansAt(loans, i));
    }
    FitFigures();
    if (loans.uncountedCount > 0) {
        QTreeWidgetItem *note =
            AddRow(nullptr,
                   {QStringLiteral("另有%1笔记录的名目（%2）不是借出、借入、还入、还出，和查询统计一样不计入金额")
                        .arg(loans.uncountedCount)
                        .arg(loans.uncountedCategories.join(QStringLiteral("、")))},
                   std::nullopt);
        note->setFirstColumnSpanned(true);
    }
}

QString CLoansPage::PointTip(qsizetype index) const
{
    const orv::LoanBalance &state = m_figures.atEnd[index];
    return QStringLiteral("截至%1：别人欠你%2，你欠别人%3\n%4\n点击查看这些记录")
        .arg(orv::dateText(m_figures.buckets.at(index).last), Yuan(orv::owedToFamily(state)),
             Yuan(orv::owedByFamily(state)), Conclusion(state));
}
