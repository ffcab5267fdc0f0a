#pragma once

#include "files/FileOutcome.h"

#include <QByteArray>
#include <QString>

namespace orv {

// Replaces the file at path by bytes, all or nothing: the bytes go into a
// new file beside it (mode 0600, made with O_EXCL), which is written,
// synced and closed, each step checked, and only then renamed over path.
// Any failure removes that file and leaves path exactly as it was.
//
// The rename replaces path itself: a symbolic link there is replaced by
// the file, never followed to overwrite what it points at. The new file is
// the owner's alone (0600), also where the old one was readable by others.
FileOutcome writeFileAtomically(const QString &path, const QByteArray &bytes);

// True for the name of a file that writeFileAtomically leaves behind when
// the program dies between making it and renaming it ("set.ini.tmp-1a2b3c4d").
bool isAtomicWriteLeftover(const QString &fileName);

} // namespace orv
