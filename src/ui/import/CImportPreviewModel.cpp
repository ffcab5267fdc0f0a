#include "import/CImportPreviewModel.h"

#include "app/PlainText.h"
#include "model/TextForms.h"

#include <QBrush>
#include <QColor>

namespace {

const QColor kProblemColour(190, 0, 0);
const QColor kDuplicateColour(160, 90, 0);
const QColor kSkippedColour(120, 120, 120);

} // namespace

CImportPreviewModel::CImportPreviewModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void CImportPreviewModel::SetRows(const QList<orv::ImportRow> &rows, const QList<bool> &chosen)
{
    beginResetModel();
    m_rows = rows;
    m_chosen = chosen;
    m_chosen.resize(m_rows.size());
    endResetModel();
}

bool CImportPreviewModel::SetChosen(int row, bool chosen)
{
    if (row < 0 || row >= m_rows.size() || !m_rows.at(row).canStore())
        return false;
    if (m_chosen.at(row) == chosen)
        return true;
    m_chosen[row] = chosen;
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
    Q_EMIT ChosenChanged(row, chosen);
    return true;
}

int CImportPreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CImportPreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString CImportPreviewModel::NoteOf(const orv::ImportRow &row) const
{
    if (!row.canStore())
        return orv::describeProblems(row).join(QStringLiteral("；"));
    return orv::describeDuplicate(row);
}

QVariant CImportPreviewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const orv::ImportRow &row = m_rows.at(index.row());
    const bool chosen = m_chosen.at(index.row());
    if (role == Qt::CheckStateRole && index.column() == Chosen)
        return chosen ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ForegroundRole) {
        if (index.column() == Note)
            return QBrush(row.canStore() ? kDuplicateColour : kProblemColour);
        return chosen ? QVariant() : QVariant(QBrush(kSkippedColour));
    }
    if (role == Qt::ToolTipRole && index.column() == Note)
        return PlainToolTip(NoteOf(row)); // the file's words, never markup
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Line:
        return row.line;
    case Kind:
        return row.kind ? orv::kindWord(*row.kind) : row.kindText;
    case Date:
        return row.values.date.isValid() ? orv::dateText(row.values.date) : row.dateText;
    case Items:
        return row.itemsText;
    case Money:
        return row.values.money > 0.0 ? orv::moneyText(row.values.money) : row.amountText;
    case Remark:
        return row.remarkText;
    case Note:
        return NoteOf(row);
    default:
        return {};
    }
}

QVariant CImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Chosen: return QStringLiteral("导入");
    case Line: return QStringLiteral("行");
    case Kind: return QStringLiteral("类别");
    case Date: return QStringLiteral("日期");
    case Items: return QStringLiteral("名目");
    case Money: return QStringLiteral("金额（元）");
    case Remark: return QStringLiteral("备注");
    case Note: return QStringLiteral("说明");
    default: return {};
    }
}

Qt::ItemFlags CImportPreviewModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Chosen && m_rows.at(index.row()).canStore())
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool CImportPreviewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != Chosen)
        return false;
    return SetChosen(index.row(), value.toInt() == int(Qt::Checked));
}
