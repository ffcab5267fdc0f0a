#pragma once

#include "files/FileOutcome.h"

#include <QString>

namespace orv {

// The book, its copies, the settings and the exported sheets are a family's
// money matters: every file the program makes is readable by its owner
// only (0600), every folder it makes is the owner's only (0700). The
// process umask says the same at start-up, but these functions do not rely
// on it.

// Makes a new empty file of mode 0600; fails if anything is there already
// (a file, a folder, a symbolic link), so that nothing is ever overwritten
// or followed. SQLite and the sheet writer then fill the file, keeping its mode.
FileOutcome createPrivateFile(const QString &path);

// Makes the folder and any missing folder above it, each of mode 0700.
// Folders that are there already are left as they are.
FileOutcome makePrivateFolder(const QString &path);

} // namespace orv
