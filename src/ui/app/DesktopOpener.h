#pragma once

#include <QString>
#include <QUrl>

// Hands a web address or a file to the desktop's default program. The
// desktop's opener (xdg-open) is run and listened to: it says when it found
// no program, which Qt's own openUrl does not pass on.
struct DesktopOpenOutcome
{
    bool opened = false;
    bool notFound = false; // the opener says the file is not there
    QString detail;        // the opener's own words on failure
};

DesktopOpenOutcome OpenOnDesktop(const QUrl &url);
