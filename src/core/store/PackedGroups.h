#pragma once

#include <QByteArray>
#include <QList>
#include <QVariantList>

#include <optional>
#include <string>

namespace orv {

// Groups an engine added up in one pass over the rows (no sorting of every
// row, as SQLite's GROUP BY does), handed over as one value: for each group
// its keys, the exact sum as decimal text (null when no row had an amount)
// and the number of rows. Groups come in the order GROUP BY gives: by the
// keys, a null key first, texts compared byte by byte.
struct PackedGroup
{
    QVariantList keys; // texts, or a null QVariant for NULL
    QVariant sumText;
    qint64 count = 0;
};

namespace PackedGroups {

// One field of a packed group: a text of bytes, or NULL (bytes == nullptr).
void appendField(std::string &packed, const char *bytes, int size);
void appendCount(std::string &packed, qint64 count);

// The groups of a packed value with keyCount keys each; nullopt when the
// value is not such a packing.
std::optional<QList<PackedGroup>> unpack(const QByteArray &packed, int keyCount);

} // namespace PackedGroups
} // namespace orv
