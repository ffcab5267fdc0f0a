#pragma once

#include "model/RecordKind.h"
#include "store/DbResult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orv {

class BookConnection;

// One row of a category table. The text is what every other part of the
// program goes by; the row id only tells two rows apart while the order of
// the list is changed, so that two equal texts never get mixed up.
struct CategoryRow
{
    qint64 rowId = 0;
    QString text;
    bool operator==(const CategoryRow &) const = default;
};

// The category tables INCOME_ITEMS, PAYOUT_ITEMS and ON_LOAD_ITEMS. Their
// table order (insertion order, kept by the row ids) is the order in which
// the entry and query dialogs offer the categories, so it is kept here with
// care: an added category goes to the end, a renamed one keeps its place,
// and reordering only exchanges the texts of two rows.
namespace CategoryStore {

// Every row of a kind's table, in table order.
DbResult<QList<CategoryRow>> rows(const BookConnection &conn, RecordKind kind);
// The texts alone, in table order: what the category boxes show.
DbResult<QStringList> names(const BookConnection &conn, RecordKind kind);

// Why a text cannot be a category name (empty, or longer than the column
// holds), as the message the user is shown; nullopt when it can.
std::optional<QString> nameProblem(const QString &text);

// Appends a category at the end of the table. An equal name may already be
// there: two rows with one text then count as one category.
DbStatus add(const BookConnection &conn, RecordKind kind, const QString &text);
// Renames every row carrying oldText; answers how many rows changed.
// Entries recorded under the old text keep it. Refused when no row carries
// oldText any more.
DbResult<int> rename(const BookConnection &conn, RecordKind kind, const QString &oldText, const QString &newText);
// Deletes every row carrying the text; answers how many went. Refused when
// no row carries it any more.
DbResult<int> remove(const BookConnection &conn, RecordKind kind, const QString &text);
// Exchanges the texts of two rows (the two neighbours of a move), both or
// neither. Refused, with nothing changed, when either row no longer holds
// the text it was read with: the list on screen was out of date.
DbStatus swap(BookConnection &conn, RecordKind kind, const CategoryRow &first, const CategoryRow &second);

} // namespace CategoryStore
} // namespace orv
