#pragma once

#include <QToolBar>

class QAction;

// The five large module buttons above the main window's client area: income
// and expense, then query, start screen and loans, in two groups. The
// button of the module on screen shows pressed and cannot be pressed again.
class CColorToolBar final : public QToolBar
{
    Q_OBJECT

public:
    explicit CColorToolBar(QWidget *parent = nullptr);

    // Makes the five buttons for the commands 32787, 32788, 32789, 32793 and
    // 32791 with their true-colour pictures.
    bool LoadToolBar();
    QAction *Button(int commandId) const;
    // The module's button pressed and disabled, the four others enabled.
    void ShowPressed(int commandId);

    // The tip of a button: the text after the line feed of its string.
    static QString TipText(int commandId);

Q_SIGNALS:
    void Command(int commandId);

private:
    QList<QAction *> m_buttons;
};
