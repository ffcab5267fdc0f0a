#pragma once

#include <QtGlobal>

#include <functional>

namespace orv {

// Told how far a long piece of work has come (done of total units, in any
// unit the work counts in); answers false to stop it, where stopping is
// safe. An empty one is never asked.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Asks the progress, if there is one; true to go on.
inline bool goOn(const Progress &progress, qint64 done, qint64 total)
{
    return !progress || progress(done, total);
}

} // namespace orv
