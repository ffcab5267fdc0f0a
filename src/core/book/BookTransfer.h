#pragma once

#include "store/BookLocation.h"
#include "store/DbResult.h"
#include "store/Progress.h"

#include <QFlags>

namespace orv {

class BookConnection;

// Moves what a book holds from one connection to another, whatever engine
// each is on: the entries with their ids (and the ids handed out so far, so
// that no deleted entry's id is ever given again), the categories in their
// order, the users with their password hashes. Backing a server book up
// into a file, restoring a file into a server book, and copying a whole
// book between the two are this.
namespace BookTransfer {

enum class Part { Entries = 1, Categories = 2, Users = 4 };
Q_DECLARE_FLAGS(Parts, Part)

inline constexpr Parts kWholeBook = Parts(Part::Entries) | Part::Categories | Part::Users;

// Reads the parts from `from` as they stand at one moment (a snapshot of
// its own) and appends them to the tables of `to`, which the caller has
// emptied of those parts and holds in a write transaction, so that the
// copy is all or none. Progress counts rows.
DbStatus copy(BookConnection &from, BookConnection &to, Parts parts, const Progress &progress = {});

// Empties the tables of these parts in `to` (inside the caller's transaction).
DbStatus clear(BookConnection &to, Parts parts);

// How many entries the book holds, all kinds together.
DbResult<qint64> entryCount(const BookConnection &conn);

// A whole book from one place to another, file or server either way, in
// one transaction: a new file is made; an empty server database gets the
// book's tables first. A book that has entries already is replaced only
// when replace is true, and refused otherwise.
DbStatus copyWholeBook(const BookLocation &from, const BookLocation &to, bool replace, const Progress &progress = {});

} // namespace BookTransfer

Q_DECLARE_OPERATORS_FOR_FLAGS(BookTransfer::Parts)

} // namespace orv
