#include "mainwnd/CAboutDlg.h"
#include "mainwnd/CLedgerDlg.h"

// "关于(&A)...": the About box; nothing changes afterwards.
void CLedgerDlg::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}
