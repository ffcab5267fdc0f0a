// How a run of the main window ends: exit, log-off and the close box all
// come through done(), while the window is still there to carry the
// automatic backup's progress and any failure.

#include "mainwnd/CLedgerDlg.h"

#include "backup/CAutoBackup.h"

void CLedgerDlg::done(int result)
{
    if (m_pAutoBackup)
        m_pAutoBackup->RunEnds();
    QDialog::done(result);
}
