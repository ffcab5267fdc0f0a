#include "store/EngineOpen.h"

#include "model/TextForms.h"
#include "store/postgres/PgHandle.h"

#include <QByteArrayList>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <libpq-fe.h>

namespace orv {

namespace {

const QString kUpper = QStringLiteral("'ABCDEFGHIJKLMNOPQRSTUVWXYZ'");
const QString kLower = QStringLiteral("'abcdefghijklmnopqrstuvwxyz'");

class PostgresDialect final : public SqlDialect
{
public:
    // A hidden last column of the category and user tables keeps the order
    // rows came in (the server has no row order of its own).
    QString insertionOrder() const override { return QStringLiteral("\"seq\""); }
    QString exactSum(const QString &column) const override { return QStringLiteral("SUM(%1)::text").arg(column); }
    QString dayOf(const QString &column) const override { return column; }
    QString yearMonth(const QString &column) const override { return QStringLiteral("to_char(%1, 'YYYY-MM')").arg(column); }
    // Latin letters only are folded, as on the file book: ILIKE would fold
    // every script by the server's locale and find other rows there.
    QString containsMatch(const QString &column) const override
    {
        return QStringLiteral("translate(%1, %2, %3) LIKE translate(?, %2, %3) ESCAPE '\\'").arg(column, kUpper, kLower);
    }
    QString unindexed(const QString &column) const override { return column; }
    bool plansDateRanges() const override { return true; }
    // The text the lists show, taken exactly by the server's decimal column.
    QVariant amountValue(double money) const override { return moneyText(money); }
    QString beginWrite() const override { return QStringLiteral("BEGIN"); }
    QString lockTable(const QString &table) const override
    {
        return QStringLiteral("LOCK TABLE \"%1\" IN SHARE ROW EXCLUSIVE MODE").arg(table);
    }
    QString columnNamesQuery() const override
    {
        return QStringLiteral("SELECT column_name FROM information_schema.columns "
                              "WHERE table_schema = current_schema() AND table_name = ? AND column_name <> 'seq' "
                              "ORDER BY ordinal_position");
    }
    QString beginSnapshot() const override
    {
        return QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    }
    QString idHighWaterQuery(const QString &table) const override
    {
        return QStringLiteral("SELECT GREATEST(COALESCE(pg_sequence_last_value(pg_get_serial_sequence('\"%1\"', 'id')::regclass), 0), "
                              "COALESCE((SELECT MAX(\"id\") FROM \"%1\"), 0))")
            .arg(table);
    }
    QStringList raiseIdHighWater(const QString &table) const override
    {
        return {QStringLiteral("SELECT setval(seq::regclass, GREATEST(wanted, handed, 1), GREATEST(wanted, handed) > 0) FROM "
                               "(SELECT pg_get_serial_sequence('\"%1\"', 'id') AS seq, ?::bigint AS wanted, "
                               "COALESCE(pg_sequence_last_value(pg_get_serial_sequence('\"%1\"', 'id')::regclass), 0) AS handed) AS mark")
                    .arg(table)};
    }
};

// A value in libpq's keyword = 'value' form.
QByteArray quoted(const QByteArray &value)
{
    QByteArray text = value;
    text.replace('\\', "\\\\");
    text.replace('\'', "\\'");
    return '\'' + text + '\'';
}

struct ConnInfo
{
    QByteArray text;   // keyword='value' pairs
    QString problem;   // why the address cannot be used
};

// The URI as keyword/value pairs, with the defaults a desktop program
// wants: no waiting for ever on a server that does not answer.
ConnInfo connInfoOf(const QString &uri)
{
    ConnInfo info;
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(uri.toUtf8().constData(), &error);
    if (!options) {
        info.problem = error ? QString::fromUtf8(error).trimmed() : uri;
        PQfreemem(error);
        return info;
    }
    bool hasTimeout = false;
    bool hasName = false;
    QByteArrayList pairs;
    for (PQconninfoOption *option = options; option->keyword; ++option) {
        if (!option->val || !*option->val)
            continue;
        const QByteArray keyword(option->keyword);
        const QByteArray value(option->val);
        // The Qt driver reads ';' as a separator of its own options.
        if (value.contains(';')) {
            info.problem = QStringLiteral("“;” in %1").arg(QString::fromUtf8(keyword));
            break;
        }
        hasTimeout = hasTimeout || keyword == "connect_timeout";
        hasName = hasName || keyword == "application_name";
        pairs << keyword + '=' + quoted(value);
    }
    PQconninfoFree(options);
    if (!info.problem.isEmpty())
        return info;
    if (!hasTimeout)
        pairs << "connect_timeout='5'";
    if (!hasName)
        pairs << "application_name='Orvendal'";
    info.text = pairs.join(' ');
    return info;
}

// Why a connection was not made, found by asking the server again in ways
// that tell the cases apart (the driver only hands on the words).
DbError::Cause refusalCause(const QByteArray &conninfo)
{
    switch (PQping(conninfo.constData())) {
    case PQPING_NO_ATTEMPT: return DbError::Cause::BadAddress;
    case PQPING_NO_RESPONSE:
    case PQPING_REJECT: return DbError::Cause::ServerDown;
    case PQPING_OK: break;
    }
    PGconn *probe = PQconnectdb(conninfo.constData());
    DbError::Cause cause = DbError::Cause::PermissionDenied;
    if (PQstatus(probe) == CONNECTION_OK)
        cause = DbError::Cause::Unknown; // it works now: the server had a moment
    else if (PQconnectionNeedsPassword(probe) || PQconnectionUsedPassword(probe))
        cause = DbError::Cause::PasswordRejected;
    PQfinish(probe);
    return cause;
}

QString engineText(const QSqlError &error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text.trimmed();
}

// The layout this program writes: "BOOK_LAYOUT"."version".
constexpr int kLayoutVersion = 1;

DbError::Cause causeOfState(const QString &sqlState)
{
    if (sqlState == QLatin1String("42P01") || sqlState == QLatin1String("42703"))
        return DbError::Cause::NotABook;
    if (sqlState == QLatin1String("42501"))
        return DbError::Cause::PermissionDenied;
    return DbError::Cause::Unknown;
}

} // namespace

DbError::Cause postgresCause(const QString &sqlState)
{
    if (sqlState.startsWith(QLatin1String("08")) || sqlState.startsWith(QLatin1String("57P")))
        return DbError::Cause::ConnectionLost;
    if (sqlState.startsWith(QLatin1String("28")))
        return DbError::Cause::PasswordRejected;
    if (sqlState == QLatin1String("42501"))
        return DbError::Cause::PermissionDenied;
    if (sqlState == QLatin1String("53100"))
        return DbError::Cause::DiskFull;
    if (sqlState == QLatin1String("25006"))
        return DbError::Cause::ReadOnly;
    if (sqlState == QLatin1String("40001") || sqlState == QLatin1String("40P01"))
        return DbError::Cause::Conflict;
    if (sqlState == QLatin1String("55P03"))
        return DbError::Cause::Busy;
    if (sqlState.startsWith(QLatin1String("XX")))
        return DbError::Cause::Damaged;
    return DbError::Cause::Unknown;
}

std::unique_ptr<SqlDialect> postgresDialect()
{
    return std::make_unique<PostgresDialect>();
}

bool openPostgresServer(QSqlDatabase &db, const QString &uri, DbError *error)
{
    const ConnInfo info = connInfoOf(uri);
    if (!info.problem.isEmpty()) {
        *error = DbError::cannotOpen(info.problem, DbError::Cause::BadAddress);
        return false;
    }
    db.setConnectOptions(QString::fromUtf8(info.text));
    if (!db.open()) {
        *error = DbError::cannotOpen(engineText(db.lastError()), refusalCause(info.text));
        return false;
    }
    // Sums and amounts come as exact decimal text, never through a double.
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
    return true;
}

EngineOpening openPostgresBook(QSqlDatabase &db, const QString &uri)
{
    EngineOpening opening;
    if (!openPostgresServer(db, uri, &opening.error))
        return opening;
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT \"version\" FROM \"BOOK_LAYOUT\"")) || !probe.next()) {
        const QSqlError error = probe.lastError();
        DbError::Cause cause = causeOfState(error.nativeErrorCode());
        if (!error.isValid())
            cause = DbError::Cause::NotABook; // the table is there but empty
        opening.error = DbError::cannotOpen(engineText(error), cause);
        probe.finish();
        db.close();
        return opening;
    }
    const int version = probe.value(0).toInt();
    probe.finish();
    if (version > kLayoutVersion) {
        opening.error = DbError::cannotOpen(QStringLiteral("layout %1").arg(version), DbError::Cause::NewerLayout);
        db.close();
        return opening;
    }
    opening.dialect = std::make_unique<PostgresDialect>();
    opening.causeOf = [](const QSqlError &error) { return postgresCause(error.nativeErrorCode()); };
    opening.isGone = [](const QSqlDatabase &connection) {
        PGconn *pg = pgHandle(connection);
        return !pg || PQstatus(pg) == CONNECTION_BAD;
    };
    return opening;
}

} // namespace orv
