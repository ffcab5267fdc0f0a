#include "export/ExportMessages.h"

#include "app/Prompter.h"

#include <QDir>

namespace {

// What went wrong in the spreadsheet library, and what to do about it.
QString FailureSentence(orv::SheetFailure failure)
{
    switch (failure) {
    case orv::SheetFailure::OutOfMemory:
        return QStringLiteral("内存不足。请关闭一些程序后再试。");
    case orv::SheetFailure::CannotCreateFile:
        return QStringLiteral("无法在这个位置建立文件（文件夹不允许写入，或没有权限）。请另选一个保存位置。");
    case orv::SheetFailure::TempFile:
        return QStringLiteral("无法使用临时文件夹（临时文件夹已满或不允许写入）。请清理出一些磁盘空间后再试。");
    case orv::SheetFailure::Compressing:
        return QStringLiteral("压缩保存文件时出错，多半是磁盘已满。请清理出一些磁盘空间，或另选一个保存位置后再试。");
    case orv::SheetFailure::TextTooLong:
        return QStringLiteral("有一格的文字超过了Excel表每格最多32767个字符的限制。请缩短那一格的内容后再试。");
    case orv::SheetFailure::BadSheetName:
        return QStringLiteral("工作表的名称不符合Excel表的要求。");
    case orv::SheetFailure::Internal:
        return QStringLiteral("Excel表的写入程序出错。请再试一次。");
    case orv::SheetFailure::None:
        break;
    }
    return QStringLiteral("请检查保存位置是否允许写入、磁盘是否已满，或另选一个保存位置后再试。");
}

} // namespace

void ShowExportOutcome(QWidget *parent, const orv::SheetOutcome &outcome, const QString &path, const QString &what)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (outcome.problem) {
    case orv::SheetProblem::None:
        ShowMessage(parent, QStringLiteral("导出文件保存于%1!").arg(shown), QString(), MsgIcon::Information);
        break;
    case orv::SheetProblem::Cancelled:
        // Stopped by the user: no file was written, an old one is as it was.
        break;
    case orv::SheetProblem::CannotReplace:
        ShowMessage(parent, QStringLiteral("覆盖文件时出错！"));
        break;
    case orv::SheetProblem::CannotMakeFolder:
        ShowMessage(parent,
                    QStringLiteral("无法创建文件夹“%1”，%2没有保存!").arg(QDir::toNativeSeparators(outcome.detail), what),
                    QString(), MsgIcon::Stop);
        break;
    case orv::SheetProblem::TooManyRows:
    case orv::SheetProblem::CannotWrite:
        ShowMessage(parent,
                    QStringLiteral("写入%1“%2”时出错，文件没有保存!\n%3\n\n（%4）")
                        .arg(what, shown, FailureSentence(outcome.failure), outcome.detail),
                    QString(), MsgIcon::Stop);
        break;
    }
}

QString DatedExportName(const QString &words, const QString &suffix, const QDate &day)
{
    return QString::asprintf("%04d%02d%02d", day.year(), day.month(), day.day()) + words + u'.' + suffix;
}
