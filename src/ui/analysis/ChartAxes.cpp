#include "analysis/ChartAxes.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QValueAxis>

#include <cmath>

namespace {

// Past this many bars the labels under them are slanted to fit.
constexpr qsizetype kUprightLabels = 12;

} // namespace

void ValueSpan::Take(std::initializer_list<orv::FenSum> figures)
{
    for (orv::FenSum fen : figures) {
        const double value = orv::fenToDouble(fen);
        low = std::min(low, value);
        high = std::max(high, value);
    }
}

void AttachAxes(QChart *chart, const QStringList &labels, const ValueSpan &span, Qt::Orientation bars)
{
    auto *categories = new QBarCategoryAxis;
    categories->append(labels);
    if (labels.size() > kUprightLabels)
        categories->setLabelsAngle(-45);
    auto *values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.2f"));
    // An empty period still shows an axis a family can read.
    values->setRange(span.low, span.high > span.low ? span.high : span.low + 100.0);
    values->applyNiceNumbers();
    const bool upright = bars == Qt::Vertical;
    if (!upright)
        categories->setLabelsAngle(0);
    chart->addAxis(categories, upright ? Qt::AlignBottom : Qt::AlignLeft);
    chart->addAxis(values, upright ? Qt::AlignLeft : Qt::AlignBottom);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(categories);
        series->attachAxis(values);
    }
}

qsizetype NearestIndex(const QPointF &point, qsizetype count)
{
    const double nearest = std::round(point.x());
    if (!std::isfinite(nearest) || nearest < 0 || nearest >= double(count))
        return -1;
    return qsizetype(nearest);
}
