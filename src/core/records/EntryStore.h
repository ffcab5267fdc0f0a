#pragma once

#include "records/EntryList.h"
#include "records/RecordKind.h"
#include "store/DbResult.h"

#include <QList>
#include <QVariantList>

namespace orv {

class BookConnection;

// Reading and writing the entry tables INCOME, PAYOUT and ON_LOAD.
namespace EntryStore {

// Every entry of a kind, in id order.
DbResult<EntryList> readAll(const BookConnection &conn, RecordKind kind);

// Appends the rows of a select whose columns are id, date, items, money,
// remark, user (in that order) to a list; answers how many were added.
DbResult<qsizetype> appendSelected(const BookConnection &conn, const QString &sql, const QVariantList &values,
                                   EntryList &list);
// "SELECT id, date, items, money, remark, user FROM <table>": the start of
// every entry select, so the column order lives in one place.
QString selectColumns(RecordKind kind);

// Stores a new entry; the amount is kept as the two decimals it is shown
// with. Answers the entry as stored, with the id the book gave it.
DbResult<Entry> insert(const BookConnection &conn, RecordKind kind, const EntryValues &values, EntryList &into);
// Changes date, category, amount and remark of one entry (its user stays).
// Refused when no entry has that id any more.
DbStatus update(const BookConnection &conn, RecordKind kind, qint32 id, const EntryValues &values);
// Deletes the entries with these ids, all or none; answers the ids that
// were really there (the others were already gone).
DbResult<QList<qint32>> remove(BookConnection &conn, RecordKind kind, const QList<qint32> &ids);

} // namespace EntryStore
} // namespace orv
