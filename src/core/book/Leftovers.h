#pragma once

#include "files/FileOutcome.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace orv {

struct LeftoverCleanup
{
    QStringList removed;       // full paths of what went
    QList<FileOutcome> failed; // what could not be removed, and why
};

// Removes what a run that died half-way leaves in the program folder, at
// the next start before anything else touches it: userTemp.dat (the users
// carried across a book replacement), the files of writeFileAtomically
// that never got renamed into place, in the folder and in user/, the
// incoming copy of a book replacement, and backups on their way in.
// Each kind of leftover is one line in the table in Leftovers.cpp.
LeftoverCleanup cleanLeftovers(const QString &programDir);

} // namespace orv
