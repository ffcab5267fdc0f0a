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
    Cancelled,        // the caller stopped it; nothing was written
    CannotMakeFolder, // a folder on the way to the file could not be made
    CannotReplace,    // a file of that name is there and cannot be replaced
    TooManyRows,      // more rows than a worksheet holds
    CannotWrite,      // the workbook could not be written
};

// Why the spreadsheet library could not write the workbook, in terms the
// widgets can explain to the family.
enum class SheetFailure {
    None,
    OutOfMemory,
    CannotCreateFile, // the workbook file could not be made (permissions, a bad name)
    TempFile,         // the scratch files the rows go through (temp folder full or unwritable)
    Compressing,      // packing the workbook failed, usually a full disk
    TextTooLong,      // a cell holds more than a spreadsheet cell takes
    BadSheetName,
    Internal,         // the library refused a call of ours
};

struct SheetOutcome
{
    SheetProblem problem = SheetProblem::None;
    QString detail; // the library's own words, or the folder or file concerned
    SheetFailure failure = SheetFailure::None;
    bool ok() const { return problem == SheetProblem::None; }
};

// Told how many of the rows are written so far (from time to time, and once
// all are); answers false to stop the export.
using SheetProgress = std::function<bool(qsizetype written, qsizetype total)>;

// Writes a new .xlsx workbook holding the one sheet. Missing folders are
// made; an existing file is replaced only once the new workbook is
// complete, so a failed or stopped export leaves it as it was.
SheetOutcome writeSheet(const QString &path, const SheetContent &content, const SheetProgress &progress = {});

} // namespace orv
