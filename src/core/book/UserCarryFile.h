#pragma once

#include "files/FileOutcome.h"
#include "store/DbResult.h"
#include "users/UserStore.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace orv {

class BookConnection;

// userTemp.dat: the user accounts carried across a book's replacement, in
// the program folder, GBK with CR LF line ends as the file always was. One
// line with the name, then one with the password's hash, per account in
// table order; no header and no count (the writer keeps the count). The
// file never holds a password as typed: the hashes are carried exactly as
// stored, and a password an older version kept as typed is hashed first.
namespace UserCarryFile {

inline constexpr char16_t kFileName[] = u"userTemp.dat";

QString path(const QString &programDir);

// The file's lines for these accounts.
QStringList lines(const QList<UserAccount> &accounts);
// Replaces every password kept as typed by its hash; hashes stay exactly as
// they are. False when a hash cannot be made.
bool hashPlainPasswords(QList<UserAccount> &accounts);
// Writes the accounts (mode 0600), replacing whatever the file held, all or
// nothing. Refused for an account whose password is not a hash.
FileOutcome write(const QString &path, const QList<UserAccount> &accounts);
// For tests: runs once the file is written, while the replacement that
// wrote it is still under way. nullptr removes it.
void setWrittenHook(std::function<void(const QString &path)> hook);
// Reads exactly count accounts back; nullopt when the file is unreadable
// or holds fewer lines.
std::optional<QList<UserAccount>> read(const QString &path, int count);

// Puts these accounts into the book in place of its own, all or nothing.
DbStatus replaceUsers(BookConnection &conn, const QList<UserAccount> &accounts);

} // namespace UserCarryFile
} // namespace orv
