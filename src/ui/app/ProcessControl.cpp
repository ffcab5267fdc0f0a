#include "app/ProcessControl.h"

#include "app/Globals.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
std::function<void(int)> g_terminateHook;
std::function<void()> g_restartHook;
} // namespace

void SetTerminateHook(std::function<void(int)> hook)
{
    g_terminateHook = std::move(hook);
}

void SetRestartHook(std::function<void()> hook)
{
    g_restartHook = std::move(hook);
}

void TerminateProcess(int exitCode)
{
    if (g_terminateHook)
        g_terminateHook(exitCode);
    std::fflush(nullptr);
    ::_exit(exitCode);
}

void RestartProgram()
{
    if (g_restartHook) {
        g_restartHook();
        return;
    }
    QProcess::startDetached(QCoreApplication::applicationFilePath(), {}, g_strAppDir);
}
