#pragma once

#include "export/SheetWriter.h"
#include "model/Money.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace orv {

// A workbook of figures with the spreadsheet's own charts over them: a
// family opens it in LibreOffice or Excel and sees the charts, drawn from
// cells it can read, change and chart anew.

// A cell: a text, or a number the charts read (an amount shown with two
// decimals, a count, a share shown as a percentage).
struct WorkbookCell
{
    enum class Type { Empty, Text, Amount, Count, Share };
    Type type = Type::Empty;
    QString text;
    double number = 0.0;

    static WorkbookCell ofText(const QString &text) { return {Type::Text, text, 0.0}; }
    static WorkbookCell ofAmount(FenSum fen) { return {Type::Amount, {}, fenToDouble(fen)}; }
    static WorkbookCell ofCount(qint64 count) { return {Type::Count, {}, double(count)}; }
    // A share from 0 to 1 (shown as 0.0 % to 100.0 %).
    static WorkbookCell ofShare(double share) { return {Type::Share, {}, share}; }
};

// Captions over rows of cells, from its top-left cell (0-based).
struct WorkbookTable
{
    int row = 0;
    int column = 0;
    QStringList captions;
    QList<QList<WorkbookCell>> rows;
};

enum class WorkbookChartKind { Column, StackedColumn, Line, Pie };

// A chart over one table: the categories come from one of its columns, each
// series from another (named by its caption), over the table's first rows.
struct WorkbookChart
{
    WorkbookChartKind kind = WorkbookChartKind::Column;
    QString title;
    int table = 0;
    int categoryColumn = 0;
    QList<int> valueColumns;
    // Colours of the series (or of a pie's slices), 0xRRGGBB; the
    // spreadsheet's own where missing.
    QList<quint32> colors;
    // How many of the table's rows the chart covers; -1 all.
    int rowCount = -1;
    bool valueLabels = false;
    // Its top-left corner (cell) and its size in pixels.
    int row = 0;
    int column = 0;
    int width = 720;
    int height = 360;
};

struct WorkbookSheet
{
    QString name;
    // A line over everything: what the sheet shows, for which period.
    QString heading;
    // Widths in characters, from the first column; the default beyond.
    QList<double> columnWidths;
    QList<WorkbookTable> tables;
    QList<WorkbookChart> charts;
};

// Writes a new .xlsx of these sheets, all or nothing (FilePlacement).
SheetOutcome writeChartWorkbook(const QString &path, const QList<WorkbookSheet> &sheets);

} // namespace orv
