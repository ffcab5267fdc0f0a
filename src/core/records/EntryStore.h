#pragma once

#include "model/EntryList.h"
#include "model/RecordKind.h"
#include "store/DbResult.h"
#include "store/Progress.h"

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
// progress, if given, is told the rows read so far every so many rows
// (total 0: the reader does not know how many will come).
DbResult<qsizetype> appendSelected(const BookConnection &conn, const QString &sql, const QVariantList &values,
                                   EntryList &list, const Progress &progress = {});
// "SELECT id, date, items, money, remark, user FROM <table>": the start of
// every entry select, so the column order lives in one place.
QString selectColumns(RecordKind kind);

// Stores a new entry; the amount is kept as the two decimals it is shown
// with. Answers the entry as stored, with the id the book gave it.
DbResult<Entry> insert(const BookConnection &conn, RecordKind kind, const EntryValues &values, EntryList &into);

// The message when an entry on screen is no longer in the book as shown.
QString changedElsewhereMessage();

// Changes date, category, amount and remark of the entry the list shows
// (its user stays). The statement itself holds the owner rule and the row
// as shown: refused with changedElsewhereMessage() when the book no longer
// holds that entry of that user with those values. A change that changes
// nothing as shown writes nothing.
DbStatus update(const BookConnection &conn, RecordKind kind, const ShownEntry &shown, const EntryValues &changed,
                const QString &currentUser);
// Deletes the entries the list shows, all or none, under the same rule.
DbStatus remove(BookConnection &conn, RecordKind kind, const QList<ShownEntry> &shown, const QString &currentUser);

} // namespace EntryStore
} // namespace orv
