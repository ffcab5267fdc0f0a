#pragma once

#include <QString>

namespace orv {

// Registers the ODBC user data source "Orvendal" (driver SQLite3) pointing at
// the book, so that ODBC tools reach it by name: `isql Orvendal`, an office
// suite's database front end. unixODBC's installer library is loaded only
// when this runs, so the program starts even where it is missing.
namespace DataSource {

inline constexpr char kName[] = "Orvendal";
inline constexpr char kDriver[] = "SQLite3";

enum class Result { Registered, Refused, InstallerMissing };

Result registerBook(const QString &bookPath);

// The installer library that was tried, for the message when it is missing.
QString installerLibraryName();

} // namespace DataSource
} // namespace orv
