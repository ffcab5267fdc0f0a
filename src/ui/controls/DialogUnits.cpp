#include "controls/DialogUnits.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

CDialogUnits::CDialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_nBaseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    m_nBaseY = metrics.height();
    if (m_nBaseX <= 0)
        m_nBaseX = 6;
    if (m_nBaseY <= 0)
        m_nBaseY = 13;
}

int CDialogUnits::X(int du) const
{
    return (du * m_nBaseX + 2) / 4;
}

int CDialogUnits::Y(int du) const
{
    return (du * m_nBaseY + 4) / 8;
}

QFont DialogFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(9.0);
    return font;
}

QString HeitiFamily()
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString &wanted : {QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("Noto Sans CJK SC"),
                                      QStringLiteral("WenQuanYi Zen Hei")}) {
            if (installed.contains(wanted, Qt::CaseInsensitive))
                return wanted;
        }
        return QApplication::font().family();
    }();
    return family;
}
