#include "export/SheetWriter.h"

#include "export/FilePlacement.h"
#include "settings/GbkText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>

namespace orv {

namespace {

SheetOutcome problem(SheetProblem kind, const QString &detail, SheetFailure failure = SheetFailure::None)
{
    return {kind, detail, failure};
}

// Rows written between two progress reports.
constexpr qsizetype kProgressEveryRows = 2000;

SheetFailure failureOf(lxw_error error)
{
    switch (error) {
    case LXW_NO_ERROR: return SheetFailure::None;
    case LXW_ERROR_MEMORY_MALLOC_FAILED: return SheetFailure::OutOfMemory;
    case LXW_ERROR_CREATING_XLSX_FILE: return SheetFailure::CannotCreateFile;
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE: return SheetFailure::TempFile;
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE: return SheetFailure::Compressing;
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED: return SheetFailure::TextTooLong;
    case LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED:
    case LXW_ERROR_INVALID_SHEETNAME_CHARACTER:
    case LXW_ERROR_SHEETNAME_START_END_APOSTROPHE:
    case LXW_ERROR_SHEETNAME_ALREADY_USED: return SheetFailure::BadSheetName;
    default: return SheetFailure::Internal;
    }
}

QString libraryText(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

// Writes the workbook to path (a new name).
PartWrite writeWorkbook(const QString &path, const SheetContent &content, const SheetProgress &progress)
{
    const QByteArray fileName = QFile::encodeName(path);
    lxw_workbook_options options = {};
    // Rows go to disk as they are written, so a list of a million rows
    // costs no more memory than one of ten.
    options.constant_memory = LXW_TRUE;
    lxw_workbook *workbook = workbook_new_opt(fileName.constData(), &options);
    if (!workbook)
        return {QStringLiteral("cannot start the workbook"), SheetFailure::OutOfMemory};

    PartWrite error;
    const QByteArray sheetName = content.sheetName.toUtf8();
    lxw_worksheet *sheet = nullptr;
    if (const lxw_error invalid = workbook_validate_sheet_name(workbook, sheetName.constData()); invalid != LXW_NO_ERROR)
        error = {libraryText(invalid), failureOf(invalid)};
    else
        sheet = workbook_add_worksheet(workbook, sheetName.constData());
    if (sheet) {
        for (int c = 0; c < content.columnWidths.size() && c < content.captions.size(); ++c)
            worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), content.columnWidths[c], nullptr);
        worksheet_freeze_panes(sheet, 1, 0);

        const int columns = int(content.captions.size());
        // write_string, never write_number: "12.50" and "007" stay the texts the list shows.
        auto put = [&](lxw_row_t row, int column, const QString &text) {
            if (text.isEmpty())
                return true; // an empty text is an empty cell
            const QByteArray bytes = text.toUtf8();
            const lxw_error written = worksheet_write_string(sheet, row, lxw_col_t(column), bytes.constData(), nullptr);
            if (written == LXW_NO_ERROR)
                return true;
            error = {QStringLiteral("%1 (row %2, column %3)").arg(libraryText(written)).arg(row + 1).arg(column + 1),
                     failureOf(written)};
            return false;
        };
        bool going = true;
        for (int c = 0; c < columns && going; ++c)
            going = put(0, c, cutToGbkBytes(content.captions[c], kMaxCaptionBytes));
        for (qsizetype r = 0; r < content.rowCount && going; ++r) {
            for (int c = 0; c < columns && going; ++c)
                going = put(lxw_row_t(r + 1), c, content.cell(r, c));
            if (going && progress && (r + 1) % kProgressEveryRows == 0 && r + 1 < content.rowCount &&
                !progress(r + 1, content.rowCount)) {
                error.cancelled = true;
                going = false;
            }
        }
        if (going && progress && !progress(content.rowCount, content.rowCount))
            error.cancelled = true;
    } else if (!error.failed()) {
        error = {QStringLiteral("cannot add the worksheet"), SheetFailure::Internal};
    }
    if (error.failed()) {
        // Nothing of a failed or stopped workbook is worth packing.
        lxw_workbook_free(workbook);
        return error;
    }
    // Closing writes the file and frees the workbook.
    errno = 0;
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR) {
        error = {libraryText(closed), failureOf(closed)};
        if (closed == LXW_ERROR_CREATING_XLSX_FILE && errno != 0)
            error.text += QStringLiteral(": ") + qt_error_string(errno);
    }
    return error;
}

} // namespace

QString cutToGbkBytes(const QString &text, int maxBytes)
{
    int used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const int bytes = text[i].unicode() < 0x80 ? 1 : int(encodeGbk(text.mid(i, length)).size());
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        i += length;
    }
    return text.left(i);
}

SheetOutcome writeSheet(const QString &path, const SheetContent &content, const SheetProgress &progress)
{
    if (content.rowCount + 1 > kMaxSheetRows)
        return problem(SheetProblem::TooManyRows, QString::number(content.rowCount));
    return placeNewFile(path, [&](const QString &part) { return writeWorkbook(part, content, progress); });
}

} // namespace orv
