#pragma once

#include <functional>

namespace orv {

// While another program holds the book, an operation waits for it a few
// seconds before giving up. The widgets want to show that the program is
// waiting rather than frozen: they install a reporter here, which the store
// tells how long the wait has lasted so far, and tells once more with -1
// when the wait is over (whether the book was had or not).
namespace BusyWait {

// How long an operation waits for a book that another program holds.
inline constexpr int kPatienceMs = 5000;
// Waits shorter than this are not worth showing.
inline constexpr int kShowAfterMs = 250;

using Reporter = std::function<void(int elapsedMs)>;

// Installs the reporter (an empty one removes it).
void setReporter(Reporter reporter);

// Called by the store: one step of a wait that started elapsedMs ago.
void waiting(int elapsedMs);
// Called by the store when an operation that waited is over.
void finished();

} // namespace BusyWait
} // namespace orv
