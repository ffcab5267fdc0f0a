#include "users/UserFiles.h"

#include "settings/ProgramSettings.h"
#include "settings/UserColorFile.h"

#include <QFile>

namespace orv::UserFiles {

bool createFor(const QString &programDir, const QString &name)
{
    return UserColorFile(programDir, name).writeDefault();
}

void followRename(const QString &programDir, const QString &oldName, const QString &newName)
{
    if (oldName == newName)
        return;
    const UserColorFile oldFile(programDir, oldName);
    const UserColorFile newFile(programDir, newName);
    if (newFile.usable()) {
        if (oldFile.usable() && QFile::exists(oldFile.filePath())) {
            if (QFile::exists(newFile.filePath()))
                QFile::remove(newFile.filePath());
            if (!oldFile.renameTo(newName)) {
                // The rename failed (another file system, a read-only entry):
                // the colour still follows by value.
                newFile.save(oldFile.load());
            }
        } else {
            newFile.writeDefault();
        }
    }
    const ProgramSettings settings(programDir);
    const DirectLoginSetting setting = settings.load();
    if (setting.readable && setting.userName == oldName)
        settings.save(setting.directLogin, newName);
}

void forget(const QString &programDir, const QString &name)
{
    UserColorFile(programDir, name).remove();
    const ProgramSettings settings(programDir);
    const DirectLoginSetting setting = settings.load();
    if (setting.readable && setting.directLogin && setting.userName == name)
        settings.clearDirectLogin();
}

} // namespace orv::UserFiles
