#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace orv {

// The few pieces of SQL in which the book's engines differ. Everything
// above the store writes plain SQL with quoted names and bound values, and
// asks the connection's dialect for these pieces; no code above the store
// names an engine.
class SqlDialect
{
public:
    virtual ~SqlDialect() = default;

    // The column that keeps the order in which rows of a category or user
    // table were added: the order those lists are shown in.
    virtual QString insertionOrder() const = 0;

    // The exact sum of an amount column as a decimal text ("1234.50"), NULL
    // when no row is summed. Exact whatever the number of rows.
    virtual QString exactSum(const QString &column) const = 0;

    // The name of an aggregate that adds up groups in one pass over the
    // rows, for an engine whose GROUP BY sorts every row first:
    // f(key, ..., amount) answers the groups packed as PackedGroups reads
    // them. Empty where the engine's own GROUP BY is quick.
    virtual QString onePassGroupSums() const { return {}; }

    // The day of a date column, comparable with a bound "yyyy-MM-dd" text
    // (a stored time of day is left out).
    virtual QString dayOf(const QString &column) const = 0;

    // "yyyy-MM" of a date column.
    virtual QString yearMonth(const QString &column) const = 0;

    // The condition "column contains the bound LIKE pattern", Latin
    // letters matched in either case, "\" escaping "%" and "_".
    virtual QString containsMatch(const QString &column) const = 0;

    // The date column in a form compared as it is but not looked up
    // through its index (for the engine that does not choose well itself).
    virtual QString unindexed(const QString &column) const = 0;

    // True when the engine itself picks the quicker way to a date range;
    // otherwise the program decides between the index and a scan.
    virtual bool plansDateRanges() const = 0;

    // The value an amount is bound as, so that it is stored exactly as the
    // lists show it.
    virtual QVariant amountValue(double money) const = 0;

    // Statements that start a transaction that will write: once begun, no
    // other writer can slip in between its reads and its writes.
    virtual QString beginWrite() const = 0;

    // Within a write transaction: keep others from changing this table
    // until it ends (where the transaction itself does not already).
    virtual QString lockTable(const QString &table) const = 0;

    // A select of the column names of the table bound as its one value, in
    // their order (the engine's own order-keeping column left out).
    virtual QString columnNamesQuery() const = 0;

    // Starts a transaction that only reads, and reads the book as it stood
    // at one moment, whatever others write meanwhile.
    virtual QString beginSnapshot() const = 0;

    // The highest id an entry table ever handed out (deleted entries
    // included), as a select of one number; and the statements, each with
    // that number bound once, that make the table hand out only higher ids.
    virtual QString idHighWaterQuery(const QString &table) const = 0;
    virtual QStringList raiseIdHighWater(const QString &table) const = 0;
};

} // namespace orv
