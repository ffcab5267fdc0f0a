#pragma once

#include "analysis/AnalysisReport.h"
#include "query/QueryCriteria.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class QChart;
class QChartView;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

// One chart of the financial analysis with its figures in a table beside
// it. A bar, a slice, a point or a row leads to the query module showing
// that part's entries (DrillDown); hovering one tells its figure.
class CAnalysisPage : public QWidget
{
    Q_OBJECT

public:
    CAnalysisPage(orv::AnalysisChart chart, QWidget *parent = nullptr);

    orv::AnalysisChart ChartKind() const { return m_chart; }
    // Draws the chart and fills the table from the report's figures of
    // this chart (which must have been computed).
    virtual void Show(const orv::AnalysisReport &report) = 0;

    QChartView *ChartView() const { return m_pView; }
    QChart *Chart() const;
    QTreeWidget *Figures() const { return m_pFigures; }
    // The table's background: the user's list colour.
    void SetListColor(const QColor &color);
    // Where a row of the table leads, if anywhere.
    std::optional<orv::QueryCriteria> RowCriteria(const QTreeWidgetItem *row) const;
    // The tip last shown over the chart.
    const QString &LastTip() const { return m_strLastTip; }

Q_SIGNALS:
    void DrillDown(const orv::QueryCriteria &criteria);

protected:
    // A new, empty chart in place of the last one: its name over the
    // period it covers (and a remark such as "这一期间没有收支记录").
    QChart *NewChart(const QString &name, const QString &period, const QString &remark = QString());
    // After filling the table: it gets the width its columns need, the
    // chart the rest (unless the user has moved the divider).
    void FitFigures();
    // A legend of many entries beside the chart, in a smaller type.
    static void CompactLegend(QChart *chart);
    // The table's columns; all but the first hold amounts and align right.
    void SetCaptions(const QStringList &captions);
    // A row of the table (under parent, or at the top); a row with criteria leads there.
    QTreeWidgetItem *AddRow(QTreeWidgetItem *parent, const QStringList &texts,
                            const std::optional<orv::QueryCriteria> &criteria, bool emphasised = false);
    void ClearRows();
    // Shows a tip at the mouse; an empty text hides it.
    void ShowTip(const QString &text);
    // Leads to the criteria (a part without its own criteria leads nowhere).
    void Open(const std::optional<orv::QueryCriteria> &criteria);

    // "1234.50元"
    static QString Yuan(orv::FenSum fen);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    orv::AnalysisChart m_chart;
    QSplitter *m_pSplitter = nullptr;
    bool m_bSplitByUser = false;
    QChartView *m_pView = nullptr;
    QTreeWidget *m_pFigures = nullptr;
    QHash<const QTreeWidgetItem *, orv::QueryCriteria> m_rowCriteria;
    QString m_strLastTip;
};
