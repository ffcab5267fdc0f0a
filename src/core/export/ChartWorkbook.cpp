#include "export/ChartWorkbook.h"

#include "export/FilePlacement.h"

#include <QFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <vector>

namespace orv {

namespace {

// The library's default chart is 480 × 288 pixels; ours are scaled from it.
constexpr double kDefaultChartWidth = 480.0;
constexpr double kDefaultChartHeight = 288.0;

QString libraryText(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

uint8_t chartType(WorkbookChartKind kind)
{
    switch (kind) {
    case WorkbookChartKind::Column: return LXW_CHART_COLUMN;
    case WorkbookChartKind::StackedColumn: return LXW_CHART_COLUMN_STACKED;
    case WorkbookChartKind::Line: return LXW_CHART_LINE;
    case WorkbookChartKind::Pie: return LXW_CHART_PIE;
    }
    return LXW_CHART_COLUMN;
}

// Writes one workbook; answers the error text, empty on success.
class WorkbookWriter
{
public:
    explicit WorkbookWriter(const QString &path)
        : m_fileName(QFile::encodeName(path))
        , m_workbook(workbook_new(m_fileName.constData()))
    {
    }

    QString write(const QList<WorkbookSheet> &sheets)
    {
        if (!m_workbook)
            return QStringLiteral("cannot start the workbook");
        makeFormats();
        for (const WorkbookSheet &sheet : sheets) {
            if (!writeSheet(sheet))
                break;
        }
        // Closing writes the file and frees the workbook, also after a failure.
        const lxw_error closed = workbook_close(m_workbook);
        if (m_error.isEmpty() && closed != LXW_NO_ERROR) {
            m_error = libraryText(closed);
            if (closed == LXW_ERROR_CREATING_XLSX_FILE && errno != 0)
                m_error += QStringLiteral(": ") + qt_error_string(errno);
        }
        return m_error;
    }

private:
    // Texts handed to the library must outlive the workbook, up to its close.
    const char *keep(const QString &text)
    {
        m_texts.push_back(text.toUtf8());
        return m_texts.back().constData();
    }

    bool check(lxw_error error, const QString &where)
    {
        if (error == LXW_NO_ERROR)
            return true;
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1 (%2)").arg(libraryText(error), where);
        return false;
    }

    void makeFormats()
    {
        m_heading = workbook_add_format(m_workbook);
        format_set_bold(m_heading);
        format_set_font_size(m_heading, 13);
        m_caption = workbook_add_format(m_workbook);
        format_set_bold(m_caption);
        format_set_bottom(m_caption, LXW_BORDER_THIN);
        format_set_bg_color(m_caption, 0xE8EEF9);
        m_amount = workbook_add_format(m_workbook);
        format_set_num_format(m_amount, "0.00");
        m_count = workbook_add_format(m_workbook);
        format_set_num_format(m_count, "0");
        m_share = workbook_add_format(m_workbook);
        format_set_num_format(m_share, "0.0%");
    }

    bool writeCell(lxw_worksheet *sheet, int row, int column, const WorkbookCell &cell, const QString &where)
    {
        const auto r = lxw_row_t(row);
        const auto c = lxw_col_t(column);
        switch (cell.type) {
        case WorkbookCell::Type::Empty: return true;
        case WorkbookCell::Type::Text:
            if (cell.text.isEmpty())
                return true;
            return check(worksheet_write_string(sheet, r, c, keep(cell.text), nullptr), where);
        case WorkbookCell::Type::Amount: return check(worksheet_write_number(sheet, r, c, cell.number, m_amount), where);
        case WorkbookCell::Type::Count: return check(worksheet_write_number(sheet, r, c, cell.number, m_count), where);
        case WorkbookCell::Type::Share: return check(worksheet_write_number(sheet, r, c, cell.number, m_share), where);
        }
        return true;
    }

    bool writeSheet(const WorkbookSheet &content)
    {
        const char *name = keep(content.name);
        if (const lxw_error invalid = workbook_validate_sheet_name(m_workbook, name); !check(invalid, content.name))
            return false;
        lxw_worksheet *sheet = workbook_add_worksheet(m_workbook, name);
        if (!sheet) {
            m_error = QStringLiteral("cannot add the worksheet %1").arg(content.name);
            return false;
        }
        for (int c = 0; c < content.columnWidths.size(); ++c)
            worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), content.columnWidths[c], nullptr);
        if (!content.heading.isEmpty() &&
            !check(worksheet_write_string(sheet, 0, 0, keep(content.heading), m_heading), content.name))
            return false;
        for (const WorkbookTable &table : content.tables) {
            for (int c = 0; c < table.captions.size(); ++c) {
                const QString &caption = table.captions[c];
                if (!caption.isEmpty() &&
                    !check(worksheet_write_string(sheet, lxw_row_t(table.row), lxw_col_t(table.column + c),
                                                  keep(caption), m_caption),
                           content.name))
                    return false;
            }
            for (int r = 0; r < table.rows.size(); ++r) {
                const QList<WorkbookCell> &cells = table.rows[r];
                for (int c = 0; c < cells.size(); ++c) {
                    if (!writeCell(sheet, table.row + 1 + r, table.column + c, cells[c], content.name))
                        return false;
                }
            }
        }
        for (const WorkbookChart &chart : content.charts) {
            if (!insertChart(sheet, name, content, chart))
                return false;
        }
        return true;
    }

