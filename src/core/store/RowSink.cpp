#include "store/RowSink.h"

#include "store/BookConnection.h"

namespace orv {

std::unique_ptr<RowSink> RowSink::open(BookConnection &conn, const QString &table, const QStringList &columns)
{
    if (conn.location().isServer())
        return openPostgresRowSink(conn, table, columns);
    return openSqliteRowSink(conn, table, columns);
}

} // namespace orv
