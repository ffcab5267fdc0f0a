// Query module timings on the million-entry book.
#include "query/QueryResult.h"
#include "query/QueryStatement.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "support/BenchReport.h"
#include "support/BigBook.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString book = DefaultBigBookPath();
    if (!EnsureBigBook(book))
        return 1;
    ReportHeader(QStringLiteral("query"));
    const double ms = MedianMs(5, [&] {
        const orv::BookConnection conn(book);
        orv::EntryList list;
        (void)orv::QueryRunner::readEverything(conn, orv::RecordKind::Income, list);
        (void)orv::QueryRunner::readEverything(conn, orv::RecordKind::Payout, list);
    });
    ReportLine(QStringLiteral("overview read"), ms, -1, 1000);
    const QString all = orv::QueryStatement::everything(orv::RecordKind::Income).sql;
    ReportLine(QStringLiteral("sqlite income all"), SqliteAloneMs(book, all), -1, 1000);
    ReportLine(QStringLiteral("sqlite income by date"), SqliteAloneMs(book, all + QStringLiteral(" ORDER BY \"date\", \"id\"")), -1, 1000);
    orv::EntryList keep;
    const double readMs = MedianMs(3, [&] {
        const orv::BookConnection conn(book);
        orv::EntryList list;
        (void)orv::EntryStore::appendSelected(conn, all, {}, list);
        keep = list;
    });
    ReportLine(QStringLiteral("appendSelected income"), readMs, -1, 1000);
    const double sortMs = MedianMs(3, [&] {
        orv::EntryList list = keep;
        orv::sortEntries(list.entries().begin(), list.entries().end(), orv::EntryColumn::Date, orv::SortOrder::Ascending, list.pool());
    });
    ReportLine(QStringLiteral("copy+sort income"), sortMs, -1, 1000);
    return 0;
}
