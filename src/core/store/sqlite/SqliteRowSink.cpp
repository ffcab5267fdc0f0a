#include "store/RowSink.h"

#include "store/BookConnection.h"
#include "store/sqlite/SqliteErrors.h"

#include <sqlite3.h>

namespace orv {

namespace {

// One prepared INSERT, bound and stepped per row, straight through the
// engine: no statement text and no Qt value conversion per row.
class SqliteRowSink final : public RowSink
{
public:
    SqliteRowSink(sqlite3 *db, const QString &table, const QStringList &columns) : m_db(db)
    {
        QStringList quoted, marks;
        for (const QString &column : columns) {
            quoted << u'"' + column + u'"';
            marks << QStringLiteral("?");
        }
        const QByteArray sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                   .arg(table, quoted.join(u','), marks.join(u','))
                                   .toUtf8();
        if (!m_db)
            m_error = DbError::statement(QStringLiteral("not an SQLite book"));
        else if (const int rc = sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &m_stmt, nullptr); rc != SQLITE_OK)
            fail(rc);
        else
            enlargeCache();
    }
    ~SqliteRowSink() override
    {
        sqlite3_finalize(m_stmt);
        if (m_keptCacheSize != 0)
            setCacheSize(m_keptCacheSize);
    }

    bool put(const QVariantList &row) override
    {
        if (!m_error.message.isEmpty() || !m_stmt)
            return false;
        int index = 1;
        for (const QVariant &value : row) {
            int rc = SQLITE_OK;
            if (value.isNull()) {
                rc = sqlite3_bind_null(m_stmt, index);
            } else {
                switch (value.typeId()) {
                case QMetaType::Int:
                case QMetaType::LongLong:
                    rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
                    break;
                case QMetaType::Double:
                    rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
                    break;
                default: {
                    const QByteArray text = value.toString().toUtf8();
                    rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
                    break;
                }
                }
            }
            if (rc != SQLITE_OK)
                return fail(rc);
            ++index;
        }
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        if (rc != SQLITE_DONE)
            return fail(rc);
        return true;
    }

    DbStatus finish() override
    {
        if (!m_error.message.isEmpty())
            return m_error;
        return {};
    }

private:
    // Rows come in id order, but the date index takes them in any order: with
    // SQLite's small default cache every such insert reads index pages back
    // from the file. A cache that holds a whole book's indexes makes a copy
    // of a million entries several times quicker; the connection gets its
    // own size back afterwards.
    void enlargeCache()
    {
        constexpr int kBulkCacheKiB = 64 * 1024;
        sqlite3_stmt *query = nullptr;
        int current = 0;
        if (sqlite3_prepare_v2(m_db, "PRAGMA cache_size", -1, &query, nullptr) == SQLITE_OK &&
            sqlite3_step(query) == SQLITE_ROW)
            current = sqlite3_column_int(query, 0);
        sqlite3_finalize(query);
        if (current != 0 && setCacheSize(-kBulkCacheKiB)) // negative: KiB
            m_keptCacheSize = current;
    }
    bool setCacheSize(int size)
    {
        const QByteArray pragma = "PRAGMA cache_size = " + QByteArray::number(size);
        return sqlite3_exec(m_db, pragma.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    bool fail(int rc)
    {
        m_error = DbError::statement(QString::fromUtf8(sqlite3_errmsg(m_db)), sqliteCause(rc));
        return false;
    }

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    int m_keptCacheSize = 0;
    DbError m_error;
};

} // namespace

std::unique_ptr<RowSink> openSqliteRowSink(BookConnection &conn, const QString &table, const QStringList &columns)
{
    return std::make_unique<SqliteRowSink>(sqliteHandle(conn.database()), table, columns);
}

} // namespace orv
