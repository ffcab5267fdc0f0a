#include "items/CategoryStore.h"

#include "store/BookConnection.h"
#include "model/TextForms.h"

#include <QSqlError>

namespace orv::CategoryStore {

namespace {

QString quoted(RecordKind kind)
{
    return u'"' + itemsTable(kind) + u'"';
}

DbError outOfDate(const QString &text)
{
    return DbError::refused(QStringLiteral("名目“%1”已不在列表中，可能已被修改或删除。\n列表已重新读取，请再试一次。").arg(text));
}

} // namespace

DbResult<QList<CategoryRow>> rows(const BookConnection &conn, RecordKind kind)
{
    const QString order = conn.sql().insertionOrder();
    auto query = conn.read(QStringLiteral("SELECT %2, \"items\" FROM %1 ORDER BY %2").arg(quoted(kind), order));
    if (!query)
        return query.error();
    QList<CategoryRow> list;
    while (query->next())
        list.append({query->value(0).toLongLong(), query->value(1).toString()});
    return list;
}

DbResult<QStringList> names(const BookConnection &conn, RecordKind kind)
{
    auto list = rows(conn, kind);
    if (!list)
        return list.error();
    QStringList result;
    result.reserve(list->size());
    for (const CategoryRow &row : *list)
        result.append(row.text);
    return result;
}

std::optional<QString> nameProblem(const QString &text)
{
    if (text.trimmed().isEmpty())
        return QStringLiteral("名目不能为空!");
    if (!fitsTextColumn(text))
        return QStringLiteral("名目太长了!名目最多 %1 个字节（约 %2 个汉字），请改短一些。")
            .arg(kMaxTextBytes)
            .arg(kMaxTextBytes / 2);
    return std::nullopt;
}

DbStatus add(const BookConnection &conn, RecordKind kind, const QString &text)
{
    if (auto problem = nameProblem(text))
        return DbError::refused(*problem);
    return conn.change(QStringLiteral("INSERT INTO %1 (\"items\") VALUES (?)").arg(quoted(kind)), {text});
}

DbResult<int> rename(const BookConnection &conn, RecordKind kind, const QString &oldText, const QString &newText)
{
    if (auto problem = nameProblem(newText))
        return DbError::refused(*problem);
    auto changed = conn.change(QStringLiteral("UPDATE %1 SET \"items\" = ? WHERE \"items\" = ?").arg(quoted(kind)),
                               {newText, oldText});
    if (!changed)
        return changed.error();
    if (*changed == 0)
        return outOfDate(oldText);
    return changed;
}

DbResult<int> remove(const BookConnection &conn, RecordKind kind, const QString &text)
{
    auto removed = conn.change(QStringLiteral("DELETE FROM %1 WHERE \"items\" = ?").arg(quoted(kind)), {text});
    if (!removed)
        return removed.error();
    if (*removed == 0)
        return outOfDate(text);
    return removed;
}

DbStatus swap(BookConnection &conn, RecordKind kind, const CategoryRow &first, const CategoryRow &second)
{
    if (!conn.isOpen())
        return conn.openError();
    if (first.rowId == second.rowId)
        return {};
    // Each row is addressed by its id and by the text it was read with, so a
    // list that changed behind the dialog's back is noticed, never scrambled.
    const QString update = QStringLiteral("UPDATE %1 SET \"items\" = ? WHERE %2 = ? AND \"items\" = ?")
                               .arg(quoted(kind), conn.sql().insertionOrder());
    Transaction tx(conn);
    if (!tx.started())
        return tx.error();
    auto one = conn.change(update, {second.text, first.rowId, first.text});
    if (!one)
        return one.error();
    if (*one != 1)
        return outOfDate(first.text);
    auto other = conn.change(update, {first.text, second.rowId, second.text});
    if (!other)
        return other.error();
    if (*other != 1)
        return outOfDate(second.text);
    if (!tx.commit())
        return tx.error();
    return {};
}

} // namespace orv::CategoryStore
