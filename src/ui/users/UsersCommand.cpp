#include "mainwnd/CLedgerDlg.h"
#include "users/CUserManageDlg.h"

// "管理用户(&M)...": the user accounts. A rename of the logged-in user sets
// the title from inside; deleting that user logs off.
void CLedgerDlg::OnManageUsers()
{
    CUserManageDlg dlg(this);
    dlg.exec();
}
