#include "query/CQueryDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "mainwnd/CLedgerDlg.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"
#include "items/CategoryStore.h"
#include "query/CAmountEdit.h"
#include "query/QueryResultFills.h"
#include "records/CRecordListCtrl.h"
#include "store/BookConnection.h"
#include "users/UserStore.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QWheelEvent>

#include <limits>

namespace {

// The short date form Chinese readers know: 2009/5/1.
QString ShortDateFormat()
{
    return QLocale(QLocale::Chinese, QLocale::China).dateFormat(QLocale::ShortFormat);
}

// The value of the leading digits of an amount box ("无限" and an empty
// box count as 0); a number too long for the box saturates.
qint64 LeadingNumber(const QString &text)
{
    qint64 n = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        const int digit = c.unicode() - u'0';
        if (n > (std::numeric_limits<qint64>::max() - digit) / 10)
            return std::numeric_limits<qint64>::max();
        n = n * 10 + digit;
    }
    return n;
}

// One wheel step on an amount: forward adds 1, backward takes 1 off unless
// that would go below floor (then the text stays as it is).
QString SteppedAmount(const QString &text, int delta, qint64 floor)
{
    const qint64 n = LeadingNumber(text);
    if (delta > 0)
        return QString::number(n < std::numeric_limits<qint64>::max() ? n + 1 : n);
    if (n >= floor + 1)
        return QString::number(n - 1);
    return text;
}

// Entering a box by keyboard puts the caret at the start of its text, with
// nothing selected.
bool MovesCaretOnEntry(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason ||
           reason == Qt::OtherFocusReason;
}

} // namespace

CQueryDlg::CQueryDlg(QWidget *parent)
    : QDialog(parent)
{
    const QDate today = QDate::currentDate();
    m_timeFrom = QDateTime(QDate(today.year(), today.month(), 1), QTime(0, 0));
    m_timeTo = QDateTime::currentDateTime();

    setObjectName(QStringLiteral("138"));
    setWindowTitle(QStringLiteral("综合查询统计"));
    setWindowIcon(AppIcon());
    setFont(DialogFont());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    CreateControls();
    OnInitDialog();
}

