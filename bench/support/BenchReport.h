#pragma once

#include <QString>

#include <functional>

class QWidget;
namespace orv {
struct BoundStatement;
}

// Times an operation several times and answers the median in milliseconds.
double MedianMs(int runs, const std::function<void()> &operation);
// The same, with an untimed step before each run (getting back to where the
// operation starts from).
double MedianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &operation);

// Lets the window do everything it would before the user sees the result:
// posted events, layout, scrolling, and the paint itself.
void Settle(QWidget *window);

// A statement with its values written in, for SQLite alone or psql.
QString InlinedSql(const orv::BoundStatement &statement);

// Milliseconds psql reports (\timing) for a statement on the server book,
// the best of three runs; -1 when psql cannot run it.
double PsqlMs(const QString &uri, const QString &sql);

// Milliseconds SQLite alone takes to step through every row of a select
// on the book (reading each column), with no Qt and no list in between.
double SqliteAloneMs(const QString &bookPath, const QString &sql);

// Peak resident memory of this process so far, in megabytes.
double PeakMemoryMb();

// One line of the report: what, our figure, SQLite alone, the ratio, the goal.
void ReportLine(const QString &what, double ms, double sqliteMs, double goalMs);
void ReportHeader(const QString &title, const char *besideCaption = "sqlite ms");
