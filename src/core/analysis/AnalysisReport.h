#pragma once

#include "analysis/AnalysisFigures.h"
#include "analysis/AnalysisPeriod.h"
#include "query/QueryCriteria.h"
#include "store/DbResult.h"

#include <QString>

#include <array>
#include <optional>

namespace orv {

class BookConnection;

// The module's charts, in the order of its tabs.
enum class AnalysisChart { Trend = 0, PayoutShares = 1, IncomeShares = 2, Members = 3, Loans = 4 };
inline constexpr std::array<AnalysisChart, 5> kAllCharts = {AnalysisChart::Trend, AnalysisChart::PayoutShares,
                                                            AnalysisChart::IncomeShares, AnalysisChart::Members,
                                                            AnalysisChart::Loans};
// "收支趋势", "支出构成", "收入构成", "家庭成员", "借贷往来".
QString chartTitle(AnalysisChart chart);

// Reading the figures from the book, each chart's with a few grouped
// statements whatever the size of the book.
namespace Analysis {

// The query that covers a period's entries of a range: every category,
// remark and user, amounts 0 to "无限", exact matching.
QueryCriteria criteriaFor(QueryRange range, const PeriodDates &dates);
QueryRange rangeOf(RecordKind kind);

DbResult<BookSpan> readSpan(const BookConnection &conn);
DbResult<TrendFigures> trend(const BookConnection &conn, const PeriodDates &dates);
DbResult<CategoryFigures> categories(const BookConnection &conn, const PeriodDates &dates, RecordKind kind);
DbResult<MemberFigures> members(const BookConnection &conn, const PeriodDates &dates);
DbResult<LoanFigures> loans(const BookConnection &conn, const PeriodDates &dates, const QDate &historyStart);

} // namespace Analysis

// The figures of one period, read chart by chart as they are first shown
// (the module opens with one chart; the others cost nothing until asked).
class AnalysisReport
{
public:
    AnalysisReport() = default;
    AnalysisReport(const AnalysisPeriod &period, const BookSpan &span);

    const AnalysisPeriod &period() const { return m_period; }
    const BookSpan &span() const { return m_span; }
    const PeriodDates &dates() const { return m_dates; }

    // Reads the figures of a chart unless they are there already.
    DbStatus compute(const BookConnection &conn, AnalysisChart chart);
    DbStatus computeAll(const BookConnection &conn);
    bool has(AnalysisChart chart) const;

    // Valid once computed.
    const TrendFigures &trend() const { return *m_trend; }
    const CategoryFigures &shares(RecordKind kind) const
    {
        return kind == RecordKind::Income ? *m_incomeShares : *m_payoutShares;
    }
    const MemberFigures &members() const { return *m_members; }
    const LoanFigures &loans() const { return *m_loans; }

private:
    AnalysisPeriod m_period;
    BookSpan m_span;
    PeriodDates m_dates;
    std::optional<TrendFigures> m_trend;
    std::optional<CategoryFigures> m_payoutShares;
    std::optional<CategoryFigures> m_incomeShares;
    std::optional<MemberFigures> m_members;
    std::optional<LoanFigures> m_loans;
};

} // namespace orv
