#include "query/QueryList.h"

#include "app/Globals.h"
#include "records/CRecordListCtrl.h"

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
