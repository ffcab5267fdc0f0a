#include "mainwnd/CLedgerDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "app/WorkProgress.h"
#include "backup/AutoBackups.h"
#include "mainwnd/CommandGuards.h"
#include "mainwnd/MaintenanceCommands.h"
#include "store/BookFile.h"
#include "book/BookMaintenance.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace BM = orv::BookMaintenance;

namespace {

const QString kRestoreQuestion =
    QStringLiteral("进行数据恢复操作后，现有数据将会被全部覆盖，是否继续数据恢复操作？");
const QString kNewBookQuestion =
    QStringLiteral("为防止旧账丢失，创建新账前请先对旧账进行保存!\n\n选择“是”先保存旧账再创建新账；\t\t\n\n"
                   "选择“否”直接创建新账；\n\n选择“取消”取消本次操作。");

// A restore most often takes the newest automatic backup: it starts there.
QString RestoreFolder()
{
    const QString backups = orv::AutoBackups::folderFor(AppBookLocation(), g_strAppDir);
    return QFileInfo(backups).isDir() ? backups : g_strAppDir;
}

FileDialogRequest BookFileDialog(const QString &title, bool save)
{
    FileDialogRequest request;
    request.title = title;
    request.proposedPath =
        save ? QDir(g_strAppDir).filePath(BM::backupFileName(QDate::currentDate())) : RestoreFolder();
    request.filters = {QStringLiteral("数据库文件 (*.ovd)")};
    request.defaultSuffix = QStringLiteral("ovd");
    request.save = save;
    return request;
}

enum class Command { Backup, SaveOldBook, Restore, NewBook };

QString Lead(Command command)
{
    switch (command) {
    case Command::Backup: return QStringLiteral("数据库备份失败!");
    case Command::SaveOldBook: return QStringLiteral("旧账保存失败，没有创建新账!");
    case Command::Restore: return QStringLiteral("数据库恢复失败，现有数据没有改变!");
    case Command::NewBook: return QStringLiteral("创建新账失败，现有数据没有改变!");
    }
    return {};
}

QString WithDetail(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : text + QStringLiteral("\n\n（%1）").arg(detail);
}

// Tells the user why a whole-book command did not go through. file is the
// file the user chose (backup target or restore source).
void ShowProblem(QWidget *parent, const BM::Outcome &outcome, Command command, const QString &file)
{
    const QString name = QDir::toNativeSeparators(file);
    const bool fromTemplate = command == Command::NewBook;
    switch (outcome.problem) {
    case BM::Problem::None:
        return;
    case BM::Problem::Cancelled:
        return; // the user stopped it, and knows
    case BM::Problem::IsTemplate:
        ShowAttention(parent, QStringLiteral("不能把备份保存到空帐本文件NewBook.ovd上（每个新账都是从它复制的），请另选一个文件名!"));
        return;
    case BM::Problem::SameAsBook:
        if (command == Command::Restore)
            ShowAttention(parent, QStringLiteral("试图用原数据库进行恢复,操作失败!"));
        else
            ShowAttention(parent, QStringLiteral("不能把备份保存到正在使用的数据库文件上，请另选一个文件名!"));
        return;
    case BM::Problem::SourceMissing:
        ShowAttention(parent, fromTemplate
                                  ? QStringLiteral("找不到空帐本文件NewBook.ovd（或无法读取），无法创建新账!\n现有数据没有改变。")
                                  : QStringLiteral("找不到或无法读取文件“%1”，操作失败!").arg(name));
        return;
    case BM::Problem::NotABook:
        ShowAttention(parent, fromTemplate
                                  ? QStringLiteral("空帐本文件NewBook.ovd不是有效的帐本数据库，无法创建新账!\n现有数据没有改变。")
                                  : QStringLiteral("文件“%1”不是帐本数据库，不能用它进行恢复!").arg(name));
        return;
    case BM::Problem::Damaged:
        if (command == Command::Backup || command == Command::SaveOldBook)
            break;
        ShowAttention(parent, WithDetail(fromTemplate
                                             ? QStringLiteral("空帐本文件NewBook.ovd已损坏，无法创建新账!\n现有数据没有改变。")
                                             : QStringLiteral("文件“%1”已损坏，不能用它进行恢复!").arg(name),
                                         outcome.detail));
        return;
    case BM::Problem::CannotOpenBook:
        ShowDbError(parent, orv::DbError::cannotOpen(outcome.detail));
        return;
    default:
        break;
    }
    QString reason;
    switch (outcome.problem) {
    case BM::Problem::Damaged: reason = QStringLiteral("数据库文件已损坏。"); break;
    case BM::Problem::CannotCarryUsers: reason = QStringLiteral("无法转存现有用户。"); break;
    case BM::Problem::CannotCopy:
        reason = command == Command::Backup || command == Command::SaveOldBook
                     ? QStringLiteral("无法写入文件“%1”（文件夹不存在、只读或磁盘已满）。").arg(name)
                     : QStringLiteral("无法在程序文件夹中写入新的数据库文件（文件夹只读或磁盘已满）。");
        break;
    case BM::Problem::BookBusy: reason = QStringLiteral("数据库正在被其他程序写入，请稍后再试。"); break;
    case BM::Problem::CannotSwap: reason = QStringLiteral("无法替换数据库文件。"); break;
    default: break;
    }
    ShowMessage(parent, WithDetail(Lead(command) + u'\n' + reason, outcome.detail), QString(), MsgIcon::Stop);
}

// Where the replaced book went when the Trash would not take it.
QString KeptBookNote(const BM::Outcome &outcome)
{
    if (outcome.oldBookInTrash || outcome.oldBookPath.isEmpty())
        return {};
    return QStringLiteral("原数据库无法移入回收站，已保留为“%1”。").arg(QDir::toNativeSeparators(outcome.oldBookPath));
}

// What the window shows, made true for the book that took the old one's
// place: the book tells everyone who follows it.
void RefreshAfterReplace(CLedgerDlg &)
{
    AppBook().announce(orv::BookChange::Everything);
}

// Saves the book to a file the user picks; false when the user cancelled
// or the copy failed (and was reported).
bool SaveBookCopy(QWidget *dlg, const QString &title, Command command, const QString &doneText)
{
    const QString target = Prompter().ChooseFile(dlg, BookFileDialog(title, true));
    if (target.isEmpty())
        return false;
    BM::Outcome outcome;
    {
        const WaitCursor busy;
        CWorkProgress progress(dlg, QStringLiteral("正在备份数据库……"), true);
        outcome = BM::backupBook(AppBookLocation(), g_strAppDir, target, progress.Reporter());
    }
    if (!outcome.ok()) {
        ShowProblem(dlg, outcome, command, target);
        return false;
    }
    ShowMessage(dlg, doneText, QString(), MsgIcon::Information);
    return true;
}

// Puts the book of source in place of the book in use; false when it did
// not come about (and the user was told why).
bool ReplaceBookWith(QWidget *parent, const QString &source, Command command, bool keepUsers,
                     BM::Outcome *done = nullptr)
{
    BM::Outcome outcome;
    {
        const WaitCursor busy;
        CWorkProgress progress(parent,
                               command == Command::NewBook ? QStringLiteral("正在创建新账……")
                                                           : QStringLiteral("正在恢复数据库……"),
                               true);
        // The run's connection would keep the old file open under the new one.
        AppBook().close();
        outcome = BM::replaceBook(AppBookLocation(), g_strAppDir, source, progress.Reporter(), keepUsers);
    }
    QDir::setCurrent(g_strAppDir);
    if (!outcome.ok()) {
        ShowProblem(parent, outcome, command, source);
        return false;
    }
    if (done)
        *done = outcome;
    return true;
}

// The restore command's questions and checks, up to the replacement.
bool RestoreFromChosenFile(QWidget *parent, bool keepUsers)
{
    const QString source = Prompter().ChooseFile(parent, BookFileDialog(QStringLiteral("导入恢复数据库"), false));
    if (source.isEmpty())
        return false;
    // Refusals come before the question, so that nothing is asked in vain.
    if (const BM::Outcome checked = BM::checkReplacement(AppBookLocation(), source); !checked.ok()) {
        ShowProblem(parent, checked, Command::Restore, source);
        return false;
    }
    if (!AskAttention(parent, kRestoreQuestion, MsgIcon::Exclamation))
        return false;
    BM::Outcome outcome;
    if (!ReplaceBookWith(parent, source, Command::Restore, keepUsers, &outcome))
        return false;
    const QString note = KeptBookNote(outcome);
    ShowMessage(parent, note.isEmpty() ? QStringLiteral("数据库恢复成功!") : QStringLiteral("数据库恢复成功!\n") + note,
                QString(), MsgIcon::Information);
    return true;
}

} // namespace

