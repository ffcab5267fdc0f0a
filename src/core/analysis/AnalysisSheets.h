#pragma once

#include "analysis/AnalysisReport.h"
#include "export/ChartWorkbook.h"

#include <QList>

namespace orv {

// The workbook of the financial analysis: one sheet per chart, each with
// the figures behind it and the spreadsheet's own chart over them. The
// report must hold every chart's figures (AnalysisReport::computeAll).
QList<WorkbookSheet> analysisSheets(const AnalysisReport &report);

} // namespace orv
