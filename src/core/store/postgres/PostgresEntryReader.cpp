#include "store/FastEntryReader.h"

#include "store/BookConnection.h"
#include "store/BusyWait.h"
#include "store/EngineOpen.h"
#include "model/TextForms.h"
#include "store/TextInterner.h"
#include "store/postgres/PgHandle.h"

#include <QDate>

#include <libpq-fe.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace orv {

namespace {

// Rows fetched per round trip: large enough that the trips cost nothing
// next to the rows, small enough that a million-entry table never sits in
// memory twice.
constexpr int kRowsPerFetch = 50000;

// "?" placeholders as the server numbers them ($1, $2 ...); quoted texts
// and names are left alone.
QByteArray numberedPlaceholders(const QString &sql)
{
    QByteArray out;
    const QByteArray in = sql.toUtf8();
    out.reserve(in.size() + 16);
    int next = 1;
    char quote = 0;
    for (const char c : in) {
        if (quote) {
            out += c;
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            out += c;
        } else if (c == '?') {
            out += '$' + QByteArray::number(next++);
        } else {
            out += c;
        }
    }
    return out;
}

// The values as the server reads them from text.
bool textOf(const QVariant &value, QByteArray *text)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        *text = QByteArray::number(value.toLongLong());
        return true;
    case QMetaType::Double:
        *text = QByteArray::number(value.toDouble(), 'g', 17);
        return true;
    case QMetaType::QString:
        *text = value.toString().toUtf8();
        return true;
    case QMetaType::QDate:
        *text = value.toDate().toString(Qt::ISODate).toLatin1();
        return true;
    default:
        return false;
    }
}

DbError errorOf(PGconn *pg, PGresult *result)
{
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const QString text = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(pg)).trimmed();
    DbError::Cause cause = postgresCause(QString::fromLatin1(state ? state : ""));
    if (PQstatus(pg) == CONNECTION_BAD)
        cause = DbError::Cause::ConnectionLost;
    return DbError::statement(text, cause);
}

// Runs one statement that answers nothing worth keeping.
bool run(PGconn *pg, const char *sql, DbError *error)
{
    PGresult *result = PQexec(pg, sql);
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    if (!ok)
        *error = errorOf(pg, result);
    PQclear(result);
    return ok;
}

// Turns fetched parts into entries on a thread of its own, so that the
// server prepares and sends the next part while this computer reads the
// last one. Only the calling thread touches the connection, the list and
// whatever a progress report runs (a window may paint the list meanwhile);
// the reader keeps its entries and texts apart until they are handed over.
class PartReader
{
public:
    PartReader() : m_interner(m_texts) { m_thread = std::thread([this] { readParts(); }); }
    ~PartReader()
    {
        finish();
        if (m_waiting)
            PQclear(m_waiting);
    }

