#include "store/sqlite/SqliteErrors.h"

#include "store/BusyWait.h"

#include <QElapsedTimer>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace orv {

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    if (!db.isOpen())
        return nullptr;
    QSqlDriver *driver = db.driver();
    if (!driver)
        return nullptr;
    const QVariant handle = driver->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

DbError::Cause sqliteCause(int resultCode)
{
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbError::Cause::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return DbError::Cause::ReadOnly;
    case SQLITE_FULL:
        return DbError::Cause::DiskFull;
    case SQLITE_CORRUPT:
        return DbError::Cause::Damaged;
    case SQLITE_NOTADB:
        return DbError::Cause::NotABook;
    case SQLITE_CANTOPEN:
        return DbError::Cause::Missing;
    default:
        return DbError::Cause::Unknown;
    }
}

namespace {

constexpr int kPauseMs = 20;

// SQLite calls this while the book is locked elsewhere; count is 0 at the
// first call of each wait.
int waitForBook(void *, int count)
{
    thread_local QElapsedTimer started;
    if (count == 0)
        started.start();
    const int elapsed = int(started.elapsed());
    if (elapsed >= BusyWait::kPatienceMs)
        return 0;
    BusyWait::waiting(elapsed);
    sqlite3_sleep(kPauseMs);
    return 1;
}

} // namespace

void installSqliteBusyWait(sqlite3 *db)
{
    if (db)
        sqlite3_busy_handler(db, &waitForBook, nullptr);
}

} // namespace orv
