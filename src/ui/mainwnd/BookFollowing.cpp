// How the main window follows the book: this program's own changes of
// entries in place (quick on a large book), changes by others by reading
// again what is on screen, without moving the user's sort, selection or
// scroll position.

#include "mainwnd/CLedgerDlg.h"

#include "app/AppBook.h"
#include "app/Globals.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "records/CRecordListCtrl.h"

namespace {

// The list shows the entries of this kind.
bool ListShows(orv::RecordKind kind)
{
    return RecordList().Window() && orv::kindFromModule(g_nModule) == kind;
}

} // namespace

void CLedgerDlg::FollowBook()
{
    orv::Book &book = AppBook();
    connect(&book, &orv::Book::statusChanged, this, [this](const orv::BookStatus &status) {
        AdjustBookStatus(status);
        UpdateStatusTexts();
    });
    connect(&book, &orv::Book::entryAdded, this, &CLedgerDlg::OnEntryAdded);
    connect(&book, &orv::Book::entryChanged, this, &CLedgerDlg::OnEntryChanged);
    connect(&book, &orv::Book::entriesRemoved, this, &CLedgerDlg::OnEntriesRemoved);
    connect(&book, &orv::Book::changedElsewhere, this, &CLedgerDlg::OnBookChangedElsewhere);
    connect(&book, &orv::Book::changed, this, &CLedgerDlg::OnBookChanged);
    connect(&book, &orv::Book::offlineChanged, this, &CLedgerDlg::OnBookOffline);
}

void CLedgerDlg::OnEntryAdded(orv::RecordKind kind, qint64 id, const orv::EntryValues &values)
{
    if (!ListShows(kind))
        return;
    CRecordListCtrl &list = RecordList();
    CRecordListModel &model = list.Model();
    model.AppendEntry(model.Entries().make(id, values));
    list.SelectRow(list.GetItemCount() - 1);
    list.SetFocus();
}

void CLedgerDlg::OnEntryChanged(orv::RecordKind kind, qint64 id, const orv::EntryValues &values)
{
    if (!ListShows(kind))
        return;
    CRecordListModel &model = RecordList().Model();
    const int row = model.RowOfId(id);
    if (row >= 0)
        model.ReplaceEntry(row, model.Entries().make(id, values));
    // After a change the list shows its table in id order, as a fill would.
    model.RestoreIdOrder();
}

void CLedgerDlg::OnEntriesRemoved(orv::RecordKind kind, const QList<qint64> &ids)
{
    if (ListShows(kind))
        RecordList().Model().RemoveEntries(ids);
}

void CLedgerDlg::OnBookChangedElsewhere(orv::BookChanges what)
{
    CRecordListCtrl &list = RecordList();
    if (const auto kind = orv::kindFromModule(g_nModule); kind && list.Window()) {
        if (what & orv::entryChange(*kind))
            list.ReloadKeepingView([this, kind] { FillList(*kind); });
    } else if (g_nModule == 3 && list.Window() &&
               (what & (orv::BookChange::Income | orv::BookChange::Payout | orv::BookChange::Loans))) {
        if (list.m_nQueryKind == -1) {
            if (what & (orv::BookChange::Income | orv::BookChange::Payout))
                list.ReloadKeepingView([this] { FillQueryOverview(); });
        } else {
            // A query's result is what the book held when it ran; it stays,
            // and the status bar says that the book has moved on.
            m_bQueryOutdated = true;
        }
    }
    UpdateStatusNote();
}

void CLedgerDlg::OnBookChanged(orv::BookChanges what)
{
    // A whole new book (restore, new book) changes everything on screen;
    // entries written by the batch (an import) are read again like others'.
    if (what != orv::BookChanges(orv::BookChange::Everything)) {
        if (what & (orv::BookChange::Income | orv::BookChange::Payout | orv::BookChange::Loans))
            OnBookChangedElsewhere(what);
        return;
    }
    m_bQueryOutdated = false;
    UpdateStatusTexts();
    switch (g_nModule) {
    case 0: Client()->update(QRect(QPoint(0, 86), QPoint(m_cx, m_cy))); break;
    case 1: FillIncomeList(); break;
    case 2: FillPayoutList(); break;
    case 5: FillLoanList(); break;
    case 3: SwitchToQuery(); break;
    default: break;
    }
}

void CLedgerDlg::OnBookOffline(bool)
{
    UpdateStatusNote();
}

void CLedgerDlg::QueryShown()
{
    m_bQueryOutdated = false;
    UpdateStatusNote();
}

void CLedgerDlg::UpdateStatusNote()
{
    if (!m_pStatusBar)
        return;
    QString note;
    if (AppBook().isOffline())
        note = QStringLiteral("与帐本服务器的连接已中断，正在等待重新连接……");
    else if (g_nModule == 3 && m_bQueryOutdated)
        note = QStringLiteral("帐本已有变动，重新查询可看到最新结果");
    m_pStatusBar->SetNote(note);
}
