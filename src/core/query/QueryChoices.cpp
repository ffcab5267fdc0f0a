#include "query/QueryChoices.h"

#include "store/BookConnection.h"
#include "users/UserStore.h"

#include <QSqlQuery>

namespace orv::QueryChoices {

DbResult<QStringList> categories(const BookConnection &conn, RecordKind kind)
{
    // Category order is the order of the table's rows.
    auto query = conn.read(QStringLiteral("SELECT \"items\" FROM \"%1\" ORDER BY rowid").arg(itemsTable(kind)));
    if (!query)
        return query.error();
    QStringList names;
    while (query->next())
        names.append(query->value(0).toString());
    return names;
}

DbResult<QStringList> users(const BookConnection &conn)
{
    return UserStore::names(conn);
}

} // namespace orv::QueryChoices
