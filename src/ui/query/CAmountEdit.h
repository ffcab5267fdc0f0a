#pragma once

#include <QLineEdit>

// An amount box of the query dialog: it takes digits and nothing else
// (backspace, Delete and the caret keys still work), so whatever it holds
// reads as a whole number of yuan, or as the word the dialog put there
// ("无限"). Paste and drop are held to the same rule. A lone "0" gives way
// to the first digit typed, so that typing 5 never yields 50 or 05.
class CAmountEdit final : public QLineEdit
{
    Q_OBJECT

public:
    // keepWord: a word the program may show in the box ("无限"); the user
    // can replace it, never type it.
    explicit CAmountEdit(const QString &keepWord, QWidget *parent = nullptr);

    // True for a key that the box refuses: anything that would type a
    // character other than a digit, and the paste shortcut.
    static bool IsRefusedKey(const QKeyEvent *event);

Q_SIGNALS:
    void FocusEntered(Qt::FocusReason reason);
    void FocusLeft(Qt::FocusReason reason);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
