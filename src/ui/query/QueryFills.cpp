// The query module's result fills: what a query found, written into the
// record list with its summary row, block headings and totals.
#include "query/QueryResultFills.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/QueryList.h"
#include "query/QueryResult.h"
#include "records/CRecordListCtrl.h"
#include "store/BookConnection.h"
#include "model/TextForms.h"

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

bool FillIncomePayoutResult(QWidget *parent, const orv::QueryCriteria &query)
{
    CRecordListModel &model = StartFill();
    model.AppendFixedRow({QStringLiteral("余额"), {}, kAll, {}, kAll, {}});

    auto income = AppBook().queryBlock(query, orv::RecordKind::Income, model.Entries());
    if (!CheckDb(parent, income))
        return false;
    model.AppendFixedRow({QStringLiteral("收入记录")});
    model.AppendEntryRows(income->first);
    model.SetFixedCell(1, 3, orv::fenText(income->sum));

    const int header = model.rowCount();
    model.AppendFixedRow({QStringLiteral("支出记录")});
    MarkPayoutHeader(header);
    auto payout = AppBook().queryBlock(query, orv::RecordKind::Payout, model.Entries());
    if (!CheckDb(parent, payout))
        return false;
    model.AppendEntryRows(payout->first);
    model.SetFixedCell(header, 3, orv::fenText(payout->sum));

    const QString period = query.periodLabel();
    for (int row : {0, 1, header})
        model.SetFixedCell(row, 1, period);
    FitPeriodColumn(period);
    model.SetFixedCell(0, 3, orv::fenText(income->sum - payout->sum));
    for (int row : {1, header}) {
        for (int column : {2, 4, 5})
            model.SetFixedCell(row, column, kAll);
    }
    WriteCriteriaLabels(model, {0, 1, header}, query);
    return true;
}

bool FillSingleKindResult(QWidget *parent, const orv::QueryCriteria &query, orv::RecordKind kind,
                          const QString &totalName, const QString &blockName)
{
    CRecordListModel &model = StartFill();
    model.AppendFixedRow({totalName, {}, kAll, {}, kAll, {}});

    auto block = AppBook().queryBlock(query, kind, model.Entries());
    if (!CheckDb(parent, block))
        return false;
    model.AppendFixedRow({blockName});
    model.AppendEntryRows(block->first);

    model.SetFixedCell(0, 1, query.periodLabel());
    FitPeriodColumn(query.periodLabel());
    if (kind != orv::RecordKind::Loan) {
        model.SetFixedCell(0, 3, orv::fenText(block->sum));
        WriteCriteriaLabels(model, {0}, query);
        return true;
    }

    const orv::LoanBalance balance = orv::LoanBalance::of(model.Entries(), block->first, block->count);
    model.SetFixedCell(0, 3, orv::fenText(balance.shownAmount()));
    model.SetFixedCell(0, 4, balance.conclusion());
    // The conclusion keeps the summary's remark cell; a remark criterion is
    // shown in the remark column of the block's heading instead.
    WriteCriteriaLabels(model, {0}, query, false);
    if (orv::restricts(query.remark))
        model.SetFixedCell(1, 4, query.remark);
    return true;
}

bool ShowQueryResult(QWidget *parent, const orv::QueryCriteria &criteria)
{
    if (const auto problem = criteria.problem()) {
        ShowAttention(parent, *problem);
        return false;
    }
    bool filled = false;
    switch (criteria.range) {
    case orv::QueryRange::IncomePayout: filled = FillIncomePayoutResult(parent, criteria); break;
    case orv::QueryRange::Income:
        filled = FillSingleKindResult(parent, criteria, orv::RecordKind::Income, QStringLiteral("收入金额"),
                                      QStringLiteral("收入记录"));
        break;
    case orv::QueryRange::Payout:
        filled = FillSingleKindResult(parent, criteria, orv::RecordKind::Payout, QStringLiteral("支出金额"),
                                      QStringLiteral("支出记录"));
        break;
    case orv::QueryRange::Loan:
        filled = FillSingleKindResult(parent, criteria, orv::RecordKind::Loan, QStringLiteral("借贷总计"),
                                      QStringLiteral("借贷记录"));
        break;
    }
    CRecordListCtrl &list = RecordList();
    list.EnsureVisible(0);
    if (!filled)
        return false;
    list.m_nQueryKind = int(criteria.range);
    list.m_query = criteria;
    if (CLedgerDlg *ledger = LedgerWindow())
        ledger->QueryShown();
    return true;
}
