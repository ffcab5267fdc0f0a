#pragma once

#include "store/DbResult.h"

#include <QSqlDatabase>

struct sqlite3;

namespace orv {

// The SQLite engine's handle under a Qt connection, or nullptr when the
// connection is not an SQLite one. Debian's Qt SQLite driver uses the
// system's SQLite library, the one this program links, so the handle is
// ours to use.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// What an SQLite result code means for the family.
DbError::Cause sqliteCause(int resultCode);

// Lets an operation on this connection wait a while for a book that another
// program holds, telling BusyWait how long it has waited.
void installSqliteBusyWait(sqlite3 *db);

} // namespace orv
