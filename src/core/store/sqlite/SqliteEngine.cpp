#include "store/EngineOpen.h"

#include "model/Money.h"
#include "model/TextForms.h"
#include "store/sqlite/SqliteErrors.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

namespace orv {

namespace {

class SqliteDialect final : public SqlDialect
{
public:
    QString insertionOrder() const override { return QStringLiteral("rowid"); }
    QString exactSum(const QString &column) const override { return QStringLiteral("orv_exact_sum(%1)").arg(column); }
    QString dayOf(const QString &column) const override { return QStringLiteral("substr(%1, 1, 10)").arg(column); }
    QString yearMonth(const QString &column) const override { return QStringLiteral("substr(%1, 1, 7)").arg(column); }
    // SQLite's LIKE already folds the case of Latin letters, and only those.
    QString containsMatch(const QString &column) const override
    {
        return column + QStringLiteral(" LIKE ? ESCAPE '\\'");
    }
    // An expression over the column: SQLite then leaves the index alone.
    QString unindexed(const QString &column) const override { return u'(' + column + QStringLiteral(" || '')"); }
    bool plansDateRanges() const override { return false; }
    QVariant amountValue(double money) const override { return storedMoney(money); }
    // IMMEDIATE: the write lock is taken at once, so a read made inside the
    // transaction still holds when its writes come.
    QString beginWrite() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    QString lockTable(const QString &) const override { return {}; }
    QString columnNamesQuery() const override
    {
        return QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid");
    }
    // The first read takes the shared lock, kept until the transaction ends.
    QString beginSnapshot() const override { return QStringLiteral("BEGIN"); }
    QString idHighWaterQuery(const QString &table) const override
    {
        return QStringLiteral("SELECT MAX(COALESCE((SELECT seq FROM sqlite_sequence WHERE name = '%1'), 0), "
                              "COALESCE((SELECT MAX(\"id\") FROM \"%1\"), 0))")
            .arg(table);
    }
    QStringList raiseIdHighWater(const QString &table) const override
    {
        // AUTOINCREMENT keeps its high-water mark in sqlite_sequence, which
        // holds a row for a table only once the table has had one.
        return {QStringLiteral("UPDATE sqlite_sequence SET seq = MAX(seq, ?1) WHERE name = '%1'").arg(table),
                QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT '%1', ?1 "
                               "WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = '%1')")
                    .arg(table)};
    }
};

// orv_exact_sum(money): the sum of the amounts as they are shown, in whole
// fen, as decimal text; NULL when no row had an amount.
struct ExactSum
{
    FenSum fen = 0;
    bool any = false;
};

void exactSumStep(sqlite3_context *context, int, sqlite3_value **values)
{
    auto *sum = static_cast<ExactSum *>(sqlite3_aggregate_context(context, sizeof(ExactSum)));
    if (!sum || sqlite3_value_type(values[0]) == SQLITE_NULL)
        return;
    sum->fen += fenOf(sqlite3_value_double(values[0]));
    sum->any = true;
}

void exactSumFinal(sqlite3_context *context)
{
    auto *sum = static_cast<ExactSum *>(sqlite3_aggregate_context(context, 0));
    if (!sum || !sum->any) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray text = fenText(sum->fen).toLatin1();
    sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

QString engineText(const QSqlError &error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text.trimmed();
}

DbError::Cause causeOf(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? sqliteCause(code) : DbError::Cause::Unknown;
}

// The layout this program writes: PRAGMA user_version of a book.
constexpr int kLayoutVersion = 1;

} // namespace

std::unique_ptr<SqlDialect> sqliteDialect()
{
    return std::make_unique<SqliteDialect>();
}

EngineOpening openSqliteBook(QSqlDatabase &db, const QString &path)
{
    EngineOpening opening;
    const QFileInfo info(path);
    if (!info.isFile()) {
        opening.error = DbError::cannotOpen(QStringLiteral("%1: file not found").arg(path), DbError::Cause::Missing);
        return opening;
    }
    // mode=rw: SQLite would otherwise create an empty file in place of a
    // book that went missing between the check and the open.
    QUrl uri = QUrl::fromLocalFile(info.absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    if (!db.open()) {
        opening.error = DbError::cannotOpen(engineText(db.lastError()), causeOf(db.lastError()));
        return opening;
    }
    sqlite3 *handle = sqliteHandle(db);
    installSqliteBusyWait(handle);
    // Opening succeeds on any file; the first read tells a book from a stray file.
    int version = 0;
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("PRAGMA user_version")) || !probe.next()) {
            opening.error = DbError::cannotOpen(engineText(probe.lastError()), causeOf(probe.lastError()));
            probe.finish();
            db.close();
            return opening;
        }
        version = probe.value(0).toInt();
    }
    if (version > kLayoutVersion) {
        opening.error = DbError::cannotOpen(QStringLiteral("user_version %1").arg(version), DbError::Cause::NewerLayout);
        db.close();
        return opening;
    }
    if (handle)
        sqlite3_create_function_v2(handle, "orv_exact_sum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                                   &exactSumStep, &exactSumFinal, nullptr);
    QSqlQuery(db).exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    opening.dialect = std::make_unique<SqliteDialect>();
    opening.causeOf = &causeOf;
    return opening;
}

} // namespace orv
