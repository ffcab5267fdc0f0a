#pragma once

#include "analysis/CAnalysisPage.h"

// "收支趋势": income and expense of each day, month or year as bars, that
// bar's balance and the running balance since the period began as lines.
class CTrendPage final : public CAnalysisPage
{
    Q_OBJECT

public:
    explicit CTrendPage(QWidget *parent = nullptr);
    void Show(const orv::AnalysisReport &report) override;

private:
    QString BarTip(qsizetype index, bool income) const;
    QString LineTip(qsizetype index, bool running) const;

    orv::TrendFigures m_figures;
};
