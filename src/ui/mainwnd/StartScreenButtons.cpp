#include "mainwnd/CLedgerDlg.h"

void CLedgerDlg::LayoutStartButtons(int w, int y)
{
    // Income, expense, query, analysis and loans a sixth of the width
    // apart: the outer two stay where the row of four had them.
    const int ids[] = {1004, 1001, 1002, 1000, 1003};
    for (int i = 0; i < 5; ++i)
        Control(ids[i])->setGeometry((i + 1) * (w / 6) - 46, y, 92, 66);
}
