#include "records/EntryEdits.h"

#include "store/BookConnection.h"
#include "store/TextForms.h"

#include <QSqlError>
#include <QSqlQuery>

namespace orv::EntryEdits {

DbResult<QStringList> readCategories(const BookConnection &conn, RecordKind kind)
{
    auto query = conn.read(QStringLiteral("SELECT \"items\" FROM \"%1\" ORDER BY rowid").arg(itemsTable(kind)));
    if (!query)
        return query.error();
    QStringList items;
    while (query->next())
        items.append(query->value(0).toString());
    return items;
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

} // namespace orv::EntryEdits
