#include "support/BenchReport.h"

#include "query/QueryStatement.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QWidget>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

double MedianMs(int runs, const std::function<void()> &operation)
{
    return MedianMs(runs, [] {}, operation);
}

double MedianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &operation)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        operation();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Settle(QWidget *window)
{
    QApplication::processEvents();
    QApplication::processEvents();
    window->repaint();
}

QString InlinedSql(const orv::BoundStatement &statement)
{
    QString sql;
    qsizetype next = 0;
    for (QChar c : statement.sql) {
        if (c != u'?') {
            sql += c;
            continue;
        }
        const QVariant value = statement.values.value(next++);
        if (value.typeId() == QMetaType::QString)
            sql += u'\'' + value.toString().replace(u'\'', QStringLiteral("''")) + u'\'';
        else
            sql += value.toString();
    }
    return sql;
}

double PsqlMs(const QString &uri, const QString &sql)
{
    double best = -1;
    for (int run = 0; run < 3; ++run) {
        QProcess psql;
        // Rows go to /dev/null; the timing line still reaches standard output.
        psql.start(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-d"), uri,
                                            QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-c"),
                                            QStringLiteral("\\timing on"), QStringLiteral("-c"), sql});
        if (!psql.waitForFinished(600000) || psql.exitCode() != 0)
            return -1;
        const auto match = QRegularExpression(QStringLiteral("Time: ([0-9.]+) ms"))
                               .match(QString::fromUtf8(psql.readAllStandardOutput()));
        if (!match.hasMatch())
            return -1;
        const double ms = match.captured(1).toDouble();
        if (best < 0 || ms < best)
            best = ms;
    }
    return best;
}

double SqliteAloneMs(const QString &bookPath, const QString &sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(bookPath).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return -1;
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt *stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    // Volatile, so the reads are not optimised away.
    volatile size_t touched = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            touched = touched + size_t(sqlite3_column_bytes(stmt, c));
    }
    sqlite3_finalize(stmt);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    sqlite3_close(db);
    return ms;
}

double PeakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(status.readAll());
    const auto match = QRegularExpression(QStringLiteral("VmHWM:\\s+(\\d+) kB")).match(text);
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : -1;
}

void ReportHeader(const QString &title, const char *besideCaption)
{
    std::printf("\n%s\n", qPrintable(title));
    std::printf("%-48s %10s %12s %7s %8s\n", "operation", "ms", besideCaption, "ratio", "goal ms");
}

void ReportLine(const QString &what, double ms, double sqliteMs, double goalMs)
{
    const QByteArray name = what.toUtf8();
    if (sqliteMs > 0)
        std::printf("%-48s %10.1f %12.1f %7.2f %8.0f %s\n", name.constData(), ms, sqliteMs, ms / sqliteMs, goalMs,
                    ms <= goalMs ? "ok" : "SLOW");
    else
        std::printf("%-48s %10.1f %12s %7s %8.0f %s\n", name.constData(), ms, "-", "-", goalMs,
                    ms <= goalMs ? "ok" : "SLOW");
    std::fflush(stdout);
}
