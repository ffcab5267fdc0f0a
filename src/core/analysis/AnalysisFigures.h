#pragma once

#include "analysis/AnalysisPeriod.h"
#include "analysis/PeriodBuckets.h"
#include "query/QueryResult.h"
#include "model/RecordKind.h"
#include "model/Money.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace orv {

// The figures behind the charts. Every sum is exact fen, added up by the
// engine over the entries the query module would list for the same
// criteria, so that each figure is the query's own total to the fen.

// Income and expense of one bar of the chart over time.
struct TrendRow
{
    FenSum income = 0;
    FenSum payout = 0;
    qint64 incomeCount = 0;
    qint64 payoutCount = 0;
    // Income − expense from the period's first day to this bar's last.
    FenSum running = 0;

    FenSum balance() const { return income - payout; }
    bool operator==(const TrendRow &) const = default;
};

struct TrendFigures
{
    PeriodBuckets buckets;
    QList<TrendRow> rows; // one per bucket
    FenSum income = 0;
    FenSum payout = 0;
    qint64 count = 0;

    FenSum balance() const { return income - payout; }
};

// One category's sum.
struct CategoryShare
{
    QString category;
    FenSum sum = 0;
    qint64 count = 0;
    bool operator==(const CategoryShare &) const = default;
};

// A slice of a pie, or a part of a stacked bar: one category, or "其他"
// holding the smallest ones.
struct ShareSlice
{
    QString label;
    FenSum sum = 0;
    qint64 count = 0;
    QStringList categories;

    // A slice of one category leads to that category's entries.
    bool isSingleCategory() const { return categories.size() == 1; }
    bool operator==(const ShareSlice &) const = default;
};

// The word of the slice that holds the smallest categories.
inline const QString kOtherSlice = QStringLiteral("其他");
// How many categories a chart names before folding the rest.
inline constexpr int kNamedSlices = 10;

// Categories largest first, folded past the top: the `top` largest keep
// their names, the rest become one "其他" slice (a single leftover keeps
// its own name). A category the family itself called "其他" joins that
// slice, so that no two slices are called alike.
QList<ShareSlice> foldShares(const QList<CategoryShare> &largestFirst, int top = kNamedSlices);

// Sorted largest first; equal sums by more entries, then by name.
void sortLargestFirst(QList<CategoryShare> &shares);

struct CategoryFigures
{
    RecordKind kind = RecordKind::Payout;
    QList<CategoryShare> categories; // largest first
    FenSum total = 0;
    qint64 count = 0;

    QList<ShareSlice> slices() const { return foldShares(categories); }
    // The share of a sum in the total, in percent (0 for an empty total).
    double percentOf(FenSum sum) const;
};

// What each family member (记录人, the user who recorded the entries)
// took in and spent, by category.
struct MemberRow
{
    QString user;
    FenSum income = 0;
    FenSum payout = 0;
    qint64 incomeCount = 0;
    qint64 payoutCount = 0;
    QList<CategoryShare> incomeCategories; // largest first
    QList<CategoryShare> payoutCategories;

    FenSum balance() const { return income - payout; }
};

struct MemberFigures
{
    // In the order of the book's user list; recorders no longer in it after them.
    QList<MemberRow> members;
    // Over all members, largest first: the parts the stacked bars show.
    QList<CategoryShare> incomeCategories;
    QList<CategoryShare> payoutCategories;

    // How many categories of a kind the stacked bars name before "其他".
    static constexpr int kNamedParts = 5;
    QList<ShareSlice> incomeParts() const { return foldShares(incomeCategories, kNamedParts); }
    QList<ShareSlice> payoutParts() const { return foldShares(payoutCategories, kNamedParts); }
    // A member's sum of the categories of one part.
    static FenSum partSum(const QList<CategoryShare> &memberShares, const ShareSlice &part);
};

// Loans by the query module's rule, as they stand at each bar's last day:
// everything lent, borrowed and repaid since the first loan of the book.
struct LoanFigures
{
    PeriodBuckets buckets;
    // The first loan's day: where each bar's history starts.
    QDate historyStart;
    // The state before the period's first day.
    LoanBalance opening;
    // The state at each bucket's last day.
    QList<LoanBalance> atEnd;
    // Loan entries of other categories, counted in no sum (as in the query).
    qint64 uncountedCount = 0;
    QStringList uncountedCategories;
};

// Money others owe the family: lent out and not yet repaid (借出 − 还入).
FenSum owedToFamily(const LoanBalance &loans);
// Money the family owes others: borrowed and not yet repaid (借入 − 还出).
FenSum owedByFamily(const LoanBalance &loans);

} // namespace orv
