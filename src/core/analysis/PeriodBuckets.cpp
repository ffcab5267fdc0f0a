#include "analysis/PeriodBuckets.h"

#include "model/TextForms.h"

namespace orv {

namespace {

constexpr qint64 kMostDays = 31;
constexpr int kMostMonths = 36;

int monthIndex(const QDate &day)
{
    return day.year() * 12 + day.month() - 1;
}

} // namespace

PeriodBuckets::PeriodBuckets(const PeriodDates &dates)
    : m_dates(dates)
{
    if (!dates.first.isValid() || !dates.last.isValid() || dates.last < dates.first)
        return;
    const qint64 days = dates.first.daysTo(dates.last) + 1;
    const int months = monthIndex(dates.last) - monthIndex(dates.first) + 1;
    m_granularity = days <= kMostDays ? Granularity::Day : months <= kMostMonths ? Granularity::Month : Granularity::Year;
    QDate start = dates.first;
    while (start.isValid() && start <= dates.last) {
        QDate end;
        switch (m_granularity) {
        case Granularity::Day: end = start; break;
        case Granularity::Month: end = QDate(start.year(), start.month(), start.daysInMonth()); break;
        case Granularity::Year: end = QDate(start.year(), 12, 31); break;
        }
        m_buckets.append({start, qMin(end, dates.last)});
        start = end.addDays(1);
    }
}

qsizetype PeriodBuckets::indexOf(const QDate &day) const
{
    if (m_buckets.isEmpty() || !day.isValid() || !m_dates.contains(day))
        return -1;
    switch (m_granularity) {
    case Granularity::Day: return m_dates.first.daysTo(day);
    case Granularity::Month: return monthIndex(day) - monthIndex(m_dates.first);
    case Granularity::Year: return day.year() - m_dates.first.year();
    }
    return -1;
}

qsizetype PeriodBuckets::indexOfKey(const QVariant &key) const
{
    const QDate day = dayOfKey(key);
    if (!day.isValid())
        return -1;
    // A month's key names its first day, which may lie before a period
    // that starts within that month.
    if (m_granularity != Granularity::Day && day < m_dates.first && monthIndex(day) == monthIndex(m_dates.first))
        return 0;
    return indexOf(day);
}

QString PeriodBuckets::shortLabel(qsizetype i) const
{
    const Bucket &bucket = m_buckets.at(i);
    const bool oneYear = m_dates.first.year() == m_dates.last.year();
    switch (m_granularity) {
    case Granularity::Day:
        if (monthIndex(m_dates.first) == monthIndex(m_dates.last))
            return QStringLiteral("%1日").arg(bucket.first.day());
        return QStringLiteral("%1月%2日").arg(bucket.first.month()).arg(bucket.first.day());
    case Granularity::Month:
        if (oneYear)
            return QStringLiteral("%1月").arg(bucket.first.month());
        return QStringLiteral("%1年%2月").arg(bucket.first.year()).arg(bucket.first.month());
    case Granularity::Year: return QStringLiteral("%1年").arg(bucket.first.year());
    }
    return {};
}

QString PeriodBuckets::longLabel(qsizetype i) const
{
    const Bucket &bucket = m_buckets.at(i);
    switch (m_granularity) {
    case Granularity::Day: return dateText(bucket.first);
    case Granularity::Month: return QStringLiteral("%1年%2月").arg(bucket.first.year()).arg(bucket.first.month());
    case Granularity::Year: return QStringLiteral("%1年").arg(bucket.first.year());
    }
    return {};
}

QDate dayOfKey(const QVariant &key)
{
    if (key.typeId() == QMetaType::QDate)
        return key.toDate();
    if (key.typeId() == QMetaType::QDateTime)
        return key.toDateTime().date();
    const QString text = key.toString();
    if (text.size() >= 10)
        return QDate::fromString(text.left(10), Qt::ISODate);
    if (text.size() == 7)
        return QDate::fromString(text + QStringLiteral("-01"), Qt::ISODate);
    return {};
}

} // namespace orv
