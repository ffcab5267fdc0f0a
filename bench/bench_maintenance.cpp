// Backup, restore and Excel export on the million-entry book: how long a
// family waits, beside a plain file copy or SQLite's own read of the rows,
// and how much memory an export of the largest lists takes.

#include "export/SheetWriter.h"
#include "records/CRecordListCtrl.h"
#include "records/CRecordListModel.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "book/BookMaintenance.h"
#include "support/BenchReport.h"
#include "support/BigBook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace orv;

namespace {

double rawCopyMs(const QString &from, const QString &to)
{
    return MedianMs(3, [&] {
        QFile::remove(to);
        QFile::copy(from, to);
    });
}

void benchBackupAndRestore(const QString &bigBook)
{
    QTemporaryDir program;
    QTemporaryDir trash;
    qputenv("XDG_DATA_HOME", QFile::encodeName(trash.path()));
    const QString book = BookFile::bookPath(program.path());
    QFile::copy(bigBook, book);
    const double bytes = double(QFileInfo(book).size());
    std::printf("book: %.1f MB\n", bytes / 1048576.0);

    const QString backup = program.filePath(QStringLiteral("backup.ovd"));
    const double copyMs = rawCopyMs(book, program.filePath(QStringLiteral("raw.ovd")));
    QFile::remove(program.filePath(QStringLiteral("raw.ovd")));

    const double backupMs = MedianMs(5, [&] {
        if (!BookMaintenance::backupBook(orv::BookLocation::file(book), program.path(), backup).ok())
            std::printf("backup failed\n");
    });
    ReportLine(QStringLiteral("backup (beside: raw file copy)"), backupMs, copyMs, 3000);

    const double checkMs = MedianMs(3, [&] {
        const BookConnection conn(backup);
        auto check = conn.read(QStringLiteral("PRAGMA quick_check"));
        if (!check || !check->next() || check->value(0).toString() != QLatin1String("ok"))
            std::printf("quick_check failed\n");
    });
    ReportLine(QStringLiteral("  quick_check of a copy (part of restore)"), checkMs, copyMs, 3000);

    const double restoreMs = MedianMs(3, [&] {
        const BookMaintenance::Outcome outcome = BookMaintenance::replaceBook(orv::BookLocation::file(book), program.path(), backup);
        if (!outcome.ok())
            std::printf("restore failed: %s\n", qPrintable(outcome.detail));
        QFile::remove(outcome.oldBookPath); // keep the temp Trash from filling up
    });
    ReportLine(QStringLiteral("restore: copy, check, users, swap"), restoreMs, copyMs, 6000);
}

void benchExport(const QString &bigBook, const QList<RecordKind> &kinds, const QString &what, double goalMs)
{
    CRecordListModel model;
    model.SetColumns(ListCaptions(ListColumns::Records), true);
    double sqliteMs = 0;
    {
        const BookConnection conn(bigBook);
        for (RecordKind kind : kinds) {
            const qsizetype from = model.Entries().size();
            if (!EntryStore::appendSelected(conn, EntryStore::selectColumns(kind), {}, model.Entries()))
                return;
            model.AppendEntryRows(from);
            sqliteMs += SqliteAloneMs(bigBook, EntryStore::selectColumns(kind));
        }
    }
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("export.xlsx"));
    SheetContent content;
    content.sheetName = QStringLiteral("家庭帐务—综合");
    content.captions = model.Captions();
    content.rowCount = model.rowCount();
    content.cell = [&model](qsizetype row, int column) { return model.CellText(int(row), column); };
    const double before = PeakMemoryMb();
    const double ms = MedianMs(3, [&] {
        const SheetOutcome outcome = writeSheet(path, content);
        if (!outcome.ok())
            std::printf("export failed: %s\n", qPrintable(outcome.detail));
    });
    ReportLine(QStringLiteral("%1 (%2 rows; beside: SQLite read)").arg(what).arg(model.rowCount()), ms, sqliteMs,
               goalMs);
    std::printf("  workbook %.1f MB, peak memory %.0f MB before, %.0f MB after\n",
                double(QFileInfo(path).size()) / 1048576.0, before, PeakMemoryMb());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString bigBook = DefaultBigBookPath();
    if (!EnsureBigBook(bigBook)) {
        std::printf("cannot make %s\n", qPrintable(bigBook));
        return 1;
    }
    ReportHeader(QStringLiteral("Book maintenance on %1").arg(bigBook));
    benchBackupAndRestore(bigBook);
    ReportHeader(QStringLiteral("Excel export"));
    benchExport(bigBook, {RecordKind::Loan}, QStringLiteral("export loans"), 3000);
    benchExport(bigBook, {RecordKind::Income}, QStringLiteral("export income"), 6000);
    benchExport(bigBook, {RecordKind::Income, RecordKind::Payout}, QStringLiteral("export income+expense"), 15000);
    return 0;
}
