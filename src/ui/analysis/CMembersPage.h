#pragma once

#include "analysis/CAnalysisPage.h"

// "家庭成员": what each member (记录人) took in and spent, a bar each,
// split by category; the table lists each member's categories.
class CMembersPage final : public CAnalysisPage
{
    Q_OBJECT

public:
    explicit CMembersPage(QWidget *parent = nullptr);
    void Show(const orv::AnalysisReport &report) override;

private:
    // A bar: whose, and whether it is the income or the expense.
    struct Bar
    {
        const orv::MemberRow *member = nullptr;
        bool income = false;
    };
    qsizetype BarCount() const;
    Bar BarAt(int position) const;
    // Hovering (open false) or clicking a part of a bar.
    void OnPart(int position, const orv::ShareSlice &part, bool income, bool open);

    orv::MemberFigures m_figures;
    orv::PeriodDates m_dates;
};
