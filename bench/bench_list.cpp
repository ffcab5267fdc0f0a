// The record list on a book of a million entries: how long the income
// module takes to appear (the list filled, laid out and scrolled to its last
// row) and how long a header click takes to show the list sorted by each
// column, beside the time SQLite alone needs to read the same rows.

#include "support/BenchReport.h"
#include "support/BigBook.h"

#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString bigBook = DefaultBigBookPath();
    if (!EnsureBigBook(bigBook)) {
        std::fprintf(stderr, "cannot make the big book at %s\n", qPrintable(bigBook));
        return 1;
    }

    // A program folder whose book is the big one, logging in directly.
    QTemporaryDir folder;
    QFile::link(QFileInfo(bigBook).absoluteFilePath(), QDir(folder.path()).filePath(QStringLiteral("Orvendal.ovd")));
    QDir(folder.path()).mkpath(QStringLiteral("user"));
    {
        QFile settings(QDir(folder.path()).filePath(QStringLiteral("set.ini")));
        if (!settings.open(QIODevice::WriteOnly))
            return 1;
        settings.write("1\r\n\xb0\xd6\xb0\xd6\r\n"); // 爸爸 in GBK
    }
    QDir::setCurrent(folder.path());
    g_strAppDir = folder.path();

    CLedgerDlg dlg;
    dlg.show();
    Settle(&dlg);

    constexpr int kRuns = 5;
    ReportHeader(QStringLiteral("Record list, %1 income entries of a million-entry book")
                     .arg(dlg.BookStatus().incomeCount));

    const double switchMs = MedianMs(kRuns, [&] {
        dlg.SwitchToStart();
        Settle(&dlg);
        dlg.SwitchToIncome();
        Settle(&dlg);
    });
    CRecordListCtrl &list = RecordList();
    const bool atEnd = list.Window() && list.Window()->verticalScrollBar()->value() ==
                                            list.Window()->verticalScrollBar()->maximum();
    ReportLine(QStringLiteral("income module appears (%1 rows%2)")
                   .arg(list.GetItemCount())
                   .arg(atEnd ? QStringLiteral(", at the end") : QStringLiteral(", NOT at the end")),
               switchMs, SqliteAloneMs(bigBook, QStringLiteral("select * from INCOME order by id asc")), 1000);

    const char *const words[] = {"", "date", "items", "money", "remark", "user"};
    for (int column = 1; column <= 5; ++column) {
        // Every click flips the shared direction: two clicks measured per
        // run give one ascending and one descending sort.
        const double ms = MedianMs(kRuns, [&] {
            list.Window()->horizontalHeader()->sectionClicked(column);
            Settle(&dlg);
        });
        const QString sql = QStringLiteral("select * from INCOME order by %1 asc").arg(QString::fromLatin1(words[column]));
        ReportLine(QStringLiteral("sort by \"%1\"").arg(list.GetColumnCaption(column)), ms,
                   SqliteAloneMs(bigBook, sql), 1000);
    }
    std::printf("peak memory %.0f MB (goal under 500 MB)\n", PeakMemoryMb());
    return 0;
}
