#include "records/CRecordEntryDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"
#include "records/CAmountKeypadDlg.h"
#include "items/CategoryStore.h"
#include "store/BookConnection.h"
#include "model/TextForms.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFrame>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QWheelEvent>

namespace {

// One notch of an ordinary mouse wheel; touchpads report smaller steps,
// which add up to notches.
constexpr int kWheelNotch = 120;
const QSize kKeypadPictureSize(22, 20);

} // namespace

QString EntryProblemText(orv::EntryProblem problem)
{
    switch (problem) {
    case orv::EntryProblem::None: return {};
    case orv::EntryProblem::AmountEmpty: return QStringLiteral("金额一项不能为空!");
    case orv::EntryProblem::AmountNotNumber: return QStringLiteral("金额必须是一个数字!");
    case orv::EntryProblem::AmountNotPositive: return QStringLiteral("金额必须大于零!");
    case orv::EntryProblem::AmountTooLarge: return QStringLiteral("金额太大了，请检查输入的数字!");
    case orv::EntryProblem::ItemsTooLong:
        return QStringLiteral("名目太长了，最多只能有255个字节（约127个汉字）!");
    case orv::EntryProblem::RemarkTooLong:
        return QStringLiteral("备注太长了，最多只能有255个字节（约127个汉字）!");
    case orv::EntryProblem::UnstorableText: return orv::unstorableTextMessage();
    }
    return {};
}

CRecordEntryDlg::CRecordEntryDlg(orv::RecordKind kind, int okId, const QString &okText, QWidget *parent)
    : QDialog(parent)
    , m_nKind(int(kind))
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    BuildControls(okId, okText);
}

CRecordEntryDlg::~CRecordEntryDlg()
{
    CloseKeypad();
}

