#include "analysis/CPeriodBar.h"

#include "model/TextForms.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>

namespace {

// The short date form Chinese readers know, as in the query dialog: 2009/5/1.
QString ShortDateFormat()
{
    return QLocale(QLocale::Chinese, QLocale::China).dateFormat(QLocale::ShortFormat);
}

QDateEdit *DateEdit(QWidget *parent, const QString &format, const QString &name)
{
    auto *edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(format);
    edit->setDateRange(orv::kFirstDay, orv::kLastDay);
    edit->setCalendarPopup(true);
    // The charts are read again when the typing is done, not at every digit.
    edit->setKeyboardTracking(false);
    return edit;
}

} // namespace

CPeriodBar::CPeriodBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("period"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto label = [this, layout](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        layout->addWidget(l);
        layout->addWidget(buddy);
        return l;
    };

    m_pKindBox = new QComboBox(this);
    m_pKindBox->setObjectName(QStringLiteral("kind"));
    m_pKindBox->addItems({QStringLiteral("按年"), QStringLiteral("按月"), QStringLiteral("时段"), QStringLiteral("全部记录")});
    label(QStringLiteral("期间(&T)："), m_pKindBox);

    m_pYearBox = new QSpinBox(this);
    m_pYearBox->setObjectName(QStringLiteral("year"));
    m_pYearBox->setRange(orv::kFirstDay.year(), orv::kLastDay.year());
    m_pYearBox->setSuffix(QStringLiteral("年"));
    m_pYearBox->setKeyboardTracking(false);
    m_yearParts = {label(QStringLiteral("年份(&Y)："), m_pYearBox), m_pYearBox};

    m_pMonthEdit = DateEdit(this, QStringLiteral("yyyy年M月"), QStringLiteral("month"));
    m_pMonthEdit->setCalendarPopup(false);
    m_monthParts = {label(QStringLiteral("月份(&O)："), m_pMonthEdit), m_pMonthEdit};

    m_pFromEdit = DateEdit(this, ShortDateFormat(), QStringLiteral("from"));
    m_pToEdit = DateEdit(this, ShortDateFormat(), QStringLiteral("to"));
    m_rangeParts = {label(QStringLiteral("从(&F)："), m_pFromEdit), m_pFromEdit,
                    label(QStringLiteral("至(&U)："), m_pToEdit), m_pToEdit};

    m_pPreviousButton = new QPushButton(style()->standardIcon(QStyle::SP_ArrowLeft), QStringLiteral("上一期(&P)"), this);
    m_pPreviousButton->setObjectName(QStringLiteral("previous"));
    m_pNextButton = new QPushButton(style()->standardIcon(QStyle::SP_ArrowRight), QStringLiteral("下一期(&N)"), this);
    m_pNextButton->setObjectName(QStringLiteral("next"));
    for (QPushButton *button : {m_pPreviousButton, m_pNextButton}) {
        button->setAutoDefault(false);
        layout->addWidget(button);
    }
    m_pDaysLabel = new QLabel(this);
    m_pDaysLabel->setObjectName(QStringLiteral("days"));
    layout->addSpacing(8);
    layout->addWidget(m_pDaysLabel, 1);

    connect(m_pKindBox, &QComboBox::activated, this, &CPeriodBar::OnKindChosen);
    connect(m_pYearBox, &QSpinBox::valueChanged, this, &CPeriodBar::OnControlsEdited);
    for (QDateEdit *edit : {m_pMonthEdit, m_pFromEdit, m_pToEdit})
        connect(edit, &QDateEdit::dateChanged, this, &CPeriodBar::OnControlsEdited);
    connect(m_pPreviousButton, &QPushButton::clicked, this, [this] { Choose(m_period.stepped(-1)); });
    connect(m_pNextButton, &QPushButton::clicked, this, [this] { Choose(m_period.stepped(1)); });
    SetPeriod(m_period, m_period.dates({}));
}

void CPeriodBar::SetPeriod(const orv::AnalysisPeriod &period, const orv::PeriodDates &dates)
{
    m_period = period;
    m_dates = dates;
    ShowControls();
}

void CPeriodBar::ShowControls()
{
    m_bShowing = true;
    const orv::PeriodKind kind = m_period.kind();
    m_pKindBox->setCurrentIndex(int(kind));
    m_pYearBox->setValue(m_dates.first.year());
    m_pMonthEdit->setDate(QDate(m_dates.first.year(), m_dates.first.month(), 1));
    m_pFromEdit->setDate(m_dates.first);
    m_pToEdit->setDate(m_dates.last);
    for (QWidget *part : m_yearParts)
        part->setVisible(kind == orv::PeriodKind::Year);
    for (QWidget *part : m_monthParts)
        part->setVisible(kind == orv::PeriodKind::Month);
    for (QWidget *part : m_rangeParts)
        part->setVisible(kind == orv::PeriodKind::Range);
    m_pPreviousButton->setEnabled(m_period.canStep(-1));
    m_pNextButton->setEnabled(m_period.canStep(1));
    m_pDaysLabel->setText(orv::dateText(m_dates.first) + QStringLiteral(" 至 ") + orv::dateText(m_dates.last));
    m_bShowing = false;
}

void CPeriodBar::OnKindChosen(int kind)
{
    const auto chosen = orv::PeriodKind(kind);
    if (chosen == m_period.kind())
        return;
    // The new kind starts from what is on screen: a range keeps the days
    // shown, a year or month takes today's if it lies among them.
    if (chosen == orv::PeriodKind::Range) {
        Choose(orv::AnalysisPeriod::range(m_dates.first, m_dates.last));
        return;
    }
    const QDate today = QDate::currentDate();
    Choose(orv::AnalysisPeriod::around(chosen, m_dates.contains(today) ? today : m_dates.first));
}

void CPeriodBar::OnControlsEdited()
{
    if (m_bShowing)
        return;
    switch (m_period.kind()) {
    case orv::PeriodKind::Year: Choose(orv::AnalysisPeriod::year(m_pYearBox->value())); break;
    case orv::PeriodKind::Month: {
        const QDate month = m_pMonthEdit->date();
        Choose(orv::AnalysisPeriod::month(month.year(), month.month()));
        break;
    }
    case orv::PeriodKind::Range: {
        QDate from = m_pFromEdit->date();
        QDate to = m_pToEdit->date();
        // The day just moved past the other one takes that one along.
        if (from > to) {
            if (sender() == m_pFromEdit)
                to = from;
            else
                from = to;
        }
        Choose(orv::AnalysisPeriod::range(from, to));
        break;
    }
    case orv::PeriodKind::Whole: break;
    }
}

void CPeriodBar::Choose(const orv::AnalysisPeriod &period)
{
    if (period == m_period) {
        ShowControls();
        return;
    }
    m_period = period;
    // The days follow once the owner knows them (the whole book's span).
    m_dates = period.dates({});
    ShowControls();
    Q_EMIT PeriodChosen(period);
}
