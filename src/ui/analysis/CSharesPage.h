#pragma once

#include "analysis/CAnalysisPage.h"

// "支出构成" and "收入构成": a kind's sum by category as a pie, largest
// first, the smallest folded into "其他"; every category in the table.
class CSharesPage final : public CAnalysisPage
{
    Q_OBJECT

public:
    CSharesPage(orv::RecordKind kind, QWidget *parent = nullptr);
    void Show(const orv::AnalysisReport &report) override;

private:
    QString SliceTip(const orv::ShareSlice &slice) const;

    orv::RecordKind m_kind;
    orv::CategoryFigures m_figures;
    orv::PeriodDates m_dates;
};
