#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QUrl>


// A text that behaves as a web link: drawn in link colours, underlined while
// the pointer is over it (or always, or never), a hand cursor and a tool tip
// naming its target; a click opens the target (a web address or a file)
// with the desktop's default program.
class CHyperLink final : public QLabel
{
    Q_OBJECT

public:
    // Underline modes.
    static constexpr int kUnderlineAlways = 1;
    static constexpr int kUnderlineNever = 0;
    static constexpr int kUnderlineHover = -1;

    explicit CHyperLink(const QString &text = QString(), QWidget *parent = nullptr);
    ~CHyperLink() override;

    // The target; an empty text shows the target. Fits the control to its
    // text and puts the tip (or the target) into the tool tip.
    void SetLinkTarget(const QString &target);
    // The target, or the text when no target was set.
    QString GetLinkTarget() const;
    // The tool tip from the next SetLinkTarget on; empty shows the target.
    void SetTipText(const QString &tip);
    QString GetTipText() const { return m_strTipText; }
    void SetUnderlineMode(int mode);
    int GetUnderlineMode() const { return m_nUnderline; }
    void MarkVisited(bool visited = true);
    bool IsVisited() const { return m_bVisited; }
    bool IsMouseOver() const { return m_bOverControl; }
    // Fits the control to its text whenever the target changes (on at start).
    void SetAutoSize(bool autoSize) { m_bAdjustToFit = autoSize; }

    void SetColours(const QColor &link, const QColor &visited, const QColor &hover);
    // The colour the text is drawn in now: hover, else visited, else link.
    QColor CurrentTextColour() const;
    // The font the text is drawn in now (underlined or not).
    bool IsUnderlined() const { return font().underline(); }

    // Opens the target as a click does. False, after a beep and the error
    // box, when it could not be opened.
    bool Open();

    // The address a target stands for: a web address as it is, anything
    // without a scheme (or with file:) a local file.
    static QUrl TargetUrl(const QString &target);
    // The text after "Unable to open hyperlink:\n\n" for a failure code.
    static QString ErrorText(int code);

    static const QColor kLinkColour;
    static const QColor kVisitedColour;
    static const QColor kHoverColour;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // 0 when the target opened, else the code of the failure.
    int OpenTarget() const;
    void ReportError(int code);
    void PositionWindow();
    void UpdateToolTip();
    void SetUnderlinedFont(bool underlined);

    QString m_strLinkTarget;
    QFont m_normalFont;
    QFont m_underlineFont;
    QColor m_crLinkColour;
    QColor m_crVisitedColour;
    QColor m_crHoverColour;
    bool m_bOverControl = false;
    bool m_bVisited = false;
    bool m_bPressed = false;
    int m_nUnderline = kUnderlineHover;
    bool m_bAdjustToFit = true;
    bool m_bSettingFont = false;
    QString m_strTipText;
    QBasicTimer m_timer;
};
