#pragma once

#include <QImage>
#include <QToolBar>

class QAction;

// The six large module buttons above the main window's client area: income
// and expense, then query, analysis and start screen, then loans, in groups
// parted by separators. The button of the module on screen shows pressed and cannot
// be pressed again.
class CColorToolBar final : public QToolBar
{
    Q_OBJECT

public:
    explicit CColorToolBar(QWidget *parent = nullptr);

    // Makes the six buttons for the commands 32787, 32788, 32789, 32813,
    // 32793 and 32791, each 66 × 66 with its prompt as text, then gives them
    // their colour pictures (LoadColorImages).
    bool LoadToolBar();
    // The colour pictures of all buttons, the same for the normal, hot and
    // disabled state; the colour of a picture's lower-left pixel is
    // transparent. A button whose picture is missing keeps its text; false
    // when any is missing.
    bool LoadColorImages(int buttonWidth);
    QAction *Button(int commandId) const;
    // The module's button pressed and disabled, the others enabled.
    void ShowPressed(int commandId);

    // The tip of a button: the text after the line feed of its string.
    static QString TipText(int commandId);
    // The picture with every pixel of its lower-left pixel's colour made
    // transparent (white, for our pictures).
    static QImage MaskedImage(const QImage &image);

Q_SIGNALS:
    void Command(int commandId);

private:
    QList<QAction *> m_buttons;
};
