#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace orv {

// Column captions were always cut to this many bytes of the Chinese code page.
inline constexpr int kMaxCaptionBytes = 29;
// Rows one worksheet holds, the caption row included.
inline constexpr qsizetype kMaxSheetRows = 1048576;

// The longest start of text that takes at most maxBytes in GBK, ending on
// a whole character.
QString cutToGbkBytes(const QString &text, int maxBytes);

// One worksheet: a row of captions, then rows of texts. Every cell is
// written as text, so amounts and dates stay exactly as the list shows them.
struct SheetContent
{
    QString sheetName;
    QStringList captions;
    // Widths of the columns in characters; empty leaves the default width.
    QList<double> columnWidths;
    qsizetype rowCount = 0;
    // The text of a row's cell, row 0 being the first row under the captions.
    std::function<QString(qsizetype row, int column)> cell;
};

enum class SheetProblem {
    None,
    CannotMakeFolder, // a folder on the way to the file could not be made
    CannotReplace,    // a file of that name is there and cannot be replaced
    TooManyRows,      // more rows than a worksheet holds
    CannotWrite,      // the workbook could not be written
};

struct SheetOutcome
{
    SheetProblem problem = SheetProblem::None;
    QString detail;
    bool ok() const { return problem == SheetProblem::None; }
};

// Writes a new .xlsx workbook holding the one sheet. Missing folders are
// made; an existing file is replaced only once the new workbook is
// complete, so a failed export leaves it as it was.
SheetOutcome writeSheet(const QString &path, const SheetContent &content);

} // namespace orv
