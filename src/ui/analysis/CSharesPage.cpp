#include "analysis/CSharesPage.h"

#include "analysis/AnalysisColors.h"
#include "analysis/AnalysisDrillDown.h"
#include "analysis/ChartAxes.h"

#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QPieSeries>
#include <QPieSlice>
#include <QTreeWidget>

namespace {

// Slices thinner than this keep their name for the tip: their labels would
// only lie over one another.
constexpr double kLabelledPercent = 2.5;

orv::AnalysisChart ChartOf(orv::RecordKind kind)
{
    return kind == orv::RecordKind::Income ? orv::AnalysisChart::IncomeShares : orv::AnalysisChart::PayoutShares;
}

QString Percent(double percent)
{
    return QString::asprintf("%.1f%%", percent);
}

} // namespace

CSharesPage::CSharesPage(orv::RecordKind kind, QWidget *parent)
    : CAnalysisPage(ChartOf(kind), parent)
    , m_kind(kind)
{
}

void CSharesPage::Show(const orv::AnalysisReport &report)
{
    m_figures = report.shares(m_kind);
    m_dates = report.dates();
    const QString word = orv::kindWord(m_kind);
    QChart *chart = NewChart(orv::chartTitle(ChartKind()), report.period().label(),
                             m_figures.categories.isEmpty() ? QStringLiteral("这一期间没有%1记录").arg(word)
                                                            : QStringLiteral("共%1").arg(Yuan(m_figures.total)));
    CompactLegend(chart);

    auto *pie = new QPieSeries;
    pie->setPieSize(0.62);
    const QList<orv::ShareSlice> slices = m_figures.slices();
    for (qsizetype i = 0; i < slices.size(); ++i) {
        const orv::ShareSlice &part = slices[i];
        const double percent = m_figures.percentOf(part.sum);
        auto *slice = new QPieSlice(part.label, orv::fenToDouble(part.sum));
        const QColor colour(orv::sliceColor(i, part.label == orv::kOtherSlice));
        slice->setColor(colour);
        slice->setBorderColor(Qt::white);
        slice->setLabel(QStringLiteral("%1 %2").arg(part.label, Percent(percent)));
        slice->setLabelVisible(percent >= kLabelledPercent);
        slice->setLabelPosition(QPieSlice::LabelOutside);
        pie->append(slice);
        connect(slice, &QPieSlice::hovered, this, [this, slice, part](bool on) {
            slice->setExploded(on);
            ShowTip(on ? SliceTip(part) : QString());
        });
        connect(slice, &QPieSlice::clicked, this, [this, part] {
            // "其他" of several categories has no one query of its own; the
            // table lists them one by one.
            if (part.isSingleCategory())
                Open(orv::DrillDown::category(m_dates, m_kind, part.categories.first()));
        });
    }
    chart->addSeries(pie);
    // The legend names each slice by its category alone.
    const QList<QLegendMarker *> markers = chart->legend()->markers(pie);
    for (qsizetype i = 0; i < markers.size() && i < slices.size(); ++i)
        markers[i]->setLabel(slices[i].label);

    ClearRows();
    SetCaptions({QStringLiteral("名目"), QStringLiteral("金额"), QStringLiteral("笔数"), QStringLiteral("占比")});
    for (const orv::CategoryShare &share : m_figures.categories)
        AddRow(nullptr,
               {share.category, orv::fenText(share.sum), QString::number(share.count),
                Percent(m_figures.percentOf(share.sum))},
               orv::DrillDown::category(m_dates, m_kind, share.category));
    AddRow(nullptr,
           {QStringLiteral("合计"), orv::fenText(m_figures.total), QString::number(m_figures.count),
            Percent(m_figures.total == 0 ? 0.0 : 100.0)},
           orv::Analysis::criteriaFor(orv::Analysis::rangeOf(m_kind), m_dates), true);
    FitFigures();
}

QString CSharesPage::SliceTip(const orv::ShareSlice &slice) const
{
    QString tip = QStringLiteral("%1：%2，占%3（%4笔）")
                      .arg(slice.label, Yuan(slice.sum), Percent(m_figures.percentOf(slice.sum)))
                      .arg(slice.count);
    if (slice.isSingleCategory())
        return tip + QStringLiteral("\n点击查看这些记录");
    return tip + QStringLiteral("\n包括：%1\n表格中可逐项查看").arg(slice.categories.join(QStringLiteral("、")));
}