void CQueryDlg::CreateControls()
{
    const CDialogUnits du(font());
    setFixedSize(du.Size(207, 211));

    // Frames first, so the controls they frame lie above them.
    auto group = [&](const QString &title, int x, int y, int cx, int cy) {
        auto *box = new QGroupBox(title, this);
        box->setGeometry(du.Rect(x, y, cx, cy));
        return box;
    };
    group(QStringLiteral("范围"), 36, 4, 164, 30);
    group(QStringLiteral("查询方式"), 7, 37, 193, 28);
    group(QStringLiteral("设置查询条件"), 7, 68, 193, 116);

    auto *icon = new QLabel(this);
    icon->setPixmap(Picture(QStringLiteral(":/res/icons/query.svg"), QSize(32, 32)));
    icon->setGeometry(du.X(9), du.Y(9), 32, 32);
    icon->setAlignment(Qt::AlignCenter);

    auto radio = [&](int id, const QString &text, int x, int y, int cx) {
        auto *button = new QRadioButton(text, this);
        button->setObjectName(QString::number(id));
        button->setGeometry(du.Rect(x, y, cx, 10));
        return button;
    };
    m_pRangeGroup = new QButtonGroup(this);
    m_pRangeGroup->addButton(radio(1034, QStringLiteral("收支余"), 44, 17, 38), 0);
    m_pRangeGroup->addButton(radio(1035, QStringLiteral("收入"), 84, 17, 34), 1);
    m_pRangeGroup->addButton(radio(1036, QStringLiteral("支出"), 121, 17, 34), 2);
    m_pRangeGroup->addButton(radio(1037, QStringLiteral("借贷"), 158, 17, 34), 3);
    m_pMatchGroup = new QButtonGroup(this);
    m_pMatchGroup->addButton(radio(1098, QStringLiteral("精确查询"), 30, 50, 60), 0);
    m_pMatchGroup->addButton(radio(1099, QStringLiteral("模糊查询"), 118, 50, 60), 1);

    auto label = [&](const QString &text, QWidget *buddy, int x, int y, int cx) {
        auto *l = new QLabel(text, this);
        l->setGeometry(du.Rect(x, y, cx, 14));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        l->setBuddy(buddy);
        return l;
    };
    auto picker = [&](int id, const QString &description, int x, int y) {
        auto *edit = new QDateEdit(this);
        edit->setObjectName(QString::number(id));
        edit->setAccessibleDescription(description);
        edit->setGeometry(du.Rect(x, y, 62, 14));
        edit->setDisplayFormat(ShortDateFormat());
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit->setCalendarPopup(false);
        edit->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        edit->setWrapping(true);
        edit->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
        return edit;
    };
    auto amount = [&](int id, const QString &keepWord, const QString &description, int x, int y) {
        auto *edit = new CAmountEdit(keepWord, this);
        edit->setObjectName(QString::number(id));
        edit->setAccessibleDescription(description);
        edit->setGeometry(du.Rect(x, y, 62, 14));
        return edit;
    };
    auto combo = [&](int id, int y) {
        auto *box = new QComboBox(this);
        box->setObjectName(QString::number(id));
        box->setEditable(true);
        // What the user types is the criterion, exactly: no completion
        // that would quietly widen it, no typed text added to the list.
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(16);
        box->setGeometry(du.Rect(52, y, 140, 14));
        return box;
    };

    // Created in tab order: criteria top to bottom, then the buttons.
    m_pDateFromPicker = picker(1038, QStringLiteral("起始日期"), 52, 82);
    m_pDateToPicker = picker(1039, QStringLiteral("截止日期"), 130, 82);
    m_pMoneyFromEdit = amount(1051, QString(), QStringLiteral("最低金额"), 52, 102);
    m_pMoneyToEdit = amount(1052, orv::kUnlimited, QStringLiteral("最高金额"), 130, 102);
    m_pCategoryBox = combo(1082, 122);
    m_pRemarkBox = combo(1020, 142);
    m_pUserBox = combo(1086, 162);
    label(QStringLiteral("日   期："), m_pDateFromPicker, 16, 82, 36);
    label(QStringLiteral("至"), m_pDateToPicker, 118, 82, 10)->setAlignment(Qt::AlignCenter);
    label(QStringLiteral("金   额："), m_pMoneyFromEdit, 16, 102, 36);
    label(QStringLiteral("至"), m_pMoneyToEdit, 118, 102, 10)->setAlignment(Qt::AlignCenter);
    label(QStringLiteral("名   目："), m_pCategoryBox, 16, 122, 36);
    label(QStringLiteral("备   注："), m_pRemarkBox, 16, 142, 36);
    label(QStringLiteral("记录人："), m_pUserBox, 16, 162, 36);

    m_pQueryButton = new QPushButton(QStringLiteral("查询(&Q)"), this);
    m_pQueryButton->setObjectName(QStringLiteral("1"));
    m_pQueryButton->setGeometry(du.Rect(42, 190, 50, 15));
    m_pQueryButton->setDefault(true);
    auto *exitButton = new QPushButton(QStringLiteral("退出(&X)"), this);
    exitButton->setObjectName(QStringLiteral("2"));
    exitButton->setGeometry(du.Rect(115, 190, 50, 15));
    exitButton->setAutoDefault(false);

    // The wheel anywhere over the dialog is the dialog's, also over a picker
    // (it steps both pickers); only the drop-down boxes step their own choice.
    for (QWidget *part : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<QComboBox *>(part))
            part->installEventFilter(this);
    }

    connect(m_pQueryButton, &QPushButton::clicked, this, &CQueryDlg::OnOK);
    connect(exitButton, &QPushButton::clicked, this, &CQueryDlg::reject);
    connect(m_pRangeGroup, &QButtonGroup::idClicked, this, &CQueryDlg::OnRangeClicked);
    connect(m_pMoneyFromEdit, &CAmountEdit::FocusEntered, this, &CQueryDlg::OnMoneyFromSetFocus);
    connect(m_pMoneyFromEdit, &CAmountEdit::FocusLeft, this, &CQueryDlg::OnMoneyFromKillFocus);
    connect(m_pMoneyToEdit, &CAmountEdit::FocusEntered, this, &CQueryDlg::OnMoneyToSetFocus);
    connect(m_pMoneyToEdit, &CAmountEdit::FocusLeft, this, &CQueryDlg::OnMoneyToKillFocus);
}

