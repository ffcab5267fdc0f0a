#pragma once

#include "records/RecordKind.h"
#include "store/DbResult.h"

#include <QStringList>

namespace orv {

class BookConnection;

// What the query dialog offers in its boxes besides "选择全部".
namespace QueryChoices {

// The categories of a kind, in the order the user arranged them.
DbResult<QStringList> categories(const BookConnection &conn, RecordKind kind);
// The users of the book, in table order.
DbResult<QStringList> users(const BookConnection &conn);

} // namespace QueryChoices
} // namespace orv
