#pragma once

#include <functional>

// Ending and restarting the process, behind hooks that tests replace.

// Ends the process at once with this exit code (the login dialog's quit).
[[noreturn]] void TerminateProcess(int exitCode);
// Starts the program's own file anew in the program folder (log-off).
void RestartProgram();

// Tests: called instead of ending the process; must not return normally
// (throw) or the caller carries on.
void SetTerminateHook(std::function<void(int)> hook);
void SetRestartHook(std::function<void()> hook);
