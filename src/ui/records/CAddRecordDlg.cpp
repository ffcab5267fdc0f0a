#include "records/CAddRecordDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

CAddRecordDlg::CAddRecordDlg(orv::RecordKind kind, QWidget *parent)
    : CRecordEntryDlg(kind, 1023, QStringLiteral("添加(&A)"), parent)
{
    setObjectName(QStringLiteral("136"));
    m_tDate = QDate::currentDate();
    SetKindTitle(QStringLiteral("添加"));
}

void CAddRecordDlg::OnInitDialog()
{
    DatePicker()->setDate(m_tDate);
    DatePicker()->setCurrentSection(QDateTimeEdit::DaySection);
    AmountEdit()->setText(orv::amountEditText(m_dMoney));
    RemarkEdit()->setText(m_strRemark);
    FillItems();
    if (ItemsBox()->count() > 0)
        ItemsBox()->setCurrentIndex(0);
    FocusAmount();
}

void CAddRecordDlg::OnAdd()
{
    orv::EntryValues values;
    if (!ReadForm(&values))
        return;
    // A failure (a server out of reach) keeps what was typed, for the next try.
    if (!CheckDb(this, AppBook().addEntry(Kind(), values)))
        return;
    // Ready for the next entry: same date and category, a fresh amount and remark.
    AmountEdit()->selectAll();
    AmountEdit()->clear();
    RemarkEdit()->selectAll();
    RemarkEdit()->clear();
    m_strRemark.clear();
    FocusAmount();
}
