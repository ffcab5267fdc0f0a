#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class QWidget;

// Every message box and common dialog of the program goes through one
// CPrompter, so that tests can read what the user would be told and answer
// as a user would. The real one shows Qt's dialogs.
enum class MsgIcon { None, Information, Exclamation, Question, Stop };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

struct FileDialogRequest
{
    QString title;
    QString proposedPath;      // folder and proposed file name
    QStringList filters;       // "数据库文件 (*.ovd)", first one selected
    QString defaultSuffix;     // without the dot
    bool save = true;          // save dialog (asks before overwriting) or open dialog
};

class CPrompter
{
public:
    virtual ~CPrompter() = default;
    virtual MsgResult Message(QWidget *parent, const QString &text, const QString &caption, MsgIcon icon,
                              MsgButtons buttons) = 0;
    // The chosen file's full path, or an empty text on cancel.
    virtual QString ChooseFile(QWidget *parent, const FileDialogRequest &request) = 0;
    // The chosen colour, or an invalid colour on cancel.
    virtual QColor ChooseColor(QWidget *parent, const QColor &initial) = 0;
};

// The prompter in use; the real one unless a test installed another.
CPrompter &Prompter();
// Installs a prompter (not owned); nullptr puts the real one back.
void SetPrompter(CPrompter *prompter);

// The caption of boxes that name none: the program's file name.
QString AppCaption();

// A box with the given caption, or the program's name when it is empty.
MsgResult ShowMessage(QWidget *parent, const QString &text, const QString &caption = QString(),
                      MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok);
// The checks of the dialogs: caption "注意", exclamation icon, OK.
void ShowAttention(QWidget *parent, const QString &text);
// A Yes/No question with caption "注意"; true on Yes.
bool AskAttention(QWidget *parent, const QString &text, MsgIcon icon = MsgIcon::Question);
