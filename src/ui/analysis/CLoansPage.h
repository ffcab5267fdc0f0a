#pragma once

#include "analysis/CAnalysisPage.h"

// "借贷往来": what others owe the family and what the family owes, as they
// stand at the end of each day, month or year, by the query module's loan
// rule, with the balance between them.
class CLoansPage final : public CAnalysisPage
{
    Q_OBJECT

public:
    explicit CLoansPage(QWidget *parent = nullptr);
    void Show(const orv::AnalysisReport &report) override;

private:
    QString PointTip(qsizetype index) const;

    orv::LoanFigures m_figures;
};
