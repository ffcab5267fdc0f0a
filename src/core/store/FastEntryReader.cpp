#include "store/FastEntryReader.h"

#include "store/BookConnection.h"

namespace orv {

std::optional<DbResult<qsizetype>> appendEntriesFast(const BookConnection &conn, const QString &sql,
                                                     const QVariantList &values, EntryList &list,
                                                     const Progress &progress)
{
    if (conn.location().isServer())
        return appendEntriesFromPostgres(conn, sql, values, list, progress);
    return appendEntriesFromSqlite(conn, sql, values, list, progress);
}

} // namespace orv
