#include "app/FileMessages.h"

#include "app/Prompter.h"

#include <QDir>

void ShowFileProblems(QWidget *parent, const QString &what, const QList<orv::FileOutcome> &failed)
{
    if (failed.isEmpty())
        return;
    QString text = what + QStringLiteral("\n请检查磁盘空间和程序文件夹的权限。\n");
    for (const orv::FileOutcome &outcome : failed)
        text += QStringLiteral("\n（%1：%2）").arg(QDir::toNativeSeparators(outcome.path), outcome.error);
    ShowMessage(parent, text, QString(), MsgIcon::Exclamation);
}
