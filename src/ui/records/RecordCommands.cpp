#include "mainwnd/CLedgerDlg.h"

// Filled in by the subsystem that owns this command.
void CLedgerDlg::OnAddRecord()
{
}

void CLedgerDlg::OnModifyRecord()
{
}

void CLedgerDlg::OnDeleteRecord()
{
}

