#pragma once

#include "records/EntryInput.h"
#include "model/EntryList.h"
#include "model/RecordKind.h"

#include <QDate>
#include <QDialog>
#include <QPointer>

class CAmountKeypadDlg;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// What the add and the modify dialog share: the form (date, category,
// amount with its keypad, remark), its checks, the amount field's key
// filter, the mouse wheel and the keypad. Each dialog adds its button and
// what that button stores.
class CRecordEntryDlg : public QDialog
{
    Q_OBJECT

public:
    ~CRecordEntryDlg() override;

    orv::RecordKind Kind() const { return orv::RecordKind(m_nKind); }

    // Controls, for the parts of the program that look at the dialog.
    QDateEdit *DatePicker() const { return m_pDate; }
    QComboBox *ItemsBox() const { return m_pItems; }
    QLineEdit *AmountEdit() const { return m_pMoney; }
    QLineEdit *RemarkEdit() const { return m_pRemark; }
    QToolButton *KeypadButton() const { return m_pKeypadButton; }
    QPushButton *OkButton() const { return m_pOk; }
    QPushButton *ExitButton() const { return m_pExit; }
    CAmountKeypadDlg *Keypad() const;

    // The keypad button: opens the keypad, or closes it when it is counted open.
    void OnKeypadButton();
    // A code from the keypad (0-9 digits, 11 point, 12 backspace): typed into
    // the amount field, which gets the keyboard.
    void OnKeypadKey(int code);
    // One notch of the mouse wheel anywhere over the dialog.
    void OnWheelNotch(bool up);
    // Closes the keypad, if one is open (or hidden by Esc).
    void CloseKeypad();

    // The form's values as last read (or, before the dialog shows, to be shown).
    double m_dMoney = 0.0;
    QDate m_tDate;
    QString m_strRemark;
    int m_nKind = 1;
    // The dialog's last position (its client area on the screen), where the
    // keypad opens beside it.
    int m_nPosX = 0;
    int m_nPosY = 0;
    bool m_bKeypadShown = false;

public Q_SLOTS:
    void done(int result) override;

protected:
    // okId / okText: the dialog's own button (1023 "添加(&A)", 1024 "修改(&M)").
    CRecordEntryDlg(orv::RecordKind kind, int okId, const QString &okText, QWidget *parent);

    // Start-up common to both: categories and title.
    void FillItems();
    void SetKindTitle(const QString &verb);
    // Gives the amount field the keyboard with its whole text selected.
    void FocusAmount();

    // Reads the form; on a problem tells the user (one message per problem)
    // and answers false.
    bool ReadForm(orv::EntryValues *values);

    virtual void OnInitDialog() = 0;
    virtual void OnOK() = 0;

    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void BuildControls(int okId, const QString &okText);
    void RecordPosition();
    void ShowKeypadPicture();
    void WatchWheel(QWidget *widget);

    QDateEdit *m_pDate = nullptr;
    QComboBox *m_pItems = nullptr;
    QLineEdit *m_pMoney = nullptr;
    QToolButton *m_pKeypadButton = nullptr;
    QLineEdit *m_pRemark = nullptr;
    QPushButton *m_pOk = nullptr;
    QPushButton *m_pExit = nullptr;
    QPointer<CAmountKeypadDlg> m_pKeypad;
    int m_nWheelRest = 0;
    bool m_bInitialised = false;
};

// The messages of the entry checks.
QString EntryProblemText(orv::EntryProblem problem);
