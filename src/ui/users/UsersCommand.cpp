#include "mainwnd/CLedgerDlg.h"

// Filled in by the subsystem that owns this command.
void CLedgerDlg::OnManageUsers()
{
}

