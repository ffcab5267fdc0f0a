#pragma once

#include "files/FileOutcome.h"

#include <QList>
#include <QString>

namespace orv {

// The files of the program folder that carry a user's name and must follow
// the USER table: the colour file user/<name>.ini and line 2 of set.ini,
// the user that direct login logs in. Each step says which file it could
// not write and why; the book stays the truth either way, since a missing
// colour file only means the default colour and start-up does not log in
// a user that set.ini names but the book does not hold.
namespace UserFiles {

// A new user starts with the default list colour. A file of that name left
// behind by a user of long ago is overwritten, so nobody inherits a colour.
FileOutcome createFor(const QString &programDir, const QString &name);

// A rename goes in steps, each leaving a state the program lives with:
// 1. takeColourAlong: before the book changes, the new name gets the old
//    name's colour (the default without a file of the old name), replacing
//    a stray file of that name. Until the book holds the new name, that
//    file belongs to nobody and is overwritten when a user of that name is
//    added. dropColour undoes it when the book refused the rename.
// 2. The book renames the user (UserStore::modify).
// 3. followDirectLogin: set.ini naming the old name names the new one.
// 4. dropColour of the old name.
FileOutcome takeColourAlong(const QString &programDir, const QString &oldName, const QString &newName);
FileOutcome followDirectLogin(const QString &programDir, const QString &oldName, const QString &newName);
FileOutcome dropColour(const QString &programDir, const QString &name);

// After a delete: the colour file goes, and direct login that names the
// user is turned off, so the next start asks who is there. Answers what
// could not be done; empty when all went.
QList<FileOutcome> forget(const QString &programDir, const QString &name);

} // namespace UserFiles
} // namespace orv
