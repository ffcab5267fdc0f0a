#include "analysis/AnalysisFigures.h"

#include <algorithm>

namespace orv {

void sortLargestFirst(QList<CategoryShare> &shares)
{
    std::sort(shares.begin(), shares.end(), [](const CategoryShare &a, const CategoryShare &b) {
        if (a.sum != b.sum)
            return a.sum > b.sum;
        if (a.count != b.count)
            return a.count > b.count;
        return a.category < b.category;
    });
}

QList<ShareSlice> foldShares(const QList<CategoryShare> &largestFirst, int top)
{
    QList<ShareSlice> named;
    QList<CategoryShare> rest;
    for (const CategoryShare &share : largestFirst) {
        if (named.size() < top && share.category != kOtherSlice)
            named.append({share.category, share.sum, share.count, {share.category}});
        else
            rest.append(share);
    }
    if (rest.size() == 1) {
        // One leftover is shown by its own name: folding it would only hide it.
        const CategoryShare &only = rest.first();
        named.append({only.category, only.sum, only.count, {only.category}});
    } else if (!rest.isEmpty()) {
        ShareSlice other{kOtherSlice, 0, 0, {}};
        for (const CategoryShare &share : rest) {
            other.sum += share.sum;
            other.count += share.count;
            other.categories.append(share.category);
        }
        named.append(other);
    }
    return named;
}

double CategoryFigures::percentOf(FenSum sum) const
{
    if (total == 0)
        return 0.0;
    return 100.0 * double(sum) / double(total);
}

FenSum MemberFigures::partSum(const QList<CategoryShare> &memberShares, const ShareSlice &part)
{
    FenSum sum = 0;
    for (const CategoryShare &share : memberShares) {
        if (part.categories.contains(share.category))
            sum += share.sum;
    }
    return sum;
}

FenSum owedToFamily(const LoanBalance &loans)
{
    return loans.lent - loans.repaidIn;
}

FenSum owedByFamily(const LoanBalance &loans)
{
    return loans.borrowed - loans.repaidOut;
}

} // namespace orv
