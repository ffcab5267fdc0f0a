#pragma once

#include "store/Progress.h"

#include <QString>

namespace orv {

// Why a copy of a database file did not come about.
enum class CopyProblem {
    None,
    CannotReadSource, // the file is missing, a folder, or unreadable
    NotADatabase,     // the file is not an SQLite database
    Damaged,          // an SQLite database whose pages cannot be read
    CannotWriteTarget, // the new file could not be made or written (read-only folder, full disk)
    Cancelled          // the user stopped it
};

struct CopyOutcome
{
    CopyProblem problem = CopyProblem::None;
    QString detail; // SQLite's own words
    bool ok() const { return problem == CopyProblem::None; }
};

// Copies the SQLite database at sourcePath into a new file at targetPath
// through SQLite's online backup, never as raw bytes: the copy is one
// consistent picture of the book even while this or another program has it
// open or is in the middle of writing it. targetPath must not exist; on
// failure nothing is left there. Progress counts pages; stopping it leaves
// nothing either.
CopyOutcome copyDatabase(const QString &sourcePath, const QString &targetPath, const Progress &progress = {});

// Opens the file read-only and reads its header and schema: None when it is
// an SQLite database whose schema reads, else what is wrong with it.
CopyProblem probeDatabase(const QString &path, QString *detail = nullptr);

// Removes a database file together with the journal SQLite may keep beside it.
void removeDatabaseFile(const QString &path);

} // namespace orv
