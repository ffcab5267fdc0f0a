#include "analysis/AnalysisReport.h"

#include "analysis/AnalysisStatement.h"
#include "query/QueryResult.h"
#include "store/BookConnection.h"
#include "store/PackedGroups.h"
#include "users/UserStore.h"

#include <QHash>
#include <QSqlQuery>

#include <future>

namespace orv {

QString chartTitle(AnalysisChart chart)
{
    switch (chart) {
    case AnalysisChart::Trend: return QStringLiteral("收支趋势");
    case AnalysisChart::PayoutShares: return QStringLiteral("支出构成");
    case AnalysisChart::IncomeShares: return QStringLiteral("收入构成");
    case AnalysisChart::Members: return QStringLiteral("家庭成员");
    case AnalysisChart::Loans: return QStringLiteral("借贷往来");
    }
    return {};
}

namespace Analysis {

namespace {

using Key = AnalysisStatement::Key;

// One group the engine added up.
struct Group
{
    QVariantList keys;
    FenSum sum = 0;
    qint64 count = 0;
};

// What to add up: the query's entries of a kind, grouped by keys.
struct GroupRequest
{
    QueryCriteria criteria;
    RecordKind kind = RecordKind::Income;
    QList<Key> keys;
};
using Groups = DbResult<QList<Group>>;

Groups readGroups(const BookConnection &conn, const GroupRequest &request)
{
    const auto &[criteria, kind, keys] = request;
    const DateAccess access = QueryRunner::chooseDateAccess(conn, criteria, kind);
    const bool onePass = !keys.isEmpty() && !conn.sql().onePassGroupSums().isEmpty();
    const BoundStatement statement = onePass
                                         ? AnalysisStatement::groupedInOnePass(conn.sql(), criteria, kind, keys, access)
                                         : AnalysisStatement::grouped(conn.sql(), criteria, kind, keys, access);
    auto query = conn.read(statement.sql, statement.values);
    if (!query)
        return query.error();
    QList<PackedGroup> rows;
    const int sumColumn = int(keys.size());
    if (onePass) {
        const QVariant packed = query->next() ? query->value(0) : QVariant();
        auto unpacked = PackedGroups::unpack(packed.toByteArray(), sumColumn);
        if (!unpacked)
            return DbError::statement(QStringLiteral("the book answered groups that cannot be read"));
        rows = std::move(*unpacked);
    } else {
        while (query->next()) {
            PackedGroup row;
            for (int k = 0; k < sumColumn; ++k)
                row.keys.append(query->value(k));
            row.sumText = query->value(sumColumn);
            row.count = query->value(sumColumn + 1).toLongLong();
            rows.append(row);
        }
    }
    QList<Group> groups;
    for (const PackedGroup &row : rows) {
        const QString sumText = row.sumText.toString();
        const std::optional<FenSum> sum = fenFromDecimal(sumText);
        // A figure that cannot be read exactly is not shown at all.
        if (!sum)
            return DbError::statement(QStringLiteral("the book answered a sum that is not an amount: \"%1\"").arg(sumText));
        groups.append({row.keys, *sum, row.count});
    }
    return groups;
}

// Two groupings read at once, the first on a connection of its own in
// another thread: an engine adds up a large table on one processor, so two
// tables take the time of one.
std::pair<Groups, Groups> readBoth(const BookConnection &conn, const GroupRequest &aside, const GroupRequest &here)
{
    auto first = std::async(std::launch::async, [location = conn.location(), aside]() -> Groups {
        const BookConnection own(location);
        if (!own.isOpen())
            return own.openError();
        return readGroups(own, aside);
    });
    Groups second = readGroups(conn, here);
    return {first.get(), std::move(second)};
}

Key timeKey(const PeriodBuckets &buckets)
{
    return buckets.granularity() == Granularity::Day ? Key::Day : Key::Month;
}

// Adds a share to the list under its category (lists are short: a family
// has a few dozen categories at most).
void addShare(QList<CategoryShare> &shares, const QString &category, FenSum sum, qint64 count)
{
    for (CategoryShare &share : shares) {
        if (share.category == category) {
            share.sum += sum;
            share.count += count;
            return;
        }
    }
    shares.append({category, sum, count});
}

} // namespace

QueryRange rangeOf(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Income: return QueryRange::Income;
    case RecordKind::Payout: return QueryRange::Payout;
    case RecordKind::Loan: return QueryRange::Loan;
    }
    return QueryRange::IncomePayout;
}

QueryCriteria criteriaFor(QueryRange range, const PeriodDates &dates)
{
    QueryCriteria criteria;
    criteria.range = range;
    criteria.match = MatchMode::Exact;
    criteria.dateFrom = dates.first;
    criteria.dateTo = dates.last;
    return criteria;
}

DbResult<BookSpan> readSpan(const BookConnection &conn)
{
    BookSpan span;
    for (RecordKind kind : kAllKinds) {
        const BoundStatement statement = AnalysisStatement::span(kind);
        auto query = conn.read(statement.sql, statement.values);
        if (!query)
            return query.error();
        if (!query->next())
            continue;
        const QDate first = dayOfKey(query->value(0));
        const QDate last = dayOfKey(query->value(1));
        if (!first.isValid() || !last.isValid())
            continue;
        if (!span.first.isValid() || first < span.first)
            span.first = first;
        if (!span.last.isValid() || last > span.last)
            span.last = last;
        if (kind == RecordKind::Loan)
            span.firstLoan = first;
    }
    return span;
}

DbResult<TrendFigures> trend(const BookConnection &conn, const PeriodDates &dates)
{
    TrendFigures figures;
    figures.buckets = PeriodBuckets(dates);
    figures.rows.resize(figures.buckets.size());
    const QList<Key> keys{timeKey(figures.buckets)};
    auto [income, payout] = readBoth(conn, {criteriaFor(QueryRange::Income, dates), RecordKind::Income, keys},
                                     {criteriaFor(QueryRange::Payout, dates), RecordKind::Payout, keys});
    for (RecordKind kind : {RecordKind::Income, RecordKind::Payout}) {
        const Groups &groups = kind == RecordKind::Income ? income : payout;
        if (!groups)
            return groups.error();
        for (const Group &group : *groups) {
            const qsizetype i = figures.buckets.indexOfKey(group.keys.first());
            if (i < 0)
                continue;
            TrendRow &row = figures.rows[i];
            if (kind == RecordKind::Income) {
                row.income += group.sum;
                row.incomeCount += group.count;
                figures.income += group.sum;
            } else {
                row.payout += group.sum;
                row.payoutCount += group.count;
                figures.payout += group.sum;
            }
            figures.count += group.count;
        }
    }
    FenSum running = 0;
    for (TrendRow &row : figures.rows) {
        running += row.balance();
        row.running = running;
    }
    return figures;
}

DbResult<CategoryFigures> categories(const BookConnection &conn, const PeriodDates &dates, RecordKind kind)
{
    CategoryFigures figures;
    figures.kind = kind;
    auto groups = readGroups(conn, {criteriaFor(rangeOf(kind), dates), kind, {Key::Category}});
    if (!groups)
        return groups.error();
    for (const Group &group : *groups) {
        figures.categories.append({group.keys.first().toString(), group.sum, group.count});
        figures.total += group.sum;
        figures.count += group.count;
    }
    sortLargestFirst(figures.categories);
    return figures;
}

DbResult<MemberFigures> members(const BookConnection &conn, const PeriodDates &dates)
{
    auto users = UserStore::names(conn);
    if (!users)
        return users.error();
    QHash<QString, MemberRow> byUser;
    MemberFigures figures;
    const QList<Key> keys{Key::User, Key::Category};
    auto [income, payout] = readBoth(conn, {criteriaFor(QueryRange::Income, dates), RecordKind::Income, keys},
                                     {criteriaFor(QueryRange::Payout, dates), RecordKind::Payout, keys});
    for (RecordKind kind : {RecordKind::Income, RecordKind::Payout}) {
        const Groups &groups = kind == RecordKind::Income ? income : payout;
        if (!groups)
            return groups.error();
        const bool isIncome = kind == RecordKind::Income;
        for (const Group &group : *groups) {
            const QString user = group.keys.at(0).toString();
            const QString category = group.keys.at(1).toString();
            MemberRow &row = byUser[user];
            row.user = user;
            (isIncome ? row.income : row.payout) += group.sum;
            (isIncome ? row.incomeCount : row.payoutCount) += group.count;
            addShare(isIncome ? row.incomeCategories : row.payoutCategories, category, group.sum, group.count);
            addShare(isIncome ? figures.incomeCategories : figures.payoutCategories, category, group.sum, group.count);
        }
    }
    // The family in the order of its user list, then those who recorded
    // entries but are no longer users, by name.
    for (const QString &user : *users) {
        if (byUser.contains(user))
            figures.members.append(byUser.take(user));
    }
    QStringList others = byUser.keys();
    others.sort();
    for (const QString &user : others)
        figures.members.append(byUser.take(user));
    for (MemberRow &row : figures.members) {
        sortLargestFirst(row.incomeCategories);
        sortLargestFirst(row.payoutCategories);
    }
    sortLargestFirst(figures.incomeCategories);
    sortLargestFirst(figures.payoutCategories);
    return figures;
}

DbResult<LoanFigures> loans(const BookConnection &conn, const PeriodDates &dates, const QDate &historyStart)
{
    LoanFigures figures;
    figures.buckets = PeriodBuckets(dates);
    figures.historyStart = historyStart.isValid() ? qMin(historyStart, dates.first) : dates.first;
    QStringList uncounted;
    auto note = [&](const QString &category, qint64 count) {
        if (category == kLent || category == kBorrowed || category == kRepaidIn || category == kRepaidOut)
            return;
        figures.uncountedCount += count;
        if (!uncounted.contains(category))
            uncounted.append(category);
    };

    const GroupRequest inPeriod{criteriaFor(QueryRange::Loan, dates), RecordKind::Loan,
                                {timeKey(figures.buckets), Key::Category}};
    Groups groups = QList<Group>();
    if (figures.historyStart < dates.first) {
        // What stood before the period, read beside what moved within it.
        const PeriodDates before{figures.historyStart, dates.first.addDays(-1)};
        auto [opening, moved] =
            readBoth(conn, {criteriaFor(QueryRange::Loan, before), RecordKind::Loan, {Key::Category}}, inPeriod);
        if (!opening)
            return opening.error();
        for (const Group &group : *opening)
            figures.opening.addSum(group.keys.first().toString(), group.sum);
        groups = std::move(moved);
    } else {
        groups = readGroups(conn, inPeriod);
    }
    QList<LoanBalance> moves(figures.buckets.size());
    if (!groups)
        return groups.error();
    for (const Group &group : *groups) {
        const QString category = group.keys.at(1).toString();
        note(category, group.count);
        const qsizetype i = figures.buckets.indexOfKey(group.keys.at(0));
        if (i >= 0)
            moves[i].addSum(category, group.sum);
    }
    LoanBalance state = figures.opening;
    for (const LoanBalance &move : moves) {
        state.lent += move.lent;
        state.borrowed += move.borrowed;
        state.repaidIn += move.repaidIn;
        state.repaidOut += move.repaidOut;
        figures.atEnd.append(state);
    }
    figures.uncountedCategories = uncounted;
    return figures;
}

} // namespace Analysis

