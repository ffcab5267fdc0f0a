#include "import/ImportValues.h"

#include "records/EntryInput.h"

#include <QRegularExpression>

#include <cmath>

namespace orv {

namespace {

// The blanks around a cell, full-width ones included.
QStringView trimmed(QStringView text)
{
    qsizetype first = 0, last = text.size();
    auto blank = [](QChar c) { return c.isSpace() || c == QChar(0x3000); };
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

std::optional<QDate> validDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

const QRegularExpression &yearFirst()
{
    // 2024-02-29, 2024/2/29, 2024.2.29, with a time of day after it.
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})(?:[ T]\\d{1,2}:\\d{2}(?::\\d{2}(?:\\.\\d+)?)?)?$"));
    return pattern;
}

const QRegularExpression &chinese()
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})\\s*年\\s*(\\d{1,2})\\s*月\\s*(\\d{1,2})\\s*日$"));
    return pattern;
}

const QRegularExpression &dotted()
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    return pattern;
}

const QRegularExpression &slashed()
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    return pattern;
}

int number(const QRegularExpressionMatch &match, int group)
{
    return match.capturedView(group).toInt();
}

} // namespace

std::optional<QDate> parseImportDate(QStringView text, DateOrder order)
{
    const QStringView cell = trimmed(text);
    if (cell.isEmpty())
        return std::nullopt;
    if (const auto m = yearFirst().match(cell); m.hasMatch())
        return validDate(number(m, 1), number(m, 3), number(m, 4));
    if (const auto m = chinese().match(cell); m.hasMatch())
        return validDate(number(m, 1), number(m, 2), number(m, 3));
    if (const auto m = dotted().match(cell); m.hasMatch())
        return validDate(number(m, 3), number(m, 2), number(m, 1));
    if (const auto m = slashed().match(cell); m.hasMatch()) {
        const int a = number(m, 1), b = number(m, 2), year = number(m, 3);
        return order == DateOrder::MonthFirst ? validDate(year, a, b) : validDate(year, b, a);
    }
    return std::nullopt;
}

bool isAmbiguousDate(QStringView text)
{
    const auto m = slashed().match(trimmed(text));
    if (!m.hasMatch())
        return false;
    const int a = number(m, 1), b = number(m, 2);
    return a != b && a >= 1 && a <= 12 && b >= 1 && b <= 12 &&
           parseImportDate(text, DateOrder::MonthFirst) && parseImportDate(text, DateOrder::DayFirst);
}

std::optional<DateOrder> dateOrderOf(const QStringList &texts)
{
    for (const QString &text : texts) {
        const auto m = slashed().match(trimmed(text));
        if (!m.hasMatch())
            continue;
        const int a = number(m, 1), b = number(m, 2);
        if (a > 12 && b <= 12)
            return DateOrder::DayFirst;
        if (b > 12 && a <= 12)
            return DateOrder::MonthFirst;
    }
    return std::nullopt;
}

std::optional<double> parseImportAmount(QStringView text)
{
    QStringView cell = trimmed(text);
    bool negative = false;
    auto strip = [&cell](QStringView prefix, QStringView suffix) {
        if (cell.size() >= prefix.size() + suffix.size() && cell.startsWith(prefix) && cell.endsWith(suffix)) {
            cell = trimmed(cell.mid(prefix.size(), cell.size() - prefix.size() - suffix.size()));
            return true;
        }
        return false;
    };
    if (strip(u"(", u")") || strip(u"（", u"）"))
        negative = true;
    auto takeSign = [&] {
        if (cell.startsWith(u'-') || cell.startsWith(QChar(0x2212))) {
            if (negative)
                return false; // "(-12)" or "--12" is nobody's way of writing
            negative = true;
            cell = trimmed(cell.mid(1));
        } else if (cell.startsWith(u'+')) {
            cell = trimmed(cell.mid(1));
        }
        return true;
    };
    if (!takeSign())
        return std::nullopt;
    const bool currency = strip(u"¥", u"") || strip(u"￥", u"");
    if (currency && !negative && !takeSign())
        return std::nullopt;
    strip(u"", u"元");

    static const QRegularExpression grouped(QStringLiteral("^\\d{1,3}(?:,\\d{3})+(?:\\.\\d+)?$"));
    static const QRegularExpression plain(QStringLiteral("^(?:\\d+(?:\\.\\d*)?|\\.\\d+)$"));
    QString digits;
    if (grouped.match(cell).hasMatch())
        digits = cell.toString().remove(u',');
    else if (plain.match(cell).hasMatch())
        digits = cell.toString();
    else
        return std::nullopt;
    bool ok = false;
    const double amount = digits.toDouble(&ok);
    if (!ok || !std::isfinite(amount))
        return std::nullopt;
    return negative ? -amount : amount;
}

QString guardedCell(const QString &text)
{
    static const QString risky = QStringLiteral("=+-@'\t\r");
    if (text.isEmpty() || !risky.contains(text.front()))
        return text;
    // A plain negative number is no formula, and stays a number.
    static const QRegularExpression negativeNumber(QStringLiteral("^-\\d+(?:\\.\\d+)?$"));
    if (negativeNumber.match(text).hasMatch())
        return text;
    return u'\'' + text;
}

QString unguardedCell(const QString &text)
{
    static const QString risky = QStringLiteral("=+-@'\t\r");
    if (text.size() >= 2 && text.front() == u'\'' && risky.contains(text.at(1)))
        return text.mid(1);
    return text;
}

} // namespace orv
