#include "query/QueryStatement.h"

#include "records/EntryStore.h"
#include "store/SqlDialect.h"
#include "model/TextForms.h"

namespace orv::QueryStatement {

namespace {

constexpr QChar kEscape = u'\\';

// One text criterion on a column (the column names are fixed below).
void appendTextCriterion(BoundStatement &statement, const SqlDialect &sql, const QString &column,
                         const QString &criterion, MatchMode match)
{
    const QString quoted = u'"' + column + u'"';
    if (!restricts(criterion)) {
        // "选择全部" lets every value through, but an entry without one
        // has never matched a criterion.
        statement.sql += QStringLiteral(" AND ") + quoted + QStringLiteral(" IS NOT NULL");
        return;
    }
    if (match == MatchMode::Exact) {
        statement.sql += QStringLiteral(" AND ") + quoted + QStringLiteral(" = ?");
        statement.values.append(criterion);
        return;
    }
    statement.sql += QStringLiteral(" AND ") + sql.containsMatch(quoted);
    statement.values.append(containsPattern(criterion));
}

} // namespace

QString containsPattern(const QString &text)
{
    QString pattern;
    pattern.reserve(text.size() + 2);
    pattern += u'%';
    for (QChar c : text) {
        if (c == u'%' || c == u'_' || c == kEscape)
            pattern += kEscape;
        pattern += c;
    }
    pattern += u'%';
    return pattern;
}

QVariantList dateRangeValues(const QDate &from, const QDate &to)
{
    return {storageDate(from), storageDate(to.addDays(1))};
}

BoundStatement select(const SqlDialect &sql, const QueryCriteria &criteria, RecordKind kind, DateAccess access)
{
    BoundStatement statement = where(sql, criteria, access);
    statement.sql.prepend(EntryStore::selectColumns(kind));
    return statement;
}

BoundStatement where(const SqlDialect &sql, const QueryCriteria &criteria, DateAccess access)
{
    const QString date = QStringLiteral("\"date\"");
    const QString dateTerm = access == DateAccess::ByIndex ? date : sql.unindexed(date);
    BoundStatement statement;
    statement.sql = QStringLiteral(" WHERE ") + dateTerm + QStringLiteral(" >= ? AND ") + dateTerm +
                    QStringLiteral(" < ? AND \"money\" BETWEEN ? AND ?");
    statement.values = dateRangeValues(criteria.dateFrom, criteria.dateTo);
    statement.values << criteria.lowerAmount().value_or(0.0) << criteria.upperAmount().value_or(kUnlimitedAmount);
    appendTextCriterion(statement, sql, QStringLiteral("items"), criteria.category, criteria.match);
    appendTextCriterion(statement, sql, QStringLiteral("remark"), criteria.remark, criteria.match);
    appendTextCriterion(statement, sql, QStringLiteral("user"), criteria.user, criteria.match);
    return statement;
}

BoundStatement dateShare(const QueryCriteria &criteria, RecordKind kind)
{
    const QString table = recordTable(kind);
    return {QStringLiteral("SELECT (SELECT COUNT(*) FROM \"%1\" WHERE \"date\" >= ? AND \"date\" < ?), "
                           "(SELECT MAX(\"id\") FROM \"%1\")")
                .arg(table),
            dateRangeValues(criteria.dateFrom, criteria.dateTo)};
}

BoundStatement everything(RecordKind kind)
{
    return {EntryStore::selectColumns(kind), {}};
}

} // namespace orv::QueryStatement
