#pragma once

#include "query/QueryCriteria.h"
#include "query/QueryStatement.h"
#include "model/RecordKind.h"

#include <QList>

namespace orv {

class SqlDialect;

// The statements behind the charts. Each adds up, in the engine, the very
// entries the query module lists for the same criteria (its WHERE is the
// query's own), grouped by what a chart shows: one row per group, never
// one per entry.
namespace AnalysisStatement {

// What the entries are grouped by.
enum class Key { Day, Month, Category, User };

// SELECT <keys>, <exact sum of money>, COUNT(*) FROM <kind's table>
// WHERE <the query's conditions> GROUP BY <keys>. The sum is a decimal text.
BoundStatement grouped(const SqlDialect &sql, const QueryCriteria &criteria, RecordKind kind, const QList<Key> &keys,
                       DateAccess access = DateAccess::ByIndex);

// The same groups added up in one pass, where the engine offers it
// (SqlDialect::onePassGroupSums): SELECT f(<keys>, "money") FROM ... WHERE
// <the same conditions>, one row whose value PackedGroups::unpack reads.
// Keys must not be empty.
BoundStatement groupedInOnePass(const SqlDialect &sql, const QueryCriteria &criteria, RecordKind kind,
                                const QList<Key> &keys, DateAccess access = DateAccess::ByIndex);

// The first and the last date of a kind's entries.
BoundStatement span(RecordKind kind);

} // namespace AnalysisStatement
} // namespace orv
