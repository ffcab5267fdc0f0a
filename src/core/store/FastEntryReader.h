#pragma once

#include "model/EntryList.h"
#include "store/DbResult.h"
#include "store/Progress.h"

#include <QString>
#include <QVariantList>

#include <optional>

namespace orv {

class BookConnection;

// The fast way of reading many entry rows: straight through the engine's
// own interface on the connection Qt opened, texts read as the engine
// keeps them (UTF-8) and made into strings once per distinct text. A list
// of 400,000 entries then fills in about the time the engine needs to hand
// out the rows, where going through a QVariant and a UTF-16 copy per cell
// took three times as long (a server book: five times).
//
// Answers nullopt when this connection cannot be read that way; the caller
// then reads through Qt Sql.
// Progress counts the rows read so far (the total is not known ahead).
std::optional<DbResult<qsizetype>> appendEntriesFast(const BookConnection &conn, const QString &sql,
                                                     const QVariantList &values, EntryList &list,
                                                     const Progress &progress = {});

// Rows read between two reports to the progress.
inline constexpr qsizetype kRowsPerProgressReport = 16384;

// One per engine.
std::optional<DbResult<qsizetype>> appendEntriesFromSqlite(const BookConnection &conn, const QString &sql,
                                                            const QVariantList &values, EntryList &list,
                                                            const Progress &progress);
std::optional<DbResult<qsizetype>> appendEntriesFromPostgres(const BookConnection &conn, const QString &sql,
                                                              const QVariantList &values, EntryList &list,
                                                              const Progress &progress);

} // namespace orv
