#include "import/ImportStore.h"

#include "items/CategoryStore.h"
#include "store/BookConnection.h"
#include "store/RowSink.h"
#include "model/TextForms.h"

namespace orv {

namespace {

// Rows between two questions to the progress.
constexpr qsizetype kProgressStep = 256;

ImportOutcome failed(DbError error)
{
    ImportOutcome outcome;
    outcome.result = ImportOutcome::Result::Failed;
    outcome.error = std::move(error);
    return outcome;
}

ImportOutcome cancelled()
{
    ImportOutcome outcome;
    outcome.result = ImportOutcome::Result::Cancelled;
    return outcome;
}

} // namespace

ImportOutcome storeImport(BookConnection &conn, const QList<ImportEntry> &entries,
                          const QList<QPair<RecordKind, QString>> &categories, const QString &user,
                          const Progress &progress)
{
    if (!isStorableText(user))
        return failed(DbError::refused(unstorableTextMessage()));
    const qsizetype total = entries.size() + categories.size();
    if (!goOn(progress, 0, total))
        return cancelled();
    Transaction tx(conn);
    if (!tx.started())
        return failed(tx.error());

    ImportOutcome outcome;
    for (const auto &[kind, name] : categories) {
        if (const DbStatus added = CategoryStore::add(conn, kind, name); !added)
            return failed(added.error());
        outcome.changes |= BookChange::Categories;
        ++outcome.categoriesAdded;
    }
    qsizetype done = categories.size();
    // One kind after the other: a server takes one bulk copy at a time.
    for (RecordKind kind : kAllKinds) {
        std::unique_ptr<RowSink> sink;
        for (const ImportEntry &entry : entries) {
            if (entry.kind != kind)
                continue;
            if (!sink)
                sink = RowSink::open(conn, recordTable(kind),
                                     {QStringLiteral("date"), QStringLiteral("items"), QStringLiteral("money"),
                                      QStringLiteral("remark"), QStringLiteral("user")});
            const EntryValues &v = entry.values;
            if (!sink->put({storageDate(v.date), v.items, storedMoney(v.money), v.remark, user}))
                return failed(sink->finish().error());
            ++outcome.entriesStored;
            if (++done % kProgressStep == 0 && !goOn(progress, done, total))
                return cancelled();
        }
        if (sink) {
            if (const DbStatus finished = sink->finish(); !finished)
                return failed(finished.error());
            outcome.changes |= entryChange(kind);
        }
    }
    if (!goOn(progress, total, total))
        return cancelled();
    if (!tx.commit())
        return failed(tx.error());
    return outcome;
}

} // namespace orv
