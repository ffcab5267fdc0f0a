#include "users/ModifyUser.h"

#include "store/BookConnection.h"
#include "users/UserFiles.h"
#include "users/UserStore.h"

namespace orv {

namespace {

std::function<bool(ModifyUserStep)> g_stepHook;

bool goOnAfter(ModifyUserStep step)
{
    return !g_stepHook || g_stepHook(step);
}

} // namespace

void setModifyUserStepHook(std::function<bool(ModifyUserStep)> hook)
{
    g_stepHook = std::move(hook);
}

ModifyUserOutcome modifyUser(BookConnection &conn, const QString &programDir, const QString &oldName,
                             const QString &newName, const QString &newPassword)
{
    ModifyUserOutcome outcome;
    const bool renamed = newName != oldName;
    if (!renamed) {
        outcome.book = UserStore::modify(conn, oldName, newName, newPassword);
        return outcome;
    }
    // The colour is copied to the new name only once the name is known to
    // be free, so no other user's file is ever overwritten.
    if (auto problem = UserStore::nameProblem(newName)) {
        outcome.book = DbError::refused(*problem);
        return outcome;
    }
    auto taken = UserStore::nameTaken(conn, newName);
    if (!taken) {
        outcome.book = taken.error();
        return outcome;
    }
    if (*taken) {
        outcome.book = DbError::refused(UserStore::nameTakenMessage());
        return outcome;
    }

    const FileOutcome colour = UserFiles::takeColourAlong(programDir, oldName, newName);
    if (!colour)
        outcome.filesFailed.append(colour);
    if (!goOnAfter(ModifyUserStep::ColourTaken))
        return outcome;

    outcome.book = UserStore::modify(conn, oldName, newName, newPassword);
    if (!outcome.book.ok()) {
        outcome.filesFailed.clear();
        auto nowTaken = UserStore::nameTaken(conn, newName);
        if (colour && nowTaken && !*nowTaken)
            UserFiles::dropColour(programDir, newName);
        return outcome;
    }
    if (!goOnAfter(ModifyUserStep::BookChanged))
        return outcome;

    if (FileOutcome followed = UserFiles::followDirectLogin(programDir, oldName, newName); !followed)
        outcome.filesFailed.append(followed);
    if (!goOnAfter(ModifyUserStep::DirectLoginFollowed))
        return outcome;

    // Without its copy under the new name the old file is the only place
    // the colour is kept; it stays.
    if (colour) {
        if (FileOutcome dropped = UserFiles::dropColour(programDir, oldName); !dropped)
            outcome.filesFailed.append(dropped);
    }
    return outcome;
}

} // namespace orv
