#pragma once

#include "model/RecordKind.h"
#include "model/StringPool.h"

#include <QDate>
#include <QString>

#include <memory>
#include <vector>

namespace orv {

// One entry as the lists hold it: 32 bytes, texts as indexes into the
// list's StringPool, the date as a Julian day. A list of a million entries
// stays small and sorts fast. Ids are 64-bit, as the engines hand them out.
struct Entry
{
    qint64 id = 0;
    double money = 0.0;
    qint32 julianDay = 0;
    quint32 items = 0;
    quint32 remark = 0;
    quint32 user = 0;
};
static_assert(sizeof(Entry) == 32);

// The columns of an entry row as the lists show them.
enum class EntryColumn { Id = 0, Date = 1, Items = 2, Money = 3, Remark = 4, User = 5 };
inline constexpr int kEntryColumnCount = 6;

// The values of an entry outside any list: what dialogs write and read.
struct EntryValues
{
    QDate date;
    QString items;
    double money = 0.0;
    QString remark;
    QString user;

    // Equal as a list shows them: same day, texts, and amount to the fen.
    bool sameAsShown(const EntryValues &other) const;
};

// An entry as the list on screen shows it. A change or a delete goes
// through only if the book still holds the entry exactly so: nobody
// changed or removed it meanwhile (on another computer, or in a book that
// was replaced and gave the id to another entry).
struct ShownEntry
{
    qint64 id = 0;
    EntryValues values;
};

// Entries with the texts they point at.
class EntryList
{
public:
    EntryList() : m_pool(std::make_shared<StringPool>()) {}

    std::vector<Entry> &entries() { return m_entries; }
    const std::vector<Entry> &entries() const { return m_entries; }
    StringPool &pool() { return *m_pool; }
    const StringPool &pool() const { return *m_pool; }
    std::shared_ptr<StringPool> sharedPool() const { return m_pool; }

    qsizetype size() const { return qsizetype(m_entries.size()); }
    const Entry &at(qsizetype i) const { return m_entries[size_t(i)]; }

    Entry make(qint64 id, const EntryValues &values);
    EntryValues values(const Entry &entry) const;
    // A cell as the list shows it: "%d", "%d年%d月%d日", text, "%.2f".
    QString cellText(const Entry &entry, EntryColumn column) const;

private:
    std::vector<Entry> m_entries;
    std::shared_ptr<StringPool> m_pool;
};

enum class SortOrder { Ascending, Descending };

// Sorts entries [first, last) by a column: dates as dates, amounts as
// numbers, texts in pinyin order; equal keys keep ascending id order, so a
// sort is the same whatever order the rows were in before.
void sortEntries(std::vector<Entry>::iterator first, std::vector<Entry>::iterator last, EntryColumn column,
                 SortOrder order, const StringPool &pool);

} // namespace orv