void CRecordEntryDlg::BuildControls(int okId, const QString &okText)
{
    const CDialogUnits du(font());
    setFixedSize(du.Size(174, 147));

    auto label = [&](const QString &text, const QRect &rect, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setGeometry(rect);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setBuddy(buddy);
        return l;
    };

    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(du.Rect(7, 7, 160, 104));

    m_pDate = new QDateEdit(this);
    m_pDate->setObjectName(QStringLiteral("1017"));
    // The short date of the Chinese desktop, stepped with the arrows (and the wheel).
    m_pDate->setDisplayFormat(QLocale(QLocale::Chinese, QLocale::China).dateFormat(QLocale::ShortFormat));
    m_pDate->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_pDate->setCalendarPopup(false);
    m_pDate->setWrapping(true);
    m_pDate->setGeometry(du.Rect(52, 18, 100, 14));
    label(QStringLiteral("日期："), du.Rect(14, 18, 36, 14), m_pDate);

    m_pItems = new QComboBox(this);
    m_pItems->setObjectName(QStringLiteral("1018"));
    m_pItems->setEditable(true);
    // What the user types is the category; it is never added to the box or
    // completed into another one.
    m_pItems->setInsertPolicy(QComboBox::NoInsert);
    m_pItems->setCompleter(nullptr);
    m_pItems->setMaxVisibleItems(12);
    m_pItems->setGeometry(du.Rect(52, 40, 100, 14));
    label(QStringLiteral("名目："), du.Rect(14, 40, 36, 14), m_pItems);

    m_pMoney = new QLineEdit(this);
    m_pMoney->setObjectName(QStringLiteral("1019"));
    // Only digits and the point are typed here; an input method would bypass
    // the key filter.
    m_pMoney->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_pMoney->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    m_pMoney->setGeometry(du.Rect(52, 62, 76, 14));
    m_pMoney->installEventFilter(this);
    label(QStringLiteral("金额："), du.Rect(14, 62, 36, 14), m_pMoney);
    auto *yuan = new QLabel(QStringLiteral("元"), this);
    yuan->setGeometry(du.Rect(131, 62, 10, 14));

    m_pKeypadButton = new QToolButton(this);
    m_pKeypadButton->setObjectName(QStringLiteral("1095"));
    m_pKeypadButton->setAccessibleName(QStringLiteral("小键盘"));
    m_pKeypadButton->setAutoRaise(true);
    m_pKeypadButton->setFocusPolicy(Qt::NoFocus);
    m_pKeypadButton->setIconSize(kKeypadPictureSize);
    m_pKeypadButton->setGeometry(du.Rect(143, 62, 14, 14).adjusted(-2, -2, 2, 2));
    connect(m_pKeypadButton, &QToolButton::clicked, this, &CRecordEntryDlg::OnKeypadButton);
    ShowKeypadPicture();

    m_pRemark = new QLineEdit(this);
    m_pRemark->setObjectName(QStringLiteral("1020"));
    m_pRemark->setGeometry(du.Rect(52, 84, 100, 14));
    label(QStringLiteral("备注："), du.Rect(14, 84, 36, 14), m_pRemark);

    m_pOk = new QPushButton(okText, this);
    m_pOk->setObjectName(QString::number(okId));
    m_pOk->setDefault(true);
    m_pOk->setGeometry(du.Rect(31, 122, 50, 16));
    connect(m_pOk, &QPushButton::clicked, this, [this] { OnOK(); });

    m_pExit = new QPushButton(QStringLiteral("退出(&X)"), this);
    m_pExit->setObjectName(QStringLiteral("2"));
    m_pExit->setAutoDefault(false);
    m_pExit->setGeometry(du.Rect(93, 122, 50, 16));
    connect(m_pExit, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(m_pDate, m_pItems);
    setTabOrder(m_pItems, m_pMoney);
    setTabOrder(m_pMoney, m_pRemark);
    setTabOrder(m_pRemark, m_pOk);
    setTabOrder(m_pOk, m_pExit);

    // The wheel works over the whole dialog, whichever control is under it.
    WatchWheel(this);
    for (QWidget *child : findChildren<QWidget *>())
        WatchWheel(child);
}

void CRecordEntryDlg::WatchWheel(QWidget *widget)
{
    if (widget != m_pMoney)
        widget->installEventFilter(this);
}

void CRecordEntryDlg::FillItems()
{
    auto items = AppBook().categoryNames(Kind());
    if (!CheckDb(this, items))
        return;
    m_pItems->addItems(*items);
}

void CRecordEntryDlg::SetKindTitle(const QString &verb)
{
    setWindowTitle(verb + orv::kindWord(Kind()) + QStringLiteral("记录"));
}

void CRecordEntryDlg::FocusAmount()
{
    m_pMoney->setFocus(Qt::OtherFocusReason);
    m_pMoney->selectAll();
}

bool CRecordEntryDlg::ReadForm(orv::EntryValues *values)
{
    const QString items = m_pItems->currentText();
    const QString remark = m_pRemark->text();
    m_tDate = m_pDate->date();
    double money = 0.0;
    const orv::EntryProblem problem = orv::checkEntryInput(m_pMoney->text(), items, remark, &money);
    if (problem != orv::EntryProblem::None) {
        ShowAttention(this, EntryProblemText(problem));
        // The field at fault gets the keyboard, so the user can mend it at once.
        switch (problem) {
        case orv::EntryProblem::ItemsTooLong: m_pItems->setFocus(); break;
        case orv::EntryProblem::RemarkTooLong: m_pRemark->setFocus(); break;
        default: FocusAmount(); break;
        }
        return false;
    }
    m_dMoney = money;
    m_strRemark = remark;
    values->date = m_tDate;
    values->items = items;
    values->money = money;
    values->remark = remark;
    values->user = g_strCurUser;
    return true;
}

void CRecordEntryDlg::ShowKeypadPicture()
{
    const QString picture = m_bKeypadShown ? QStringLiteral(":/res/pictures/keypad-open.svg")
                                           : QStringLiteral(":/res/pictures/keypad-closed.svg");
    const QPixmap pixmap = Picture(picture, kKeypadPictureSize);
    m_pKeypadButton->setIcon(QIcon(pixmap));
    // Without its picture the button still says what it does.
    m_pKeypadButton->setText(pixmap.isNull() ? QStringLiteral("⌨") : QString());
    m_pKeypadButton->setToolTip(m_bKeypadShown ? QStringLiteral("关闭小键盘") : QStringLiteral("打开小键盘"));
}

void CRecordEntryDlg::OnKeypadButton()
{
    m_bKeypadShown = !m_bKeypadShown;
    ShowKeypadPicture();
    if (m_bKeypadShown) {
        RecordPosition();
        auto *keypad = new CAmountKeypadDlg(this);
        keypad->m_nPosX = m_nPosX;
        keypad->m_nPosY = m_nPosY;
        connect(keypad, &CAmountKeypadDlg::KeypadKey, this, &CRecordEntryDlg::OnKeypadKey);
        m_pKeypad = keypad;
        keypad->OnInitDialog();
        // The keypad only clicks; the keyboard stays with the amount (where
        // the desktop activates every new window, this dialog takes it back).
        if (isVisible())
            activateWindow();
        m_pMoney->setFocus(Qt::OtherFocusReason);
    } else {
        CloseKeypad();
        m_pMoney->setFocus(Qt::OtherFocusReason);
    }
}

CAmountKeypadDlg *CRecordEntryDlg::Keypad() const
{
    return m_pKeypad.data();
}

void CRecordEntryDlg::CloseKeypad()
{
    if (m_pKeypad)
        delete m_pKeypad.data();
    m_pKeypad = nullptr;
    if (m_bKeypadShown) {
        m_bKeypadShown = false;
        if (m_pKeypadButton)
            ShowKeypadPicture();
    }
}

void CRecordEntryDlg::OnKeypadKey(int code)
{
    int key = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QString text;
    if (code >= 0 && code <= 9) {
        key = Qt::Key_0 + code;
        text = QString(QChar(u'0' + code));
    } else if (code == kKeypadPointCode) {
        key = Qt::Key_Period;
        modifiers = Qt::KeypadModifier;
        text = QStringLiteral(".");
    } else if (code == kKeypadBackspaceCode) {
        key = Qt::Key_Backspace;
        text = QString(QChar(8));
    } else {
        return;
    }
    // The keyboard comes back to the amount field (a click on the keypad's
    // background may have taken it), then the key goes there as if typed,
    // through the same filter as the keyboard's.
    // (isActiveWindow() counts the keypad's activation as this dialog's own.)
    if (isVisible() && QApplication::activeWindow() != this)
        activateWindow();
    m_pMoney->setFocus(Qt::OtherFocusReason);
    QCoreApplication::postEvent(m_pMoney, new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
}

void CRecordEntryDlg::OnWheelNotch(bool up)
{
    m_pDate->stepBy(up ? 1 : -1);
    if (m_pMoney->text().isEmpty())
        m_pMoney->setText(QStringLiteral("0"));
    if (focusWidget() == m_pMoney)
        m_pMoney->setText(orv::wheelAmountText(m_pMoney->text(), up));
}

bool CRecordEntryDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pMoney) {
        if (event->type() == QEvent::KeyPress) {
            // Digits, the point and editing keys; any other character is dropped.
            const QString text = static_cast<QKeyEvent *>(event)->text();
            for (QChar c : text) {
                if (c.isPrint() && !orv::isAmountCharacter(c))
                    return true;
            }
        } else if (event->type() == QEvent::InputMethod) {
            const QString text = static_cast<QInputMethodEvent *>(event)->commitString();
            for (QChar c : text) {
                if (!orv::isAmountCharacter(c))
                    return true;
            }
        }
    }
    if (event->type() == QEvent::Wheel) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this) {
            const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
            if (delta == 0)
                return true; // sideways scrolling steps nothing
            if ((delta > 0) != (m_nWheelRest > 0))
                m_nWheelRest = 0;
            m_nWheelRest += delta;
            while (m_nWheelRest >= kWheelNotch) {
                m_nWheelRest -= kWheelNotch;
                OnWheelNotch(true);
            }
            while (m_nWheelRest <= -kWheelNotch) {
                m_nWheelRest += kWheelNotch;
                OnWheelNotch(false);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CRecordEntryDlg::showEvent(QShowEvent *event)
{
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
    RecordPosition();
}

void CRecordEntryDlg::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    RecordPosition();
}

void CRecordEntryDlg::RecordPosition()
{
    const QPoint client = mapToGlobal(QPoint(0, 0));
    m_nPosX = client.x();
    m_nPosY = client.y();
}

void CRecordEntryDlg::done(int result)
{
    QDialog::done(result);
    CloseKeypad();
}
