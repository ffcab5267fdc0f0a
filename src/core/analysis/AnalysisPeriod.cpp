#include "analysis/AnalysisPeriod.h"

#include "model/TextForms.h"

#include <utility>

namespace orv {

namespace {

QDate lastOfMonth(const QDate &day)
{
    return QDate(day.year(), day.month(), day.daysInMonth());
}

bool wholeMonths(const QDate &from, const QDate &to)
{
    return from.day() == 1 && to == lastOfMonth(to);
}

int monthsBetween(const QDate &from, const QDate &to)
{
    return (to.year() - from.year()) * 12 + to.month() - from.month() + 1;
}

} // namespace

AnalysisPeriod::AnalysisPeriod()
    : AnalysisPeriod(year(QDate::currentDate().year()))
{
}

AnalysisPeriod::AnalysisPeriod(PeriodKind kind, const QDate &from, const QDate &to)
    : m_kind(kind)
    , m_from(from)
    , m_to(to)
{
}

AnalysisPeriod AnalysisPeriod::year(int year)
{
    year = qBound(kFirstDay.year(), year, kLastDay.year());
    return {PeriodKind::Year, QDate(year, 1, 1), QDate(year, 12, 31)};
}

AnalysisPeriod AnalysisPeriod::month(int year, int month)
{
    const QDate first(qBound(kFirstDay.year(), year, kLastDay.year()), qBound(1, month, 12), 1);
    return {PeriodKind::Month, first, lastOfMonth(first)};
}

AnalysisPeriod AnalysisPeriod::range(const QDate &from, const QDate &to)
{
    QDate a = from.isValid() ? qBound(kFirstDay, from, kLastDay) : QDate::currentDate();
    QDate b = to.isValid() ? qBound(kFirstDay, to, kLastDay) : a;
    if (b < a)
        std::swap(a, b);
    return {PeriodKind::Range, a, b};
}

AnalysisPeriod AnalysisPeriod::whole()
{
    return {PeriodKind::Whole, {}, {}};
}

AnalysisPeriod AnalysisPeriod::around(PeriodKind kind, const QDate &day)
{
    switch (kind) {
    case PeriodKind::Year: return year(day.year());
    case PeriodKind::Month: return month(day.year(), day.month());
    case PeriodKind::Range: return range(day, day);
    case PeriodKind::Whole: return whole();
    }
    return whole();
}

PeriodDates AnalysisPeriod::dates(const BookSpan &span) const
{
    if (m_kind != PeriodKind::Whole)
        return {m_from, m_to};
    if (span.isEmpty())
        return {QDate::currentDate(), QDate::currentDate()};
    return {span.first, span.last};
}

bool AnalysisPeriod::canStep(int direction) const
{
    if (m_kind == PeriodKind::Whole || direction == 0)
        return false;
    return direction < 0 ? m_from > kFirstDay : m_to < kLastDay;
}

AnalysisPeriod AnalysisPeriod::stepped(int direction) const
{
    if (!canStep(direction))
        return *this;
    const int sign = direction < 0 ? -1 : 1;
    switch (m_kind) {
    case PeriodKind::Year: return year(m_from.year() + sign);
    case PeriodKind::Month: {
        const QDate first = m_from.addMonths(sign);
        return month(first.year(), first.month());
    }
    case PeriodKind::Range: {
        if (wholeMonths(m_from, m_to)) {
            const int months = monthsBetween(m_from, m_to) * sign;
            const QDate from = m_from.addMonths(months);
            return range(from, lastOfMonth(m_to.addMonths(months)));
        }
        const qint64 days = (m_from.daysTo(m_to) + 1) * sign;
        return range(m_from.addDays(days), m_to.addDays(days));
    }
    case PeriodKind::Whole: break;
    }
    return *this;
}

QString AnalysisPeriod::label() const
{
    switch (m_kind) {
    case PeriodKind::Year: return QStringLiteral("%1年").arg(m_from.year());
    case PeriodKind::Month: return QStringLiteral("%1年%2月").arg(m_from.year()).arg(m_from.month());
    case PeriodKind::Range: return dateText(m_from) + QStringLiteral(" 至 ") + dateText(m_to);
    case PeriodKind::Whole: return QStringLiteral("全部记录");
    }
    return {};
}

} // namespace orv
