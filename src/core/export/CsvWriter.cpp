#include "export/CsvWriter.h"

#include "files/AtomicWrite.h"
#include "files/PrivateFiles.h"
#include "import/ImportValues.h"

#include <QFileInfo>

namespace orv {

namespace {

// Rows between two reports to the progress.
constexpr qsizetype kProgressStep = 1000;

SheetOutcome problem(SheetProblem kind, const QString &detail)
{
    SheetOutcome outcome;
    outcome.problem = kind;
    outcome.detail = detail;
    return outcome;
}

void appendRecord(QString &out, const QStringList &fields)
{
    bool first = true;
    for (const QString &field : fields) {
        if (!first)
            out += u',';
        first = false;
        out += csvField(field);
    }
    out += QStringLiteral("\r\n");
}

} // namespace

QString csvField(const QString &text)
{
    const QString guarded = guardedCell(text);
    const bool quote = guarded.contains(u',') || guarded.contains(u'"') || guarded.contains(u'\n') ||
                       guarded.contains(u'\r') || guarded.contains(u';') || guarded.contains(u'\t') ||
                       (!guarded.isEmpty() && (guarded.front().isSpace() || guarded.back().isSpace()));
    if (!quote)
        return guarded;
    QString quoted = guarded;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

SheetOutcome writeCsv(const QString &path, const SheetContent &content, const SheetProgress &progress)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!makePrivateFolder(folder))
        return problem(SheetProblem::CannotMakeFolder, folder);
    if (target.isDir())
        return problem(SheetProblem::CannotReplace, path);

    QString text;
    appendRecord(text, content.captions);
    const int columns = int(content.captions.size());
    QStringList fields;
    for (qsizetype row = 0; row < content.rowCount; ++row) {
        fields.clear();
        for (int column = 0; column < columns; ++column)
            fields.append(content.cell(row, column));
        appendRecord(text, fields);
        if ((row + 1) % kProgressStep == 0 && progress && !progress(row + 1, content.rowCount))
            return problem(SheetProblem::Cancelled, QString());
    }
    if (progress && !progress(content.rowCount, content.rowCount))
        return problem(SheetProblem::Cancelled, QString());
    const FileOutcome written = writeFileAtomically(target.absoluteFilePath(), "\xEF\xBB\xBF" + text.toUtf8());
    if (!written)
        return problem(SheetProblem::CannotWrite, written.error);
    return {};
}

} // namespace orv
