#pragma once

#include "app/Prompter.h"

#include <QColor>
#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

// Stands in for the user at every message box and common dialog: records
// what the program said and answers from a script (Yes / OK by default).
class ScriptedPrompter final : public CPrompter
{
public:
    struct Shown
    {
        QString text;
        QString caption;
        MsgIcon icon;
        MsgButtons buttons;
    };

    ScriptedPrompter();
    ~ScriptedPrompter() override;

    MsgResult Message(QWidget *parent, const QString &text, const QString &caption, MsgIcon icon,
                      MsgButtons buttons) override;
    QString ChooseFile(QWidget *parent, const FileDialogRequest &request) override;
    QColor ChooseColor(QWidget *parent, const QColor &initial) override;

    // Answers for the next boxes, in order; then Yes (or OK).
    QQueue<MsgResult> answers;
    // Paths for the next file dialogs; an empty one cancels.
    QQueue<QString> files;
    // Colours for the next colour dialogs; an invalid one cancels.
    QQueue<QColor> colors;

    // Called as each box comes up, before it is answered.
    std::function<void(const Shown &)> onShown;

    QList<Shown> shown;
    QList<FileDialogRequest> fileRequests;
    QList<QColor> colorRequests;

    QStringList texts() const;
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear();
};
