#include "users/UserForm.h"

#include "controls/DialogUnits.h"
#include "controls/Pictures.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QLineEdit *MakeUserField(QDialog *dialog, int id, bool password)
{
    auto *edit = new QLineEdit(dialog);
    edit->setObjectName(QString::number(id));
    if (password)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QPushButton *MakeUserButton(QDialog *dialog, int id, const QString &text)
{
    auto *button = new QPushButton(text, dialog);
    button->setObjectName(QString::number(id));
    if (id == 1) {
        button->setDefault(true);
        QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
    } else {
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::reject);
    }
    return button;
}

void LayOutUserForm(QDialog *dialog, const QString &picture, const QList<UserFormField> &fields, QPushButton *ok,
                    QPushButton *cancel)
{
    dialog->setFont(DialogFont());
    const CDialogUnits du(dialog->font());

    auto *icon = new QLabel(dialog);
    icon->setPixmap(Picture(picture, QSize(32, 32)));
    icon->setFixedSize(32, 32);
    icon->setAlignment(Qt::AlignCenter);
    // Until its picture exists the place stays free for the fields.
    icon->setVisible(!icon->pixmap().isNull());

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(du.X(4));
    grid->setVerticalSpacing(du.Y(5));
    // One field is asked for in a sentence, which reads best above it;
    // several line up as a form, their labels to the right.
    const bool prompt = fields.size() == 1;
    int row = 0;
    for (const UserFormField &field : fields) {
        auto *label = new QLabel(field.label, dialog);
        label->setBuddy(field.edit);
        field.edit->setMinimumWidth(du.X(100));
        if (prompt) {
            grid->addWidget(label, row++, 0, 1, 2);
            grid->addWidget(field.edit, row++, 0, 1, 2);
            continue;
        }
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, 0);
        grid->addWidget(field.edit, row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *body = new QVBoxLayout;
    body->addLayout(grid);
    body->addSpacing(du.Y(4));
    body->addStretch(1);
    body->addLayout(buttons);

    auto *top = new QHBoxLayout(dialog);
    top->setContentsMargins(du.X(7), du.Y(7), du.X(7), du.Y(7));
    top->setSpacing(du.X(8));
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(body, 1);
    dialog->setSizeGripEnabled(false);
    dialog->setFixedHeight(dialog->sizeHint().height());
}
