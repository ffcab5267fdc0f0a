#pragma once

#include <QDialog>
#include <QPoint>

class QPushButton;

// The codes the keypad hands its owner: 0 to 9 for the digits, 11 for the
// decimal point, 12 for backspace (10 is never sent).
inline constexpr int kKeypadPointCode = 11;
inline constexpr int kKeypadBackspaceCode = 12;

// A small frameless keypad beside an entry dialog, for typing the amount
// with the mouse. It keeps no text: each button hands its code to the owner,
// which types the character into its amount field. Dragged by its
// background; Esc only hides it (the owner still counts it as open).
class CAmountKeypadDlg final : public QDialog
{
    Q_OBJECT

public:
    // owner: the entry dialog that receives the codes; it sets m_nPosX and
    // m_nPosY, then calls OnInitDialog.
    explicit CAmountKeypadDlg(QWidget *owner);

    // Places the keypad to the right of the owner's last position and shows
    // it without taking the keyboard from the owner.
    void OnInitDialog();

    QPushButton *Button(int id) const;

    // The owner's last position (screen coordinates of its client area).
    int m_nPosX = 0;
    int m_nPosY = 0;
    QWidget *m_pOwner;

Q_SIGNALS:
    void KeypadKey(int code);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPoint m_dragOffset;
    bool m_bDragging = false;
};
