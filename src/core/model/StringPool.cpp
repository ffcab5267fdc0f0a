#include "model/StringPool.h"

#include "model/TextCollation.h"

namespace orv {

quint32 StringPool::intern(const QString &text)
{
    const auto found = m_index.constFind(text);
    if (found != m_index.constEnd())
        return found.value();
    const quint32 index = quint32(m_texts.size());
    m_texts.push_back(text);
    m_index.insert(text, index);
    return index;
}

const std::vector<quint32> &StringPool::collationRanks() const
{
    if (m_ranks.size() != m_texts.size())
        m_ranks = orv::collationRanks(m_texts);
    return m_ranks;
}

} // namespace orv
