#include "model/TextForms.h"

#include "settings/GbkText.h"

namespace orv {

QString dateText(int year, int month, int day)
{
    return QString::asprintf("%d年%d月%d日", year, month, day);
}

QString dateText(const QDate &date)
{
    return dateText(date.year(), date.month(), date.day());
}

std::optional<QDate> parseDateText(const QString &text)
{
    const qsizetype y = text.indexOf(u'年');
    const qsizetype m = text.indexOf(u'月', y + 1);
    const qsizetype d = text.indexOf(u'日', m + 1);
    if (y <= 0 || m <= y + 1 || d <= m + 1)
        return std::nullopt;
    bool okY = false, okM = false, okD = false;
    const int year = text.left(y).trimmed().toInt(&okY);
    const int month = text.mid(y + 1, m - y - 1).trimmed().toInt(&okM);
    const int day = text.mid(m + 1, d - m - 1).trimmed().toInt(&okD);
    const QDate date(year, month, day);
    if (!okY || !okM || !okD || !date.isValid())
        return std::nullopt;
    return date;
}

QString moneyText(double amount)
{
    QString text = QString::asprintf("%.2f", amount);
    // A sum that drifted a hair below zero is no debt.
    if (text == QStringLiteral("-0.00"))
        text = QStringLiteral("0.00");
    return text;
}

double storedMoney(double amount)
{
    return moneyText(amount).toDouble();
}

QString idText(qint64 id)
{
    return QString::number(id);
}

QString storageDate(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

qint64 julianDayFromStorage(QStringView text)
{
    // Accept "yyyy-MM-dd" and anything longer that starts with it (a time part).
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-')
        return 0;
    auto digits = [&](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31)
        return 0;
    const QDate date(year, month, day);
    return date.isValid() ? date.toJulianDay() : 0;
}

bool isStorableText(const QString &text)
{
    if (!text.isEmpty() && (text.front() == QChar(0xFEFF) || text.front() == QChar(0xFFFE)))
        return false;
    return !text.contains(QChar(0));
}

QString unstorableTextMessage()
{
    return QStringLiteral("输入的文字中含有不能保存的不可见字符（空字符，或开头的字节顺序标记 U+FEFF / U+FFFE），"
                          "请删去后再试。");
}

int gbkByteLength(const QString &text)
{
    return int(encodeGbk(text).size());
}

bool fitsTextColumn(const QString &text)
{
    // No character takes more than four bytes in the book's code page; skip
    // the conversion for the common short text.
    if (text.size() * 4 <= kMaxTextBytes)
        return true;
    return gbkByteLength(text) <= kMaxTextBytes;
}

} // namespace orv