    // Hands a part over (the reader owns it then), once the previous one is taken.
    void give(PGresult *part)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_waiting; });
        m_waiting = part;
        m_changed.notify_all();
    }
    // Adds the entries read to the list, their texts to its pool; after finish().
    void handOver(EntryList &list) const
    {
        std::vector<quint32> textIndex(m_texts.size());
        for (quint32 i = 0; i < m_texts.size(); ++i)
            textIndex[i] = list.pool().intern(m_texts.text(i));
        std::vector<Entry> &entries = list.entries();
        entries.reserve(entries.size() + m_entries.size());
        for (Entry entry : m_entries) {
            entry.items = textIndex[entry.items];
            entry.remark = textIndex[entry.remark];
            entry.user = textIndex[entry.user];
            entries.push_back(entry);
        }
    }
    // Waits until every part given is read.
    void finish()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
            m_changed.notify_all();
        }
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    void readParts()
    {
        for (;;) {
            PGresult *rows = nullptr;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return m_waiting || m_done; });
                if (!m_waiting)
                    return;
                rows = m_waiting;
                m_waiting = nullptr;
                m_changed.notify_all();
            }
            read(rows);
            PQclear(rows);
        }
    }
    void read(PGresult *rows)
    {
        const int count = PQntuples(rows);
        for (int r = 0; r < count; ++r) {
            Entry entry;
            entry.id = std::strtoll(PQgetvalue(rows, r, 0), nullptr, 10);
            if (!PQgetisnull(rows, r, 1))
                entry.julianDay = qint32(julianDayOfUtf8(PQgetvalue(rows, r, 1), PQgetlength(rows, r, 1)));
            entry.money = std::strtod(PQgetvalue(rows, r, 3), nullptr);
            entry.items = m_interner.intern(PQgetvalue(rows, r, 2), PQgetlength(rows, r, 2));
            entry.remark = m_interner.intern(PQgetvalue(rows, r, 4), PQgetlength(rows, r, 4));
            entry.user = m_interner.intern(PQgetvalue(rows, r, 5), PQgetlength(rows, r, 5));
            m_entries.push_back(entry);
        }
    }

    StringPool m_texts;
    TextInterner m_interner;
    std::vector<Entry> m_entries;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    PGresult *m_waiting = nullptr;
    bool m_done = false;
    std::thread m_thread;
};

} // namespace

std::optional<DbResult<qsizetype>> appendEntriesFromPostgres(const BookConnection &conn, const QString &sql,
                                                              const QVariantList &values, EntryList &list,
                                                              const Progress &progress)
{
    PGconn *pg = conn.isOpen() && conn.location().isServer() ? pgHandle(conn.database()) : nullptr;
    // Inside a transaction of the caller's the rows are read the slow way,
    // which keeps to that transaction.
    if (!pg || PQtransactionStatus(pg) != PQTRANS_IDLE)
        return std::nullopt;
    QList<QByteArray> texts;
    for (const QVariant &value : values) {
        QByteArray text;
        if (!textOf(value, &text))
            return std::nullopt;
        texts.append(text);
    }
    std::vector<const char *> params;
    for (const QByteArray &text : texts)
        params.push_back(text.constData());

    DbError error;
    // A cursor in a read-only transaction: one moment of the book, fetched in parts.
    if (!run(pg, "BEGIN READ ONLY", &error))
        return DbResult<qsizetype>(error);
    const QByteArray declare = "DECLARE orvendal_rows NO SCROLL CURSOR FOR " + numberedPlaceholders(sql);
    PGresult *declared = PQexecParams(pg, declare.constData(), int(params.size()), nullptr, params.data(), nullptr,
                                      nullptr, 0);
    const bool ok = PQresultStatus(declared) == PGRES_COMMAND_OK;
    if (!ok)
        error = errorOf(pg, declared);
    PQclear(declared);

    std::vector<Entry> &entries = list.entries();
    const size_t before = entries.size();
    bool failed = !ok;
    const QByteArray fetch = "FETCH FORWARD " + QByteArray::number(kRowsPerFetch) + " FROM orvendal_rows";
    {
        PartReader reader;
        qsizetype fetched = 0;
        while (!failed) {
            PGresult *rows = PQexec(pg, fetch.constData());
            if (PQresultStatus(rows) != PGRES_TUPLES_OK) {
                error = errorOf(pg, rows);
                PQclear(rows);
                failed = true;
                break;
            }
            const int count = PQntuples(rows);
            fetched += count;
            reader.give(rows);
            goOn(progress, fetched, 0);
            if (count < kRowsPerFetch)
                break;
        }
        reader.finish();
        if (!failed)
            reader.handOver(list);
    }
    DbError ignored;
    run(pg, failed ? "ROLLBACK" : "COMMIT", failed ? &ignored : &error);
    BusyWait::finished();
    if (failed) {
        entries.resize(before);
        return DbResult<qsizetype>(error);
    }
    return DbResult<qsizetype>(qsizetype(entries.size() - before));
}

} // namespace orv
