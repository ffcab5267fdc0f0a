// The financial-analysis module in the main window: entering and leaving
// it, its layout, and its two operation buttons.
#include "mainwnd/CLedgerDlg.h"

#include "analysis/AnalysisExport.h"
#include "analysis/CAnalysisPage.h"
#include "analysis/CAnalysisView.h"
#include "app/AppBook.h"
#include "app/Globals.h"
#include "mainwnd/CColorToolBar.h"
#include "records/CRecordListCtrl.h"

#include <QPushButton>
#include <QTreeWidget>

void CLedgerDlg::SwitchToAnalysis()
{
    AppBook().catchUp();
    m_pToolBar->ShowPressed(32813);
    HideStartScreen();
    RecordList().DestroyListWindow();
    // The query module's two buttons, for the chart: its picture, its figures.
    ShowOperationButtons(false);
    qobject_cast<QPushButton *>(Control(1011))->setText(QStringLiteral("保存图片(&P)..."));
    SetPositionLabel(4);
    g_nModule = 4;
    if (!m_pAnalysis) {
        // Made once and kept: the period and the chart chosen stay while
        // the family looks at other modules.
        m_pAnalysis = new CAnalysisView(Client());
        connect(m_pAnalysis, &CAnalysisView::DrillDown, this,
                [this](const orv::QueryCriteria &criteria) { SwitchToQuery(&criteria); });
    }
    m_pAnalysis->SetListColor(m_crBack);
    LayoutAnalysisModule(m_cx, m_cy);
    m_pAnalysis->show();
    m_pAnalysis->Refresh();
    InvalidateBelowStrip();
    CreateStatusBar();
    // The keys (arrows, Enter) work in the figures at once, as in a list.
    m_pAnalysis->CurrentPage()->Figures()->setFocus();
}

CAnalysisView *CLedgerDlg::AnalysisView() const
{
    return m_pAnalysis;
}

void CLedgerDlg::LayoutAnalysisModule(int w, int h)
{
    LayoutQueryModule(w, h);
    if (m_pAnalysis)
        m_pAnalysis->setGeometry(6, 86, w - 12, h - 169);
}

void CLedgerDlg::HideAnalysis()
{
    if (m_pAnalysis)
        m_pAnalysis->hide();
}

void CLedgerDlg::SaveAnalysisPicture()
{
    if (m_pAnalysis)
        SaveChartPicture(this, *m_pAnalysis);
}

void CLedgerDlg::ExportAnalysisWorkbook()
{
    if (m_pAnalysis)
        SaveAnalysisWorkbook(this, *m_pAnalysis);
}
