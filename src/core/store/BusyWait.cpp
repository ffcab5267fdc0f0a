#include "store/BusyWait.h"

namespace orv::BusyWait {

namespace {

Reporter &installed()
{
    static Reporter reporter;
    return reporter;
}

bool &shown()
{
    static bool shown = false;
    return shown;
}

} // namespace

void setReporter(Reporter reporter)
{
    installed() = std::move(reporter);
}

void waiting(int elapsedMs)
{
    if (elapsedMs < kShowAfterMs || !installed())
        return;
    shown() = true;
    installed()(elapsedMs);
}

void finished()
{
    if (!shown())
        return;
    shown() = false;
    if (installed())
        installed()(-1);
}

} // namespace orv::BusyWait
