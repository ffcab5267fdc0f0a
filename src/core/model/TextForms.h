#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <type_traits>

namespace orv {

// The text forms in which dates, amounts and keys travel to the screen, into
// statements and back from the list's cells.

// "%d年%d月%d日": 2009年3月7日, no leading zeros.
QString dateText(const QDate &date);
QString dateText(int year, int month, int day);
// Reads "2009年3月7日" back (the list's cells are the source of modify).
std::optional<QDate> parseDateText(const QString &text);

// "%.2f": 1234.50, -12.50; rounding as printf does it.
QString moneyText(double amount);
// A sum is exact and has its own text (fenText); never through a double.
template <typename T>
    requires(!std::is_same_v<T, double> && !std::is_same_v<T, float> && !std::is_same_v<T, int> &&
             !std::is_same_v<T, qint64>)
QString moneyText(T) = delete;
// The amount as the book stores it: rounded to the two decimals it is shown with.
double storedMoney(double amount);

// "%d"
QString idText(qint64 id);

// Dates are stored as ISO text, so that text order is date order.
QString storageDate(const QDate &date);
// Julian day straight from "yyyy-MM-dd" bytes, without building a QDate:
// the fast path for reading hundreds of thousands of rows. 0 if malformed.
qint64 julianDayFromStorage(QStringView text);

// Texts stored in the book are limited to this many bytes in the book's
// historical code page (GBK), as the columns were always declared.
inline constexpr int kMaxTextBytes = 255;

// Texts the book cannot keep exactly: a NUL character (an engine ends the
// text there, or refuses it) or a byte-order mark at the very start (read
// as a mark, not as a character). Refused wherever they would be stored or
// searched for, with this message.
bool isStorableText(const QString &text);
QString unstorableTextMessage();
int gbkByteLength(const QString &text);
bool fitsTextColumn(const QString &text);

} // namespace orv
