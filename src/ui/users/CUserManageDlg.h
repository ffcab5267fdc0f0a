#pragma once

#include <QDialog>

class QTableWidget;

// "管理用户": the book's users, with add, modify and delete.
class CUserManageDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CUserManageDlg(QWidget *parent = nullptr);

    QTableWidget *UserList() const { return m_pUserList; }
    // Users put into the list by the last fill.
    int UserCount() const { return m_nUserCount; }

    void FillUserList();
    // The list's selection mark: the row last clicked or moved to, provided
    // that it is still selected; -1 otherwise.
    int GetSelectionMark() const;
    void SelectUser(const QString &name);

    // The buttons: add is the dialog's OK, leave its cancel.
    void accept() override; // OnOK: add
    void OnModifyUser();
    void OnDeleteUser();

private:
    void OnInitDialog();

    QTableWidget *m_pUserList = nullptr;
    int m_nUserCount = 0;
};
