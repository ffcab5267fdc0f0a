#pragma once

// Reads a workbook back through openpyxl, an implementation independent of
// the one that wrote it, so that the tests see what a spreadsheet program
// would see: sheet names, and per cell its type ("s" text, "n" number or
// empty, ...) and its value. The parts of the file (its charts) are read
// with Python's zipfile.

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <optional>

struct XlsxCell
{
    QString type;  // openpyxl's data_type: "s" text, "n" number or empty
    QString value; // the text; empty for an empty cell
    bool empty = true;
};

struct XlsxBook
{
    QStringList sheetNames;
    QList<QList<XlsxCell>> rows; // of the sheet read (the first, unless named)
    QString text(int row, int column) const
    {
        if (row >= rows.size() || column >= rows[row].size())
            return {};
        return rows[row][column].value;
    }
};

// A Python that has openpyxl (Debian's first, not a private one on PATH), or empty.
inline QString PythonWithOpenpyxl()
{
    static const QString found = [] {
        const QString name = QStringLiteral("python3");
        for (const QString &python : {QStandardPaths::findExecutable(name, {"/usr/bin"}), QStandardPaths::findExecutable(name)}) {
            QProcess probe;
            probe.start(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
            if (!python.isEmpty() && probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit &&
                probe.exitCode() == 0)
                return python;
        }
        return QString();
    }();
    return found;
}

inline std::optional<XlsxBook> ReadXlsx(const QString &path, QString *error = nullptr, const QString &sheet = QString())
{
    const QString python = PythonWithOpenpyxl();
    if (python.isEmpty()) {
        if (error)
            *error = QStringLiteral("no python3 with openpyxl");
        return std::nullopt;
    }
    static const char script[] = R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb[sys.argv[2]] if sys.argv[2] else wb.worksheets[0]
rows = []
for row in ws.iter_rows():
    rows.append([[c.data_type, None if c.value is None else (c.value if isinstance(c.value, str) else repr(c.value))]
                 for c in row])
print(json.dumps({"sheets": wb.sheetnames, "rows": rows}))
)";
    QProcess process;
    process.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), path, sheet});
    if (!process.waitForFinished(300000) || process.exitCode() != 0) {
        if (error)
            *error = QString::fromUtf8(process.readAllStandardError());
        return std::nullopt;
    }
    const QJsonObject root = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    XlsxBook book;
    for (const QJsonValue &name : root.value(QStringLiteral("sheets")).toArray())
        book.sheetNames << name.toString();
    for (const QJsonValue &rowValue : root.value(QStringLiteral("rows")).toArray()) {
        QList<XlsxCell> row;
        for (const QJsonValue &cellValue : rowValue.toArray()) {
            const QJsonArray pair = cellValue.toArray();
            XlsxCell cell;
            cell.type = pair.at(0).toString();
            cell.empty = pair.at(1).isNull();
            cell.value = pair.at(1).toString();
            row << cell;
        }
        book.rows << row;
    }
    return book;
}

// The parts of an .xlsx (a zip) by name, each with its text; empty when it
// cannot be read.
inline QHash<QString, QString> XlsxParts(const QString &path)
{
    const QString python = PythonWithOpenpyxl();
    if (python.isEmpty())
        return {};
    static const char script[] = R"(
import json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    print(json.dumps({n: z.read(n).decode("utf-8", "replace") for n in z.namelist()}))
)";
    QProcess process;
    process.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    QHash<QString, QString> parts;
    const QJsonObject root = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    for (auto it = root.begin(); it != root.end(); ++it)
        parts.insert(it.key(), it.value().toString());
    return parts;
}
