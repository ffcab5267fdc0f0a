#pragma once

#include "files/FileOutcome.h"
#include "store/BookLocation.h"
#include "book/BookMaintenance.h"
#include "store/Progress.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orv {

// The copies the program makes of a book by itself when a run that changed
// it ends. They live in a folder of their own and carry names that no
// other file has, so that keeping the newest few never touches a backup a
// person made, nor any other file that happens to be in that folder.
namespace AutoBackups {

// "backups" beside the book file; for a server book, in the program folder.
QString folderFor(const BookLocation &book, const QString &programDir);

// "2026-12-07 18-30-05 自动备份.ovd"; the second one of the same second
// "2026-12-07 18-30-05 (2) 自动备份.ovd".
QString fileName(const QDateTime &when, int sequence = 1);

// When the automatic backup of this name was made, and its sequence within
// that second; nullopt for every other name.
struct NameParts
{
    QDateTime when;
    int sequence = 1;
};
std::optional<NameParts> partsOf(const QString &fileName);

// Of the names in a backup folder, the automatic backups that go so that
// only the newest keep stay, oldest first. Other names are never listed.
QStringList surplus(const QStringList &fileNames, int keep);

struct Outcome
{
    BookMaintenance::Outcome copy; // the backup itself
    QString path;                  // the backup made (when it was)
    QString folder;
    FileOutcome folderMade;        // the folder could not be made
    QList<FileOutcome> notRemoved; // older backups that would not go
    bool ok() const { return folderMade.ok() && copy.ok(); }
};

// Writes a backup of the book into its folder (made 0700 when missing) by
// the same consistent copy as a backup the user asks for, then removes the
// automatic backups beyond the newest keep. A failed copy removes nothing.
Outcome make(const BookLocation &book, const QString &programDir, int keep, const QDateTime &now,
             const Progress &progress = {});

} // namespace AutoBackups
} // namespace orv
