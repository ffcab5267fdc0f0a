#pragma once

#include <QDialog>

class QLineEdit;

// "删除用户：<name>": asks for the password of the user to be deleted. It
// only checks the password; the caller deletes the user after OK.
class CDeleteUserDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CDeleteUserDlg(const QString &userName, QWidget *parent = nullptr);

    QLineEdit *PasswordEdit() const { return m_pPasswordEdit; }
    QString UserName() const { return m_strUser; }

    void accept() override; // OnOK
    void reject() override; // OnCancel

private:
    void OnInitDialog();

    QLineEdit *m_pPasswordEdit = nullptr;
    QString m_strUser;
    QString m_strStoredCode;
};
