#pragma once

#include <QHash>
#include <QString>

#include <vector>

namespace orv {

// Each distinct text of a list once. Categories and users repeat on every
// row; keeping them once saves memory, and sorting by text then compares
// small numbers: each distinct text gets its rank in the order Chinese
// readers expect (pinyin), computed once for all rows.
class StringPool
{
public:
    quint32 intern(const QString &text);
    const QString &text(quint32 index) const { return m_texts[index]; }
    quint32 size() const { return quint32(m_texts.size()); }

    // rank[i] orders text(i) among all texts of the pool: equal texts share
    // a rank, and rank order is collation order.
    const std::vector<quint32> &collationRanks() const;

private:
    std::vector<QString> m_texts;
    QHash<QString, quint32> m_index;
    mutable std::vector<quint32> m_ranks;
};

} // namespace orv
