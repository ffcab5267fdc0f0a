#pragma once

#include "store/BookLocation.h"
#include "store/Progress.h"

#include <QDate>
#include <QString>

#include <functional>

namespace orv {

// The whole-book commands: a backup copy of the book as an .ovd file, and
// replacing the book by a backup or by the empty-book template while
// keeping the user accounts of the book in use. Both work on a file book
// and on a server book.
//
// File book: nothing is removed before its replacement is safely in place.
// The new book is copied next to the old one, checked and given the present
// users; then one rename puts it under the book's name, so that at every
// instant a complete book stands there; only then does the old book (kept
// under a name of its own through a second link to it) go to the Trash.
//
// Server book: the entries and categories are replaced in one transaction
// that no other computer's change can interleave with; the users stay.
namespace BookMaintenance {

enum class Problem {
    None,
    SameAsBook,     // the chosen file is the book itself (by any spelling of its path)
    IsTemplate,     // a backup onto NewBook.ovd, the template every new book is copied from
    SourceMissing,  // the file to copy from is not there, or cannot be read
    NotABook,       // not an SQLite database holding the seven tables
    Damaged,        // a book whose pages cannot all be read
    CannotOpenBook, // the book in use does not open, so its users cannot be carried
    CannotCarryUsers,
    CannotCopy,     // the copy could not be written (read-only folder, full disk)
    BookBusy,       // another program is in the middle of writing the book
    CannotSwap,     // the new book could not be put in place
    Cancelled,      // the user stopped it; nothing changed
};

struct Outcome
{
    Problem problem = Problem::None;
    QString detail;         // the system's or engine's own words, for the curious
    QString oldBookPath;    // where the replaced book file is now
    bool oldBookInTrash = false;
    bool ok() const { return problem == Problem::None; }
};

// "2009-3-7帐本数据库备份.ovd": the name proposed for a backup made that day.
QString backupFileName(const QDate &day);

// True when both paths reach the same file: symlinks, "./", "//", hard
// links and bind mounts included.
bool isSameFile(const QString &a, const QString &b);

// Writes a consistent copy of the book (one moment of it, whatever others
// write meanwhile) to targetPath, replacing a file there only once the copy
// is complete; a symbolic link there is followed to the file it names. The
// file being written is noted in programDir until it is in place, so that
// the next start removes it if the program dies meanwhile.
Outcome backupBook(const BookLocation &book, const QString &programDir, const QString &targetPath,
                   const Progress &progress = {});

// The checks made before the user is asked anything: the file is there,
// is not the book itself, and holds a whole book.
Outcome checkReplacement(const BookLocation &book, const QString &sourcePath);

// Replaces the book by a copy of sourcePath. keepUsers: the book keeps the
// present users (a file book carries them through userTemp.dat, which is
// gone afterwards whatever happened); without it the users come with the
// copy (a book that cannot be opened has none to keep).
Outcome replaceBook(const BookLocation &book, const QString &programDir, const QString &sourcePath,
                    const Progress &progress = {}, bool keepUsers = true);

// Moves a file to the desktop Trash; answers its path there, or an empty
// text when the Trash would not take it.
QString moveToTrash(const QString &path);

// What a replacement that died half-way left in the program folder: the
// incoming copy, and the second link to the old book made for the Trash.
// Removed at the next start; answers what went.
QStringList removeReplacementLeftovers(const QString &programDir);

// For tests: called at each step of a file book's replacement ("copied",
// "checked", "users", "linked", "swap", "swapped"); answering false makes
// the step fail as if the system had refused it.
using StepHook = std::function<bool(const char *step)>;
void setStepHookForTests(StepHook hook);

} // namespace BookMaintenance
} // namespace orv
