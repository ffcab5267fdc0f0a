#pragma once

#include "export/SheetWriter.h"

#include <QDate>
#include <QString>

class QWidget;

// Tells the user how writing an export file went: where the file is now,
// or what went wrong, that nothing was saved, and the system's own words.
// what names the file in the messages ("Excel表", "图片"). A sheet with
// too many rows is the export command's own message.
void ShowExportOutcome(QWidget *parent, const orv::SheetOutcome &outcome, const QString &path, const QString &what);

// The file name an export proposes: the day, the words, the suffix
// ("20091205收入帐.xlsx").
QString DatedExportName(const QString &words, const QString &suffix, const QDate &day);
