#include "query/QueryDialogCommand.h"

#include "mainwnd/CLedgerDlg.h"
#include "query/CQueryDlg.h"
#include "records/CRecordListCtrl.h"

void RunQueryDialog(CLedgerDlg *owner)
{
    // Each query writes straight into the list behind the dialog; closing it
    // only hands the focus back to the list.
    CQueryDlg dlg(owner);
    dlg.exec();
    RecordList().SetFocus();
}
