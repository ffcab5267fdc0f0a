#pragma once

#include <QByteArray>
#include <QString>

class CAnalysisView;
class QChartView;
class QWidget;

// The chart on screen as a picture: a PNG at twice the screen's pixels (so
// that it prints sharp), or an SVG drawing of the same.
QByteArray ChartPng(QChartView *view);
QByteArray ChartSvg(QChartView *view, const QString &title);

// "保存图片(&P)...": the chart on screen into a PNG or SVG file the user
// names (the file's ending decides which).
void SaveChartPicture(QWidget *parent, CAnalysisView &view);
// "生成Excel表(&E)...": every chart's figures into a workbook with the
// spreadsheet's own charts.
void SaveAnalysisWorkbook(QWidget *parent, CAnalysisView &view);
