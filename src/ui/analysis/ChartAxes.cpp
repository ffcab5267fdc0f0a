#include "analysis/ChartAxes.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QFontMetrics>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// Past this many bars the labels under them start slanted.
constexpr qsizetype kUprightLabels = 12;

// Labels stand upright while each fits under its own bar; otherwise the
// chart would cut them to "…" (twelve months in a small window), so they
// slant, whole: slanted, neighbours no longer share the width. Slanting
// only narrows the plot, so the choice never flips back and forth.
void SlantWhenCrowded(QChart *chart, QBarCategoryAxis *categories, const QStringList &labels)
{
    if (labels.isEmpty())
        return;
    QObject::connect(chart, &QChart::plotAreaChanged, categories, [categories, labels](const QRectF &plot) {
        const QFontMetrics metrics(categories->labelsFont());
        int widest = 0;
        for (const QString &label : labels)
            widest = std::max(widest, metrics.horizontalAdvance(label));
        // A little air between neighbours, as the axis keeps itself.
        const bool crowded = widest + metrics.averageCharWidth() > plot.width() / double(labels.size());
        const qreal angle = crowded ? -45 : 0;
        if (categories->labelsAngle() != angle) {
            categories->setTruncateLabels(!crowded);
            categories->setLabelsAngle(angle);
        }
    });
}

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
    if (labels.size() > kUprightLabels) {
        categories->setTruncateLabels(false);
        categories->setLabelsAngle(-45);
    }
    auto *values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.2f"));
    // An empty period still shows an axis a family can read.
    values->setRange(span.low, span.high > span.low ? span.high : span.low + 100.0);
    values->applyNiceNumbers();
    const bool upright = bars == Qt::Vertical;
    if (!upright)
        categories->setLabelsAngle(0);
    chart->addAxis(categories, upright ? Qt::AlignBottom : Qt::AlignLeft);
    if (upright)
        SlantWhenCrowded(chart, categories, labels);
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
