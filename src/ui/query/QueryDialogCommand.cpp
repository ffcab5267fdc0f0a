#include "query/QueryDialogCommand.h"

// Filled in by the query dialog.
void RunQueryDialog(CLedgerDlg *)
{
}
