#pragma once

#include "model/StringPool.h"

#include <QString>

#include <string>
#include <string_view>
#include <unordered_map>

namespace orv {

// Each distinct UTF-8 text an engine hands out becomes a QString (and a
// pool entry) once, however many rows repeat it: categories and users
// repeat on every row.
class TextInterner
{
public:
    explicit TextInterner(StringPool &pool) : m_pool(pool) {}

    quint32 intern(const char *text, int bytes)
    {
        const std::string_view key(text ? text : "", size_t(text ? bytes : 0));
        const auto found = m_index.find(key);
        if (found != m_index.end())
            return found->second;
        const quint32 index = m_pool.intern(QString::fromUtf8(key.data(), qsizetype(key.size())));
        m_index.emplace(std::string(key), index);
        return index;
    }

private:
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };

    StringPool &m_pool;
    std::unordered_map<std::string, quint32, Hash, std::equal_to<>> m_index;
};

// The Julian day of a "yyyy-MM-dd..." date as an engine hands it out in
// UTF-8; 0 when it is not one.
qint32 julianDayOfUtf8(const char *text, int bytes);

} // namespace orv
