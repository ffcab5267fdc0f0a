#pragma once

#include "model/EntryList.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QStringList>

#include <array>
#include <vector>

// What the record list shows: entry rows (from an EntryList, texts made
// only when a row is drawn) and, in the query module, fixed rows of totals
// and headings between them. A million entries cost 36 bytes each.
class CRecordListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    using FixedRow = std::array<QString, orv::kEntryColumnCount>;

    explicit CRecordListModel(QObject *parent = nullptr);

    // Columns: captions; whether column 0 shows the entry id (record
    // modules) or stays empty on entry rows (query results).
    void SetColumns(const QStringList &captions, bool showIds);
    QStringList Captions() const { return m_captions; }

    // Replaces every row by these entries, in their order.
    void SetEntries(orv::EntryList entries);
    // Empties the list (and its rows' text colours stay with the list control).
    void Clear();
    // Appends a fixed row; answers its index.
    int AppendFixedRow(const FixedRow &cells = {});
    // Appends entries read into the list's own entry store; answers the
    // first new row index.
    orv::EntryList &Entries() { return m_entries; }
    const orv::EntryList &Entries() const { return m_entries; }
    // Shows entries [from, Entries().size()) as rows at the end.
    void AppendEntryRows(qsizetype from);
    void SetFixedCell(int row, int column, const QString &text);

    // Record modules: entries changed in place by this program.
    void AppendEntry(const orv::Entry &entry);
    void ReplaceEntry(int row, const orv::Entry &entry);
    void RemoveEntries(const QList<qint64> &ids);
    // The row that shows the entry with this id, -1 when none does.
    int RowOfId(qint64 id) const;
    // After a change the list shows its table in id order again, whatever
    // column it was sorted by.
    void RestoreIdOrder();

    // The longest amount text among rows [first, last], totals included.
    QString WidestAmountText(int first, int last) const;
    // The text of the largest entry id among rows [first, last]; empty
    // where the list shows no ids.
    QString WidestIdText(int first, int last) const;

    bool IsEntryRow(int row) const;
    const orv::Entry *EntryAt(int row) const;
    QString CellText(int row, int column) const;

    // Sorts every run of entry rows between fixed rows by a column.
    void SortEntryRuns(orv::EntryColumn column, orv::SortOrder order);
    // The column the rows were last sorted by, -1 while they stand in the
    // order they were filled in (id order in the record modules).
    int SortColumn() const { return m_nSortColumn; }
    orv::SortOrder SortedOrder() const { return m_sortOrder; }
    bool EntriesInIdOrder() const;

    void SetRowColor(int row, const QColor &color);
    void ClearRowColors();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void RebuildIdentityRows();

    QStringList m_captions;
    bool m_bShowIds = true;
    orv::EntryList m_entries;
    std::vector<FixedRow> m_fixed;
    // Row r shows entry m_rows[r] when >= 0, fixed row -(m_rows[r] + 1) otherwise.
    std::vector<qint32> m_rows;
    QHash<int, QColor> m_mapRowColor;
    int m_nSortColumn = -1;
    orv::SortOrder m_sortOrder = orv::SortOrder::Ascending;
};
