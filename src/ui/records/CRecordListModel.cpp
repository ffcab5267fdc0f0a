#include "records/CRecordListModel.h"

#include <algorithm>
#include <cmath>
#include <numeric>

CRecordListModel::CRecordListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void CRecordListModel::SetColumns(const QStringList &captions, bool showIds)
{
    beginResetModel();
    m_captions = captions;
    m_bShowIds = showIds;
    endResetModel();
}

void CRecordListModel::SetEntries(orv::EntryList entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    m_fixed.clear();
    m_nSortColumn = -1;
    RebuildIdentityRows();
    endResetModel();
}

void CRecordListModel::Clear()
{
    beginResetModel();
    m_entries = orv::EntryList();
    m_fixed.clear();
    m_rows.clear();
    m_nSortColumn = -1;
    endResetModel();
}

void CRecordListModel::RebuildIdentityRows()
{
    m_rows.resize(m_entries.entries().size());
    std::iota(m_rows.begin(), m_rows.end(), 0);
}

int CRecordListModel::AppendFixedRow(const FixedRow &cells)
{
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_fixed.push_back(cells);
    m_rows.push_back(-qint32(m_fixed.size()));
    endInsertRows();
    return row;
}

void CRecordListModel::AppendEntryRows(qsizetype from)
{
    const qsizetype to = m_entries.size();
    if (from >= to)
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(to - from) - 1);
    for (qsizetype i = from; i < to; ++i)
        m_rows.push_back(qint32(i));
    endInsertRows();
}

void CRecordListModel::SetFixedCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= int(m_rows.size()) || m_rows[size_t(row)] >= 0 || column < 0 ||
        column >= orv::kEntryColumnCount)
        return;
    m_fixed[size_t(-m_rows[size_t(row)] - 1)][size_t(column)] = text;
    const QModelIndex cell = index(row, column);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole});
}

void CRecordListModel::AppendEntry(const orv::Entry &entry)
{
    RestoreIdOrder();
    m_entries.entries().push_back(entry);
    AppendEntryRows(m_entries.size() - 1);
}

void CRecordListModel::ReplaceEntry(int row, const orv::Entry &entry)
{
    if (!IsEntryRow(row))
        return;
    m_entries.entries()[size_t(m_rows[size_t(row)])] = entry;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int CRecordListModel::RowOfId(qint64 id) const
{
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r] >= 0 && m_entries.at(m_rows[r]).id == id)
            return int(r);
    }
    return -1;
}

void CRecordListModel::RemoveEntries(const QList<qint64> &ids)
{
    beginResetModel();
    const QSet<qint64> gone(ids.begin(), ids.end());
    auto &entries = m_entries.entries();
    entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const orv::Entry &e) { return gone.contains(e.id); }),
                  entries.end());
    m_fixed.clear();
    m_nSortColumn = -1;
    if (!EntriesInIdOrder())
        orv::sortEntries(entries.begin(), entries.end(), orv::EntryColumn::Id, orv::SortOrder::Ascending,
                         m_entries.pool());
    RebuildIdentityRows();
    endResetModel();
}

void CRecordListModel::RestoreIdOrder()
{
    m_nSortColumn = -1;
    if (EntriesInIdOrder())
        return;
    // Any change shows the table in id order again, as a fresh fill would.
    beginResetModel();
    orv::sortEntries(m_entries.entries().begin(), m_entries.entries().end(), orv::EntryColumn::Id,
                     orv::SortOrder::Ascending, m_entries.pool());
    endResetModel();
}

