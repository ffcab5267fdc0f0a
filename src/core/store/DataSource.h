#pragma once

#include <QString>

namespace orv {

// Registers the ODBC user data source "Orvendal" (driver SQLite3) pointing at
// the book, so that ODBC tools reach it by name: `isql Orvendal`, an office
// suite's database front end. unixODBC's installer library is loaded only
// when this runs, so the program starts even where it is missing.
//
// The entry goes into the user's own odbc.ini and nowhere else: the
// installer would otherwise fall back to the system-wide file when the
// user's cannot be written (and, run as root, would write it).
namespace DataSource {

inline constexpr char kName[] = "Orvendal";
inline constexpr char kDriver[] = "SQLite3";
// A server book is reached through unixODBC's PostgreSQL driver (Debian's
// odbc-postgresql), which finds the password where libpq does (~/.pgpass);
// no password is ever written into the entry.
inline constexpr char kServerDriver[] = "PostgreSQL Unicode";

enum class Result {
    Registered,
    Refused,          // the installer failed, or the entry did not land in the user's file
    InstallerMissing,
    UnsafePath,       // the book's path holds a line break or another control character
};

Result registerBook(const QString &bookPath);
// The same for a server book, named by its libpq URI.
Result registerServerBook(const QString &uri);

// The installer library that was tried, for the message when it is missing.
QString installerLibraryName();

// The user's odbc.ini as unixODBC finds it: $ODBCINI, else ~/.odbc.ini of
// the account (not of $HOME).
QString userIniPath();

// True when a path can stand in odbc.ini as it is: no control character
// that would end its line or start another, and nothing the file system's
// encoding cannot hold.
bool isSafeForIni(const QString &path);

} // namespace DataSource
} // namespace orv
