#pragma once

#include "analysis/AnalysisPeriod.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QSpinBox;

// The period the charts cover: its kind (按年, 按月, 时段, 全部记录), the
// year, the month or the two days of a range, the previous and the next
// period, and the days it covers in words.
class CPeriodBar final : public QWidget
{
    Q_OBJECT

public:
    explicit CPeriodBar(QWidget *parent = nullptr);

    // Shows a period and the days it covers (without announcing it).
    void SetPeriod(const orv::AnalysisPeriod &period, const orv::PeriodDates &dates);
    const orv::AnalysisPeriod &Period() const { return m_period; }

    QComboBox *KindBox() const { return m_pKindBox; }
    QSpinBox *YearBox() const { return m_pYearBox; }
    QDateEdit *MonthEdit() const { return m_pMonthEdit; }
    QDateEdit *FromEdit() const { return m_pFromEdit; }
    QDateEdit *ToEdit() const { return m_pToEdit; }
    QPushButton *PreviousButton() const { return m_pPreviousButton; }
    QPushButton *NextButton() const { return m_pNextButton; }
    QLabel *DaysLabel() const { return m_pDaysLabel; }

Q_SIGNALS:
    // The user chose another period.
    void PeriodChosen(const orv::AnalysisPeriod &period);

private:
    void OnKindChosen(int kind);
    void OnControlsEdited();
    void Choose(const orv::AnalysisPeriod &period);
    void ShowControls();

    orv::AnalysisPeriod m_period;
    orv::PeriodDates m_dates;
    bool m_bShowing = false;
    QComboBox *m_pKindBox = nullptr;
    QSpinBox *m_pYearBox = nullptr;
    QDateEdit *m_pMonthEdit = nullptr;
    QDateEdit *m_pFromEdit = nullptr;
    QDateEdit *m_pToEdit = nullptr;
    QPushButton *m_pPreviousButton = nullptr;
    QPushButton *m_pNextButton = nullptr;
    QLabel *m_pDaysLabel = nullptr;
    QList<QWidget *> m_yearParts;
    QList<QWidget *> m_monthParts;
    QList<QWidget *> m_rangeParts;
};
