#pragma once

#include "import/ImportCheck.h"

#include <QAbstractTableModel>
#include <QList>

// Every record of the file as it would be stored, in the import dialog's
// preview: a tick for the rows that will be stored, the entry's values,
// and in the last column what is wrong with a row or why it looks like a
// duplicate. Rows with problems cannot be ticked.
class CImportPreviewModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Chosen, Line, Kind, Date, Items, Money, Remark, Note, ColumnCount };

    explicit CImportPreviewModel(QObject *parent = nullptr);

    // The rows anew, each ticked as chosen says.
    void SetRows(const QList<orv::ImportRow> &rows, const QList<bool> &chosen);
    const QList<orv::ImportRow> &Rows() const { return m_rows; }
    const QList<bool> &ChosenRows() const { return m_chosen; }
    // Ticks or unticks a row that can be stored.
    bool SetChosen(int row, bool chosen);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // The user ticked or unticked a row.
    void ChosenChanged(int row, bool chosen);

private:
    QString NoteOf(const orv::ImportRow &row) const;

    QList<orv::ImportRow> m_rows;
    QList<bool> m_chosen;
};