    bool insertChart(lxw_worksheet *sheet, const char *sheetName, const WorkbookSheet &content,
                     const WorkbookChart &wanted)
    {
        if (wanted.table < 0 || wanted.table >= content.tables.size())
            return true;
        const WorkbookTable &table = content.tables[wanted.table];
        const int rows = wanted.rowCount < 0 ? int(table.rows.size()) : qMin(wanted.rowCount, int(table.rows.size()));
        // A chart of nothing is no chart: the empty table says it all.
        if (rows == 0 || wanted.valueColumns.isEmpty())
            return true;
        lxw_chart *chart = workbook_add_chart(m_workbook, chartType(wanted.kind));
        if (!chart) {
            m_error = QStringLiteral("cannot add a chart to %1").arg(content.name);
            return false;
        }
        if (!wanted.title.isEmpty())
            chart_title_set_name(chart, keep(wanted.title));
        const auto first = lxw_row_t(table.row + 1);
        const auto last = lxw_row_t(table.row + rows);
        const auto categories = lxw_col_t(table.column + wanted.categoryColumn);
        for (int s = 0; s < wanted.valueColumns.size(); ++s) {
            const auto column = lxw_col_t(table.column + wanted.valueColumns[s]);
            lxw_chart_series *series = chart_add_series(chart, nullptr, nullptr);
            if (!series) {
                m_error = QStringLiteral("cannot add a series to %1").arg(content.name);
                return false;
            }
            chart_series_set_categories(series, sheetName, first, categories, last, categories);
            chart_series_set_values(series, sheetName, first, column, last, column);
            chart_series_set_name_range(series, sheetName, lxw_row_t(table.row), column);
            colourSeries(series, wanted, s, rows);
            if (wanted.kind == WorkbookChartKind::Pie) {
                chart_series_set_labels(series);
                chart_series_set_labels_options(series, LXW_FALSE, LXW_TRUE, LXW_FALSE);
                chart_series_set_labels_percentage(series);
                chart_series_set_labels_leader_line(series);
            } else if (wanted.valueLabels) {
                chart_series_set_labels(series);
                chart_series_set_labels_num_format(series, "0.00");
            }
        }
        if (wanted.kind != WorkbookChartKind::Pie) {
            chart_axis_set_num_format(chart->y_axis, "0.00");
            // Below the plot even where the figures go below 0.
            chart_axis_set_label_position(chart->x_axis, LXW_CHART_AXIS_LABEL_POSITION_LOW);
            chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
        } else {
            chart_legend_set_position(chart, LXW_CHART_LEGEND_RIGHT);
        }
        lxw_chart_options options = {};
        options.x_scale = wanted.width / kDefaultChartWidth;
        options.y_scale = wanted.height / kDefaultChartHeight;
        return check(worksheet_insert_chart_opt(sheet, lxw_row_t(wanted.row), lxw_col_t(wanted.column), chart, &options),
                     content.name);
    }

    void colourSeries(lxw_chart_series *series, const WorkbookChart &wanted, int index, int rows)
    {
        if (wanted.kind == WorkbookChartKind::Pie) {
            if (wanted.colors.isEmpty())
                return;
            // One colour per slice.
            m_fills.emplace_back(std::vector<lxw_chart_fill>(size_t(rows)));
            m_points.emplace_back(std::vector<lxw_chart_point>(size_t(rows)));
            m_pointLists.emplace_back(std::vector<lxw_chart_point *>(size_t(rows) + 1, nullptr));
            auto &fills = m_fills.back();
            auto &points = m_points.back();
            auto &list = m_pointLists.back();
            for (int r = 0; r < rows; ++r) {
                fills[size_t(r)].color = wanted.colors[r % wanted.colors.size()];
                points[size_t(r)].fill = &fills[size_t(r)];
                list[size_t(r)] = &points[size_t(r)];
            }
            chart_series_set_points(series, list.data());
            return;
        }
        if (index >= wanted.colors.size())
            return;
        if (wanted.kind == WorkbookChartKind::Line) {
            lxw_chart_line line = {};
            line.color = wanted.colors[index];
            line.width = 2.25f;
            chart_series_set_line(series, &line);
            chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
            lxw_chart_fill marker = {};
            marker.color = wanted.colors[index];
            chart_series_set_marker_fill(series, &marker);
            return;
        }
        lxw_chart_fill fill = {};
        fill.color = wanted.colors[index];
        chart_series_set_fill(series, &fill);
    }

    QByteArray m_fileName;
    lxw_workbook *m_workbook = nullptr;
    lxw_format *m_heading = nullptr;
    lxw_format *m_caption = nullptr;
    lxw_format *m_amount = nullptr;
    lxw_format *m_count = nullptr;
    lxw_format *m_share = nullptr;
    std::vector<QByteArray> m_texts;
    std::vector<std::vector<lxw_chart_fill>> m_fills;
    std::vector<std::vector<lxw_chart_point>> m_points;
    std::vector<std::vector<lxw_chart_point *>> m_pointLists;
    QString m_error;
};

} // namespace

SheetOutcome writeChartWorkbook(const QString &path, const QList<WorkbookSheet> &sheets)
{
    return placeNewFile(path, [&sheets](const QString &part) { return PartWrite{WorkbookWriter(part).write(sheets)}; });
}

} // namespace orv
