#include "model/TextCollation.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace orv {

namespace {

QCollator &chineseCollator()
{
    // Thread-local: a QCollator may not be shared between threads.
    thread_local QCollator collator = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setCaseSensitivity(Qt::CaseSensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator;
}

} // namespace

std::vector<quint32> collationRanks(const std::vector<QString> &texts)
{
    QCollator &collator = chineseCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const QString &text : texts)
        keys.push_back(collator.sortKey(text));
    auto order3 = [&](quint32 a, quint32 b) {
        const int byKey = keys[a].compare(keys[b]);
        return byKey != 0 ? byKey : texts[a].compare(texts[b]);
    };
    std::vector<quint32> order(texts.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](quint32 a, quint32 b) { return order3(a, b) < 0; });
    std::vector<quint32> ranks(texts.size(), 0);
    quint32 rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && order3(order[i - 1], order[i]) != 0)
            ++rank;
        ranks[order[i]] = rank;
    }
    return ranks;
}

} // namespace orv
