#pragma once

#include "store/DbResult.h"
#include "users/UserStore.h"

#include <QList>
#include <QString>

#include <optional>

namespace orv {

class BookConnection;

// userTemp.dat: the user accounts carried across a book's replacement, in
// the program folder, GBK with CR LF line ends as the file always was. One
// line with the name, then one with the password, per account in table
// order; no header and no count (the writer keeps the count).
namespace UserCarryFile {

inline constexpr char16_t kFileName[] = u"userTemp.dat";

QString path(const QString &programDir);

// The file's lines for these accounts.
QStringList lines(const QList<UserAccount> &accounts);
// Writes the accounts, replacing whatever the file held.
bool write(const QString &path, const QList<UserAccount> &accounts);
// Reads exactly count accounts back; nullopt when the file is unreadable
// or holds fewer lines.
std::optional<QList<UserAccount>> read(const QString &path, int count);

// Puts these accounts into the book in place of its own, all or nothing.
DbStatus replaceUsers(BookConnection &conn, const QList<UserAccount> &accounts);

} // namespace UserCarryFile
} // namespace orv
