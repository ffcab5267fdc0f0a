#pragma once

#include <QDialog>

class QLineEdit;

// "修改用户信息": a new name and a new password for a user, allowed to
// whoever knows the old password. The current user, the colour file and the
// direct-login setting follow a rename.
class CModifyUserDlg final : public QDialog
{
    Q_OBJECT

public:
    // userName: the user to change, put into the name field.
    explicit CModifyUserDlg(const QString &userName, QWidget *parent = nullptr);

    QLineEdit *NameEdit() const { return m_pNameEdit; }
    QLineEdit *OldPasswordEdit() const { return m_pOldPasswordEdit; }
    QLineEdit *NewPasswordEdit() const { return m_pNewPasswordEdit; }
    QLineEdit *ConfirmEdit() const { return m_pConfirmEdit; }
    QString OldName() const { return m_strOldName; }
    // The name as stored (after OK).
    QString UserName() const { return m_strUser; }

    void accept() override; // OnOK
    void reject() override; // OnCancel

private:
    void OnInitDialog();

    QLineEdit *m_pNameEdit = nullptr;
    QLineEdit *m_pOldPasswordEdit = nullptr;
    QLineEdit *m_pNewPasswordEdit = nullptr;
    QLineEdit *m_pConfirmEdit = nullptr;
    QString m_strOldName;
    QString m_strStoredCode;
    QString m_strUser;
};
