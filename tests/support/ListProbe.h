#pragma once

#include "app/Globals.h"
#include "records/CRecordListCtrl.h"

#include <QItemSelectionModel>
#include <QStringList>

// What the record list on screen shows, and selecting its rows as a user's
// clicks would.
inline QStringList Column(int column)
{
    QStringList texts;
    for (int row = 0; row < RecordList().GetItemCount(); ++row)
        texts.append(RecordList().GetItemText(row, column));
    return texts;
}

inline void Select(const QList<int> &rows)
{
    QItemSelectionModel *selection = RecordList().Window()->selectionModel();
    selection->clear();
    for (int row : rows)
        selection->setCurrentIndex(RecordList().Model().index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
}
