#pragma once

#include "query/QueryCriteria.h"
#include "model/RecordKind.h"

#include <QString>
#include <QVariantList>

namespace orv {

class SqlDialect;

// How a select reaches the entries of its date range: through the index on
// "date" (quick for a short range) or by reading the whole table (quicker
// once the range holds more than a small share of the table).
enum class DateAccess { ByIndex, ByScan };

// A statement and the values bound to its placeholders, in order.
struct BoundStatement
{
    QString sql;
    QVariantList values;
};

// Every statement the query module runs is made here. They are plain SQL
// with the user's texts bound as values, so quotes, percent signs and
// underscores typed into a criterion are only ever matched, never read as
// SQL. The pieces in which engines differ come from the dialect.
namespace QueryStatement {

// The entries of one kind that meet the criteria: columns id, date, items,
// money, remark, user. Dates and amounts are inclusive at both ends; an
// entry counts on its day even when its stored date carries a time. Rows
// come in the engine's order; the caller puts them in date order.
BoundStatement select(const SqlDialect &sql, const QueryCriteria &criteria, RecordKind kind,
                      DateAccess access = DateAccess::ByIndex);

// The " WHERE ..." of select with its values: the one place that says
// which entries criteria cover, so that every figure summed over them
// agrees with the query's own rows.
BoundStatement where(const SqlDialect &sql, const QueryCriteria &criteria, DateAccess access = DateAccess::ByIndex);

// Two numbers that tell which access suits the criteria: how many entries
// of the kind lie in the date range (counted on the index alone), and the
// highest id of the table, which is about its size.
BoundStatement dateShare(const QueryCriteria &criteria, RecordKind kind);

// Every entry of a kind, for the query module's first view.
BoundStatement everything(RecordKind kind);

// The typed text as a pattern that finds it anywhere: "%", "_" and the
// escape character itself stand for themselves.
QString containsPattern(const QString &text);

// The date range as bound values: from the first day, up to (not
// including) the day after the last, so that "2024-02-29 00:00:00" is in a
// range that ends on 29 February.
QVariantList dateRangeValues(const QDate &from, const QDate &to);

} // namespace QueryStatement
} // namespace orv
