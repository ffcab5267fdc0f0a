// The list's three record commands: add (or, in the query module, query),
// modify and delete, with the rule that a user changes only the entries
// that user recorded. The rule is checked on the list first, for the
// user's message, and held again by the book's statements, so that a list
// that is out of date can never touch another entry.

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/QueryDialogCommand.h"
#include "records/CAddRecordDlg.h"
#include "records/CModifyRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "model/TextForms.h"

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

// The entry of a row as the list shows it (the amount as the list holds
// it, which its cell shows to the fen).
orv::ShownEntry ShownRow(const CRecordListCtrl &list, int row)
{
    orv::ShownEntry shown;
    shown.id = list.GetItemText(row, kIdColumn).toLongLong();
    shown.values.date = orv::parseDateText(list.GetItemText(row, kDateColumn)).value_or(QDate());
    shown.values.items = list.GetItemText(row, kItemsColumn);
    const orv::Entry *entry = list.Model().EntryAt(row);
    shown.values.money = entry ? entry->money : list.GetItemText(row, kMoneyColumn).toDouble();
    shown.values.remark = list.GetItemText(row, kRemarkColumn);
    shown.values.user = list.GetItemText(row, kUserColumn);
    return shown;
}

// Runs the modify dialog on a row; true when the entry was changed.
bool ModifyRow(CLedgerDlg &ledger, orv::RecordKind kind, int row)
{
    const orv::ShownEntry shown = ShownRow(RecordList(), row);
    CModifyRecordDlg dlg(kind, &ledger);
    dlg.m_nId = shown.id;
    dlg.m_tDate = shown.values.date.isValid() ? shown.values.date : QDate::currentDate();
    dlg.m_strItems = shown.values.items;
    dlg.m_dMoney = shown.values.money;
    dlg.m_strRemark = shown.values.remark;
    dlg.m_strUser = shown.values.user;
    return dlg.exec() == CModifyRecordDlg::kUpdated;
}

// The entries of these rows as the list shows them now: taken before the
// question, since the list follows the book while the question is up and
// its rows may then hold other entries than those the user confirmed.
QList<orv::ShownEntry> ShownRows(const CRecordListCtrl &list, const QList<int> &rows)
{
    QList<orv::ShownEntry> shown;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        shown.append(ShownRow(list, *row));
    return shown;
}

// Deletes these entries from the book (the list follows the book); true
// when the book changed.
bool DeleteEntries(CLedgerDlg &ledger, orv::RecordKind kind, const QList<orv::ShownEntry> &shown)
{
    return CheckDb(&ledger, AppBook().removeEntries(kind, shown, g_strCurUser));
}

} // namespace

void CLedgerDlg::OnAddRecord()
{
    if (g_nModule == 4) {
        SaveAnalysisPicture();
        return;
    }
    if (g_nModule == 3) {
        RunQueryDialog(this);
    } else if (const auto kind = orv::kindFromModule(g_nModule)) {
        CAddRecordDlg dlg(*kind, this);
        dlg.exec();
    }
    RecordList().SetFocus();
}

void CLedgerDlg::OnModifyRecord()
{
    CRecordListCtrl &list = RecordList();
    if (const auto kind = orv::kindFromModule(g_nModule)) {
        const int mark = list.GetSelectionMark();
        if (mark == -1)
            ShowAttention(this, QStringLiteral("请选择您要修改的行!"));
        else if (!RecordedByCurrentUser(list, mark))
            ShowAttention(this, QStringLiteral("只能修改当前用户(%1)的记录!").arg(g_strCurUser));
        else if (ModifyRow(*this, *kind, mark))
            list.SelectRow(mark);
    }
    list.SetFocus();
    // The figures follow the book; what others did meanwhile is read now.
    AppBook().catchUp();
}

void CLedgerDlg::OnDeleteRecord()
{
    CRecordListCtrl &list = RecordList();
    const auto kind = orv::kindFromModule(g_nModule);
    const QList<int> selected = list.GetSelectedRows();
    if (selected.isEmpty()) {
        ShowAttention(this, QStringLiteral("请选择您要删除的行!"));
    } else if (selected.size() == 1) {
        // The row the user selected (the row last clicked may be another one,
        // just deselected with Ctrl).
        const int row = selected.first();
        if (!RecordedByCurrentUser(list, row)) {
            ShowAttention(this, QStringLiteral("只能删除当前用户(%1)的记录!").arg(g_strCurUser));
        } else {
            const QList<orv::ShownEntry> shown = ShownRows(list, {row});
            const QString id = list.GetItemText(row, kIdColumn);
            if (AskAttention(this, QStringLiteral("真的要删除第 %1 条记录吗？").arg(id)) && kind &&
                DeleteEntries(*this, *kind, shown)) {
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
        const QList<orv::ShownEntry> shown = ShownRows(list, selected);
        if (AskAttention(this, QStringLiteral("真的要删除所选中的多条记录吗？")) && kind)
            DeleteEntries(*this, *kind, shown);
        list.EnsureVisible(list.GetItemCount() - 1);
    }
    list.SetFocus();
    AppBook().catchUp();
}
