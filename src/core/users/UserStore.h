#pragma once

#include "store/DbResult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orv {

class BookConnection;

struct UserAccount
{
    QString name;
    QString password; // as stored: a hash (PasswordHash), or as typed in books of old
    bool operator==(const UserAccount &) const = default;
};

// The USER table: names and passwords, in table order.
//
// Names are compared exactly (case matters), as the login compares them.
// Every change refuses what would leave the table in a state the rest of the
// program cannot live with: two users of one name, a name that cannot name
// the user's colour file or sit on a line of set.ini, no user at all.
namespace UserStore {

// The messages the user is shown for names and passwords that are refused.
QString emptyNameMessage();
QString nameTakenMessage();
QString lastUserMessage();

// Why a text cannot be the name of a new or renamed user (empty, blanks at
// either end, "." or "..", a "/", "\\" or control character, too long for
// the column or for the colour file's name), as the message to show;
// nullopt when it can be. Names are taken exactly as typed, never trimmed.
// Whether the name is taken is a question for the book: nameTaken().
std::optional<QString> nameProblem(const QString &name);
// Why a text cannot be a password (too long, control characters).
std::optional<QString> passwordProblem(const QString &password);

DbResult<QList<UserAccount>> accounts(const BookConnection &conn);
DbResult<QStringList> names(const BookConnection &conn);
// The stored password (PasswordHash: a hash, or as typed in books of old)
// of the first row with this exact name; nullopt when there is no such user.
DbResult<std::optional<QString>> passwordOf(const BookConnection &conn, const QString &name);
// True when a user of exactly this name exists.
DbResult<bool> nameTaken(const BookConnection &conn, const QString &name);

// Adds a user at the end of the table, the password (as typed) kept as its
// hash. Refused for a problem name or password and for a name that is
// taken, checked and inserted as one step.
DbStatus add(BookConnection &conn, const QString &name, const QString &password);
// Renames a user and gives it a new password, as typed, kept as its hash
// (either may stay as it was; the password is hashed anew all the same).
// A new name is checked as add() checks it; renaming onto another user's
// name is refused, so two users never merge. Refused when the user is gone.
DbStatus modify(BookConnection &conn, const QString &oldName, const QString &newName, const QString &newPassword);
// Deletes a user. Refused when the user is gone, and when no other user
// would be left, since nobody could log in to the book any more.
DbStatus remove(BookConnection &conn, const QString &name);

} // namespace UserStore
} // namespace orv
