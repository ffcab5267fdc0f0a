#pragma once

#include "app/Globals.h"

#include <QApplication>
#include <QCursor>
#include <QDir>

// Puts the working directory back to the program folder when a command
// ends, however it ends: the program's relative paths (set.ini, user/)
// rely on it, and a file dialog may have moved it.
class ProgramDirGuard final
{
public:
    ProgramDirGuard() = default;
    ~ProgramDirGuard()
    {
        if (!g_strAppDir.isEmpty() && g_strAppDir != QLatin1String("null"))
            QDir::setCurrent(g_strAppDir);
    }
    Q_DISABLE_COPY_MOVE(ProgramDirGuard)
};

// The busy cursor while a long file operation runs.
class WaitCursor final
{
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(WaitCursor)
};
