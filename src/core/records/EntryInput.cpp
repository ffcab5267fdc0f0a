#include "records/EntryInput.h"

#include "model/TextForms.h"

#include <cmath>

namespace orv {

bool parseAmount(const QString &text, double *value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    const double parsed = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

EntryProblem checkEntryInput(const QString &amountText, const QString &items, const QString &remark,
                             double *money)
{
    if (amountText.isEmpty())
        return EntryProblem::AmountEmpty;
    double amount = 0.0;
    if (!parseAmount(amountText, &amount))
        return EntryProblem::AmountNotNumber;
    if (amount > kMaxAmount)
        return EntryProblem::AmountTooLarge;
    // The book keeps two decimals: 0.001 would be stored as 0.00, which is
    // exactly what "greater than zero" means to keep out.
    const double stored = storedMoney(amount);
    if (!(stored > 0.0))
        return EntryProblem::AmountNotPositive;
    if (!isStorableText(items) || !isStorableText(remark))
        return EntryProblem::UnstorableText;
    if (!fitsTextColumn(items))
        return EntryProblem::ItemsTooLong;
    if (!fitsTextColumn(remark))
        return EntryProblem::RemarkTooLong;
    *money = stored;
    return EntryProblem::None;
}

QString amountEditText(double amount)
{
    // The two decimals the list shows, without the zeros a person leaves out;
    // digits beyond them (and a fixed count of significant digits, which
    // rounds 12345678901234.56 to ...234.6) are not the amount shown.
    QString text = moneyText(amount);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

bool isAmountCharacter(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'.';
}

QString wheelAmountText(const QString &text, bool up)
{
    double amount = 0.0;
    if (!text.isEmpty() && !parseAmount(text, &amount))
        return text;
    if (up)
        amount += 1.0;
    else if (amount > 0.0)
        amount -= 1.0;
    return amountEditText(amount);
}

} // namespace orv
