#pragma once

#include "model/RecordKind.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace orv {

// What a query covers: income and expense together (with their balance),
// income only, expense only, or loans. The numbers are those the query
// dialog's range buttons and the record list's query kind use.
enum class QueryRange { IncomePayout = 0, Income = 1, Payout = 2, Loan = 3 };

// Exact: a text criterion must equal the whole stored text, letter case
// included. Fuzzy: the text may stand anywhere in the stored text, and
// Latin letters match in either case.
enum class MatchMode { Exact = 0, Fuzzy = 1 };

// The marker entry of the criteria boxes: no restriction on this column.
inline const QString kSelectAll = QStringLiteral("选择全部");
// What the amount-to box shows when there is no upper limit.
inline const QString kUnlimited = QStringLiteral("无限");
// The upper bound that "无限" stands for.
inline constexpr double kUnlimitedAmount = 99999999.0;

// A query as the user set it up: the range, the match mode, an inclusive
// date range, an inclusive amount range as the boxes show it, and three
// text criteria that "选择全部" leaves open.
struct QueryCriteria
{
    QueryRange range = QueryRange::IncomePayout;
    MatchMode match = MatchMode::Exact;
    QDate dateFrom;
    QDate dateTo;
    QString moneyFrom = QStringLiteral("0");
    QString moneyTo = kUnlimited;
    QString category = kSelectAll;
    QString remark = kSelectAll;
    QString user = kSelectAll;

    // The amount bounds the boxes stand for. An empty from-box counts as 0;
    // an empty to-box or "无限" as 99999999. Anything but digits has no value.
    std::optional<double> lowerAmount() const;
    std::optional<double> upperAmount() const;
    // Why the criteria cannot be run (a message for the user), if they cannot.
    std::optional<QString> problem() const;

    // The entry kinds the range covers, in the order their blocks are shown.
    QList<RecordKind> kinds() const;
    // "2009年5月1日 至 2009年5月31日"
    QString periodLabel() const;

    bool operator==(const QueryCriteria &) const = default;
};

// True when a criterion text restricts its column (it is not "选择全部").
bool restricts(const QString &criterion);

// The range a query kind number names (0 to 3), if any.
std::optional<QueryRange> rangeFromIndex(int index);

} // namespace orv
