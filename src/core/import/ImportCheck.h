#pragma once

#include "import/ImportLayout.h"
#include "model/EntryList.h"
#include "model/RecordKind.h"
#include "model/Money.h"

#include <QFlags>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace orv {

// Why a record of the file cannot become an entry. A record with any of
// these is skipped, never stored in part.
enum class ImportProblem : unsigned {
    NoDate = 1 << 0,
    DateUnreadable = 1 << 1,
    DateOrderOpen = 1 << 2, // a/b/yyyy that reads as two days, and no order chosen
    NoAmount = 1 << 3,
    AmountNotNumber = 1 << 4,
    AmountNotPositive = 1 << 5,
    AmountTooLarge = 1 << 6,
    KindUnknown = 1 << 7,
    ItemsTooLong = 1 << 8,
    RemarkTooLong = 1 << 9,
    TextUnstorable = 1 << 10,
};
Q_DECLARE_FLAGS(ImportProblems, ImportProblem)
Q_DECLARE_OPERATORS_FOR_FLAGS(ImportProblems)

// What tells two entries apart for the duplicate check: kind, day,
// category, amount to the fen and remark (not the id nor who recorded it).
struct EntryKey
{
    RecordKind kind = RecordKind::Income;
    qint64 julianDay = 0;
    qint64 fen = 0;
    QString items;
    QString remark;
    bool operator==(const EntryKey &) const = default;
};
size_t qHash(const EntryKey &key, size_t seed = 0);

// The entries a book holds, as keys.
class EntryKeys
{
public:
    void add(RecordKind kind, const EntryList &list);
    void insert(const EntryKey &key) { m_keys.insert(key); }
    bool contains(const EntryKey &key) const { return m_keys.contains(key); }
    qsizetype size() const { return m_keys.size(); }

private:
    QSet<EntryKey> m_keys;
};

// One record of the file as it would be stored.
struct ImportRow
{
    int line = 0; // where the record starts in the file
    // What the file says, as it says it (for the preview of a row with problems).
    QString dateText, itemsText, amountText, remarkText, kindText;
    std::optional<RecordKind> kind;
    EntryValues values; // date, category, amount as stored, remark
    ImportProblems problems;
    // Same as an entry in the book, or as an earlier row of the file.
    bool duplicateOfBook = false;
    int duplicateOfLine = 0;
    bool isDuplicate() const { return duplicateOfBook || duplicateOfLine > 0; }
    bool canStore() const { return !problems; }
    // Stored unless the user decides otherwise: no problem, no duplicate.
    bool chosenByDefault() const { return canStore() && !isDuplicate(); }
};

// The row's problems in words, one sentence each, for the preview.
QStringList describeProblems(const ImportRow &row);
// Why the row is thought a duplicate, or an empty text.
QString describeDuplicate(const ImportRow &row);

struct ImportCheck
{
    QList<ImportRow> rows;
    // Categories the rows use that the kind's list does not hold yet, in
    // the order they first come.
    QList<QPair<RecordKind, QString>> newCategories;
    // Some date reads as two days and no order is chosen yet.
    bool dateOrderNeeded = false;
};

// Reads every record of the table into a row with its problems, marks
// duplicates of the book's entries and of earlier rows, and lists the
// categories that are new to their kinds. categories: the kinds' lists.
ImportCheck checkImport(const ImportTable &table, const ImportLayout &layout, const EntryKeys &book,
                        const QHash<RecordKind, QStringList> &categories);

// The new categories among the chosen rows, in the order they first come.
QList<QPair<RecordKind, QString>> newCategoriesOf(const QList<ImportRow> &rows, const QList<bool> &chosen,
                                                  const QHash<RecordKind, QStringList> &categories);

} // namespace orv
