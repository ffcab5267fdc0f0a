// The query dialog's result fills: what a query found, written into the
// record list with its summary row, block headings and totals.
#include "query/CQueryDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "query/QueryList.h"
#include "query/QueryResult.h"
#include "records/CRecordListCtrl.h"
#include "store/BookConnection.h"
#include "store/TextForms.h"

#include <initializer_list>

namespace {

const QString kAll = QStringLiteral("所有");

// The category, remark and user criteria that restrict the query, written
// into their columns of the given rows.
void WriteCriteriaLabels(CRecordListModel &model, std::initializer_list<int> rows, const orv::QueryCriteria &query,
                         bool withRemark = true)
{
    for (int row : rows) {
        if (orv::restricts(query.category))
            model.SetFixedCell(row, 2, query.category);
        if (withRemark && orv::restricts(query.remark))
            model.SetFixedCell(row, 4, query.remark);
        if (orv::restricts(query.user))
            model.SetFixedCell(row, 5, query.user);
    }
}

// Every fill starts the same way: the last combined view's expense heading
// loses its colour, the list empties, rows 0 and 1 get the heading colour.
CRecordListModel &StartFill()
{
    ResetPayoutHeaderColor();
    CRecordListModel &model = RecordList().Model();
    model.Clear();
    ColourQueryHeadings();
    return model;
}

} // namespace

bool CQueryDlg::FillIncomePayoutResult()
{
    CRecordListModel &model = StartFill();
    model.AppendFixedRow({QStringLiteral("余额"), {}, kAll, {}, kAll, {}});

    auto income = AppBook().queryBlock(m_query, orv::RecordKind::Income, model.Entries());
    if (!CheckDb(this, income))
        return false;
    model.AppendFixedRow({QStringLiteral("收入记录")});
    model.AppendEntryRows(income->first);
    model.SetFixedCell(1, 3, orv::fenText(income->sum));

    const int header = model.rowCount();
    model.AppendFixedRow({QStringLiteral("支出记录")});
    MarkPayoutHeader(header);
    auto payout = AppBook().queryBlock(m_query, orv::RecordKind::Payout, model.Entries());
    if (!CheckDb(this, payout))
        return false;
    model.AppendEntryRows(payout->first);
    model.SetFixedCell(header, 3, orv::fenText(payout->sum));

    const QString period = m_query.periodLabel();
    for (int row : {0, 1, header})
        model.SetFixedCell(row, 1, period);
    FitPeriodColumn(period);
    model.SetFixedCell(0, 3, orv::fenText(income->sum - payout->sum));
    for (int row : {1, header}) {
        for (int column : {2, 4, 5})
            model.SetFixedCell(row, column, kAll);
    }
    WriteCriteriaLabels(model, {0, 1, header}, m_query);
    return true;
}

bool CQueryDlg::FillSingleKindResult(orv::RecordKind kind, const QString &totalName, const QString &blockName)
{
    CRecordListModel &model = StartFill();
    model.AppendFixedRow({totalName, {}, kAll, {}, kAll, {}});

    auto block = AppBook().queryBlock(m_query, kind, model.Entries());
    if (!CheckDb(this, block))
        return false;
    model.AppendFixedRow({blockName});
    model.AppendEntryRows(block->first);

    model.SetFixedCell(0, 1, m_query.periodLabel());
    FitPeriodColumn(m_query.periodLabel());
    if (kind != orv::RecordKind::Loan) {
        model.SetFixedCell(0, 3, orv::fenText(block->sum));
        WriteCriteriaLabels(model, {0}, m_query);
        return true;
    }

    const orv::LoanBalance balance = orv::LoanBalance::of(model.Entries(), block->first, block->count);
    model.SetFixedCell(0, 3, orv::fenText(balance.shownAmount()));
    model.SetFixedCell(0, 4, balance.conclusion());
    // The conclusion keeps the summary's remark cell; a remark criterion is
    // shown in the remark column of the block's heading instead.
    WriteCriteriaLabels(model, {0}, m_query, false);
    if (orv::restricts(m_query.remark))
        model.SetFixedCell(1, 4, m_query.remark);
    return true;
}

bool CQueryDlg::FillIncomeResult()
{
    return FillSingleKindResult(orv::RecordKind::Income, QStringLiteral("收入金额"), QStringLiteral("收入记录"));
}

bool CQueryDlg::FillPayoutResult()
{
    return FillSingleKindResult(orv::RecordKind::Payout, QStringLiteral("支出金额"), QStringLiteral("支出记录"));
}

bool CQueryDlg::FillLoanResult()
{
    return FillSingleKindResult(orv::RecordKind::Loan, QStringLiteral("借贷总计"), QStringLiteral("借贷记录"));
}
