#pragma once

#include "query/QueryCriteria.h"
#include "model/RecordKind.h"

#include <QDateTime>
#include <QDialog>
#include <QString>

class CAmountEdit;
class QButtonGroup;
class QComboBox;
class QDateEdit;
class QPushButton;

// "综合查询统计": the criteria of a query — range, match mode, dates,
// amounts, category, remark and user — and the query itself, whose results
// replace the record list's content. It stays open between queries.
class CQueryDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CQueryDlg(QWidget *parent = nullptr);

    // Runs a query with the criteria on screen (the "查询(&Q)" button, Enter).
    void OnOK();

    // The result fills, one per range: each writes the list from scratch
    // and answers whether it got to the end.
    bool FillIncomePayoutResult();
    bool FillIncomeResult();
    bool FillPayoutResult();
    bool FillLoanResult();

    // The criteria as the controls show them.
    orv::QueryCriteria Criteria();

    // Controls, for the main window's tests and accessibility tools.
    QDateEdit *DateFromPicker() const { return m_pDateFromPicker; }
    QDateEdit *DateToPicker() const { return m_pDateToPicker; }
    CAmountEdit *MoneyFromEdit() const { return m_pMoneyFromEdit; }
    CAmountEdit *MoneyToEdit() const { return m_pMoneyToEdit; }
    QComboBox *CategoryBox() const { return m_pCategoryBox; }
    QComboBox *RemarkBox() const { return m_pRemarkBox; }
    QComboBox *UserBox() const { return m_pUserBox; }

    // The wheel: steps both date pickers and the amount box that has the
    // focus. delta > 0 turns forward.
    void OnMouseWheel(int delta);

    int m_nRange = 0;
    int m_nMatchMode = 0;
    QDateTime m_timeFrom;
    QDateTime m_timeTo;
    QString m_strCategory;
    QString m_strUser;
    QString m_strRemark;
    QString m_strMoneyFrom = QStringLiteral("0");
    QString m_strMoneyTo = orv::kUnlimited;
    // The query last run from this dialog.
    orv::QueryCriteria m_query;

protected:
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void OnInitDialog();
    // Reads the controls into the members (save) or writes them back.
    void UpdateData(bool save);
    void FillUserCombo();
    void FillItemsCombo(orv::RecordKind kind);
    void OnRangeClicked(int range);
    void OnMoneyFromSetFocus(Qt::FocusReason reason);
    void OnMoneyFromKillFocus(Qt::FocusReason reason);
    void OnMoneyToSetFocus(Qt::FocusReason reason);
    void OnMoneyToKillFocus(Qt::FocusReason reason);

    QComboBox *m_pRemarkBox = nullptr;
    CAmountEdit *m_pMoneyToEdit = nullptr;
    CAmountEdit *m_pMoneyFromEdit = nullptr;
    QComboBox *m_pUserBox = nullptr;
    QComboBox *m_pCategoryBox = nullptr;
    QDateEdit *m_pDateToPicker = nullptr;
    QDateEdit *m_pDateFromPicker = nullptr;
    QButtonGroup *m_pRangeGroup = nullptr;
    QButtonGroup *m_pMatchGroup = nullptr;
    QPushButton *m_pQueryButton = nullptr;
};
