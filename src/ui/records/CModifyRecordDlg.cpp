#include "records/CModifyRecordDlg.h"

#include "app/DbMessages.h"
#include "app/Globals.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/TextForms.h"

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
    {
        const auto conn = OpenBook(this);
        if (!conn)
            return;
        if (!CheckDb(this, orv::EntryStore::update(*conn, Kind(), m_nId, values)))
            return;
    }
    m_strItems = values.items;
    m_values = values;
    m_values.money = orv::storedMoney(values.money);
    done(kUpdated);
}
