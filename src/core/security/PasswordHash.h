#pragma once

#include <QString>

#include <optional>

namespace orv {

// How a password is kept in the book: a salted, slow hash (Argon2id, in
// libsodium's text form "$argon2id$v=19$m=…,t=…,p=…$salt$hash"), so that
// whoever reads the book file or its copies learns no password. Books of
// older versions keep passwords as typed; those still work and give way to
// a hash at the owner's next login.
//
// Passwords are taken exactly as typed: case and blanks count, nothing is
// trimmed, and the empty password is a password like any other.
namespace PasswordHash {

// The stored form of a new password; nullopt when it cannot be made (the
// memory the hash needs is not to be had).
std::optional<QString> hash(const QString &password);

// True when stored is a hash, false for a password kept as typed.
bool isHash(const QString &stored);

// Whether typed is the password kept as stored, in either form.
bool matches(const QString &typed, const QString &stored);

// True when stored ought to be replaced by a fresh hash of the (just
// checked) password: a password kept as typed, or a hash weaker than ours.
bool needsRehash(const QString &stored);

// What the user is told when hash() fails.
QString failureMessage();

// For tests: from now on, hashes as cheap as Argon2id allows, so that the
// hundreds of books the tests make do not cost a tenth of a second per
// user each. Checking works the same for hashes of any strength.
void useCheapHashesForTests();

} // namespace PasswordHash
} // namespace orv