bool RestoreUnreadableBook(const orv::DbError &why)
{
    const ProgramDirGuard programDir;
    for (;;) {
        const QString question =
            DbErrorText(why) + QStringLiteral("\n\n帐本打不开，不能登录。是否从备份文件恢复帐本？\n"
                                               "（选择“否”将退出程序，帐本文件保持原样。）");
        if (ShowMessage(nullptr, question, QStringLiteral("注意"), MsgIcon::Exclamation, MsgButtons::YesNo) !=
            MsgResult::Yes)
            return false;
        // The book's own users cannot be read: those of the backup come with it.
        if (RestoreFromChosenFile(nullptr, false))
            return true;
    }
}

void CLedgerDlg::OnBackup()
{
    const ProgramDirGuard programDir;
    SaveBookCopy(this, QStringLiteral("导出数据库"), Command::Backup, QStringLiteral("数据库备份成功!"));
}

void CLedgerDlg::OnRestore()
{
    const ProgramDirGuard programDir;
    if (RestoreFromChosenFile(this, true))
        RefreshAfterReplace(*this);
}

void CLedgerDlg::OnNewBook()
{
    const ProgramDirGuard programDir;
    const MsgResult answer =
        ShowMessage(this, kNewBookQuestion, QStringLiteral("创建新账"), MsgIcon::Exclamation, MsgButtons::YesNoCancel);
    if (answer != MsgResult::Yes && answer != MsgResult::No)
        return;
    // A missing or broken template is told before the old book is saved
    // for nothing.
    const QString templ = orv::BookFile::templatePath(g_strAppDir);
    if (const BM::Outcome checked = BM::checkReplacement(AppBookLocation(), templ); !checked.ok()) {
        ShowProblem(this, checked, Command::NewBook, templ);
        return;
    }
    if (answer == MsgResult::Yes &&
        !SaveBookCopy(this, QStringLiteral("保存旧账"), Command::SaveOldBook, QStringLiteral("旧账保存成功!")))
        return;
    BM::Outcome outcome;
    if (!ReplaceBookWith(this, templ, Command::NewBook, true, &outcome))
        return;
    if (const QString note = KeptBookNote(outcome); !note.isEmpty())
        ShowMessage(this, note, QString(), MsgIcon::Information);
    RefreshAfterReplace(*this);
}
