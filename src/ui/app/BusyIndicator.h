#pragma once

#include <QString>

// While another program holds the book, the store waits for it a few
// seconds. This shows the family that the program is waiting rather than
// frozen: a small panel over the window they are working in, and the wait
// cursor, gone when the wait ends.

// The panel's words.
QString BusyIndicatorText(int elapsedMs);

// Installs the indicator as the store's wait reporter (at start-up).
void InstallBusyIndicator();
