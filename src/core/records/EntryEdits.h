#pragma once

#include "records/EntryList.h"
#include "records/RecordKind.h"
#include "store/DbResult.h"

#include <QList>
#include <QStringList>

namespace orv {

class BookConnection;

// The changes the entry dialogs and the list's commands make to one kind's
// entries, answering exactly what happened so the list and the book's
// figures can follow without reading the tables again.
namespace EntryEdits {

// The kind's categories (INCOME_ITEMS, PAYOUT_ITEMS, ON_LOAD_ITEMS) in the
// order they were put in, as the entry dialogs offer them.
DbResult<QStringList> readCategories(const BookConnection &conn, RecordKind kind);

// Changes date, category, amount and remark of one entry (its user stays).
// Refused when no entry has that id any more.
DbStatus update(const BookConnection &conn, RecordKind kind, qint32 id, const EntryValues &values);

// Deletes the entries with these ids, all or none; answers the ids that
// were really there (the others were already gone).
DbResult<QList<qint32>> remove(BookConnection &conn, RecordKind kind, const QList<qint32> &ids);

} // namespace EntryEdits
} // namespace orv
