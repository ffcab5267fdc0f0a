#include "users/CModifyUserDlg.h"

#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "store/BookConnection.h"
#include "users/UserFiles.h"
#include "users/UserForm.h"
#include "users/UserStore.h"

#include <QLineEdit>
#include <QPushButton>

CModifyUserDlg::CModifyUserDlg(const QString &userName, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("142"));
    setWindowTitle(QStringLiteral("修改用户信息"));
    m_pNameEdit = MakeUserField(this, 1048, false);
    m_pOldPasswordEdit = MakeUserField(this, 1049, true);
    m_pNewPasswordEdit = MakeUserField(this, 1050, true);
    m_pConfirmEdit = MakeUserField(this, 1051, true);
    LayOutUserForm(this, QStringLiteral(":/res/icons/user-modify.svg"),
                   {{QStringLiteral("用户名："), m_pNameEdit},
                    {QStringLiteral("旧密码："), m_pOldPasswordEdit},
                    {QStringLiteral("新密码："), m_pNewPasswordEdit},
                    {QStringLiteral("确认新密码："), m_pConfirmEdit}},
                   MakeUserButton(this, 1, QStringLiteral("修改(&M)")),
                   MakeUserButton(this, 2, QStringLiteral("取消(&C)")));
    m_pNameEdit->setText(userName);
    OnInitDialog();
}

void CModifyUserDlg::OnInitDialog()
{
    m_strOldName = m_pNameEdit->text();
    if (const auto conn = OpenBook(this)) {
        auto code = orv::UserStore::passwordOf(*conn, m_strOldName);
        if (CheckDb(this, code) && code->has_value())
            m_strStoredCode = **code;
    }
    m_pNameEdit->setFocus();
    m_pNameEdit->selectAll();
}

void CModifyUserDlg::accept()
{
    const QString typed = m_pNameEdit->text();
    // The name as it stands is kept byte for byte; a new one loses the
    // blanks around it, as a new user's name does.
    const QString name = typed == m_strOldName ? typed : typed.trimmed();
    const QString oldCode = m_pOldPasswordEdit->text();
    const QString newCode = m_pNewPasswordEdit->text();
    const QString confirm = m_pConfirmEdit->text();

    if (oldCode != m_strStoredCode) {
        ShowMessage(this, QStringLiteral("旧密码错误!"), QStringLiteral("密码错误"), MsgIcon::Exclamation);
        m_pOldPasswordEdit->setFocus();
        m_pOldPasswordEdit->selectAll();
        return;
    }
    if (newCode != confirm) {
        ShowMessage(this, QStringLiteral("两次输入的新密码不同!"), QStringLiteral("密码错误"), MsgIcon::Exclamation);
        m_pConfirmEdit->setFocus();
        m_pConfirmEdit->selectAll();
        return;
    }
    const auto conn = OpenBook(this);
    if (!conn)
        return;
    // The store applies a new user's checks to a new name: not empty, a
    // possible file name, not too long, and not the name of another user.
    if (!CheckDb(this, orv::UserStore::modify(*conn, m_strOldName, name, newCode))) {
        m_pNameEdit->setFocus();
        m_pNameEdit->selectAll();
        return;
    }
    m_strUser = name;
    orv::UserFiles::followRename(g_strAppDir, m_strOldName, name);
    if (g_strCurUser == m_strOldName)
        g_strCurUser = name;
    QDialog::accept();
    ShowMessage(parentWidget(), QStringLiteral("用户信息修改成功!"), QStringLiteral("修改成功"), MsgIcon::Information);
}

void CModifyUserDlg::reject()
{
    done(0);
}
