#include "records/EntryStore.h"

#include "store/BookConnection.h"
#include "store/SqliteEntryReader.h"
#include "store/TextForms.h"

#include <QSqlError>
#include <QSqlQuery>

namespace orv::EntryStore {

QString selectColumns(RecordKind kind)
{
    return QStringLiteral("SELECT \"id\", \"date\", \"items\", \"money\", \"remark\", \"user\" FROM \"%1\"")
        .arg(recordTable(kind));
}

DbResult<qsizetype> appendSelected(const BookConnection &conn, const QString &sql, const QVariantList &values,
                                   EntryList &list)
{
    if (auto fast = appendEntriesFromSqlite(conn, sql, values, list))
        return std::move(*fast);
    auto query = conn.read(sql, values);
    if (!query)
        return query.error();
    StringPool &pool = list.pool();
    std::vector<Entry> &entries = list.entries();
    qsizetype added = 0;
    while (query->next()) {
        Entry entry;
        entry.id = query->value(0).toInt();
        entry.julianDay = qint32(julianDayFromStorage(query->value(1).toString()));
        entry.money = query->value(3).toDouble();
        entry.items = pool.intern(query->value(2).toString());
        entry.remark = pool.intern(query->value(4).toString());
        entry.user = pool.intern(query->value(5).toString());
        entries.push_back(entry);
        ++added;
    }
    // A read that broke off is an error, not the end of the rows.
    if (query->lastError().isValid())
        return DbError::statement(query->lastError().text());
    return added;
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
    auto query = conn.run(QStringLiteral("INSERT INTO \"%1\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                                         "VALUES (?, ?, ?, ?, ?)")
                              .arg(recordTable(kind)),
                          {storageDate(values.date), values.items, money, values.remark, values.user});
    if (!query)
        return query.error();
    const qint32 id = query->lastInsertId().toInt();
    EntryValues stored = values;
    stored.money = money;
    return into.make(id, stored);
}

DbStatus update(const BookConnection &conn, RecordKind kind, qint32 id, const EntryValues &values)
{
    auto changed = conn.change(
        QStringLiteral("UPDATE \"%1\" SET \"date\" = ?, \"items\" = ?, \"money\" = ?, \"remark\" = ? WHERE \"id\" = ?")
            .arg(recordTable(kind)),
        {storageDate(values.date), values.items, storedMoney(values.money), values.remark, id});
    if (!changed)
        return changed.error();
    if (*changed == 0)
        return DbError::refused(QStringLiteral("这条记录已经不在帐本中了，可能已被删除!"));
    return {};
}

DbResult<QList<qint32>> remove(BookConnection &conn, RecordKind kind, const QList<qint32> &ids)
{
    Transaction tx(conn);
    if (!tx.started())
        return conn.isOpen() ? DbError::statement(QStringLiteral("cannot begin a transaction")) : conn.openError();
    const QString sql = QStringLiteral("DELETE FROM \"%1\" WHERE \"id\" = ?").arg(recordTable(kind));
    QList<qint32> removed;
    for (qint32 id : ids) {
        auto changed = conn.change(sql, {id});
        if (!changed)
            return changed.error();
        if (*changed > 0)
            removed.append(id);
    }
    if (!tx.commit())
        return DbError::statement(conn.database().lastError().text());
    return removed;
}

} // namespace orv::EntryStore
