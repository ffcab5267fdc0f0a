// The list's three record commands: add (or, in the query module, query),
// modify and delete, with the rule that a user changes only the entries
// that user recorded.

#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/QueryDialogCommand.h"
#include "records/CAddRecordDlg.h"
#include "records/CModifyRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/TextForms.h"

#include <algorithm>

namespace {

// List columns the commands read back.
constexpr int kIdColumn = 0;
constexpr int kDateColumn = 1;
constexpr int kItemsColumn = 2;
constexpr int kMoneyColumn = 3;
constexpr int kRemarkColumn = 4;
constexpr int kUserColumn = 5;

bool RecordedByCurrentUser(const CRecordListCtrl &list, int row)
{
    // Exact comparison: "Mama" and "mama" are two users.
    return list.GetItemText(row, kUserColumn) == g_strCurUser;
}

// The list and the book's figures follow one change this program made,
// without reading a large book again.
void ShowAddedEntry(CLedgerDlg &ledger, orv::RecordKind kind, qint32 id, const orv::EntryValues &values)
{
    CRecordListCtrl &list = RecordList();
    if (list.Window() && orv::kindFromModule(g_nModule) == kind) {
        CRecordListModel &model = list.Model();
        model.AppendEntry(model.Entries().make(id, values));
        list.SelectRow(list.GetItemCount() - 1);
        list.SetFocus();
    }
    orv::BookStatus status = ledger.BookStatus();
    status.applyAdded(kind, values.money);
    ledger.AdjustBookStatus(status);
    ledger.UpdateStatusTexts();
}

// Runs the modify dialog on a row; true when the entry was changed.
bool ModifyRow(CLedgerDlg &ledger, orv::RecordKind kind, int row)
{
    CRecordListCtrl &list = RecordList();
    CRecordListModel &model = list.Model();
    const orv::Entry *before = model.EntryAt(row);
    const double oldMoney = before ? before->money : list.GetItemText(row, kMoneyColumn).toDouble();

    CModifyRecordDlg dlg(kind, &ledger);
    dlg.m_nId = list.GetItemText(row, kIdColumn).toInt();
    dlg.m_tDate = orv::parseDateText(list.GetItemText(row, kDateColumn)).value_or(QDate::currentDate());
    dlg.m_strItems = list.GetItemText(row, kItemsColumn);
    dlg.m_dMoney = list.GetItemText(row, kMoneyColumn).toDouble();
    dlg.m_strRemark = list.GetItemText(row, kRemarkColumn);
    if (dlg.exec() != CModifyRecordDlg::kUpdated)
        return false;

    orv::EntryValues values = dlg.Values();
    values.user = list.GetItemText(row, kUserColumn);
    model.ReplaceEntry(row, model.Entries().make(dlg.m_nId, values));
    model.RestoreIdOrder();
    list.SelectRow(row);

    orv::BookStatus status = ledger.BookStatus();
    status.applyChanged(kind, oldMoney, values.money);
    ledger.AdjustBookStatus(status);
    return true;
}

// Deletes the entries of these rows (read from their cells) from the book
// and the list; true when the book changed.
bool DeleteRows(CLedgerDlg &ledger, orv::RecordKind kind, const QList<int> &rows)
{
    CRecordListCtrl &list = RecordList();
    const CRecordListModel &model = list.Model();
    QList<qint32> ids;
    QHash<qint32, double> money;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        const qint32 id = list.GetItemText(*row, kIdColumn).toInt();
        ids.append(id);
        const orv::Entry *entry = model.EntryAt(*row);
        money.insert(id, entry ? entry->money : list.GetItemText(*row, kMoneyColumn).toDouble());
    }

    const auto conn = OpenBook(&ledger);
    if (!conn)
        return false;
    const auto removed = orv::EntryStore::remove(*conn, kind, ids);
    if (!CheckDb(&ledger, removed))
        return false;

    // Rows whose entry was already gone from the book leave the list too.
    list.Model().RemoveEntries(ids);
    orv::BookStatus status = ledger.BookStatus();
    for (qint32 id : *removed)
        status.applyRemoved(kind, money.value(id));
    ledger.AdjustBookStatus(status);
    return !removed->isEmpty();
}

} // namespace

void CLedgerDlg::OnAddRecord()
{
    if (g_nModule == 3) {
        RunQueryDialog(this);
    } else if (const auto kind = orv::kindFromModule(g_nModule)) {
        CAddRecordDlg dlg(*kind, this);
        connect(&dlg, &CAddRecordDlg::EntryAdded, this,
                [this](orv::RecordKind added, qint32 id, const orv::EntryValues &values) {
                    ShowAddedEntry(*this, added, id, values);
                });
        dlg.exec();
    }
    RecordList().SetFocus();
}

void CLedgerDlg::OnModifyRecord()
{
    CRecordListCtrl &list = RecordList();
    bool changed = false;
    if (const auto kind = orv::kindFromModule(g_nModule)) {
        const int mark = list.GetSelectionMark();
        if (mark == -1)
            ShowAttention(this, QStringLiteral("请选择您要修改的行!"));
        else if (!RecordedByCurrentUser(list, mark))
            ShowAttention(this, QStringLiteral("只能修改当前用户(%1)的记录!").arg(g_strCurUser));
        else
            changed = ModifyRow(*this, *kind, mark);
    }
    list.SetFocus();
    // A change has already moved the figures; otherwise they are read afresh.
    if (!changed)
        UpdateBookStatus();
    UpdateStatusTexts();
}

void CLedgerDlg::OnDeleteRecord()
{
    CRecordListCtrl &list = RecordList();
    const auto kind = orv::kindFromModule(g_nModule);
    const QList<int> selected = list.GetSelectedRows();
    bool changed = false;
    if (selected.isEmpty()) {
        ShowAttention(this, QStringLiteral("请选择您要删除的行!"));
    } else if (selected.size() == 1) {
        // The row the user selected (the row last clicked may be another one,
        // just deselected with Ctrl).
        const int row = selected.first();
        if (!RecordedByCurrentUser(list, row)) {
            ShowAttention(this, QStringLiteral("只能删除当前用户(%1)的记录!").arg(g_strCurUser));
        } else {
            const int id = list.GetItemText(row, kIdColumn).toInt();
            if (AskAttention(this, QStringLiteral("真的要删除第 %1 条记录吗？").arg(id)) && kind) {
                changed = DeleteRows(*this, *kind, {row});
                // The row that moved into the deleted one's place, or the new last row.
                list.SelectRow(std::min(row, list.GetItemCount() - 1));
            }
        }
    } else {
        for (auto row = selected.crbegin(); row != selected.crend(); ++row) {
            if (!RecordedByCurrentUser(list, *row)) {
                ShowAttention(this,
                              QStringLiteral("选中的记录中含有非当前用户(%1)的记录，操作失败!").arg(g_strCurUser));
                return;
            }
        }
        if (AskAttention(this, QStringLiteral("真的要删除所选中的多条记录吗？")) && kind)
            changed = DeleteRows(*this, *kind, selected);
        list.EnsureVisible(list.GetItemCount() - 1);
    }
    list.SetFocus();
    if (!changed)
        UpdateBookStatus();
    UpdateStatusTexts();
}
