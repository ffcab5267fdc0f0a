// Each user's list colour: read at login, chosen with the colour dialog,
// kept in user/<name>.ini.

#include "app/FileMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "mainwnd/CLedgerDlg.h"
#include "settings/UserColorFile.h"

namespace {

QColor FromRgbValues(const orv::RgbValues &rgb)
{
    const quint32 bgr = rgb.composed();
    return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
}

} // namespace

void CLedgerDlg::LoadUserColor()
{
    const orv::RgbValues rgb = orv::UserColorFile(g_strAppDir, g_strCurUser).load();
    m_nRed = rgb.red;
    m_nGreen = rgb.green;
    m_nBlue = rgb.blue;
    m_crBack = FromRgbValues(rgb);
}

void CLedgerDlg::OnSetBackColor()
{
    const QColor chosen = Prompter().ChooseColor(this, QColor(115, 151, 234));
    if (chosen.isValid())
        m_crBack = QColor(chosen.red(), chosen.green(), chosen.blue());
    // Black cannot be stored: it reads back as "no colour".
    if (m_crBack == QColor(0, 0, 0))
        m_crBack = QColor(115, 151, 234);
    if (g_nModule >= 1 && g_nModule <= 5)
        SwitchToModule(g_nModule);
    m_nRed = m_crBack.red();
    m_nGreen = m_crBack.green();
    m_nBlue = m_crBack.blue();
    if (const orv::FileOutcome saved = orv::UserColorFile(g_strAppDir, g_strCurUser).save({m_nRed, m_nGreen, m_nBlue});
        !saved)
        ShowFileProblems(this, QStringLiteral("无法保存背景色，下次登录时仍将使用原来的颜色!"), {saved});
}
