#include "analysis/AnalysisStatement.h"

#include "store/SqlDialect.h"

#include <QStringList>

namespace orv::AnalysisStatement {

namespace {

QString keyTerm(const SqlDialect &sql, Key key)
{
    const QString date = QStringLiteral("\"date\"");
    switch (key) {
    case Key::Day: return sql.dayOf(date);
    case Key::Month: return sql.yearMonth(date);
    case Key::Category: return QStringLiteral("\"items\"");
    case Key::User: return QStringLiteral("\"user\"");
    }
    return {};
}

} // namespace

BoundStatement grouped(const SqlDialect &sql, const QueryCriteria &criteria, RecordKind kind, const QList<Key> &keys,
                       DateAccess access)
{
    QStringList terms;
    QStringList positions;
    for (Key key : keys) {
        terms.append(keyTerm(sql, key));
        positions.append(QString::number(terms.size()));
    }
    BoundStatement statement = QueryStatement::where(sql, criteria, access);
    QString head = QStringLiteral("SELECT ");
    for (const QString &term : terms)
        head += term + QStringLiteral(", ");
    head += sql.exactSum(QStringLiteral("\"money\"")) + QStringLiteral(", COUNT(*) FROM \"") + recordTable(kind) + u'"';
    statement.sql.prepend(head);
    if (!positions.isEmpty())
        statement.sql += QStringLiteral(" GROUP BY ") + positions.join(QStringLiteral(", "));
    return statement;
}

BoundStatement groupedInOnePass(const SqlDialect &sql, const QueryCriteria &criteria, RecordKind kind,
                                const QList<Key> &keys, DateAccess access)
{
    QStringList terms;
    for (Key key : keys)
        terms.append(keyTerm(sql, key));
    terms.append(QStringLiteral("\"money\""));
    BoundStatement statement = QueryStatement::where(sql, criteria, access);
    statement.sql.prepend(QStringLiteral("SELECT %1(%2) FROM \"%3\"")
                              .arg(sql.onePassGroupSums(), terms.join(QStringLiteral(", ")), recordTable(kind)));
    return statement;
}

BoundStatement span(RecordKind kind)
{
    // Two selects of one MIN or MAX each: each is then read off the end of
    // the date index instead of scanning the table.
    return {QStringLiteral("SELECT (SELECT MIN(\"date\") FROM \"%1\"), (SELECT MAX(\"date\") FROM \"%1\")")
                .arg(recordTable(kind)),
            {}};
}

} // namespace orv::AnalysisStatement
