#include "users/UserStore.h"

#include "store/BookConnection.h"

namespace orv::UserStore {

DbResult<QList<UserAccount>> accounts(const BookConnection &conn)
{
    auto query = conn.read(QStringLiteral("SELECT \"user\", \"code\" FROM \"USER\" ORDER BY rowid"));
    if (!query)
        return query.error();
    QList<UserAccount> list;
    while (query->next())
        list.append({query->value(0).toString(), query->value(1).toString()});
    return list;
}

DbResult<QStringList> names(const BookConnection &conn)
{
    auto list = accounts(conn);
    if (!list)
        return list.error();
    QStringList result;
    for (const UserAccount &account : *list)
        result.append(account.name);
    return result;
}

DbResult<std::optional<QString>> passwordOf(const BookConnection &conn, const QString &name)
{
    auto query = conn.read(QStringLiteral("SELECT \"code\" FROM \"USER\" WHERE \"user\" = ? ORDER BY rowid LIMIT 1"),
                           {name});
    if (!query)
        return query.error();
    if (!query->next())
        return std::optional<QString>();
    return std::optional<QString>(query->value(0).toString());
}

} // namespace orv::UserStore
