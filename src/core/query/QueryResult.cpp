#include "query/QueryResult.h"

#include "query/QueryStatement.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

// Which of the four sums a category goes to; -1 for none. The categories
// are compared in this order, with the whole text.
int loanSlot(const QString &category)
{
    if (category == kLent)
        return 0;
    if (category == kBorrowed)
        return 1;
    if (category == kRepaidIn)
        return 2;
    if (category == kRepaidOut)
        return 3;
    return -1;
}

void addToSlot(LoanBalance &balance, int slot, double money)
{
    switch (slot) {
    case 0: balance.lent += fenOf(money); break;
    case 1: balance.borrowed += fenOf(money); break;
    case 2: balance.repaidIn += fenOf(money); break;
    case 3: balance.repaidOut += fenOf(money); break;
    default: break;
    }
}

} // namespace

void LoanBalance::add(const QString &category, double money)
{
    addToSlot(*this, loanSlot(category), money);
}

void LoanBalance::addSum(const QString &category, FenSum sum)
{
    switch (loanSlot(category)) {
    case 0: lent += sum; break;
    case 1: borrowed += sum; break;
    case 2: repaidIn += sum; break;
    case 3: repaidOut += sum; break;
    default: break;
    }
}

FenSum LoanBalance::balance() const
{
    return repaidOut + lent - borrowed - repaidIn;
}

FenSum LoanBalance::shownAmount() const
{
    const FenSum fen = balance();
    return fen < 0 ? -fen : fen;
}

QString LoanBalance::conclusion() const
{
    const FenSum fen = balance();
    if (fen < 0)
        return QStringLiteral("你欠别人钱");
    if (fen > 0)
        return QStringLiteral("别人欠你钱");
    return QStringLiteral("互不相欠");
}

LoanBalance LoanBalance::of(const EntryList &list, qsizetype first, qsizetype count)
{
    LoanBalance balance;
    // Compare pool indexes, not texts: each distinct category is looked at once.
    const StringPool &pool = list.pool();
    std::vector<int> slotOf(pool.size());
    for (quint32 i = 0; i < pool.size(); ++i)
        slotOf[i] = loanSlot(pool.text(i));
    for (qsizetype i = first; i < first + count; ++i) {
        const Entry &entry = list.at(i);
        addToSlot(balance, slotOf[entry.items], entry.money);
    }
    return balance;
}

namespace QueryRunner {

namespace {

bool dateThenId(const Entry &a, const Entry &b)
{
    return a.julianDay < b.julianDay || (a.julianDay == b.julianDay && a.id < b.id);
}

// Puts entries in date order, equal dates by id. Rows read through the date
// index, and the rows of a book kept in date order, need no sorting at all.
void sortByDate(std::vector<Entry>::iterator first, std::vector<Entry>::iterator last, const StringPool &pool)
{
    if (!std::is_sorted(first, last, dateThenId))
        sortEntries(first, last, EntryColumn::Date, SortOrder::Ascending, pool);
}

DbResult<QueryBlock> readStatement(const BookConnection &conn, const BoundStatement &statement, RecordKind kind,
                                   EntryList &into, const Progress &progress = {})
{
    QueryBlock block;
    block.kind = kind;
    block.first = into.size();
    auto added = EntryStore::appendSelected(conn, statement.sql, statement.values, into, progress);
    if (!added)
        return added.error();
    block.count = *added;
    // Sorted here rather than by the engine, which then picks the quickest
    // way to the rows.
    auto &entries = into.entries();
    const auto first = entries.begin() + block.first;
    sortByDate(first, entries.end(), into.pool());
    for (auto it = first; it != entries.end(); ++it)
        block.sum += fenOf(it->money);
    return block;
}

} // namespace

DateAccess chooseDateAccess(const BookConnection &conn, const QueryCriteria &criteria, RecordKind kind)
{
    if (conn.sql().plansDateRanges())
        return DateAccess::ByIndex;
    const BoundStatement share = QueryStatement::dateShare(criteria, kind);
    auto query = conn.read(share.sql, share.values);
    if (!query || !query->next())
        return DateAccess::ByIndex; // the select itself will tell what is wrong
    const qint64 inRange = query->value(0).toLongLong();
    const qint64 size = query->value(1).toLongLong();
    // Each entry found through the index costs a look-up in the table, about
    // as much as reading a dozen entries straight through it.
    return inRange * 12 > size ? DateAccess::ByScan : DateAccess::ByIndex;
}

DbResult<QueryBlock> readBlock(const BookConnection &conn, const QueryCriteria &criteria, RecordKind kind,
                               EntryList &into)
{
    if (const auto problem = criteria.problem())
        return DbError::refused(*problem);
    const DateAccess access = chooseDateAccess(conn, criteria, kind);
    return readStatement(conn, QueryStatement::select(conn.sql(), criteria, kind, access), kind, into);
}

DbResult<QueryBlock> readEverything(const BookConnection &conn, RecordKind kind, EntryList &into,
                                    const Progress &progress)
{
    return readStatement(conn, QueryStatement::everything(kind), kind, into, progress);
}

} // namespace QueryRunner

FenSum QueryResult::total() const
{
    switch (criteria.range) {
    case QueryRange::IncomePayout: {
        FenSum income = 0, payout = 0;
        for (const QueryBlock &block : blocks)
            (block.kind == RecordKind::Income ? income : payout) += block.sum;
        return income - payout;
    }
    case QueryRange::Income:
    case QueryRange::Payout: return blocks.isEmpty() ? 0 : blocks.first().sum;
    case QueryRange::Loan: return loans.shownAmount();
    }
    return 0;
}

DbResult<QueryResult> QueryResult::run(const BookConnection &conn, const QueryCriteria &criteria)
{
    QueryResult result;
    result.criteria = criteria;
    for (RecordKind kind : criteria.kinds()) {
        auto block = QueryRunner::readBlock(conn, criteria, kind, result.entries);
        if (!block)
            return block.error();
        result.blocks.append(*block);
        if (kind == RecordKind::Loan)
            result.loans = LoanBalance::of(result.entries, block->first, block->count);
    }
    return result;
}

} // namespace orv
