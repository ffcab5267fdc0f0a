#include "support/ScriptedPrompter.h"

ScriptedPrompter::ScriptedPrompter()
{
    SetPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter()
{
    SetPrompter(nullptr);
}

MsgResult ScriptedPrompter::Message(QWidget *, const QString &text, const QString &caption, MsgIcon icon,
                                    MsgButtons buttons)
{
    shown.append({text, caption, icon, buttons});
    if (onShown)
        onShown(shown.last());
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
}

QString ScriptedPrompter::ChooseFile(QWidget *, const FileDialogRequest &request)
{
    fileRequests.append(request);
    return files.isEmpty() ? QString() : files.dequeue();
}

QColor ScriptedPrompter::ChooseColor(QWidget *, const QColor &initial)
{
    colorRequests.append(initial);
    return colors.isEmpty() ? QColor() : colors.dequeue();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList list;
    for (const Shown &s : shown)
        list.append(s.text);
    return list;
}

void ScriptedPrompter::clear()
{
    shown.clear();
    fileRequests.clear();
    colorRequests.clear();
}
