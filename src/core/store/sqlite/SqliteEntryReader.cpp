#include "store/FastEntryReader.h"
#include "store/TextInterner.h"

#include "store/BookConnection.h"
#include "store/BusyWait.h"
#include "store/sqlite/SqliteErrors.h"
#include "model/TextForms.h"

#include <sqlite3.h>


namespace orv {

namespace {

// Binds the values as the Qt driver would; false for a type it does not
// know here.
bool bindAll(sqlite3_stmt *stmt, const QVariantList &values)
{
    int index = 1;
    for (const QVariant &value : values) {
        int rc = SQLITE_OK;
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Bool:
            rc = value.isNull() ? sqlite3_bind_null(stmt, index) : sqlite3_bind_int64(stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
            rc = value.isNull() ? sqlite3_bind_null(stmt, index) : sqlite3_bind_double(stmt, index, value.toDouble());
            break;
        case QMetaType::QString:
        case QMetaType::QDate: {
            // An empty text stays an empty text, never NULL (as the
            // connection binds it).
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            break;
        }
        default:
            return false;
        }
        if (rc != SQLITE_OK)
            return false;
        ++index;
    }
    return true;
}

} // namespace

std::optional<DbResult<qsizetype>> appendEntriesFromSqlite(const BookConnection &conn, const QString &sql,
                                                            const QVariantList &values, EntryList &list,
                                                            const Progress &progress)
{
    sqlite3 *db = conn.isOpen() ? sqliteHandle(conn.database()) : nullptr;
    if (!db)
        return std::nullopt;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr); rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        BusyWait::finished();
        return DbResult<qsizetype>(DbError::statement(message, sqliteCause(rc)));
    }
    if (sqlite3_column_count(stmt) < kEntryColumnCount || !bindAll(stmt, values)) {
        sqlite3_finalize(stmt);
        return std::nullopt;
    }

    TextInterner interner(list.pool());
    std::vector<Entry> &entries = list.entries();
    const size_t before = entries.size();
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        Entry entry;
        entry.id = sqlite3_column_int64(stmt, 0);
        entry.julianDay = julianDayOfUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)), sqlite3_column_bytes(stmt, 1));
        entry.items = interner.intern(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 2)), sqlite3_column_bytes(stmt, 2));
        entry.money = sqlite3_column_double(stmt, 3);
        entry.remark = interner.intern(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 4)), sqlite3_column_bytes(stmt, 4));
        entry.user = interner.intern(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 5)), sqlite3_column_bytes(stmt, 5));
        entries.push_back(entry);
        if (const qsizetype read = qsizetype(entries.size() - before); read % kRowsPerProgressReport == 0)
            goOn(progress, read, 0);
    }
    const QString message = rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    BusyWait::finished();
    if (rc != SQLITE_DONE) {
        entries.resize(before);
        return DbResult<qsizetype>(DbError::statement(message, sqliteCause(rc)));
    }
    return DbResult<qsizetype>(qsizetype(entries.size() - before));
}

} // namespace orv
