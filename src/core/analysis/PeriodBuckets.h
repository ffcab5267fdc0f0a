#pragma once

#include "analysis/AnalysisPeriod.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

namespace orv {

// How finely a period is cut for the charts over time: by day up to a
// month, by month up to three years, by year beyond (a family's whole
// book of twenty years would be hundreds of thin bars otherwise).
enum class Granularity { Day, Month, Year };

// One bar of a chart over time: its days, cut to the period at both ends.
struct Bucket
{
    QDate first;
    QDate last;
    bool operator==(const Bucket &) const = default;
};

class PeriodBuckets
{
public:
    PeriodBuckets() = default;
    explicit PeriodBuckets(const PeriodDates &dates);

    Granularity granularity() const { return m_granularity; }
    const PeriodDates &dates() const { return m_dates; }
    qsizetype size() const { return m_buckets.size(); }
    const Bucket &at(qsizetype i) const { return m_buckets.at(i); }
    const QList<Bucket> &buckets() const { return m_buckets; }

    // The bucket a day falls in, -1 outside the period.
    qsizetype indexOf(const QDate &day) const;
    // The bucket of a key the engine grouped by (a day, or "yyyy-MM").
    qsizetype indexOfKey(const QVariant &key) const;

    // Under a bar: "5日" (or "3月5日" across months), "3月" (or "2024年3月"
    // across years), "2024年".
    QString shortLabel(qsizetype i) const;
    // In tool tips and tables: "2024年3月5日", "2024年3月", "2024年".
    QString longLabel(qsizetype i) const;

private:
    PeriodDates m_dates;
    Granularity m_granularity = Granularity::Month;
    QList<Bucket> m_buckets;
};

// The day a grouping key names: a date, or a "yyyy-MM-dd" or "yyyy-MM" text
// (the first of that month). Invalid when it names none.
QDate dayOfKey(const QVariant &key);

} // namespace orv
