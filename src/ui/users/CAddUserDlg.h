#pragma once

#include <QDialog>

class QLineEdit;

// "添加新用户": a name and a password typed twice. The user is added when
// the dialog ends with OK, with a colour file of the default colour.
class CAddUserDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CAddUserDlg(QWidget *parent = nullptr);

    QLineEdit *NameEdit() const { return m_pNameEdit; }
    QLineEdit *PasswordEdit() const { return m_pPasswordEdit; }
    QLineEdit *ConfirmEdit() const { return m_pConfirmEdit; }
    // The name as added (after OK).
    QString UserName() const { return m_strUser; }

    void accept() override; // OnOK
    void reject() override; // OnCancel

private:
    QLineEdit *m_pNameEdit = nullptr;
    QLineEdit *m_pPasswordEdit = nullptr;
    QLineEdit *m_pConfirmEdit = nullptr;
    QString m_strUser;
    bool m_bNameTaken = false;
};
