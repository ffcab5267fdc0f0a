#include "book/Leftovers.h"

#include "files/AtomicWrite.h"
#include "book/BookMaintenance.h"
#include "book/UserCarryFile.h"

#include <QDir>
#include <QFile>


namespace orv {

namespace {

bool isUserCarryFile(const QString &fileName)
{
    return fileName == QString::fromUtf16(UserCarryFile::kFileName);
}

struct LeftoverKind
{
    const char *folder; // below the program folder; "." for the folder itself
    bool (*matches)(const QString &fileName);
};

const LeftoverKind kLeftovers[] = {
    {".", isUserCarryFile},
    {".", isAtomicWriteLeftover},
    {"user", isAtomicWriteLeftover},
};

} // namespace

LeftoverCleanup cleanLeftovers(const QString &programDir)
{
    LeftoverCleanup cleanup;
    for (const LeftoverKind &kind : kLeftovers) {
        const QDir folder(QDir(programDir).filePath(QString::fromLatin1(kind.folder)));
        // Files and links (a dangling one too), never folders.
        const QStringList names = folder.entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
        for (const QString &name : names) {
            if (!kind.matches(name))
                continue;
            const QString path = QDir::cleanPath(folder.filePath(name));
            QFile file(path);
            if (file.remove())
                cleanup.removed.append(path);
            else
                cleanup.failed.append(FileOutcome::failed(path, file.errorString()));
        }
    }
    // What a replacement of the book or a backup left on its way in.
    cleanup.removed += BookMaintenance::removeReplacementLeftovers(programDir);
    return cleanup;
}

} // namespace orv
