#pragma once

#include <QDate>
#include <QString>

namespace orv {

// The whole-book commands: a backup copy of the book, and replacing the
// book by a backup or by the empty-book template while keeping the user
// accounts of the book in use.
//
// Nothing is removed before its replacement is safely in place: the new
// book is copied next to the old one, checked, given the present users,
// and only then swapped in; the old book goes to the desktop Trash. Any
// failure on the way leaves the old book and its users as they were.
namespace BookMaintenance {

enum class Problem {
    None,
    SameAsBook,     // the chosen file is the book itself (by any spelling of its path)
    SourceMissing,  // the file to copy from is not there, or cannot be read
    NotABook,       // not an SQLite database holding the seven tables
    Damaged,        // a book whose pages cannot all be read
    CannotOpenBook, // the book in use does not open, so its users cannot be carried
    CannotCarryUsers,
    CannotCopy,     // the copy could not be written (read-only folder, full disk)
    BookBusy,       // another program is in the middle of writing the book
    CannotSwap,     // the old book could not be moved aside, or the new one into place
};

struct Outcome
{
    Problem problem = Problem::None;
    QString detail;         // the system's or SQLite's own words, for the curious
    QString oldBookPath;    // where the replaced book is now
    bool oldBookInTrash = false;
    bool ok() const { return problem == Problem::None; }
};

// "2009-3-7帐本数据库备份.ovd": the name proposed for a backup made that day.
QString backupFileName(const QDate &day);

// True when both paths reach the same file: symlinks, "./", "//", hard
// links and bind mounts included.
bool isSameFile(const QString &a, const QString &b);

// Writes a consistent copy of the book to targetPath, replacing a file
// there only once the copy is complete. Works while the book is open.
Outcome backupBook(const QString &bookPath, const QString &targetPath);

// The checks made before the user is asked anything: the file is there,
// is not the book itself, and holds a book.
Outcome checkReplacement(const QString &bookPath, const QString &sourcePath);

// Replaces the book in programDir by a copy of sourcePath that keeps the
// present users, carried through userTemp.dat, which is gone afterwards
// whatever happened.
Outcome replaceBook(const QString &programDir, const QString &sourcePath);

// Moves a file to the desktop Trash; answers its path there, or an empty
// text when the Trash would not take it.
QString moveToTrash(const QString &path);

} // namespace BookMaintenance
} // namespace orv
