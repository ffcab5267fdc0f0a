#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// Asks for one category name, to add (the dialog stays open for the next
// name until cancelled) or to rename a category (it closes when done).
class CItemEditDlg final : public QDialog
{
    Q_OBJECT

public:
    // kind: 0 income, 1 expense, 2 loans; modify: rename oldItem instead of adding.
    CItemEditDlg(int kind, bool modify, const QString &oldItem, QWidget *parent = nullptr);

    QLineEdit *NameEdit() const { return m_pNameEdit; }
    QPushButton *OkButton() const { return m_pOkButton; }

    void accept() override; // OnOK
    void reject() override; // OnCancel

    QString m_strItem;
    int m_nItemKind = 0;
    bool m_bModify = false;
    QString m_strOldItem;

Q_SIGNALS:
    // A category was appended to the table of this kind.
    void ItemAdded(int kind);

private:
    void OnInitDialog();

    QLineEdit *m_pNameEdit = nullptr;
    QPushButton *m_pOkButton = nullptr;
};
