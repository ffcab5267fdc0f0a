#include "records/CAmountKeypadDlg.h"

#include "controls/DialogUnits.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {

struct KeypadKeyDef
{
    int id;
    const char16_t *text;
    int code;
    int x, y; // dialog units
    const char16_t *spoken;
};

// Three columns, four rows: 7 8 9 / 4 5 6 / 1 2 3 / 0 . ←
constexpr KeypadKeyDef kKeys[] = {
    {1105, u"7", 7, 5, 5, nullptr},      {1106, u"8", 8, 25, 5, nullptr},   {1107, u"9", 9, 45, 5, nullptr},
    {1102, u"4", 4, 5, 21, nullptr},     {1103, u"5", 5, 25, 21, nullptr},  {1104, u"6", 6, 45, 21, nullptr},
    {1099, u"1", 1, 5, 37, nullptr},     {1100, u"2", 2, 25, 37, nullptr},  {1101, u"3", 3, 45, 37, nullptr},
    {1098, u"0", 0, 5, 53, nullptr},     {1108, u".", kKeypadPointCode, 25, 53, u"小数点"},
    {1013, u"←", kKeypadBackspaceCode, 45, 53, u"退格"},
};

constexpr int kKeyWidth = 17;  // dialog units
constexpr int kKeyHeight = 14;
constexpr int kPadWidth = 75;
constexpr int kPadHeight = 79;
// The keypad's place beside its owner and its size, in pixels.
constexpr int kOffsetX = 308;
constexpr int kOffsetY = 50;
constexpr int kGap = 4;
constexpr int kWidth = 128;
constexpr int kHeight = 136;

} // namespace

CAmountKeypadDlg::CAmountKeypadDlg(QWidget *owner)
    // The window system is told the keypad never takes the keyboard: a click
    // on it would otherwise make it the focused window, after the press had
    // already given the keyboard back to the amount field, and the digits
    // typed next would be lost.
    : QDialog(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_pOwner(owner)
{
    setObjectName(QStringLiteral("164"));
    setWindowTitle(QStringLiteral("小键盘"));
    setAccessibleName(QStringLiteral("小键盘"));
    setFont(DialogFont());
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating);

    const CDialogUnits du(font());
    // Larger system fonts would push the last row out of the keypad: it grows
    // with them instead.
    resize(qMax(kWidth, du.X(kPadWidth)), qMax(kHeight, du.Y(kPadHeight)));
    for (const KeypadKeyDef &key : kKeys) {
        auto *button = new QPushButton(QString::fromUtf16(key.text), this);
        button->setObjectName(QString::number(key.id));
        if (key.spoken)
            button->setAccessibleName(QString::fromUtf16(key.spoken));
        // The keyboard stays with the amount field; the keypad only clicks.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        button->setGeometry(du.Rect(key.x, key.y, kKeyWidth, kKeyHeight));
        const int code = key.code;
        connect(button, &QPushButton::clicked, this, [this, code] { Q_EMIT KeypadKey(code); });
    }
}

void CAmountKeypadDlg::OnInitDialog()
{
    // To the right of the owner; an owner made wider by a large system font
    // pushes the keypad further out rather than under it.
    int dx = kOffsetX;
    if (m_pOwner)
        dx = qMax(dx, m_pOwner->frameGeometry().right() + 1 + kGap - m_nPosX);
    move(m_nPosX + dx, m_nPosY + kOffsetY);
    show();
}

QPushButton *CAmountKeypadDlg::Button(int id) const
{
    return findChild<QPushButton *>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void CAmountKeypadDlg::paintEvent(QPaintEvent *)
{
    // A raised panel, as a captionless window with a dialog frame looks.
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, palette().window());
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(1, 1, r.width() - 3, 1);
    painter.drawLine(1, 1, 1, r.height() - 3);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(1, r.height() - 2, r.width() - 2, r.height() - 2);
    painter.drawLine(r.width() - 2, 1, r.width() - 2, r.height() - 2);
}

// The buttons take their own clicks; a press anywhere else drags the keypad.
void CAmountKeypadDlg::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    m_bDragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void CAmountKeypadDlg::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_bDragging || !(event->buttons() & Qt::LeftButton)) {
        QDialog::mouseMoveEvent(event);
        return;
    }
    move(event->globalPosition().toPoint() - m_dragOffset);
    event->accept();
}

void CAmountKeypadDlg::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_bDragging = false;
    QDialog::mouseReleaseEvent(event);
}
