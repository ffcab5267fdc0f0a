#include "items/CSetItemsDlg.h"
#include "mainwnd/CLedgerDlg.h"

// "设置名目(&C)...": the category lists. The entry and query dialogs read the
// category tables each time they open, so nothing here needs refreshing.
void CLedgerDlg::OnSetItems()
{
    CSetItemsDlg dlg(this);
    dlg.exec();
}
