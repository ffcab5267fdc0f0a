#pragma once

#include "records/CRecordEntryDlg.h"

// Adds entries of one kind, one after another: after each entry the amount
// and the remark are cleared for the next one, date and category stay. Ends
// only through Exit.
class CAddRecordDlg final : public CRecordEntryDlg
{
    Q_OBJECT

public:
    explicit CAddRecordDlg(orv::RecordKind kind, QWidget *parent = nullptr);

    // The Add button (1023).
    void OnAdd();

protected:
    void OnInitDialog() override;
    void OnOK() override { OnAdd(); }
};
