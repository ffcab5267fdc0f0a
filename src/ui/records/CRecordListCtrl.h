#pragma once

#include "query/QueryCriteria.h"
#include "records/CRecordListModel.h"
#include "model/EntryList.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <functional>

class CRecordListView;
class QMenu;

// Which columns the list is made with.
enum class ListColumns { Records, Query };

// The record list: one object for the whole run, holding what the list
// shows, its sort direction, row colours and the last query; its window is
// made anew on every module switch. Other commands read the entries on
// screen back from its cells.
class CRecordListCtrl final : public QObject
{
    Q_OBJECT

public:
    CRecordListCtrl();
    ~CRecordListCtrl() override;

    // The window, made with the columns of the record modules or of the
    // query module, in the main window's client area.
    CRecordListView *CreateListWindow(QWidget *parent, const QRect &rect, ListColumns columns, const QColor &back);
    void DestroyListWindow();
    CRecordListView *Window() const;

    CRecordListModel &Model() { return m_model; }
    const CRecordListModel &Model() const { return m_model; }

    // Reading the list as the user sees it.
    int GetItemCount() const { return m_model.rowCount(); }
    int GetColumnCount() const { return m_model.columnCount(); }
    QString GetColumnCaption(int column) const;
    QString GetItemText(int row, int column) const { return m_model.CellText(row, column); }
    // The row last clicked or moved to, -1 when there is none.
    int GetSelectionMark() const;
    // Selected rows, from the first to the last.
    QList<int> GetSelectedRows() const;

    // Selects, focuses and shows one row (the only selected one afterwards).
    void SelectRow(int row);
    void EnsureVisible(int row);
    void ClearSelection();
    void SetFocus();

    // Sets or replaces the text colour of one row; black resets it.
    void SetRowColor(int row, const QColor &color);

    // Record modules: the whole table in id order.
    void ShowEntries(orv::EntryList entries);

    // The header click: flips the shared direction, then sorts by the
    // clicked column (column 0 only flips).
    void OnColumnClick(int column);

    // Refills the list with what the book holds now (refill writes the
    // rows), keeping what the user sees: the column order the rows were
    // sorted by, the selected rows and the current row (entry rows by their
    // entry, other rows by place), and the scroll position.
    void ReloadKeepingView(const std::function<void()> &refill);

    // The context menu's items ("右键菜单", or "查询右键菜单" in the query module).
    void FillContextMenu(QMenu *menu);

    bool m_bAscending = false;
    // What the query module shows: -1 the overview, 0 income and expense,
    // 1 income, 2 expense, 3 loans.
    int m_nQueryKind = -1;
    // The query whose result the list shows (query kinds 0 to 3).
    orv::QueryCriteria m_query;

Q_SIGNALS:
    // The list's commands go to the main window.
    void AddRequested();
    void ModifyRequested();
    void DeleteRequested();
    void ExportRequested();

private:
    // The id and amount columns grow to show every id, amount and total
    // whole; the remark column gives up the room.
    void FitNumberColumns(int firstRow, int lastRow);
    void WidenColumn(int column, const QString &widest);
    void OnRClick(const QPoint &pos);
    void OnDblClick(const QModelIndex &index);

    CRecordListModel m_model;
    QPointer<CRecordListView> m_pWindow;
};

// The list window: a report view with grid lines, full-row selection and
// movable columns.
class CRecordListView final : public QTableView
{
    Q_OBJECT

public:
    explicit CRecordListView(QWidget *parent = nullptr);

protected:
    void focusInEvent(QFocusEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void updateGeometries() override;

private:
    void SnapToWholeRow(int value);
};

// The one record list of the program.
CRecordListCtrl &RecordList();

// Column captions and widths of the two kinds of list.
QStringList ListCaptions(ListColumns columns);
QList<int> ListWidths(ListColumns columns);
