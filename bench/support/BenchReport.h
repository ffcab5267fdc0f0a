#pragma once

#include <QString>

#include <functional>

// Times an operation several times and answers the median in milliseconds.
double MedianMs(int runs, const std::function<void()> &operation);

// Milliseconds SQLite alone takes to step through every row of a select
// on the book (reading each column), with no Qt and no list in between.
double SqliteAloneMs(const QString &bookPath, const QString &sql);

// Peak resident memory of this process so far, in megabytes.
double PeakMemoryMb();

// One line of the report: what, our figure, SQLite alone, the ratio, the goal.
void ReportLine(const QString &what, double ms, double sqliteMs, double goalMs);
void ReportHeader(const QString &title);