void CQueryDlg::OnInitDialog()
{
    UpdateData(false);
    FillUserCombo();
    m_pUserBox->setCurrentIndex(0);
    m_pCategoryBox->addItem(orv::kSelectAll);
    m_pCategoryBox->setCurrentIndex(0);
    m_pRemarkBox->addItem(orv::kSelectAll);
    m_pRemarkBox->setCurrentIndex(0);
    m_pDateFromPicker->setFocus();
}

void CQueryDlg::UpdateData(bool save)
{
    if (save) {
        m_nRange = qMax(0, m_pRangeGroup->checkedId());
        m_nMatchMode = qMax(0, m_pMatchGroup->checkedId());
        m_timeFrom.setDate(m_pDateFromPicker->date());
        m_timeTo.setDate(m_pDateToPicker->date());
        m_strCategory = m_pCategoryBox->currentText();
        m_strUser = m_pUserBox->currentText();
        m_strRemark = m_pRemarkBox->currentText();
        m_strMoneyFrom = m_pMoneyFromEdit->text();
        m_strMoneyTo = m_pMoneyToEdit->text();
        return;
    }
    if (auto *button = m_pRangeGroup->button(m_nRange))
        button->setChecked(true);
    if (auto *button = m_pMatchGroup->button(m_nMatchMode))
        button->setChecked(true);
    m_pDateFromPicker->setDate(m_timeFrom.date());
    m_pDateToPicker->setDate(m_timeTo.date());
    m_pCategoryBox->setEditText(m_strCategory);
    m_pUserBox->setEditText(m_strUser);
    m_pRemarkBox->setEditText(m_strRemark);
    m_pMoneyFromEdit->setText(m_strMoneyFrom);
    m_pMoneyToEdit->setText(m_strMoneyTo);
}

void CQueryDlg::FillUserCombo()
{
    m_pUserBox->addItem(orv::kSelectAll);
    const auto conn = OpenBook(this);
    if (!conn)
        return;
    auto users = orv::UserStore::names(*conn);
    if (!CheckDb(this, users))
        return;
    m_pUserBox->addItems(*users);
}

void CQueryDlg::FillItemsCombo(orv::RecordKind kind)
{
    m_pCategoryBox->clear();
    m_pCategoryBox->addItem(orv::kSelectAll);
    m_pCategoryBox->setCurrentIndex(0);
    auto names = AppBook().categoryNames(kind);
    if (names)
        m_pCategoryBox->addItems(*names);
    m_pCategoryBox->setCurrentIndex(0);
    CheckDb(this, names);
}

void CQueryDlg::OnRangeClicked(int range)
{
    switch (range) {
    case 1: FillItemsCombo(orv::RecordKind::Income); break;
    case 2: FillItemsCombo(orv::RecordKind::Payout); break;
    case 3: FillItemsCombo(orv::RecordKind::Loan); break;
    default:
        // Income and expense have no categories in common to offer.
        m_pCategoryBox->clear();
        m_pCategoryBox->addItem(orv::kSelectAll);
        m_pCategoryBox->setCurrentIndex(0);
        break;
    }
}

