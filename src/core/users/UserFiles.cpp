#include "users/UserFiles.h"

#include "settings/ProgramSettings.h"
#include "settings/UserColorFile.h"

#include <QFileInfo>

namespace orv::UserFiles {

FileOutcome createFor(const QString &programDir, const QString &name)
{
    return UserColorFile(programDir, name).writeDefault();
}

FileOutcome takeColourAlong(const QString &programDir, const QString &oldName, const QString &newName)
{
    const UserColorFile oldFile(programDir, oldName);
    const UserColorFile newFile(programDir, newName);
    if (oldName == newName)
        return FileOutcome::done(newFile.filePath());
    // Copied by value, never moved: the old name keeps its file until the
    // book no longer holds it.
    const bool hadColour = oldFile.usable() && QFileInfo::exists(oldFile.filePath());
    return newFile.save(hadColour ? oldFile.load() : kDefaultListColor);
}

FileOutcome followDirectLogin(const QString &programDir, const QString &oldName, const QString &newName)
{
    const ProgramSettings settings(programDir);
    if (oldName == newName)
        return FileOutcome::done(settings.filePath());
    const DirectLoginSetting setting = settings.load();
    if (!setting.readable || setting.userName != oldName)
        return FileOutcome::done(settings.filePath());
    return settings.save(setting.directLogin, newName);
}

FileOutcome dropColour(const QString &programDir, const QString &name)
{
    const UserColorFile file(programDir, name);
    // A name that cannot be a file name never had a file.
    if (!file.usable())
        return FileOutcome::done(file.filePath());
    return file.remove();
}

QList<FileOutcome> forget(const QString &programDir, const QString &name)
{
    QList<FileOutcome> failed;
    if (FileOutcome removed = dropColour(programDir, name); !removed)
        failed.append(removed);
    const ProgramSettings settings(programDir);
    const DirectLoginSetting setting = settings.load();
    if (setting.readable && setting.directLogin && setting.userName == name) {
        if (FileOutcome cleared = settings.clearDirectLogin(); !cleared)
            failed.append(cleared);
    }
    return failed;
}

} // namespace orv::UserFiles
