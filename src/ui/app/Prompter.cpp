#include "app/Prompter.h"

#include "app/PlainText.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {

class CQtPrompter final : public CPrompter
{
public:
    MsgResult Message(QWidget *parent, const QString &text, const QString &caption, MsgIcon icon,
                      MsgButtons buttons) override
    {
        QMessageBox box(parent);
        // Messages carry names and categories as the family typed them.
        SetPlainTitle(&box, caption);
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        switch (icon) {
        case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
        }
        switch (buttons) {
        case MsgButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes: return MsgResult::Yes;
        case QMessageBox::No: return MsgResult::No;
        case QMessageBox::Ok: return MsgResult::Ok;
        default: return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
        }
    }

    QString ChooseFile(QWidget *parent, const FileDialogRequest &request) override
    {
        QFileDialog dialog(parent, request.title, request.proposedPath);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setNameFilters(request.filters);
        if (!request.filters.isEmpty())
            dialog.selectNameFilter(request.filters.first());
        if (!request.defaultSuffix.isEmpty())
            dialog.setDefaultSuffix(request.defaultSuffix);
        // A name typed without an ending takes the one of the filter chosen.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request](const QString &filter) {
            static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
            const QRegularExpressionMatch match = pattern.match(filter);
            dialog.setDefaultSuffix(match.hasMatch() ? match.captured(1) : request.defaultSuffix);
        });
        if (request.save)
            dialog.selectFile(QFileInfo(request.proposedPath).fileName());
        // Qt's own dialog, so that it speaks the program's language everywhere.
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
    }

    QColor ChooseColor(QWidget *parent, const QColor &initial) override
    {
        return QColorDialog::getColor(initial, parent, QString(), QColorDialog::DontUseNativeDialog);
    }
};

CQtPrompter g_qtPrompter;
CPrompter *g_pPrompter = nullptr;

} // namespace

CPrompter &Prompter()
{
    return g_pPrompter ? *g_pPrompter : g_qtPrompter;
}

void SetPrompter(CPrompter *prompter)
{
    g_pPrompter = prompter;
}

QString AppCaption()
{
    return QCoreApplication::applicationName();
}

MsgResult ShowMessage(QWidget *parent, const QString &text, const QString &caption, MsgIcon icon, MsgButtons buttons)
{
    return Prompter().Message(parent, text, caption.isEmpty() ? AppCaption() : caption, icon, buttons);
}

void ShowAttention(QWidget *parent, const QString &text)
{
    ShowMessage(parent, text, QStringLiteral("注意"), MsgIcon::Exclamation, MsgButtons::Ok);
}

bool AskAttention(QWidget *parent, const QString &text, MsgIcon icon)
{
    return ShowMessage(parent, text, QStringLiteral("注意"), icon, MsgButtons::YesNo) == MsgResult::Yes;
}
