#pragma once

#include "files/FileOutcome.h"

#include <QList>
#include <QString>

class QWidget;

// Tells the user which of the program's own files could not be written
// (or removed) and what that means: the sentence given, what to check, and
// each file with the system's words for why. Nothing is shown for an
// empty list.
void ShowFileProblems(QWidget *parent, const QString &what, const QList<orv::FileOutcome> &failed);