QString CRecordListModel::WidestAmountText(int first, int last) const
{
    constexpr int kAmount = int(orv::EntryColumn::Money);
    QString widest;
    // Entries: the amount furthest from zero has the longest text; one text
    // is made for it, not one per row.
    const orv::Entry *largest = nullptr;
    first = std::max(first, 0);
    last = std::min(last, int(m_rows.size()) - 1);
    for (int row = first; row <= last; ++row) {
        const qint32 ref = m_rows[size_t(row)];
        if (ref < 0) {
            const QString &text = m_fixed[size_t(-ref - 1)][size_t(kAmount)];
            if (text.size() > widest.size())
                widest = text;
            continue;
        }
        const orv::Entry &entry = m_entries.at(ref);
        if (!largest || std::abs(entry.money) > std::abs(largest->money) ||
            (std::abs(entry.money) == std::abs(largest->money) && entry.money < 0))
            largest = &entry;
    }
    if (largest) {
        const QString text = m_entries.cellText(*largest, orv::EntryColumn::Money);
        if (text.size() > widest.size())
            widest = text;
    }
    return widest;
}

QString CRecordListModel::WidestIdText(int first, int last) const
{
    // The query's list shows each row's kind there instead.
    if (!m_bShowIds)
        return {};
    const orv::Entry *largest = nullptr;
    first = std::max(first, 0);
    last = std::min(last, int(m_rows.size()) - 1);
    for (int row = first; row <= last; ++row) {
        const qint32 ref = m_rows[size_t(row)];
        if (ref >= 0 && (!largest || m_entries.at(ref).id > largest->id))
            largest = &m_entries.at(ref);
    }
    return largest ? m_entries.cellText(*largest, orv::EntryColumn::Id) : QString();
}

bool CRecordListModel::IsEntryRow(int row) const
{
    return row >= 0 && row < int(m_rows.size()) && m_rows[size_t(row)] >= 0;
}

const orv::Entry *CRecordListModel::EntryAt(int row) const
{
    return IsEntryRow(row) ? &m_entries.at(m_rows[size_t(row)]) : nullptr;
}

QString CRecordListModel::CellText(int row, int column) const
{
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= orv::kEntryColumnCount)
        return {};
    const qint32 ref = m_rows[size_t(row)];
    if (ref < 0)
        return m_fixed[size_t(-ref - 1)][size_t(column)];
    if (column == 0 && !m_bShowIds)
        return {};
    return m_entries.cellText(m_entries.at(ref), orv::EntryColumn(column));
}

void CRecordListModel::SortEntryRuns(orv::EntryColumn column, orv::SortOrder order)
{
    m_nSortColumn = int(column);
    m_sortOrder = order;
    Q_EMIT layoutAboutToBeChanged();
    auto &entries = m_entries.entries();
    size_t r = 0;
    while (r < m_rows.size()) {
        if (m_rows[r] < 0) {
            ++r;
            continue;
        }
        // A run of rows showing consecutive entries: sort those entries in place.
        const size_t start = r;
        while (r + 1 < m_rows.size() && m_rows[r + 1] == m_rows[r] + 1)
            ++r;
        const auto first = entries.begin() + m_rows[start];
        const auto last = entries.begin() + m_rows[r] + 1;
        orv::sortEntries(first, last, column, order, m_entries.pool());
        ++r;
    }
    Q_EMIT layoutChanged();
}

bool CRecordListModel::EntriesInIdOrder() const
{
    const auto &entries = m_entries.entries();
    return std::is_sorted(entries.begin(), entries.end(),
                          [](const orv::Entry &a, const orv::Entry &b) { return a.id < b.id; });
}

void CRecordListModel::SetRowColor(int row, const QColor &color)
{
    if (m_mapRowColor.value(row) == color && m_mapRowColor.contains(row))
        return;
    m_mapRowColor.insert(row, color);
    if (row >= 0 && row < rowCount())
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::ForegroundRole});
}

void CRecordListModel::ClearRowColors()
{
    m_mapRowColor.clear();
}

int CRecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CRecordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant CRecordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return CellText(index.row(), index.column());
    case Qt::ForegroundRole: {
        const auto found = m_mapRowColor.constFind(index.row());
        if (found != m_mapRowColor.constEnd())
            return found.value();
        return {};
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant CRecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) && section >= 0 &&
        section < m_captions.size())
        return m_captions[section];
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return QAbstractTableModel::headerData(section, orientation, role);
}
