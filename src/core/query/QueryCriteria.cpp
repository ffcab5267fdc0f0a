#include "query/QueryCriteria.h"

#include "model/TextForms.h"

#include <algorithm>

namespace orv {

namespace {

bool allDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

std::optional<double> QueryCriteria::lowerAmount() const
{
    const QString text = moneyFrom.trimmed();
    // Left empty and started with Enter before the box could restore its "0".
    if (text.isEmpty())
        return 0.0;
    if (!allDigits(text))
        return std::nullopt;
    return text.toDouble();
}

std::optional<double> QueryCriteria::upperAmount() const
{
    const QString text = moneyTo.trimmed();
    if (text.isEmpty() || text == kUnlimited)
        return kUnlimitedAmount;
    if (!allDigits(text))
        return std::nullopt;
    return text.toDouble();
}

std::optional<QString> QueryCriteria::problem() const
{
    if (!lowerAmount() || !upperAmount())
        return QStringLiteral("金额只能是整数，请重新输入!");
    if (!dateFrom.isValid() || !dateTo.isValid())
        return QStringLiteral("日期不正确，请重新选择!");
    for (const QString *text : {&category, &remark, &user}) {
        if (!isStorableText(*text))
            return unstorableTextMessage();
    }
    return std::nullopt;
}

QList<RecordKind> QueryCriteria::kinds() const
{
    switch (range) {
    case QueryRange::IncomePayout: return {RecordKind::Income, RecordKind::Payout};
    case QueryRange::Income: return {RecordKind::Income};
    case QueryRange::Payout: return {RecordKind::Payout};
    case QueryRange::Loan: return {RecordKind::Loan};
    }
    return {};
}

QString QueryCriteria::periodLabel() const
{
    return dateText(dateFrom) + QStringLiteral(" 至 ") + dateText(dateTo);
}

bool restricts(const QString &criterion)
{
    return criterion != kSelectAll;
}

std::optional<QueryRange> rangeFromIndex(int index)
{
    if (index < 0 || index > 3)
        return std::nullopt;
    return QueryRange(index);
}

} // namespace orv
