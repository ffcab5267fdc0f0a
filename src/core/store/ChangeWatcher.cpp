#include "store/ChangeWatcher.h"

#include "store/BookConnection.h"
#include "store/postgres/PostgresChangeWatcher.h"
#include "store/sqlite/SqliteChangeWatcher.h"

namespace orv {

std::unique_ptr<ChangeWatcher> ChangeWatcher::forConnection(const BookConnection &conn, std::function<bool()> mayLook)
{
    if (conn.location().isServer())
        return std::make_unique<PostgresChangeWatcher>(std::move(mayLook));
    return std::make_unique<SqliteChangeWatcher>(std::move(mayLook));
}

} // namespace orv
