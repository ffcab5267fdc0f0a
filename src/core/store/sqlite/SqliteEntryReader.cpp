#include "store/sqlite/SqliteEntryReader.h"

#include "store/BookConnection.h"
#include "store/BusyWait.h"
#include "records/EntryStore.h"
#include "store/sqlite/SqliteErrors.h"
#include "store/TextForms.h"

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <unordered_map>

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

struct TextHash
{
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// Each distinct text of a column becomes a QString (and a pool entry) once.
class TextInterner
{
public:
    explicit TextInterner(StringPool &pool) : m_pool(pool) {}

    quint32 intern(const unsigned char *text, int bytes)
    {
        const std::string_view key(text ? reinterpret_cast<const char *>(text) : "", size_t(text ? bytes : 0));
        const auto found = m_index.find(key);
        if (found != m_index.end())
            return found->second;
        const quint32 index = m_pool.intern(QString::fromUtf8(key.data(), qsizetype(key.size())));
        m_index.emplace(std::string(key), index);
        return index;
    }

private:
    StringPool &m_pool;
    std::unordered_map<std::string, quint32, TextHash, std::equal_to<>> m_index;
};

qint32 julianDay(const unsigned char *text, int bytes)
{
    if (!text || bytes < 10)
        return 0;
    char16_t wide[10];
    for (int i = 0; i < 10; ++i)
        wide[i] = char16_t(text[i]);
    return qint32(julianDayFromStorage(QStringView(wide, 10)));
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
        entry.julianDay = julianDay(sqlite3_column_text(stmt, 1), sqlite3_column_bytes(stmt, 1));
        entry.items = interner.intern(sqlite3_column_text(stmt, 2), sqlite3_column_bytes(stmt, 2));
        entry.money = sqlite3_column_double(stmt, 3);
        entry.remark = interner.intern(sqlite3_column_text(stmt, 4), sqlite3_column_bytes(stmt, 4));
        entry.user = interner.intern(sqlite3_column_text(stmt, 5), sqlite3_column_bytes(stmt, 5));
        entries.push_back(entry);
        if (const qsizetype read = qsizetype(entries.size() - before); read % EntryStore::kRowsPerProgressReport == 0)
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
