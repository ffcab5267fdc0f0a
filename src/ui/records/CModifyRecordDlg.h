#pragma once

#include "records/CRecordEntryDlg.h"

// Changes one entry. The caller fills m_nId, m_tDate, m_dMoney, m_strItems,
// m_strRemark and m_strUser from the row before running it; the dialog ends
// with kUpdated once the entry is changed in the book, with 0 through Exit.
// The change goes through only while the book still holds the entry as it
// was shown.
class CModifyRecordDlg final : public CRecordEntryDlg
{
    Q_OBJECT

public:
    static constexpr int kUpdated = 2;

    explicit CModifyRecordDlg(orv::RecordKind kind, QWidget *parent = nullptr);

    // The Modify button (1024).
    void OnModify();

    // After kUpdated: date, category, amount (as stored) and remark.
    const orv::EntryValues &Values() const { return m_values; }

    QString m_strItems;
    qint64 m_nId = 0;
    // Who recorded the entry.
    QString m_strUser;

protected:
    void OnInitDialog() override;
    void OnOK() override { OnModify(); }

private:
    orv::EntryValues m_values;
    // The entry as the list showed it when the dialog opened.
    orv::ShownEntry m_shown;
};
