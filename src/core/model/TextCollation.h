#pragma once

#include <QString>

#include <vector>

namespace orv {

// The order in which Chinese readers expect names and remarks: by pinyin,
// as a Chinese dictionary or phone book orders them; Latin letters and
// digits keep their usual order among them.
// rank[i] places texts[i] in that order: equal texts share a rank. Each
// text is turned into a collation key once, so many texts sort quickly.
std::vector<quint32> collationRanks(const std::vector<QString> &texts);

} // namespace orv
