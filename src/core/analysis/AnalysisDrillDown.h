#pragma once

#include "analysis/AnalysisFigures.h"
#include "query/QueryCriteria.h"

#include <optional>

namespace orv {

// The query behind a part of a chart: run in the query module, its result
// shows exactly the entries of that part, with the part's figure as the
// query's own total.
namespace DrillDown {

// A bar of the chart over time: the range's entries of that bar's days
// (income bar: income; expense bar: expense; its balance: both).
QueryCriteria bucket(const PeriodBuckets &buckets, qsizetype index, QueryRange range);
// The running balance at a bar: income and expense from the period's
// first day to that bar's last.
QueryCriteria runningTo(const PeriodBuckets &buckets, qsizetype index);
// One category of a kind in the period.
QueryCriteria category(const PeriodDates &dates, RecordKind kind, const QString &category);
// What one family member recorded: of one kind, or income and expense;
// of one category, or all.
QueryCriteria member(const PeriodDates &dates, const QString &user, std::optional<RecordKind> kind = std::nullopt,
                     const QString &category = kSelectAll);
// The loans as they stand at a bar's last day: every loan since the first.
QueryCriteria loansAt(const LoanFigures &loans, qsizetype index);

} // namespace DrillDown
} // namespace orv
