#include "model/Money.h"

#include <cmath>

namespace orv {

namespace {

// Below this the product amount × 100 is computed to within 1/256 fen,
// so only near a tie can the nearest whole fen differ from printf's.
constexpr double kFastLimit = 1.0e11;

FenSum fenByPrintf(double amount)
{
    return fenFromDecimal(QString::asprintf("%.2f", amount)).value_or(0);
}

} // namespace

FenSum fenOf(double amount)
{
    if (!std::isfinite(amount))
        return 0;
    if (std::fabs(amount) < kFastLimit) {
        const double hundredfold = amount * 100.0;
        const double nearest = std::nearbyint(hundredfold);
        const double off = std::fabs(hundredfold - nearest);
        // Far from a tie the nearest whole fen is what printf shows.
        if (off < 0.49)
            return FenSum(static_cast<long long>(nearest));
    }
    return fenByPrintf(amount);
}

QString fenText(FenSum fen)
{
    const bool negative = fen < 0;
    // Digits from the magnitude; unsigned so that even the smallest value negates.
    unsigned __int128 magnitude = negative ? (unsigned __int128)(-(fen + 1)) + 1 : (unsigned __int128)fen;
    char digits[48];
    int n = 0;
    do {
        digits[n++] = char('0' + int(magnitude % 10));
        magnitude /= 10;
    } while (magnitude > 0 || n < 3);
    QString text;
    text.reserve(n + 2);
    if (negative)
        text += u'-';
    for (int i = n - 1; i >= 0; --i) {
        text += QChar(digits[i]);
        if (i == 2)
            text += u'.';
    }
    return text;
}

double fenToDouble(FenSum fen)
{
    return double(fen) / 100.0;
}

std::optional<FenSum> fenFromDecimal(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (text.front() == u'-' || text.front() == u'+') {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    FenSum whole = 0;
    int i = 0;
    int wholeDigits = 0;
    for (; i < text.size() && text[i].isDigit(); ++i, ++wholeDigits) {
        if (wholeDigits > 34)
            return std::nullopt;
        whole = whole * 10 + (text[i].unicode() - u'0');
    }
    int fen = 0;
    int decimals = 0;
    bool roundUp = false;
    if (i < text.size() && text[i] == u'.') {
        for (++i; i < text.size() && text[i].isDigit(); ++i, ++decimals) {
            const int digit = text[i].unicode() - u'0';
            if (decimals < 2)
                fen = fen * 10 + digit;
            else if (decimals == 2)
                roundUp = digit >= 5; // an engine's exact decimal, rounded half up as a person would
        }
    }
    if (i != text.size() || (wholeDigits == 0 && decimals == 0))
        return std::nullopt;
    for (int d = decimals; d < 2; ++d)
        fen *= 10;
    FenSum value = whole * 100 + fen + (roundUp ? 1 : 0);
    return negative ? -value : value;
}

} // namespace orv
