#include "users/CAddUserDlg.h"

#include "app/DbMessages.h"
#include "app/FileMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "store/BookConnection.h"
#include "users/UserFiles.h"
#include "users/UserForm.h"
#include "users/UserStore.h"

#include <QLineEdit>
#include <QPushButton>

CAddUserDlg::CAddUserDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("144"));
    setWindowTitle(QStringLiteral("添加新用户"));
    m_pNameEdit = MakeUserField(this, 1048, false);
    m_pPasswordEdit = MakeUserField(this, 1050, true);
    m_pConfirmEdit = MakeUserField(this, 1051, true);
    LayOutUserForm(this, QStringLiteral(":/res/icons/user-add.svg"),
                   {{QStringLiteral("用户名："), m_pNameEdit},
                    {QStringLiteral("   密码："), m_pPasswordEdit},
                    {QStringLiteral("   确认密码："), m_pConfirmEdit}},
                   MakeUserButton(this, 1, QStringLiteral("添加(&A)")),
                   MakeUserButton(this, 2, QStringLiteral("取消(&C)")));
    m_pNameEdit->setFocus();
}

void CAddUserDlg::accept()
{
    // The name exactly as typed: the store refuses blanks at its ends
    // rather than trim them without a word.
    const QString name = m_pNameEdit->text();
    const QString password = m_pPasswordEdit->text();
    const QString confirm = m_pConfirmEdit->text();

    const auto conn = OpenBook(this);
    if (!conn)
        return;
    auto taken = orv::UserStore::nameTaken(*conn, name);
    if (!CheckDb(this, taken))
        return;
    m_bNameTaken = *taken;
    if (name.isEmpty()) {
        ShowAttention(this, orv::UserStore::emptyNameMessage());
        m_pNameEdit->setFocus();
        return;
    }
    if (m_bNameTaken) {
        ShowAttention(this, orv::UserStore::nameTakenMessage());
        m_bNameTaken = false;
        m_pNameEdit->setFocus();
        m_pNameEdit->selectAll();
        return;
    }
    if (password != confirm) {
        ShowAttention(this, QStringLiteral("两次输入的密码不同!"));
        m_pConfirmEdit->setFocus();
        m_pConfirmEdit->selectAll();
        return;
    }
    // The store checks the name's form and the password, and the name once
    // more in the same step as the insert.
    if (!CheckDb(this, orv::UserStore::add(*conn, name, password))) {
        m_pNameEdit->setFocus();
        return;
    }
    m_strUser = name;
    if (const orv::FileOutcome colour = orv::UserFiles::createFor(g_strAppDir, name); !colour)
        ShowFileProblems(this, QStringLiteral("用户“%1”已添加，但无法写入其背景色文件，将使用默认颜色。").arg(name),
                         {colour});
    QDialog::accept();
}

void CAddUserDlg::reject()
{
    done(0);
}