AnalysisReport::AnalysisReport(const AnalysisPeriod &period, const BookSpan &span)
    : m_period(period)
    , m_span(span)
    , m_dates(period.dates(span))
{
}

bool AnalysisReport::has(AnalysisChart chart) const
{
    switch (chart) {
    case AnalysisChart::Trend: return m_trend.has_value();
    case AnalysisChart::PayoutShares: return m_payoutShares.has_value();
    case AnalysisChart::IncomeShares: return m_incomeShares.has_value();
    case AnalysisChart::Members: return m_members.has_value();
    case AnalysisChart::Loans: return m_loans.has_value();
    }
    return false;
}

DbStatus AnalysisReport::compute(const BookConnection &conn, AnalysisChart chart)
{
    if (has(chart))
        return {};
    auto keep = [](auto &slot, auto result) -> DbStatus {
        if (!result)
            return result.error();
        slot = std::move(result).value();
        return {};
    };
    switch (chart) {
    case AnalysisChart::Trend: return keep(m_trend, Analysis::trend(conn, m_dates));
    case AnalysisChart::PayoutShares:
        return keep(m_payoutShares, Analysis::categories(conn, m_dates, RecordKind::Payout));
    case AnalysisChart::IncomeShares:
        return keep(m_incomeShares, Analysis::categories(conn, m_dates, RecordKind::Income));
    case AnalysisChart::Members: return keep(m_members, Analysis::members(conn, m_dates));
    case AnalysisChart::Loans: return keep(m_loans, Analysis::loans(conn, m_dates, m_span.firstLoan));
    }
    return {};
}

DbStatus AnalysisReport::computeAll(const BookConnection &conn)
{
    for (AnalysisChart chart : kAllCharts) {
        if (DbStatus done = compute(conn, chart); !done)
            return done;
    }
    return {};
}

} // namespace orv
