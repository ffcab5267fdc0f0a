#pragma once

#include <QList>
#include <QString>

class QDialog;
class QLineEdit;
class QPushButton;

// The common look of the small user dialogs: their picture on the left,
// labelled fields beside it, the two buttons under them on the right.
struct UserFormField
{
    QString label;
    QLineEdit *edit;
};

// A field carrying its control id; password fields hide what is typed.
QLineEdit *MakeUserField(QDialog *dialog, int id, bool password);
// An OK (id 1, default) or cancel (id 2) button wired to the dialog.
QPushButton *MakeUserButton(QDialog *dialog, int id, const QString &text);
// Lays the dialog out; every label names its field.
void LayOutUserForm(QDialog *dialog, const QString &picture, const QList<UserFormField> &fields, QPushButton *ok,
                    QPushButton *cancel);
