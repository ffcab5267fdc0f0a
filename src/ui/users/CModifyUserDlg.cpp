#include "users/CModifyUserDlg.h"

#include "app/DbMessages.h"
#include "app/FileMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "store/BookConnection.h"
#include "users/ModifyUser.h"
#include "security/PasswordHash.h"
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
    // The name exactly as typed; a new one must pass a new user's checks.
    const QString name = m_pNameEdit->text();
    const QString oldCode = m_pOldPasswordEdit->text();
    const QString newCode = m_pNewPasswordEdit->text();
    const QString confirm = m_pConfirmEdit->text();

    if (!orv::PasswordHash::matches(oldCode, m_strStoredCode)) {
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
    // A new name gets a new user's checks: not empty, no blanks at the
    // ends, a possible file name, not too long, and not another user's.
    const orv::ModifyUserOutcome outcome = orv::modifyUser(*conn, g_strAppDir, m_strOldName, name, newCode);
    if (!CheckDb(this, outcome.book)) {
        m_pNameEdit->setFocus();
        m_pNameEdit->selectAll();
        return;
    }
    m_strUser = name;
    if (g_strCurUser == m_strOldName)
        g_strCurUser = name;
    QDialog::accept();
    ShowMessage(parentWidget(), QStringLiteral("用户信息修改成功!"), QStringLiteral("修改成功"), MsgIcon::Information);
    ShowFileProblems(parentWidget(),
                     QStringLiteral("用户“%1”的背景色文件或直接登录的设置没能随新用户名更新："
                                    "背景色可能变回默认颜色，直接登录可能改为先显示登录对话框。")
                         .arg(name),
                     outcome.filesFailed);
}

void CModifyUserDlg::reject()
{
    done(0);
}
