#include "controls/CHyperLink.h"

#include "app/DesktopOpener.h"
#include "app/Prompter.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

// The hover check runs this often while the pointer is over the link.
constexpr int kHoverCheckMs = 100;

} // namespace

const QColor CHyperLink::kLinkColour(0, 0, 238);
const QColor CHyperLink::kVisitedColour(85, 26, 139);
const QColor CHyperLink::kHoverColour(255, 0, 0);

CHyperLink::CHyperLink(const QString &text, QWidget *parent)
    : QLabel(text, parent)
    , m_crLinkColour(kLinkColour)
    , m_crVisitedColour(kVisitedColour)
    , m_crHoverColour(kHoverColour)
{
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    // Reachable from the keyboard as well: Tab to it, Enter or Space opens it.
    setFocusPolicy(Qt::TabFocus);
    m_normalFont = font();
    m_normalFont.setUnderline(false);
    m_underlineFont = m_normalFont;
    m_underlineFont.setUnderline(true);
    SetUnderlinedFont(m_nUnderline == kUnderlineAlways);
    UpdateToolTip();
}

CHyperLink::~CHyperLink()
{
    m_timer.stop();
}

QUrl CHyperLink::TargetUrl(const QString &target)
{
    const QString trimmed = target.trimmed();
    if (trimmed.isEmpty())
        return {};
    if (trimmed.startsWith(QStringLiteral("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + trimmed, QUrl::TolerantMode);
    const QUrl url(trimmed, QUrl::StrictMode);
    // A scheme of one letter would be a drive, not a kind of address.
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(QFileInfo(trimmed).absoluteFilePath());
}

QString CHyperLink::ErrorText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred. ");
    case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\n"
                              "were being processed.");
    case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error (%1) occurred.").arg(code);
    }
}

void CHyperLink::SetLinkTarget(const QString &target)
{
    m_strLinkTarget = target;
    if (text().isEmpty())
        setText(target);
    PositionWindow();
    UpdateToolTip();
}

QString CHyperLink::GetLinkTarget() const
{
    return m_strLinkTarget.isEmpty() ? text() : m_strLinkTarget;
}

void CHyperLink::SetTipText(const QString &tip)
{
    m_strTipText = tip;
}

void CHyperLink::UpdateToolTip()
{
    setToolTip(m_strTipText.isEmpty() ? GetLinkTarget() : m_strTipText);
    setAccessibleDescription(GetLinkTarget());
}

void CHyperLink::SetUnderlineMode(int mode)
{
    if (mode != m_nUnderline) {
        SetUnderlinedFont(mode == kUnderlineAlways);
        update();
    }
    m_nUnderline = mode;
}

void CHyperLink::MarkVisited(bool visited)
{
    m_bVisited = visited;
    update();
}

void CHyperLink::SetColours(const QColor &link, const QColor &visited, const QColor &hover)
{
    m_crLinkColour = link;
    m_crVisitedColour = visited;
    m_crHoverColour = hover;
    update();
}

QColor CHyperLink::CurrentTextColour() const
{
    if (m_bOverControl)
        return m_crHoverColour;
    return m_bVisited ? m_crVisitedColour : m_crLinkColour;
}

void CHyperLink::SetUnderlinedFont(bool underlined)
{
    m_bSettingFont = true;
    setFont(underlined ? m_underlineFont : m_normalFont);
    m_bSettingFont = false;
}

void CHyperLink::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    // A font given from outside becomes the link's own, in both forms.
    if (event->type() == QEvent::FontChange && !m_bSettingFont) {
        m_normalFont = font();
        m_normalFont.setUnderline(false);
        m_underlineFont = m_normalFont;
        m_underlineFont.setUnderline(true);
        SetUnderlinedFont(m_nUnderline == kUnderlineAlways || (m_nUnderline == kUnderlineHover && m_bOverControl));
    }
}

void CHyperLink::PositionWindow()
{
    if (!m_bAdjustToFit)
        return;
    // The size of the text in its underlined form, plus the frame.
    const QSize textSize = QFontMetrics(m_underlineFont).size(0, text());
    const QMargins margins = contentsMargins();
    const QSize size(textSize.width() + margins.left() + margins.right() + 2 * margin(),
                     textSize.height() + margins.top() + margins.bottom() + 2 * margin());
    QRect place = geometry();
    const Qt::Alignment align = alignment();
    int left = place.left();
    if (align & Qt::AlignHCenter)
        left = place.left() + (place.width() - size.width()) / 2;
    else if (align & Qt::AlignRight)
        left = place.right() + 1 - size.width();
    int top = place.top();
    if (align & Qt::AlignVCenter)
        top = place.top() + (place.height() - size.height()) / 2;
    setGeometry(left, top, size.width(), size.height());
}

void CHyperLink::paintEvent(QPaintEvent *)
{
    // Transparent: the dialog's own background shows around the text.
    QPainter painter(this);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, CurrentTextColour());
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, int(alignment()), colours, isEnabled(), text(), QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void CHyperLink::mouseMoveEvent(QMouseEvent *event)
{
    QLabel::mouseMoveEvent(event);
    if (m_bOverControl)
        return;
    m_bOverControl = true;
    if (m_nUnderline == kUnderlineHover)
        SetUnderlinedFont(true);
    update();
    m_timer.start(kHoverCheckMs, this);
}

void CHyperLink::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QLabel::timerEvent(event);
        return;
    }
    // The pointer is checked rather than waited for: a leave can go unseen
    // when another window comes up over the link.
    if (rect().contains(mapFromGlobal(QCursor::pos())))
        return;
    m_bOverControl = false;
    m_timer.stop();
    if (m_nUnderline != kUnderlineAlways)
        SetUnderlinedFont(false);
    update();
}

void CHyperLink::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_bPressed = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_bPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_bPressed = false;
    if (!click) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    m_bOverControl = false;
    Q_EMIT clicked();
    Open();
}

void CHyperLink::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        event->accept();
        Open();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

bool CHyperLink::Open()
{
    const int failure = OpenTarget();
    if (failure == 0) {
        MarkVisited(true);
        return true;
    }
    ReportError(failure);
    update();
    return false;
}

int CHyperLink::OpenTarget() const
{
    const QUrl url = TargetUrl(GetLinkTarget());
    if (!url.isValid())
        return 2;
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return 2;
    // Only a target the desktop really opened counts: a link that found no
    // program stays unvisited and says so.
    const DesktopOpenOutcome outcome = OpenOnDesktop(url);
    if (outcome.opened)
        return 0;
    return outcome.notFound ? 2 : 31;
}

void CHyperLink::ReportError(int code)
{
    QApplication::beep();
    ShowMessage(window(), QStringLiteral("Unable to open hyperlink:\n\n") + ErrorText(code), QString(),
                MsgIcon::Exclamation, MsgButtons::Ok);
}
