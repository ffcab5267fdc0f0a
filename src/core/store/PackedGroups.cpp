#include "store/PackedGroups.h"

#include <cstring>

namespace orv::PackedGroups {

namespace {

// A field: 'N' for NULL, or 'T', four length bytes (big-endian), the bytes.
constexpr char kNull = 'N';
constexpr char kText = 'T';

bool takeBytes(const QByteArray &packed, qsizetype &at, qsizetype size, const char **bytes)
{
    if (size < 0 || at + size > packed.size())
        return false;
    *bytes = packed.constData() + at;
    at += size;
    return true;
}

std::optional<QVariant> takeField(const QByteArray &packed, qsizetype &at)
{
    const char *tag = nullptr;
    if (!takeBytes(packed, at, 1, &tag))
        return std::nullopt;
    if (*tag == kNull)
        return QVariant();
    const char *length = nullptr;
    if (*tag != kText || !takeBytes(packed, at, 4, &length))
        return std::nullopt;
    const auto *l = reinterpret_cast<const unsigned char *>(length);
    const qsizetype size = (qsizetype(l[0]) << 24) | (qsizetype(l[1]) << 16) | (qsizetype(l[2]) << 8) | qsizetype(l[3]);
    const char *bytes = nullptr;
    if (!takeBytes(packed, at, size, &bytes))
        return std::nullopt;
    return QVariant(QString::fromUtf8(bytes, size));
}

} // namespace

void appendField(std::string &packed, const char *bytes, int size)
{
    if (!bytes) {
        packed += kNull;
        return;
    }
    const auto length = quint32(size);
    packed += kText;
    packed += char(length >> 24);
    packed += char(length >> 16);
    packed += char(length >> 8);
    packed += char(length);
    packed.append(bytes, size_t(size));
}

void appendCount(std::string &packed, qint64 count)
{
    const std::string text = std::to_string(count);
    appendField(packed, text.data(), int(text.size()));
}

std::optional<QList<PackedGroup>> unpack(const QByteArray &packed, int keyCount)
{
    QList<PackedGroup> groups;
    qsizetype at = 0;
    while (at < packed.size()) {
        PackedGroup group;
        for (int k = 0; k < keyCount; ++k) {
            auto key = takeField(packed, at);
            if (!key)
                return std::nullopt;
            group.keys.append(*key);
        }
        auto sum = takeField(packed, at);
        auto count = sum ? takeField(packed, at) : std::nullopt;
        if (!count || count->isNull())
            return std::nullopt;
        bool ok = false;
        group.sumText = *sum;
        group.count = count->toString().toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        groups.append(group);
    }
    return groups;
}

} // namespace orv::PackedGroups
