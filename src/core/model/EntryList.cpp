#include "model/EntryList.h"

#include "model/TextForms.h"

#include <algorithm>

namespace orv {

bool EntryValues::sameAsShown(const EntryValues &other) const
{
    return date == other.date && items == other.items && moneyText(money) == moneyText(other.money) &&
           remark == other.remark && user == other.user;
}

Entry EntryList::make(qint64 id, const EntryValues &values)
{
    Entry entry;
    entry.id = id;
    entry.julianDay = qint32(values.date.toJulianDay());
    entry.money = values.money;
    entry.items = m_pool->intern(values.items);
    entry.remark = m_pool->intern(values.remark);
    entry.user = m_pool->intern(values.user);
    return entry;
}

EntryValues EntryList::values(const Entry &entry) const
{
    return {QDate::fromJulianDay(entry.julianDay), m_pool->text(entry.items), entry.money,
            m_pool->text(entry.remark), m_pool->text(entry.user)};
}

QString EntryList::cellText(const Entry &entry, EntryColumn column) const
{
    switch (column) {
    case EntryColumn::Id: return idText(entry.id);
    case EntryColumn::Date: return dateText(QDate::fromJulianDay(entry.julianDay));
    case EntryColumn::Items: return m_pool->text(entry.items);
    case EntryColumn::Money: return moneyText(entry.money);
    case EntryColumn::Remark: return m_pool->text(entry.remark);
    case EntryColumn::User: return m_pool->text(entry.user);
    }
    return {};
}

namespace {

template <typename Key>
void sortByKey(std::vector<Entry>::iterator first, std::vector<Entry>::iterator last, SortOrder order, Key key)
{
    if (order == SortOrder::Ascending) {
        std::sort(first, last, [&](const Entry &a, const Entry &b) {
            const auto ka = key(a), kb = key(b);
            return ka < kb || (!(kb < ka) && a.id < b.id);
        });
    } else {
        std::sort(first, last, [&](const Entry &a, const Entry &b) {
            const auto ka = key(a), kb = key(b);
            return kb < ka || (!(ka < kb) && a.id < b.id);
        });
    }
}

} // namespace

void sortEntries(std::vector<Entry>::iterator first, std::vector<Entry>::iterator last, EntryColumn column,
                 SortOrder order, const StringPool &pool)
{
    switch (column) {
    case EntryColumn::Id:
        sortByKey(first, last, order, [](const Entry &e) { return e.id; });
        return;
    case EntryColumn::Date:
        sortByKey(first, last, order, [](const Entry &e) { return e.julianDay; });
        return;
    case EntryColumn::Money:
        sortByKey(first, last, order, [](const Entry &e) { return e.money; });
        return;
    case EntryColumn::Items:
    case EntryColumn::Remark:
    case EntryColumn::User: {
        const std::vector<quint32> &ranks = pool.collationRanks();
        const quint32 Entry::*field = column == EntryColumn::Items    ? &Entry::items
                                      : column == EntryColumn::Remark ? &Entry::remark
                                                                      : &Entry::user;
        sortByKey(first, last, order, [&](const Entry &e) { return ranks[e.*field]; });
        return;
    }
    }
}

} // namespace orv
