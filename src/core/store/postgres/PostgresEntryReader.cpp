#include "store/FastEntryReader.h"

#include "store/BookConnection.h"
#include "store/BusyWait.h"
#include "store/EngineOpen.h"
#include "model/TextForms.h"
#include "store/TextInterner.h"
#include "store/postgres/PgHandle.h"

#include <QDate>

#include <libpq-fe.h>

#include <cstdlib>

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

    TextInterner interner(list.pool());
    std::vector<Entry> &entries = list.entries();
    const size_t before = entries.size();
    bool failed = !ok;
    const QByteArray fetch = "FETCH FORWARD " + QByteArray::number(kRowsPerFetch) + " FROM orvendal_rows";
    while (!failed) {
        PGresult *rows = PQexec(pg, fetch.constData());
        if (PQresultStatus(rows) != PGRES_TUPLES_OK) {
            error = errorOf(pg, rows);
            PQclear(rows);
            failed = true;
            break;
        }
        const int count = PQntuples(rows);
        for (int r = 0; r < count; ++r) {
            Entry entry;
            entry.id = std::strtoll(PQgetvalue(rows, r, 0), nullptr, 10);
            if (!PQgetisnull(rows, r, 1))
                entry.julianDay = qint32(julianDayOfUtf8(PQgetvalue(rows, r, 1), PQgetlength(rows, r, 1)));
            entry.money = std::strtod(PQgetvalue(rows, r, 3), nullptr);
            entry.items = interner.intern(PQgetvalue(rows, r, 2), PQgetlength(rows, r, 2));
            entry.remark = interner.intern(PQgetvalue(rows, r, 4), PQgetlength(rows, r, 4));
            entry.user = interner.intern(PQgetvalue(rows, r, 5), PQgetlength(rows, r, 5));
            entries.push_back(entry);
        }
        PQclear(rows);
        goOn(progress, qsizetype(entries.size() - before), 0);
        if (count < kRowsPerFetch)
            break;
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
