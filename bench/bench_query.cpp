// Query module timings on the million-entry book: the overview the module
// opens with, a combined query over a year, and a fuzzy remark query over
// the whole book. Each beside the time SQLite alone needs for the same rows.
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/CQueryDlg.h"
#include "query/QueryResult.h"
#include "query/QueryStatement.h"
#include "records/CRecordListCtrl.h"
#include "settings/ProgramSettings.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "support/BenchReport.h"
#include "support/BigBook.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kRuns = 5;
constexpr double kGoalMs = 1000;

double SqliteAloneMs(const QString &book, const QList<orv::BoundStatement> &statements)
{
    double ms = 0;
    for (const orv::BoundStatement &statement : statements) {
        double best = 1e300;
        for (int i = 0; i < 3; ++i)
            best = std::min(best, ::SqliteAloneMs(book, InlinedSql(statement)));
        ms += best;
    }
    return ms;
}

// Runs a query from the dialog as the user does, and answers how many rows it showed.
double TimeQuery(CQueryDlg &dlg, const QString &what, const QString &book)
{
    QPushButton *query = dlg.findChild<QPushButton *>(QStringLiteral("1"));
    const double ms = MedianMs(kRuns, [&] {
        query->click();
        QCoreApplication::processEvents();
    });
    const orv::QueryCriteria criteria = dlg.Criteria();
    QList<orv::BoundStatement> statements;
    const orv::BookConnection conn(book);
    for (orv::RecordKind kind : criteria.kinds()) {
        const orv::DateAccess access = orv::QueryRunner::chooseDateAccess(conn, criteria, kind);
        statements.append(orv::QueryStatement::select(conn.sql(), criteria, kind, access));
    }
    ReportLine(QStringLiteral("%1 (%2 rows)").arg(what).arg(RecordList().GetItemCount()), ms,
               SqliteAloneMs(book, statements), kGoalMs);
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

    // "bench_query overview" times the overview alone (for a profiler).
    const bool overviewOnly = argc > 1 && QByteArray(argv[1]) == "overview";
    ReportHeader(QStringLiteral("Query module, 1,000,000-entry book"));
    const double overviewMs = MedianMs(kRuns, [&] {
        main.SwitchToQuery();
        QCoreApplication::processEvents();
    });
    ReportLine(QStringLiteral("overview (%1 rows)").arg(RecordList().GetItemCount()), overviewMs,
               SqliteAloneMs(book, {orv::QueryStatement::everything(orv::RecordKind::Income),
                                    orv::QueryStatement::everything(orv::RecordKind::Payout)}),
               kGoalMs);
    if (overviewOnly)
        return 0;

    CQueryDlg dlg(&main);
    dlg.show();
    dlg.DateFromPicker()->setDate(QDate(2020, 1, 1));
    dlg.DateToPicker()->setDate(QDate(2020, 12, 31));
    TimeQuery(dlg, QStringLiteral("income and expense, one year"), book);

    dlg.DateFromPicker()->setDate(QDate(2000, 1, 1));
    dlg.DateToPicker()->setDate(QDate(2026, 12, 31));
    dlg.findChild<QRadioButton *>(QStringLiteral("1099"))->click();
    dlg.RemarkBox()->setEditText(QStringLiteral("超市"));
    TimeQuery(dlg, QStringLiteral("fuzzy remark, whole book"), book);

    dlg.findChild<QRadioButton *>(QStringLiteral("1037"))->click();
    dlg.RemarkBox()->setEditText(QStringLiteral("小王"));
    TimeQuery(dlg, QStringLiteral("loans, fuzzy remark, whole book"), book);

    std::printf("peak memory %.0f MB\n", PeakMemoryMb());
    return 0;
}
