#pragma once

#include "model/Money.h"

#include <QPointF>
#include <QStringList>

#include <initializer_list>

class QChart;

// The lowest and highest figure a value axis must show, 0 always among them.
struct ValueSpan
{
    double low = 0.0;
    double high = 0.0;
    void Take(std::initializer_list<orv::FenSum> figures);
};

// A category axis along the bottom (its labels slanted when they do not fit
// side by side)
// and a value axis in yuan at the left, for every series of the chart; for
// bars lying on their side, the categories at the left and the yuan below.
void AttachAxes(QChart *chart, const QStringList &labels, const ValueSpan &span,
                Qt::Orientation bars = Qt::Vertical);

// The bar nearest to a point on a category axis of count bars; -1 for none.
qsizetype NearestIndex(const QPointF &point, qsizetype count);

