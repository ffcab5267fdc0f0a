#pragma once

#include <QDate>
#include <QString>

namespace orv {

// The dates the book's entries cover, of any kind: the "whole book" period,
// and where the history of the loans starts.
struct BookSpan
{
    QDate first;
    QDate last;
    // The day of the first loan entry (invalid without loans).
    QDate firstLoan;

    bool isEmpty() const { return !first.isValid(); }
    bool operator==(const BookSpan &) const = default;
};

// The first and the last day a chart covers, both included.
struct PeriodDates
{
    QDate first;
    QDate last;

    bool contains(const QDate &day) const { return day >= first && day <= last; }
    bool operator==(const PeriodDates &) const = default;
};

// What the analysis looks at: a calendar year, a month, any from–to range
// (inclusive, as the query dialog takes it), or the whole book.
enum class PeriodKind { Year = 0, Month = 1, Range = 2, Whole = 3 };

class AnalysisPeriod
{
public:
    // The year of today, which a family opening the module looks at first.
    AnalysisPeriod();

    static AnalysisPeriod year(int year);
    static AnalysisPeriod month(int year, int month);
    // A range given the wrong way round is taken the right way round.
    static AnalysisPeriod range(const QDate &from, const QDate &to);
    static AnalysisPeriod whole();
    // The period of a kind that holds the day (Range: that one day).
    static AnalysisPeriod around(PeriodKind kind, const QDate &day);

    PeriodKind kind() const { return m_kind; }
    // The days covered; the whole book spans what its entries span (today
    // alone when it holds none).
    PeriodDates dates(const BookSpan &span) const;

    // Previous (-1) and next (+1): the year or month before or after; a
    // range of whole months moves by as many months, any other range by as
    // many days as it holds. The whole book does not move.
    bool canStep(int direction) const;
    AnalysisPeriod stepped(int direction) const;

    // "2024年", "2024年3月", "2024年1月1日 至 2024年3月31日", "全部记录".
    QString label() const;

    bool operator==(const AnalysisPeriod &) const = default;

private:
    AnalysisPeriod(PeriodKind kind, const QDate &from, const QDate &to);

    PeriodKind m_kind = PeriodKind::Year;
    QDate m_from;
    QDate m_to;
};

// The days the date boxes of the program take.
inline const QDate kFirstDay(1900, 1, 1);
inline const QDate kLastDay(9999, 12, 31);

} // namespace orv
