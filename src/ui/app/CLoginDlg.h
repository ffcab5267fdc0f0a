#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

// The login: a user chosen from the book's users and that user's password.
// Quitting ends the program; the dialog only ever ends by a good login.
class CLoginDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CLoginDlg(QWidget *parent = nullptr);

    QComboBox *UserBox() const { return m_pUserBox; }
    QLineEdit *PasswordEdit() const { return m_pPasswordEdit; }

    void accept() override; // OnOK
    void reject() override; // quit

private:
    void FillUserList();
    bool ReadUserCode();
    // Replaces a password kept as typed (or a weak hash) by a fresh hash.
    void KeepPasswordHashed(const QString &typed);

    QComboBox *m_pUserBox = nullptr;
    QLineEdit *m_pPasswordEdit = nullptr;
};
