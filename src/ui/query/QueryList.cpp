#include "query/QueryList.h"

#include "app/Globals.h"
#include "records/CRecordListCtrl.h"

#include <QStyle>

#include <algorithm>

void ResetPayoutHeaderColor()
{
    RecordList().SetRowColor(g_nPayoutHeaderRow, kPlainRowColor);
}

void ColourQueryHeadings()
{
    RecordList().SetRowColor(0, kQueryHeadingColor);
    RecordList().SetRowColor(1, kQueryHeadingColor);
}

void MarkPayoutHeader(int row)
{
    g_nPayoutHeaderRow = row;
    RecordList().SetRowColor(row, kQueryHeadingColor);
}

void FitPeriodColumn(const QString &period)
{
    CRecordListView *view = RecordList().Window();
    if (!view)
        return;
    // Text plus the cell's margins on both sides, as the header measures a section.
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view);
    const int wanted = view->fontMetrics().horizontalAdvance(period) + 2 * margin + 12;
    const int extra = wanted - view->columnWidth(1);
    if (extra <= 0)
        return;
    view->setColumnWidth(1, wanted);
    // The remark column, the widest, gives up that much while it stays wide
    // enough for a remark, so the columns still fit the list as before.
    const int remarkWidth = view->columnWidth(4);
    view->setColumnWidth(4, std::max(remarkWidth - extra, std::min(remarkWidth, 160)));
}
