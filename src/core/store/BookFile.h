#pragma once

#include <QString>

namespace orv {

// Where the book lives: Orvendal.ovd in the program folder, which is the
// working directory the program was started in.
namespace BookFile {

inline constexpr char16_t kBookName[] = u"Orvendal.ovd";
inline constexpr char16_t kAlternativeName[] = u"Data.ovd";
inline constexpr char16_t kTemplateName[] = u"NewBook.ovd";

QString bookPath(const QString &programDir);
QString templatePath(const QString &programDir);

enum class CheckResult { Found, Renamed, Missing };

// Makes sure the folder holds a readable Orvendal.ovd: a book shipped as
// Data.ovd is renamed at the first start that finds no Orvendal.ovd.
CheckResult ensureBook(const QString &programDir);

} // namespace BookFile
} // namespace orv
