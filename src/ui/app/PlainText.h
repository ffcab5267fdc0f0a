#pragma once

#include <QString>

class QWidget;

// Names, categories and remarks are the family's own words: whatever they
// hold ("<s>", "<!--", "&", "[*]") is shown as typed, never read as markup.

// A window title: Qt would take "[*]" for the modified-mark.
QString PlainTitle(const QString &title);
void SetPlainTitle(QWidget *window, const QString &title);
// A tool tip: Qt would render anything that looks like HTML.
QString PlainToolTip(const QString &text);
