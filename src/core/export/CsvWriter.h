#pragma once

#include "export/SheetWriter.h"

namespace orv {

// One field as a CSV file holds it: in double quotes (a quote inside
// doubled) when it holds a comma, a quote, a line break or blanks at
// either end; with a "'" before a start that spreadsheet programs would
// run as a formula ("=", "+", "-", "@").
QString csvField(const QString &text);

// Writes the sheet as a CSV file that spreadsheet programs open with the
// Chinese shown right: UTF-8 with a byte-order mark, comma separated, CR LF
// line ends, captions first. Missing folders are made; the file is
// replaced all or nothing, so a failed or stopped export leaves an old one
// as it was.
SheetOutcome writeCsv(const QString &path, const SheetContent &content, const SheetProgress &progress = {});

} // namespace orv
