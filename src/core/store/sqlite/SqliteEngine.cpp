#include "store/EngineOpen.h"

#include "model/Money.h"
#include "model/TextForms.h"
#include "store/PackedGroups.h"
#include "store/sqlite/SqliteErrors.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace orv {

namespace {

class SqliteDialect final : public SqlDialect
{
public:
    QString insertionOrder() const override { return QStringLiteral("rowid"); }
    QString exactSum(const QString &column) const override { return QStringLiteral("orv_exact_sum(%1)").arg(column); }
    QString onePassGroupSums() const override { return QStringLiteral("orv_group_sums"); }
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

// orv_group_sums(key, ..., money): the exact sum and the count of every
// group of keys, in one pass over the rows. SQLite's GROUP BY sorts every
// row first, which on a whole book of 400,000 entries costs ten times the
// reading; here each row goes into a hash of the groups seen so far.
struct GroupTotal
{
    std::vector<std::optional<std::string>> keys;
    FenSum fen = 0;
    bool any = false;
    qint64 count = 0;
};
using GroupTotals = std::unordered_map<std::string, GroupTotal>;

struct GroupSumsState
{
    GroupTotals *groups;
};

// The keys as one string that orders as GROUP BY does: NULL first, texts
// byte by byte, a shorter text before a longer one it begins.
void appendOrderedKey(std::string &into, sqlite3_value *value)
{
    if (sqlite3_value_type(value) == SQLITE_NULL) {
        into += '\0';
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    const int size = sqlite3_value_bytes(value);
    into += '\1';
    for (int i = 0; i < size; ++i) {
        into += text[i];
        if (text[i] == '\0')
            into += '\xff';
    }
    into += '\0';
    into += '\0';
}

void groupSumsStep(sqlite3_context *context, int argc, sqlite3_value **values)
{
    auto *state = static_cast<GroupSumsState *>(sqlite3_aggregate_context(context, sizeof(GroupSumsState)));
    if (!state || argc < 1) {
        sqlite3_result_error_nomem(context);
        return;
    }
    try {
        if (!state->groups)
            state->groups = new GroupTotals;
        thread_local std::string key;
        key.clear();
        const int keyCount = argc - 1;
        for (int k = 0; k < keyCount; ++k)
            appendOrderedKey(key, values[k]);
        auto [group, added] = state->groups->try_emplace(key);
        GroupTotal &total = group->second;
        if (added) {
            for (int k = 0; k < keyCount; ++k) {
                if (sqlite3_value_type(values[k]) == SQLITE_NULL)
                    total.keys.emplace_back();
                else
                    total.keys.emplace_back(std::string(reinterpret_cast<const char *>(sqlite3_value_text(values[k])),
                                                        size_t(sqlite3_value_bytes(values[k]))));
            }
        }
        ++total.count;
        if (sqlite3_value_type(values[keyCount]) != SQLITE_NULL) {
            total.fen += fenOf(sqlite3_value_double(values[keyCount]));
            total.any = true;
        }
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    }
}

void groupSumsFinal(sqlite3_context *context)
{
    auto *state = static_cast<GroupSumsState *>(sqlite3_aggregate_context(context, 0));
    // No row at all: no group, as GROUP BY answers none.
    if (!state || !state->groups) {
        sqlite3_result_null(context);
        return;
    }
    const std::unique_ptr<GroupTotals> groups(state->groups);
    state->groups = nullptr;
    try {
        std::vector<const GroupTotals::value_type *> ordered;
        ordered.reserve(groups->size());
        for (const auto &group : *groups)
            ordered.push_back(&group);
        std::sort(ordered.begin(), ordered.end(), [](auto *a, auto *b) { return a->first < b->first; });
        std::string packed;
        for (const auto *group : ordered) {
            const GroupTotal &total = group->second;
            for (const std::optional<std::string> &key : total.keys)
                PackedGroups::appendField(packed, key ? key->data() : nullptr, key ? int(key->size()) : 0);
            const QByteArray sum = total.any ? fenText(total.fen).toLatin1() : QByteArray();
            PackedGroups::appendField(packed, total.any ? sum.constData() : nullptr, int(sum.size()));
            PackedGroups::appendCount(packed, total.count);
        }
        sqlite3_result_blob64(context, packed.data(), packed.size(), SQLITE_TRANSIENT);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    }
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

// SQLite keeps memory statistics under one lock for the whole process: two
// connections adding up two tables at once (as the analysis does) then wait
// for each other at every allocation, and take twice as long. It can only be
// turned off before the engine's first use, hence at the program's start.
const bool g_withoutMemoryStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;

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
    if (handle) {
        sqlite3_create_function_v2(handle, "orv_exact_sum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                                   &exactSumStep, &exactSumFinal, nullptr);
        sqlite3_create_function_v2(handle, "orv_group_sums", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                                   &groupSumsStep, &groupSumsFinal, nullptr);
    }
    QSqlQuery(db).exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    opening.dialect = std::make_unique<SqliteDialect>();
    opening.causeOf = &causeOf;
    return opening;
}

} // namespace orv
