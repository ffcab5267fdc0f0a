#include "records/CModifyRecordDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "records/EntryStore.h"
#include "model/TextForms.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

CModifyRecordDlg::CModifyRecordDlg(orv::RecordKind kind, QWidget *parent)
    : CRecordEntryDlg(kind, 1024, QStringLiteral("修改(&M)"), parent)
{
    setObjectName(QStringLiteral("137"));
    m_tDate = QDate::currentDate();
    SetKindTitle(QStringLiteral("修改"));
}

void CModifyRecordDlg::OnInitDialog()
{
    m_shown = {m_nId, {m_tDate, m_strItems, m_dMoney, m_strRemark, m_strUser}};
    DatePicker()->setDate(m_tDate);
    DatePicker()->setCurrentSection(QDateTimeEdit::DaySection);
    AmountEdit()->setText(orv::amountEditText(m_dMoney));
    RemarkEdit()->setText(m_strRemark);
    FillItems();
    // The entry's own category, even one no longer offered in the box.
    const int found = ItemsBox()->findText(m_strItems, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0) {
        ItemsBox()->setCurrentIndex(found);
    } else {
        ItemsBox()->setCurrentIndex(-1);
        ItemsBox()->setEditText(m_strItems);
    }
    FocusAmount();
}

void CModifyRecordDlg::OnModify()
{
    orv::EntryValues values;
    if (!ReadForm(&values))
        return;
    const orv::DbStatus changed = AppBook().changeEntry(Kind(), m_shown, values, g_strCurUser);
    if (!changed) {
        ShowDbError(this, changed.error());
        // Changed or removed elsewhere: there is nothing left to change as
        // it was shown. Any other failure (a server out of reach) keeps the
        // dialog and what was typed, to be stored on the next try.
        if (changed.error().kind == orv::DbError::Kind::Refused)
            done(0);
        return;
    }
    m_strItems = values.items;
    m_values = values;
    m_values.money = orv::storedMoney(values.money);
    done(kUpdated);
}
