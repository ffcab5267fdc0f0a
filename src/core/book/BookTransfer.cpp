#include "book/BookTransfer.h"

#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/BookSchema.h"
#include "store/RowSink.h"

#include <QFile>
#include <QFileInfo>

#include <QSqlError>
#include <QSqlRecord>

namespace orv::BookTransfer {

namespace {

const QStringList kEntryColumns = {QStringLiteral("id"), QStringLiteral("date"), QStringLiteral("items"),
                                   QStringLiteral("money"), QStringLiteral("remark"), QStringLiteral("user")};

// Rows between two looks at the progress.
constexpr qint64 kRowsPerStep = 5000;

struct Counter
{
    const Progress &progress;
    qint64 total = 0;
    qint64 done = 0;
    bool cancelled = false;

    bool step()
    {
        ++done;
        if (done % kRowsPerStep == 0 && !goOn(progress, done, total))
            cancelled = true;
        return !cancelled;
    }
};

DbError cancelledError()
{
    return DbError::refused(QStringLiteral("已取消。"));
}

// The rows of a select, put into a sink; dates as yyyy-MM-dd texts, amounts
// as numbers, whatever the engine read them as.
DbStatus pour(BookConnection &from, const QString &select, RowSink &sink, Counter &counter, int dateColumn,
              int moneyColumn)
{
    auto rows = from.read(select);
    if (!rows)
        return rows.error();
    const int columns = rows->record().count();
    QVariantList row;
    while (rows->next()) {
        row.clear();
        for (int c = 0; c < columns; ++c) {
            QVariant value = rows->value(c);
            if (!value.isNull()) {
                if (c == dateColumn)
                    value = value.toString().left(10);
                else if (c == moneyColumn)
                    value = value.toDouble();
            }
            row.append(value);
        }
        if (!sink.put(row))
            break;
        if (!counter.step())
            return cancelledError();
    }
    if (rows->lastError().isValid())
        return DbError::statement(rows->lastError().text());
    return sink.finish();
}

DbResult<qint64> highWater(const BookConnection &conn, const QString &table)
{
    auto query = conn.read(conn.sql().idHighWaterQuery(table));
    if (!query)
        return query.error();
    return query->next() ? query->value(0).toLongLong() : 0;
}

} // namespace

DbResult<qint64> entryCount(const BookConnection &conn)
{
    qint64 total = 0;
    for (RecordKind kind : kAllKinds) {
        auto query = conn.read(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(recordTable(kind)));
        if (!query)
            return query.error();
        if (query->next())
            total += query->value(0).toLongLong();
    }
    return total;
}

DbStatus clear(BookConnection &to, Parts parts)
{
    QStringList tables;
    for (RecordKind kind : kAllKinds) {
        if (parts & Part::Entries)
            tables << recordTable(kind);
        if (parts & Part::Categories)
            tables << itemsTable(kind);
    }
    if (parts & Part::Users)
        tables << QStringLiteral("USER");
    for (const QString &table : tables) {
        if (auto done = to.change(QStringLiteral("DELETE FROM \"%1\"").arg(table)); !done)
            return done.error();
    }
    return {};
}

DbStatus copy(BookConnection &from, BookConnection &to, Parts parts, const Progress &progress)
{
    if (!from.isOpen())
        return from.openError();
    if (!to.isOpen())
        return to.openError();
    // One moment of the source, however long the copy takes.
    if (auto begun = from.change(from.sql().beginSnapshot()); !begun)
        return begun.error();
    struct EndSnapshot
    {
        BookConnection &conn;
        ~EndSnapshot() { conn.change(QStringLiteral("ROLLBACK")); }
    } endSnapshot{from};

    Counter counter{progress};
    if (parts & Part::Entries) {
        auto count = entryCount(from);
        if (!count)
            return count.error();
        counter.total = *count;
    }
    if (!goOn(progress, 0, counter.total))
        return cancelledError();
    if (parts & Part::Entries) {
        for (RecordKind kind : kAllKinds) {
            const QString table = recordTable(kind);
            // The rows come in id order, their dates in any order: a file's
            // date index filled row by row reads its pages back for each
            // row, one built afterwards sorts once (three times quicker on a
            // million entries). Both inside the caller's transaction.
            const bool buildIndexAfter = to.location().isFile();
            if (buildIndexAfter) {
                if (auto dropped = to.change(BookSchema::dropDateIndex(table)); !dropped)
                    return dropped.error();
            }
            {
                auto sink = RowSink::open(to, table, kEntryColumns);
                const DbStatus poured = pour(
                    from, EntryStore::selectColumns(kind) + QStringLiteral(" ORDER BY \"id\""), *sink, counter, 1, 3);
                if (!poured)
                    return poured;
            }
            if (buildIndexAfter) {
                if (auto built = to.change(BookSchema::createDateIndex(table)); !built)
                    return built.error();
            }
            // Ids a deleted entry had are not handed out again in the copy.
            auto mark = highWater(from, table);
            if (!mark)
                return mark.error();
            for (const QString &raise : to.sql().raiseIdHighWater(table)) {
                if (auto done = to.run(raise, {*mark}); !done)
                    return done.error();
            }
        }
    }
    if (parts & Part::Categories) {
        for (RecordKind kind : kAllKinds) {
            const QString table = itemsTable(kind);
            auto sink = RowSink::open(to, table, {QStringLiteral("items")});
            const DbStatus poured =
                pour(from, QStringLiteral("SELECT \"items\" FROM \"%1\" ORDER BY %2").arg(table, from.sql().insertionOrder()),
                     *sink, counter, -1, -1);
            if (!poured)
                return poured;
        }
    }
    if (parts & Part::Users) {
        auto sink = RowSink::open(to, QStringLiteral("USER"), {QStringLiteral("user"), QStringLiteral("code")});
        const DbStatus poured =
            pour(from, QStringLiteral("SELECT \"user\", \"code\" FROM \"USER\" ORDER BY %1").arg(from.sql().insertionOrder()),
                 *sink, counter, -1, -1);
        if (!poured)
            return poured;
    }
    goOn(progress, counter.total, counter.total);
    return {};
}

namespace {

// A server database with no table at all: the book's tables go in first.
DbStatus prepareServer(const BookLocation &to)
{
    {
        const BookConnection probe(to);
        if (probe.isOpen() || probe.openError().cause != DbError::Cause::NotABook)
            return {};
    }
    return BookSchema::createServerBook(to.uri());
}

} // namespace

DbStatus copyWholeBook(const BookLocation &from, const BookLocation &to, bool replace, const Progress &progress)
{
    BookConnection source(from);
    if (!source.isOpen())
        return source.openError();
    if (!BookSchema::isBook(source))
        return DbError::refused(QStringLiteral("“%1”不是帐本。").arg(from.display()));
    bool madeFile = false;
    if (to.isFile() && !QFileInfo::exists(to.filePath())) {
        if (const DbStatus made = BookSchema::createBareBook(to.filePath()); !made)
            return made;
        madeFile = true;
    } else if (to.isServer()) {
        if (const DbStatus prepared = prepareServer(to); !prepared)
            return prepared;
    }
    DbStatus status = [&]() -> DbStatus {
        BookConnection target(to);
        if (!target.isOpen())
            return target.openError();
        if (!BookSchema::isBook(target))
            return DbError::refused(QStringLiteral("“%1”不是帐本。").arg(to.display()));
        Transaction tx(target);
        if (!tx.started())
            return tx.error();
        for (const QString &table : BookSchema::tableNames()) {
            if (auto locked = target.lockTable(table); !locked)
                return locked.error();
        }
        auto entries = entryCount(target);
        if (!entries)
            return entries.error();
        if (*entries > 0 && !replace)
            return DbError::refused(QStringLiteral("“%1”里已经有 %2 条记录，没有覆盖。要用新的内容替换它，请加上 --replace。")
                                        .arg(to.display())
                                        .arg(*entries));
        if (const DbStatus cleared = clear(target, kWholeBook); !cleared)
            return cleared;
        if (const DbStatus copied = copy(source, target, kWholeBook, progress); !copied)
            return copied;
        if (!tx.commit())
            return tx.error();
        return {};
    }();
    if (!status && madeFile)
        QFile::remove(to.filePath()); // half a book is worse than none
    return status;
}

} // namespace orv::BookTransfer
