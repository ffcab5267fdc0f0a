#pragma once

#include "items/CategoryStore.h"

#include <QDialog>
#include <QList>

class CItemEditDlg;
class QComboBox;
class QListWidget;
class QPushButton;

// "设置名目": the category lists of the three kinds, one at a time, with
// add, rename, delete and the two moves that set the order in which the
// entry and query dialogs offer the categories.
class CSetItemsDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CSetItemsDlg(QWidget *parent = nullptr);

    QComboBox *KindBox() const { return m_pKindBox; }
    QListWidget *ItemList() const { return m_pItemList; }
    // Kind index of the kind box: 0 income, 1 expense, 2 loans.
    int CurrentKind() const;

    // The list of a kind, read from its table in table order.
    void FillIncomeItems();
    void FillPayoutItems();
    void FillLoanItems();
    void FillItems(int kind);
    void SelectLastItem();
    // The row that is selected, or -1.
    int SelectedRow() const;

    // The buttons.
    void OnAddItem();
    void OnModifyItem();
    void OnDeleteItem();
    void OnMoveUp();
    void OnMoveDown();

private:
    void OnInitDialog();
    void OnKindChanged(int index);
    void MoveSelected(int step);
    void SelectRow(int row);
    // The edit dialog of this list, wired to refill it after each add.
    CItemEditDlg *MakeEditDlg(bool modify, const QString &oldItem);

    QComboBox *m_pKindBox = nullptr;
    QListWidget *m_pItemList = nullptr;
    // The rows as last read, parallel to the list's entries.
    QList<orv::CategoryRow> m_rows;
};