orv::QueryCriteria CQueryDlg::Criteria()
{
    UpdateData(true);
    orv::QueryCriteria criteria;
    criteria.range = orv::rangeFromIndex(m_nRange).value_or(orv::QueryRange::IncomePayout);
    criteria.match = m_nMatchMode == 1 ? orv::MatchMode::Fuzzy : orv::MatchMode::Exact;
    criteria.dateFrom = m_timeFrom.date();
    criteria.dateTo = m_timeTo.date();
    criteria.moneyFrom = m_strMoneyFrom;
    criteria.moneyTo = m_strMoneyTo;
    criteria.category = m_strCategory;
    criteria.remark = m_strRemark;
    criteria.user = m_strUser;
    return criteria;
}

void CQueryDlg::OnOK()
{
    const orv::QueryCriteria criteria = Criteria();
    if (const auto problem = criteria.problem()) {
        ShowAttention(this, *problem);
        return;
    }
    m_query = criteria;
    ShowQueryResult(this, criteria);
}

bool CQueryDlg::FillIncomePayoutResult()
{
    return ::FillIncomePayoutResult(this, m_query);
}

bool CQueryDlg::FillIncomeResult()
{
    return FillSingleKindResult(this, m_query, orv::RecordKind::Income, QStringLiteral("收入金额"),
                                QStringLiteral("收入记录"));
}

bool CQueryDlg::FillPayoutResult()
{
    return FillSingleKindResult(this, m_query, orv::RecordKind::Payout, QStringLiteral("支出金额"),
                                QStringLiteral("支出记录"));
}

bool CQueryDlg::FillLoanResult()
{
    return FillSingleKindResult(this, m_query, orv::RecordKind::Loan, QStringLiteral("借贷总计"),
                                QStringLiteral("借贷记录"));
}

void CQueryDlg::OnMoneyFromSetFocus(Qt::FocusReason reason)
{
    if (MovesCaretOnEntry(reason))
        m_pMoneyFromEdit->setCursorPosition(0);
}

void CQueryDlg::OnMoneyFromKillFocus(Qt::FocusReason reason)
{
    if (reason == Qt::PopupFocusReason)
        return;
    if (m_pMoneyFromEdit->text().isEmpty())
        m_pMoneyFromEdit->setText(QStringLiteral("0"));
    m_strMoneyFrom = m_pMoneyFromEdit->text();
}

void CQueryDlg::OnMoneyToSetFocus(Qt::FocusReason reason)
{
    if (reason == Qt::PopupFocusReason)
        return;
    if (m_pMoneyToEdit->text() == orv::kUnlimited) {
        // Emptied for typing; leaving it empty brings "无限" back.
        m_pMoneyToEdit->clear();
        return;
    }
    if (MovesCaretOnEntry(reason))
        m_pMoneyToEdit->setCursorPosition(0);
}

void CQueryDlg::OnMoneyToKillFocus(Qt::FocusReason reason)
{
    if (reason == Qt::PopupFocusReason)
        return;
    if (m_pMoneyToEdit->text().isEmpty())
        m_pMoneyToEdit->setText(orv::kUnlimited);
    m_strMoneyTo = m_pMoneyToEdit->text();
}

void CQueryDlg::OnMouseWheel(int delta)
{
    const int step = delta > 0 ? 1 : -1;
    m_pDateFromPicker->stepBy(step);
    m_pDateToPicker->stepBy(step);
    if (m_pMoneyFromEdit->hasFocus()) {
        m_pMoneyFromEdit->setText(SteppedAmount(m_pMoneyFromEdit->text(), delta, 0));
        m_strMoneyFrom = m_pMoneyFromEdit->text();
    } else if (m_pMoneyToEdit->hasFocus()) {
        m_pMoneyToEdit->setText(SteppedAmount(m_pMoneyToEdit->text(), delta, 1));
        m_strMoneyTo = m_pMoneyToEdit->text();
    }
}

void CQueryDlg::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        // A sideways turn steps nothing.
        QDialog::wheelEvent(event);
        return;
    }
    OnMouseWheel(delta);
    event->accept();
}

bool CQueryDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && watched != this && watched->parent() == this) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return event->isAccepted();
    }
    return QDialog::eventFilter(watched, event);
}
