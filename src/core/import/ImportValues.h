#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace orv {

// How the dates and amounts of other programs' files are read.

// Dates written a/b/yyyy: month first (America, many banks' exports) or
// day first (Britain, most of Europe). 03/04/2024 is March 4 or April 3.
enum class DateOrder { MonthFirst, DayFirst };

// A date in one of the forms files come with: 2024-02-29, 2024/2/29,
// 2024.2.29 (a time of day after it is left out), 2024年2月29日 (as this
// program's lists and exports show dates), 29.02.2024, and 02/29/2024 or
// 29/02/2024 by the order. nullopt when it is none of them or no real day.
std::optional<QDate> parseImportDate(QStringView text, DateOrder order);

// True when the text is a/b/yyyy that reads as two different days.
bool isAmbiguousDate(QStringView text);

// What the dates of a column tell about their order: one a/b/yyyy date
// with a > 12 is day first, one with b > 12 month first. nullopt when none
// decides (every such date reads both ways, or there is none).
std::optional<DateOrder> dateOrderOf(const QStringList &texts);

// A signed amount as files write it: 1234.5, 1,234.50 (thousands
// separators), ¥12 or ￥12, 12元, a leading minus (-12, ¥-12, -¥12) or
// brackets for a negative amount as accountants write it ((12.00)).
// nullopt when the text is not such an amount.
std::optional<double> parseImportAmount(QStringView text);

// Spreadsheet programs run a cell that starts with "=", "+", "-" or "@" as
// a formula; exported texts carry a "'" before such a start (and before a
// "'" of their own). Reading the file back takes that guard off again.
QString guardedCell(const QString &text);
QString unguardedCell(const QString &text);

} // namespace orv
