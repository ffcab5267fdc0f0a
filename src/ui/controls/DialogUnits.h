#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

// Dialog sizes are given in dialog units: a quarter of the dialog font's
// average character width across, an eighth of its height down.
class CDialogUnits
{
public:
    explicit CDialogUnits(const QFont &font);
    int X(int du) const;
    int Y(int du) const;
    QSize Size(int cx, int cy) const { return {X(cx), Y(cy)}; }
    QRect Rect(int x, int y, int cx, int cy) const { return {X(x), Y(y), X(cx), Y(cy)}; }

private:
    int m_nBaseX;
    int m_nBaseY;
};

// The dialogs' font: the system's UI font at 9 points.
QFont DialogFont();
// The bold Chinese sans face for headings ("黑体" where it exists).
QString HeitiFamily();
