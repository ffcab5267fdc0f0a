#pragma once

#include "model/EntryList.h"
#include "model/RecordKind.h"
#include "store/BookChanges.h"
#include "store/DbResult.h"
#include "store/Progress.h"

#include <QList>
#include <QPair>
#include <QString>

namespace orv {

class BookConnection;

// An entry to import, and its kind.
struct ImportEntry
{
    RecordKind kind = RecordKind::Income;
    EntryValues values; // the user is the importer's
};

struct ImportOutcome
{
    enum class Result { Stored, Cancelled, Failed };
    Result result = Result::Stored;
    DbError error;             // why it failed
    qsizetype entriesStored = 0;
    qsizetype categoriesAdded = 0;
    BookChanges changes;       // what the book now holds anew
    bool ok() const { return result == Result::Stored; }
};

// Stores the entries under user, and appends the categories to the end of
// their kinds' lists, as one transaction: every entry or none. Entries of
// a kind go in the order given, so their ids follow the file. progress is
// asked as the rows go in; stopping it, like any failure, stores nothing.
ImportOutcome storeImport(BookConnection &conn, const QList<ImportEntry> &entries,
                          const QList<QPair<RecordKind, QString>> &categories, const QString &user,
                          const Progress &progress = {});

} // namespace orv
