#include "backup/CAutoBackup.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/FileMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "app/WorkProgress.h"
#include "backup/AutoBackups.h"
#include "mainwnd/CommandGuards.h"
#include "settings/ProgramOptions.h"

#include <QDateTime>
#include <QDir>
#include <QWidget>

namespace BM = orv::BookMaintenance;

namespace {

const QString kWhatToDo =
    QStringLiteral("帐本本身没有受到影响。请检查备份文件夹是否可以写入、磁盘是否已满，"
                   "或用“管理数据库 → 导出备份数据库”手动备份一次。");

QString WithDetail(const QString &text, const QString &detail)
{
    return detail.trimmed().isEmpty() ? text : text + QStringLiteral("\n\n（%1）").arg(detail.trimmed());
}

QString FailureText(const orv::AutoBackups::Outcome &outcome)
{
    const QString folder = QDir::toNativeSeparators(outcome.folder);
    if (!outcome.folderMade.ok())
        return WithDetail(QStringLiteral("自动备份失败：无法建立备份文件夹“%1”。\n").arg(folder) + kWhatToDo,
                          outcome.folderMade.error);
    QString reason;
    switch (outcome.copy.problem) {
    case BM::Problem::CannotCopy:
        reason = QStringLiteral("无法在备份文件夹“%1”中写入备份文件（只读或磁盘已满）。").arg(folder);
        break;
    case BM::Problem::BookBusy:
        reason = QStringLiteral("帐本正在被其他程序写入，没能取得完整的一份。");
        break;
    case BM::Problem::Damaged:
        reason = QStringLiteral("帐本文件已损坏，读不出完整的一份。");
        break;
    case BM::Problem::CannotOpenBook:
        reason = QStringLiteral("帐本打不开。");
        break;
    default:
        break;
    }
    return WithDetail(QStringLiteral("自动备份失败!\n") + reason + u'\n' + kWhatToDo, outcome.copy.detail);
}

} // namespace

CAutoBackup::CAutoBackup(QWidget *window)
    : QObject(window)
    , m_pWindow(window)
{
    setObjectName(QStringLiteral("autoBackup"));
    orv::Book &book = AppBook();
    // Only this program's own changes: others' runs back up their own.
    connect(&book, &orv::Book::entryAdded, this, &CAutoBackup::NoteChange);
    connect(&book, &orv::Book::entryChanged, this, &CAutoBackup::NoteChange);
    connect(&book, &orv::Book::entriesRemoved, this, &CAutoBackup::NoteChange);
    connect(&book, &orv::Book::changed, this, &CAutoBackup::NoteChange);
}

void CAutoBackup::NoteChange()
{
    m_bChanged = true;
}

void CAutoBackup::RunEnds()
{
    if (!m_bChanged || m_bDone)
        return;
    m_bDone = true;
    const int keep = orv::ProgramOptions::load(g_strAppDir).backupsKept;
    if (keep <= 0)
        return;
    const ProgramDirGuard programDir;
    orv::AutoBackups::Outcome outcome;
    {
        const WaitCursor busy;
        CWorkProgress progress(m_pWindow, QStringLiteral("正在自动备份帐本……"), true);
        outcome = orv::AutoBackups::make(AppBookLocation(), g_strAppDir, keep, QDateTime::currentDateTime(),
                                         progress.Reporter());
    }
    // Stopped by the user, who would rather leave now: nothing was written.
    if (outcome.folderMade.ok() && outcome.copy.problem == BM::Problem::Cancelled)
        return;
    if (!outcome.ok()) {
        ShowMessage(m_pWindow, FailureText(outcome), QString(), MsgIcon::Stop);
        return;
    }
    ShowFileProblems(m_pWindow, QStringLiteral("自动备份已经完成，但较早的自动备份无法删除，备份文件夹会越来越大。"),
                     outcome.notRemoved);
}
