#pragma once

#include "analysis/AnalysisReport.h"
#include "query/QueryCriteria.h"

#include <QWidget>

#include <array>

class CAnalysisPage;
class CPeriodBar;
class QLabel;
class QTabWidget;

// The financial-analysis module: the period, one chart at a time on its
// tab with its figures beside it, and a line for remarks. The figures are
// read from the book as a chart is first shown and read again whenever the
// book changes while the module is on screen.
class CAnalysisView final : public QWidget
{
    Q_OBJECT

public:
    explicit CAnalysisView(QWidget *parent = nullptr);

    // Reads the figures of the chart on screen anew; a failure is told in a
    // message box.
    void Refresh();
    // Another period: its figures are read and drawn.
    void SetPeriod(const orv::AnalysisPeriod &period);
    const orv::AnalysisPeriod &Period() const { return m_period; }
    void SetCurrentChart(orv::AnalysisChart chart);
    orv::AnalysisChart CurrentChart() const;
    CAnalysisPage *Page(orv::AnalysisChart chart) const { return m_pages[size_t(chart)]; }
    CAnalysisPage *CurrentPage() const { return Page(CurrentChart()); }
    CPeriodBar *PeriodBar() const { return m_pPeriodBar; }
    const orv::AnalysisReport &Report() const { return m_report; }
    // Every chart's figures, for the workbook; false once the user has been
    // told why they could not be read.
    bool ComputeAll();
    // The tables' background: the user's list colour.
    void SetListColor(const QColor &color);
    // The remark under the charts.
    QString Note() const;

Q_SIGNALS:
    // A part of a chart was clicked: the query that lists its entries.
    void DrillDown(const orv::QueryCriteria &criteria);

private:
    enum class Voice { Tell, Quiet };
    // Reads the book's span and the chart on screen; false on failure.
    bool Read(Voice voice);
    bool ShowCurrent(Voice voice);
    bool Failed(Voice voice, const orv::DbError &error);
    void FollowBook();
    void OnBookMoved();

    orv::AnalysisPeriod m_period;
    orv::AnalysisReport m_report;
    CPeriodBar *m_pPeriodBar = nullptr;
    QTabWidget *m_pTabs = nullptr;
    QLabel *m_pNote = nullptr;
    std::array<CAnalysisPage *, orv::kAllCharts.size()> m_pages{};
    bool m_bRefreshPending = false;
    // The report has been read for the period at least once.
    bool m_bRead = false;
};
