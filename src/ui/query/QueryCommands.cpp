#include "mainwnd/CLedgerDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/WorkProgress.h"
#include "query/QueryList.h"
#include "query/QueryResult.h"
#include "records/CRecordListCtrl.h"
#include "store/BookConnection.h"
#include "model/TextForms.h"

#include <QDate>

// The query module's first view: the balance of the whole book, then every
// income and every expense entry in date order under their totals. Loans
// are not part of the balance and are not listed.
void CLedgerDlg::FillQueryOverview()
{
    ResetPayoutHeaderColor();
    CRecordListModel &model = RecordList().Model();
    model.Clear();
    // Dates of two-digit months and days ("2009年12月28日") are wider than
    // the date column in many fonts; it grows to show them whole.
    FitPeriodColumn(orv::dateText(2000, 12, 28));
    ColourQueryHeadings();
    model.AppendFixedRow({QStringLiteral("余额"), orv::dateText(QDate::currentDate()), QStringLiteral("所有"),
                          m_status.balanceText(), QStringLiteral("总余额数"), {}});

    // A big book takes a while to read: the progress shows it, without
    // 取消, since a list stopped half-way would pass for the whole book.
    CWorkProgress progress(this, QStringLiteral("正在读取帐本……"), false);
    const orv::Progress step = progress.Reporter();
    const qint64 total = m_status.incomeCount + m_status.payoutCount;
    auto income = AppBook().everything(orv::RecordKind::Income, model.Entries(),
                                       [&](qint64 read, qint64) { return step(read, total); });
    if (!CheckDb(this, income))
        return;
    model.AppendFixedRow({QStringLiteral("收入记录"), {}, {}, orv::fenText(m_status.incomeSum), QStringLiteral("收入总金额"), {}});
    model.AppendEntryRows(income->first);

    const int header = model.rowCount();
    model.AppendFixedRow({QStringLiteral("支出记录"), {}, {}, orv::fenText(m_status.payoutSum), QStringLiteral("支出总金额"), {}});
    MarkPayoutHeader(header);
    const qint64 incomeRead = income->count;
    auto payout = AppBook().everything(orv::RecordKind::Payout, model.Entries(),
                                       [&](qint64 read, qint64) { return step(incomeRead + read, total); });
    if (!CheckDb(this, payout))
        return;
    model.AppendEntryRows(payout->first);
}
