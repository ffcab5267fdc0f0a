#pragma once

#include "files/FileOutcome.h"
#include "store/DbResult.h"

#include <QList>
#include <QString>

#include <functional>

namespace orv {

class BookConnection;

struct ModifyUserOutcome
{
    // The change in the book; when it failed, nothing else changed either.
    DbStatus book;
    // Files that could not follow a rename that went through.
    QList<FileOutcome> filesFailed;
};

// Renames a user and gives it a new password (UserStore::modify), with the
// colour file and set.ini following, in an order that leaves a state the
// program lives with wherever it is cut off (UserFiles explains the steps):
// the book is the truth, set.ini naming a user the book does not hold
// means the login dialog, and a colour file of nobody's name is harmless.
ModifyUserOutcome modifyUser(BookConnection &conn, const QString &programDir, const QString &oldName,
                             const QString &newName, const QString &newPassword);

// The points between the steps of a rename.
enum class ModifyUserStep { ColourTaken, BookChanged, DirectLoginFollowed };

// For tests: runs after each step of a rename; false stops it there, as if
// the program had been killed at that point. nullptr removes it.
void setModifyUserStepHook(std::function<bool(ModifyUserStep)> hook);

} // namespace orv
