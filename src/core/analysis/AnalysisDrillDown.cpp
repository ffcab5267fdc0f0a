#include "analysis/AnalysisDrillDown.h"

#include "analysis/AnalysisReport.h"

namespace orv::DrillDown {

QueryCriteria bucket(const PeriodBuckets &buckets, qsizetype index, QueryRange range)
{
    const Bucket &part = buckets.at(index);
    return Analysis::criteriaFor(range, {part.first, part.last});
}

QueryCriteria runningTo(const PeriodBuckets &buckets, qsizetype index)
{
    return Analysis::criteriaFor(QueryRange::IncomePayout, {buckets.dates().first, buckets.at(index).last});
}

QueryCriteria category(const PeriodDates &dates, RecordKind kind, const QString &category)
{
    QueryCriteria criteria = Analysis::criteriaFor(Analysis::rangeOf(kind), dates);
    criteria.category = category;
    return criteria;
}

QueryCriteria member(const PeriodDates &dates, const QString &user, std::optional<RecordKind> kind,
                     const QString &category)
{
    QueryCriteria criteria =
        Analysis::criteriaFor(kind ? Analysis::rangeOf(*kind) : QueryRange::IncomePayout, dates);
    criteria.user = user;
    criteria.category = category;
    return criteria;
}

QueryCriteria loansAt(const LoanFigures &loans, qsizetype index)
{
    return Analysis::criteriaFor(QueryRange::Loan, {loans.historyStart, loans.buckets.at(index).last});
}

} // namespace orv::DrillDown
