#include "records/EntryStore.h"

#include "store/BookConnection.h"
#include "model/TextForms.h"
#include "store/FastEntryReader.h"

#include <QSqlError>
#include <QSqlQuery>

namespace orv::EntryStore {

namespace {

QString quotedTable(RecordKind kind)
{
    return u'"' + recordTable(kind) + u'"';
}

// The row as shown, owned by the current user: the condition every change
// and delete carries, so that a list that is out of date can never touch
// another entry than the one on screen. Amounts match to within half a fen
// (the list shows two decimals of what the engine holds).
QString shownRowCondition(const BookConnection &conn)
{
    return QStringLiteral("\"id\" = ? AND \"user\" = ? AND %1 = ? AND COALESCE(\"items\", '') = ? "
                          "AND ABS(COALESCE(\"money\", 0) - ?) < 0.005 AND COALESCE(\"remark\", '') = ?")
        .arg(conn.sql().dayOf(QStringLiteral("\"date\"")));
}

QVariantList shownRowValues(const ShownEntry &shown, const QString &currentUser)
{
    return {shown.id, currentUser, storageDate(shown.values.date), shown.values.items, shown.values.money,
            shown.values.remark};
}

} // namespace

QString selectColumns(RecordKind kind)
{
    return QStringLiteral("SELECT \"id\", \"date\", \"items\", \"money\", \"remark\", \"user\" FROM %1")
        .arg(quotedTable(kind));
}

DbResult<qsizetype> appendSelected(const BookConnection &conn, const QString &sql, const QVariantList &values,
                                   EntryList &list, const Progress &progress)
{
    if (auto fast = appendEntriesFast(conn, sql, values, list, progress))
        return std::move(*fast);
    auto query = conn.read(sql, values);
    if (!query)
        return query.error();
    StringPool &pool = list.pool();
    std::vector<Entry> &entries = list.entries();
    const size_t before = entries.size();
    while (query->next()) {
        Entry entry;
        entry.id = query->value(0).toLongLong();
        entry.julianDay = qint32(julianDayFromStorage(query->value(1).toString()));
        entry.money = query->value(3).toDouble();
        entry.items = pool.intern(query->value(2).toString());
        entry.remark = pool.intern(query->value(4).toString());
        entry.user = pool.intern(query->value(5).toString());
        entries.push_back(entry);
        if (const qsizetype read = qsizetype(entries.size() - before); read % kRowsPerProgressReport == 0)
            goOn(progress, read, 0);
    }
    // A read that broke off is an error, not the end of the rows.
    if (query->lastError().isValid()) {
        entries.resize(before);
        return DbError::statement(query->lastError().text());
    }
    return qsizetype(entries.size() - before);
}

DbResult<EntryList> readAll(const BookConnection &conn, RecordKind kind)
{
    EntryList list;
    auto added = appendSelected(conn, selectColumns(kind) + QStringLiteral(" ORDER BY \"id\""), {}, list);
    if (!added)
        return added.error();
    return list;
}

DbResult<Entry> insert(const BookConnection &conn, RecordKind kind, const EntryValues &values, EntryList &into)
{
    const double money = storedMoney(values.money);
    auto query = conn.run(QStringLiteral("INSERT INTO %1 (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                                         "VALUES (?, ?, ?, ?, ?) RETURNING \"id\"")
                              .arg(quotedTable(kind)),
                          {storageDate(values.date), values.items, money, values.remark, values.user});
    if (!query)
        return query.error();
    if (!query->next())
        return DbError::statement(QStringLiteral("no id for the new entry"));
    const qint64 id = query->value(0).toLongLong();
    query->finish();
    EntryValues stored = values;
    stored.money = money;
    return into.make(id, stored);
}

QString changedElsewhereMessage()
{
    return QStringLiteral("这条记录已在别处被修改或删除（可能是另一个窗口或另一台电脑），操作没有进行。\n"
                          "列表已重新读取，请看清后再试。");
}

DbStatus update(const BookConnection &conn, RecordKind kind, const ShownEntry &shown, const EntryValues &changed,
                const QString &currentUser)
{
    EntryValues next = changed;
    next.money = storedMoney(changed.money);
    next.user = shown.values.user;
    QVariantList values = {storageDate(next.date), next.items, next.money, next.remark};
    values += shownRowValues(shown, currentUser);
    const QString sql = QStringLiteral("UPDATE %1 SET \"date\" = ?, \"items\" = ?, \"money\" = ?, \"remark\" = ? WHERE ")
                            .arg(quotedTable(kind)) +
                        shownRowCondition(conn);
    // Nothing changed as shown: nothing is written, not even the amount's
    // last binary digit.
    if (next.sameAsShown(shown.values)) {
        auto still = conn.read(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ").arg(quotedTable(kind)) +
                                   shownRowCondition(conn),
                               shownRowValues(shown, currentUser));
        if (!still)
            return still.error();
        if (!still->next() || still->value(0).toLongLong() == 0)
            return DbError::refused(changedElsewhereMessage());
        return {};
    }
    auto done = conn.change(sql, values);
    if (!done)
        return done.error();
    if (*done == 0)
        return DbError::refused(changedElsewhereMessage());
    return {};
}

DbStatus remove(BookConnection &conn, RecordKind kind, const QList<ShownEntry> &shown, const QString &currentUser)
{
    Transaction tx(conn);
    if (!tx.started())
        return tx.error();
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE ").arg(quotedTable(kind)) + shownRowCondition(conn);
    for (const ShownEntry &entry : shown) {
        auto changed = conn.change(sql, shownRowValues(entry, currentUser));
        if (!changed)
            return changed.error();
        // One entry no longer as shown: none is deleted.
        if (*changed == 0)
            return DbError::refused(changedElsewhereMessage());
    }
    if (!tx.commit())
        return tx.error();
    return {};
}

} // namespace orv::EntryStore
