#include "users/CDeleteUserDlg.h"

#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/PlainText.h"
#include "app/Prompter.h"
#include "store/BookConnection.h"
#include "security/PasswordHash.h"
#include "users/UserForm.h"
#include "users/UserStore.h"

#include <QLineEdit>
#include <QPushButton>

CDeleteUserDlg::CDeleteUserDlg(const QString &userName, QWidget *parent)
    : QDialog(parent)
    , m_strUser(userName)
{
    setObjectName(QStringLiteral("160"));
    setWindowTitle(QStringLiteral("删除用户"));
    m_pPasswordEdit = MakeUserField(this, 1048, true);
    LayOutUserForm(this, QStringLiteral(":/res/icons/user-delete.svg"),
                   {{QStringLiteral("请输入该用户的密码："), m_pPasswordEdit}},
                   MakeUserButton(this, 1, QStringLiteral("确定(&O)")),
                   MakeUserButton(this, 2, QStringLiteral("取消(&C)")));
    OnInitDialog();
}

void CDeleteUserDlg::OnInitDialog()
{
    if (const auto conn = OpenBook(this)) {
        auto code = orv::UserStore::passwordOf(*conn, m_strUser);
        if (CheckDb(this, code) && code->has_value())
            m_strStoredCode = **code;
    }
    SetPlainTitle(this, QStringLiteral("删除用户：%1").arg(m_strUser));
    m_pPasswordEdit->setFocus();
}

void CDeleteUserDlg::accept()
{
    if (!orv::PasswordHash::matches(m_pPasswordEdit->text(), m_strStoredCode)) {
        ShowMessage(this, QStringLiteral("密码错误!"), QStringLiteral("密码错误"), MsgIcon::Exclamation);
        m_pPasswordEdit->setFocus();
        m_pPasswordEdit->selectAll();
        return;
    }
    // The colour file goes with the row, after it, in the caller: a delete
    // that fails leaves the user whole.
    QDialog::accept();
}

void CDeleteUserDlg::reject()
{
    done(0);
}
