// The main window's small commands: login and log-off, exit, direct login,
// help and the two desktop tools.

#include "app/CLoginDlg.h"
#include "app/DesktopOpener.h"
#include "app/FileMessages.h"
#include "app/Globals.h"
#include "app/ProcessControl.h"
#include "app/Prompter.h"
#include "mainwnd/CLedgerDlg.h"
#include "settings/ProgramSettings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// The first of these programs found on the PATH, started detached.
// Starts the first of these programs found on the PATH; without any, tells
// the user what to install rather than leave a menu item that does nothing.
void StartFirstFound(QWidget *parent, std::initializer_list<const char *> programs, const QString &what)
{
    for (const char *name : programs) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty() && QProcess::startDetached(path, {}, g_strAppDir))
            return;
    }
    ShowMessage(parent,
                QStringLiteral("没有找到可用的%1程序。\n请先安装一个%1（例如 %2），再使用这个功能。")
                    .arg(what, QString::fromLatin1(*programs.begin())),
                QString(), MsgIcon::Information);
}

} // namespace

void CLedgerDlg::RunPendingLogin()
{
    if (!m_bLoginPending)
        return;
    m_bLoginPending = false;
    CLoginDlg login(this);
    login.exec();
    UpdateStatusTexts();
    LoadUserColor();
    SetTitle();
    update();
}

void CLedgerDlg::OnExit()
{
    done(0);
}

void CLedgerDlg::OnLogOff()
{
    const MsgResult answer = ShowMessage(this, QStringLiteral("真的要注销当前用户吗？"), QStringLiteral("注销"),
                                         MsgIcon::Question, MsgButtons::YesNo);
    if (answer != MsgResult::Yes)
        return;
    LogOffAndRestart();
}

void CLedgerDlg::LogOffAndRestart()
{
    if (m_bDirectLogin) {
        if (const orv::FileOutcome cleared = orv::ProgramSettings(g_strAppDir).clearDirectLogin(); !cleared)
            ShowFileProblems(this,
                             QStringLiteral("无法关闭直接登录，下次启动时仍会直接登录用户“%1”!").arg(g_strCurUser),
                             {cleared});
    }
    done(0);
    RestartProgram();
}

void CLedgerDlg::OnDirectLogin()
{
    const bool wanted = !m_bDirectLogin;
    // The menu shows what set.ini says: a setting that could not be saved
    // keeps its old state and check mark.
    if (const orv::FileOutcome saved = orv::ProgramSettings(g_strAppDir).save(wanted, g_strCurUser); !saved) {
        MenuCommand(32784)->setChecked(m_bDirectLogin);
        ShowFileProblems(this, QStringLiteral("无法保存直接登录的设置，设置没有改变!"), {saved});
        return;
    }
    m_bDirectLogin = wanted;
    MenuCommand(32784)->setChecked(m_bDirectLogin);
}

void CLedgerDlg::OnHelp()
{
    const QString page = QDir(g_strAppDir).filePath(QStringLiteral("Kestrune帮助.html"));
    if (!QFileInfo::exists(page)) {
        ShowMessage(this, QStringLiteral("找不到帮助文档“%1”。").arg(QDir::toNativeSeparators(page)), QString(),
                    MsgIcon::Information);
        return;
    }
    const DesktopOpenOutcome outcome = OpenOnDesktop(QUrl::fromLocalFile(page));
    if (outcome.opened)
        return;
    QString text = QStringLiteral("无法打开帮助文档“%1”：没有找到可以显示网页的程序。\n请先安装一个网页浏览器，再使用帮助。")
                       .arg(QDir::toNativeSeparators(page));
    if (!outcome.detail.isEmpty())
        text += QStringLiteral("\n\n（") + outcome.detail + QStringLiteral("）");
    ShowMessage(this, text, QString(), MsgIcon::Information);
}

void CLedgerDlg::OnNotepad()
{
    StartFirstFound(this,
                    {"gnome-text-editor", "gedit", "kwrite", "kate", "mousepad", "pluma", "xed", "featherpad",
                     "leafpad", "xedit"},
                    QStringLiteral("文本编辑"));
}

void CLedgerDlg::OnCalculator()
{
    StartFirstFound(this,
                    {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "qalculate-qt", "xcalc"},
                    QStringLiteral("计算器"));
}
