#pragma once

#include <QString>

namespace orv {

// The files of the program folder that carry a user's name and must follow
// the USER table: the colour file user/<name>.ini and line 2 of set.ini,
// the user that direct login logs in. None of these steps is reported when
// it fails; a missing colour file only means the default colour.
namespace UserFiles {

// A new user starts with the default list colour. A file of that name left
// behind by a user of long ago is overwritten, so nobody inherits a colour.
bool createFor(const QString &programDir, const QString &name);

// After a rename the user keeps the colour: the old name's file becomes the
// new name's, replacing a stray file of the new name (which belongs to no
// user, since the new name was free); without a file of the old name the
// new name gets the default. Direct login that names the old name follows
// to the new one, so the next start does not log in a user who no longer
// exists. An unchanged name touches nothing.
void followRename(const QString &programDir, const QString &oldName, const QString &newName);

// After a delete: the colour file goes, and direct login that names the
// user is turned off, so the next start asks who is there.
void forget(const QString &programDir, const QString &name);

} // namespace UserFiles
} // namespace orv
