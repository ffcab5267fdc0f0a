// Financial-analysis timings on the million-entry book: the module appearing
// with this year's chart, and a change of period redrawing each chart, up
// to the whole book. Each beside the time SQLite alone needs for the same
// GROUP BY statements.
#include "analysis/AnalysisStatement.h"
#include "analysis/CAnalysisView.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/QueryResult.h"
#include "settings/ProgramSettings.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "support/BenchReport.h"
#include "support/BigBook.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 7;
constexpr double kGoalMs = 500;

using orv::AnalysisChart;
using orv::AnalysisPeriod;
using Key = orv::AnalysisStatement::Key;

// Resident memory of this process now, in megabytes.
double CurrentMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const auto match = QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+) kB")).match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : -1;
}

// The median of runs of an operation, each after its own preparation.
double MedianOf(int runs, const std::function<void()> &prepare, const std::function<void()> &operation)
{
    return MedianMs(
        runs,
        [&] {
            prepare();
            QCoreApplication::processEvents();
        },
        [&] {
            operation();
            QCoreApplication::processEvents();
        });
}

// A statement with its values written in, the exact sum (a function of the
// program's own) replaced by SQLite's SUM, for SQLite on its own.
QString Inlined(const orv::BoundStatement &statement, const QString &exactSum)
{
    QString sql = InlinedSql(statement);
    return sql.replace(exactSum, QStringLiteral("SUM(\"money\")"));
}

// The grouped statements a chart runs for a period.
QList<orv::BoundStatement> ChartStatements(const orv::BookConnection &conn, AnalysisChart chart,
                                           const orv::AnalysisReport &report)
{
    const orv::PeriodDates dates = report.dates();
    const Key time = orv::PeriodBuckets(dates).granularity() == orv::Granularity::Day ? Key::Day : Key::Month;
    auto grouped = [&](orv::RecordKind kind, const orv::PeriodDates &on, const QList<Key> &keys) {
        const orv::QueryCriteria criteria = orv::Analysis::criteriaFor(orv::Analysis::rangeOf(kind), on);
        return orv::AnalysisStatement::grouped(conn.sql(), criteria, kind, keys,
                                               orv::QueryRunner::chooseDateAccess(conn, criteria, kind));
    };
    using orv::RecordKind;
    switch (chart) {
    case AnalysisChart::Trend: return {grouped(RecordKind::Income, dates, {time}), grouped(RecordKind::Payout, dates, {time})};
    case AnalysisChart::PayoutShares: return {grouped(RecordKind::Payout, dates, {Key::Category})};
    case AnalysisChart::IncomeShares: return {grouped(RecordKind::Income, dates, {Key::Category})};
    case AnalysisChart::Members:
        return {grouped(RecordKind::Income, dates, {Key::User, Key::Category}),
                grouped(RecordKind::Payout, dates, {Key::User, Key::Category})};
    case AnalysisChart::Loans: {
        QList<orv::BoundStatement> statements{grouped(RecordKind::Loan, dates, {time, Key::Category})};
        if (report.span().firstLoan.isValid() && report.span().firstLoan < dates.first)
            statements.prepend(
                grouped(RecordKind::Loan, {report.span().firstLoan, dates.first.addDays(-1)}, {Key::Category}));
        return statements;
    }
    }
    return {};
}

double SqliteAloneMs(const QString &book, const QList<orv::BoundStatement> &statements, const QString &exactSum)
{
    double ms = 0;
    for (const orv::BoundStatement &statement : statements) {
        double best = 1e300;
        for (int i = 0; i < 3; ++i)
            best = std::min(best, ::SqliteAloneMs(book, Inlined(statement, exactSum)));
        ms += best;
    }
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString book = QFileInfo(DefaultBigBookPath()).absoluteFilePath();
    if (!EnsureBigBook(book))
        return 1;

    // A program folder whose book is the big one, logged in directly.
    QTemporaryDir dir;
    if (!QFile::link(book, orv::BookFile::bookPath(dir.path())))
        return 1;
    g_strAppDir = dir.path();
    orv::ProgramSettings(dir.path()).save(true, QStringLiteral("爸爸"));

    CLedgerDlg main;
    main.resize(1000, 700);
    main.show();
    QCoreApplication::processEvents();
    const double startScreenMb = CurrentMemoryMb();

    const orv::BookConnection conn(book);
    const QString exactSum = conn.sql().exactSum(QStringLiteral("\"money\""));
    const int year = QDate::currentDate().year();

    // "bench_analysis month": only month after month (for a profiler).
    if (argc > 1 && QByteArray(argv[1]) == "month") {
        main.SwitchToAnalysis();
        for (int i = 0; i < 40; ++i) {
            main.AnalysisView()->SetPeriod(AnalysisPeriod::month(year - 1, 1 + i % 12));
            QCoreApplication::processEvents();
        }
        return 0;
    }
    ReportHeader(QStringLiteral("Financial analysis, 1,000,000-entry book"));
    const double appearMs = MedianOf(kRuns, [&] { main.SwitchToStart(); }, [&] { main.SwitchToAnalysis(); });
    CAnalysisView *view = main.AnalysisView();
    ReportLine(QStringLiteral("module appears (收支趋势, %1)").arg(year), appearMs,
               SqliteAloneMs(book, ChartStatements(conn, AnalysisChart::Trend, view->Report()), exactSum), kGoalMs);

    const struct
    {
        QString what;
        AnalysisPeriod period;
    } periods[] = {
        {QStringLiteral("previous year"), AnalysisPeriod::year(year - 1)},
        {QStringLiteral("a month, by day"), AnalysisPeriod::month(year - 1, 6)},
        {QStringLiteral("whole book, by year"), AnalysisPeriod::whole()},
    };
    for (AnalysisChart chart : orv::kAllCharts) {
        view->SetCurrentChart(chart);
        for (const auto &[what, period] : periods) {
            const AnalysisPeriod other = AnalysisPeriod::year(year);
            const double ms = MedianOf(kRuns, [&] { view->SetPeriod(other); }, [&] { view->SetPeriod(period); });
            ReportLine(QStringLiteral("%1: %2").arg(orv::chartTitle(chart), what), ms,
                       SqliteAloneMs(book, ChartStatements(conn, chart, view->Report()), exactSum), kGoalMs);
        }
    }
    std::printf("memory on the start screen %.0f MB, now %.0f MB (%.0f MB more), peak %.0f MB\n", startScreenMb,
                CurrentMemoryMb(), CurrentMemoryMb() - startScreenMb, PeakMemoryMb());
    return 0;
}
