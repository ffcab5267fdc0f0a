#pragma once

#include "model/RecordKind.h"

#include <QFlags>
#include <QString>

namespace orv {

// What part of a book changed.
enum class BookChange : unsigned {
    Income = 1 << 0,
    Payout = 1 << 1,
    Loans = 1 << 2,
    Categories = 1 << 3,
    Users = 1 << 4,
    Everything = Income | Payout | Loans | Categories | Users,
};
Q_DECLARE_FLAGS(BookChanges, BookChange)
Q_DECLARE_OPERATORS_FOR_FLAGS(BookChanges)

// The entries of a kind, as a change.
BookChange entryChange(RecordKind kind);
// The change a write to this table is (a table of the book's, by name).
BookChanges changeOfTable(const QString &table);

} // namespace orv
