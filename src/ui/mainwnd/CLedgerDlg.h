#pragma once

#include "records/BookStatus.h"
#include "model/EntryList.h"
#include "model/RecordKind.h"
#include "store/BookChanges.h"

#include <QColor>
#include <QDialog>
#include <QHash>
#include <QPixmap>
#include <QPointer>

namespace orv {
struct QueryCriteria;
}
class CAnalysisView;
class CAutoBackup;
class CColorToolBar;
#include "mainwnd/CStatusBarCtrl.h"
class QAction;
class QGroupBox;
class QLabel;
class QMenuBar;
class QPushButton;
class QWidget;

// The main window: menu bar, toolbar, and one module at a time on its client
// area — the start screen with the book's figures, the income, expense or
// loan list with its buttons, or the query results. Closing it ends the run.
class CLedgerDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CLedgerDlg(QWidget *parent = nullptr);
    ~CLedgerDlg() override;

    // Module switches.
    void SwitchToIncome();
    void SwitchToPayout();
    // With a query: shows its result rather than the overview.
    void SwitchToQuery(const orv::QueryCriteria *query = nullptr);
    void SwitchToLoan();
    void SwitchToStart();
    void SwitchToAnalysis();
    // Switches to the module again (a list made anew with its colour).
    void SwitchToModule(int module);

    // The book's figures: computed, then shown.
    void UpdateBookStatus();
    void UpdateStatusTexts();
    // Keeps the figures true after this program's own change of one entry.
    void AdjustBookStatus(const orv::BookStatus &status);
    const orv::BookStatus &BookStatus() const { return m_status; }

    void CreateRecordList();
    void CreateStatusBar();

    // The window follows the book: its own changes in place, others'
    // changes by reading again what is on screen.
    void OnEntryAdded(orv::RecordKind kind, qint64 id, const orv::EntryValues &values);
    void OnEntryChanged(orv::RecordKind kind, qint64 id, const orv::EntryValues &values);
    void OnEntriesRemoved(orv::RecordKind kind, const QList<qint64> &ids);
    void OnBookChangedElsewhere(orv::BookChanges what);
    void OnBookChanged(orv::BookChanges what);
    void OnBookOffline(bool offline);
    // The status bar's remark for the module on screen.
    void UpdateStatusNote();
    // A query's result is now on screen.
    void QueryShown();
    CStatusBarCtrl *StatusBar() const { return m_pStatusBar; }

    // The whole table of a kind into the list, in id order.
    void FillIncomeList();
    void FillPayoutList();
    void FillLoanList();
    void FillList(orv::RecordKind kind);
    // The query module's first view: all income and expense with the book's totals.
    void FillQueryOverview();

    void LogOffAndRestart();
    void LoadUserColor();
    void SetTitle();
    // The login, if it is still to come; runs once the window is on screen.
    void RunPendingLogin();

    // Commands.
    void OnManageUsers();
    void OnLogOff();
    void OnNewBook();
    void OnExit();
    void OnSetItems();
    void OnSetBackColor();
    void OnDirectLogin();
    void OnCalculator();
    void OnNotepad();
    void OnRestore();
    void OnBackup();
    void OnHelp();
    void OnAbout();
    void OnAddRecord();
    void OnModifyRecord();
    void OnDeleteRecord();
    void OnExportExcel();
    void OnImportCsv();

    // The client area (below the menu bar) that the layout formulas address.
    QWidget *Client() const { return m_pClient; }
    QWidget *Control(int id) const;
    QAction *MenuCommand(int id) const;
    QMenuBar *MenuBar() const { return m_pMenuBar; }
    CColorToolBar *ToolBar() const { return m_pToolBar; }

    // Lays out the client area of width w and height h for the current module.
    void LayoutStart(int w, int h, bool firstLayout);
    // The five module buttons in a row at y, evenly from a sixth of the
    // width to five sixths.
    void LayoutStartButtons(int w, int y);
    void LayoutRecordModule(int w, int h);
    void LayoutQueryModule(int w, int h);
    void LayoutAnalysisModule(int w, int h);
    QRect ListRect(int w, int h) const;
    // The financial analysis's charts (made when the module is first entered).
    CAnalysisView *AnalysisView() const;

    // Called by the client area.
    void PaintClient(QPainter &painter);
    void OnSize(int w, int h);
    // Text colours of the list's fixed rows for the module on screen: yellow
    // summary and heading rows in the query module, black elsewhere.
    void ApplyModuleRowColors();
    // Runs a command by its id: a menu item, a button, a toolbar button, or
    // the list's context menu and double-click (as the buttons 1011 to 1015).
    void RunCommand(int id);

    int m_cx = 0;
    int m_cy = 0;
    bool m_bDirectLogin = true;
    bool m_bLoginPending = true;
    QColor m_crBack{115, 151, 234};
    int m_nRed = 115;
    int m_nGreen = 151;
    int m_nBlue = 234;

    QString m_strIncomeCount;
    QString m_strPayoutCount;
    QString m_strLoanCount;
    QString m_strBalance;
    double m_dIncomeSum = 0.0;
    double m_dPayoutSum = 0.0;
    double m_dBalance = 0.0;

    // Esc and the close box.
    void reject() override;
    // Every end of the run (exit, log-off, Esc, the close box).
    void done(int result) override;

Q_SIGNALS:
    // A command is about to run.
    void CommandRun(int id);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void SwitchToRecordModule(int module, int toolbarButton);
    void CreateMenus();
    void CreateControls();
    void LoadDirectLogin();
    void ConnectCommands();
    void HideStartScreen();
    void ShowOperationButtons(bool recordModule);
    void SetPositionLabel(int module);
    void InvalidateBelowStrip();
    void FollowBook();
    void HideAnalysis();
    // The analysis module's two operation buttons.
    void SaveAnalysisPicture();
    void ExportAnalysisWorkbook();

    QMenuBar *m_pMenuBar = nullptr;
    QWidget *m_pClient = nullptr;
    CColorToolBar *m_pToolBar = nullptr;
    QPointer<CStatusBarCtrl> m_pStatusBar;
    QPointer<CAnalysisView> m_pAnalysis;
    CAutoBackup *m_pAutoBackup = nullptr;
    QLabel *m_pPositionLabel = nullptr;
    QHash<int, QWidget *> m_controls;
    QHash<int, QAction *> m_commands;
    QAction *m_pDirectLoginAction = nullptr;
    QPixmap m_bmpStart;
    QPixmap m_bmpStartScaled;
    QPixmap m_bmpStrip;
    QSize m_laidOutSize;
    orv::BookStatus m_status;
    bool m_bToolBarReady = false;
    bool m_bRowColorsPending = false;
    // The query result on screen was read before the book last changed.
    bool m_bQueryOutdated = false;
};

// The main window of the run (for the parts that act on it from a dialog).
CLedgerDlg *LedgerWindow();
