#pragma once

#include "files/FileOutcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace orv {

// The program's small text files (set.ini, user colour files, the user carry
// file) are kept in the Chinese Windows code page with CR LF line ends, as
// they always were. We write GB18030, the superset of GBK that is
// byte-identical for every GBK character and still holds any other one.
QByteArray encodeGbk(const QString &text);
QString decodeGbk(const QByteArray &bytes);

// Lines of a GBK text file without their line ends (CR LF or LF).
// nullopt when the file cannot be read.
std::optional<QStringList> readGbkLines(const QString &path);

// Writes each line followed by CR LF, replacing the file all or nothing
// (writeFileAtomically): the old content stays whole when it fails.
FileOutcome writeGbkLines(const QString &path, const QStringList &lines);

// Creates the file empty (mode 0600) when nothing is there. False when that
// fails (a read-only folder, a missing folder, a name that is not a file).
bool ensureFileExists(const QString &path);

} // namespace orv
