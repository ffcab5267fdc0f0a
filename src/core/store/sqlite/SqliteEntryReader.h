#pragma once

#include "records/EntryList.h"
#include "store/DbResult.h"
#include "store/Progress.h"

#include <QString>
#include <QVariantList>

#include <optional>

namespace orv {

class BookConnection;

// The fast way of reading many entry rows from an SQLite book: straight
// through the engine's own interface on the connection Qt opened, texts read
// as the engine keeps them (UTF-8) and made into strings once per distinct
// text. A list of 400,000 entries then fills in about the time the engine
// needs to step through the rows, where going through a QVariant and a
// UTF-16 copy per cell took three times as long.
//
// Qt's SQLite driver on our platform (Debian's) uses the system's SQLite
// library, the one linked here, so its connection handle is ours to use.
// Answers nullopt when the connection is not an SQLite one or a value
// cannot be bound here; the caller then reads through Qt Sql.
std::optional<DbResult<qsizetype>> appendEntriesFromSqlite(const BookConnection &conn, const QString &sql,
                                                            const QVariantList &values, EntryList &list,
                                                            const Progress &progress = {});

} // namespace orv
