#include "export/ExportMessages.h"

#include "app/Prompter.h"

#include <QDir>

void ShowExportOutcome(QWidget *parent, const orv::SheetOutcome &outcome, const QString &path, const QString &what)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (outcome.problem) {
    case orv::SheetProblem::None:
        ShowMessage(parent, QStringLiteral("导出文件保存于%1!").arg(shown), QString(), MsgIcon::Information);
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
        ShowMessage(parent, QStringLiteral("写入%1“%2”时出错，文件没有保存!\n\n（%3）").arg(what, shown, outcome.detail),
                    QString(), MsgIcon::Stop);
        break;
    }
}

QString DatedExportName(const QString &words, const QString &suffix, const QDate &day)
{
    return QString::asprintf("%04d%02d%02d", day.year(), day.month(), day.day()) + words + u'.' + suffix;
}
