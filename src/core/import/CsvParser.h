#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace orv {

// One record of a CSV text: its fields, and the line of the file on which
// it starts (a quoted field may hold line breaks, so records and lines
// are not the same).
struct CsvRecord
{
    int line = 0; // 1-based
    QStringList fields;
};

// The separators CSV files use: comma, semicolon (where the comma is the
// decimal sign) and tab.
inline constexpr QChar kCsvSeparators[] = {u',', u';', u'\t'};

// Splits a CSV text into records. A field that starts with a double quote
// runs to the next lone double quote: separators and line breaks inside it
// belong to it, and a doubled quote stands for one. Lines end in LF, CR LF
// or CR. Blank lines are no records.
QList<CsvRecord> parseCsv(QStringView text, QChar separator);

// The separator that cuts the first records into the same number of fields,
// more than one; a comma when none does.
QChar guessSeparator(QStringView text);

} // namespace orv
