#pragma once

#include <QColor>

// How the query module's list marks its summary and heading rows: rows 0
// and 1, and the "支出记录" heading of the combined views, in yellow.
inline const QColor kQueryHeadingColor(255, 255, 0);
inline const QColor kPlainRowColor(0, 0, 0);

// Before a fill: the previous combined view's expense heading goes back to
// plain text (the row may hold an entry now).
void ResetPayoutHeaderColor();
// Rows 0 and 1 of the query list are always its summary and first heading.
void ColourQueryHeadings();
// Makes row the expense heading of a combined view.
void MarkPayoutHeader(int row);
// The period of a result ("2009年5月1日 至 2009年5月31日") is wider than the
// date column; the column grows to show it whole, at the remark column's cost.
void FitPeriodColumn(const QString &period);
