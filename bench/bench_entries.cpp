// Adding and deleting one entry on the million-entry book, the whole way a
// user sees it: the statement, the list showing the change (the new last
// row selected and in view, or the neighbour of the deleted row selected)
// and the book's figures on screen. Each beside SQLite's own time for the
// same statement on a connection of its own.
#include "app/Globals.h"
#include "app/Prompter.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CAddRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "settings/ProgramSettings.h"
#include "store/BookFile.h"
#include "support/BenchReport.h"
#include "support/BigBook.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sqlite3.h>

#include <cstdio>
#include <functional>

namespace {

constexpr int kRuns = 21;
constexpr double kGoalMs = 100.0;

// Answers every question with Yes, as a user confirming a delete.
class YesPrompter final : public CPrompter
{
public:
    MsgResult Message(QWidget *, const QString &text, const QString &, MsgIcon, MsgButtons buttons) override
    {
        if (buttons == MsgButtons::Ok)
            std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
    }
    QString ChooseFile(QWidget *, const FileDialogRequest &) override { return {}; }
    QColor ChooseColor(QWidget *, const QColor &) override { return {}; }
};

// One statement on a fresh connection, as the program runs each change:
// open, prepare, bind, step, close.
double SqliteStatementMs(const QString &bookPath, const char *sql, const std::function<void(sqlite3_stmt *)> &bind)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(bookPath).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return -1;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    bind(stmt);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rc == SQLITE_DONE ? double(timer.nsecsElapsed()) / 1e6 : -1;
}

bool LastRowShown(CRecordListCtrl &list)
{
    const int last = list.GetItemCount() - 1;
    CRecordListView *view = list.Window();
    const QRect rect = view->visualRect(list.Model().index(last, 0));
    return list.GetSelectedRows() == QList<int>{last} && view->viewport()->rect().contains(rect.center());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString bigBook = DefaultBigBookPath();
    if (!EnsureBigBook(bigBook)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(bigBook));
        return 1;
    }
    // Changes go to a copy; the generated book stays as it was made.
    QTemporaryDir dir;
    const QString book = orv::BookFile::bookPath(dir.path());
    if (!QFile::copy(bigBook, book)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(bigBook));
        return 1;
    }
    QDir::setCurrent(dir.path());
    g_strAppDir = dir.path();
    orv::ProgramSettings(dir.path()).save(true, QStringLiteral("爸爸"));
    YesPrompter prompter;
    SetPrompter(&prompter);

    CLedgerDlg ledger;
    ledger.show();
    QElapsedTimer fill;
    fill.start();
    ledger.SwitchToIncome();
    QCoreApplication::processEvents();
    CRecordListCtrl &list = RecordList();
    ReportHeader(QStringLiteral("Entries: one change on %1 income entries").arg(list.GetItemCount()));
    std::printf("(opening the income module: %.0f ms)\n", double(fill.nsecsElapsed()) / 1e6);
    const double recountMs = MedianMs(5, [&] { ledger.UpdateBookStatus(); });

    // Adding: Add pressed in the add dialog, until the list shows the entry
    // selected at its end and the figures are new.
    double addMs = -1;
    bool addShown = true;
    const qint64 countBefore = ledger.BookStatus().incomeCount;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<CAddRecordDlg *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        int n = 0;
        addMs = MedianMs(kRuns, [&] {
            dlg->AmountEdit()->setText(QString::number(10 + n++) + QStringLiteral(".25"));
            dlg->OkButton()->click();
            addShown = addShown && LastRowShown(list);
        });
        dlg->reject();
    });
    ledger.OnAddRecord();
    const bool addCounted = ledger.BookStatus().incomeCount == countBefore + kRuns;
    const double sqliteInsertMs = MedianMs(kRuns, [&] {
        SqliteStatementMs(book,
                          "INSERT INTO \"INCOME\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                          "VALUES (?, ?, ?, ?, ?)",
                          [](sqlite3_stmt *stmt) {
                              sqlite3_bind_text(stmt, 1, "2026-12-07", -1, SQLITE_STATIC);
                              sqlite3_bind_text(stmt, 2, "工资", -1, SQLITE_STATIC);
                              sqlite3_bind_double(stmt, 3, 10.25);
                              sqlite3_bind_text(stmt, 4, "", -1, SQLITE_STATIC);
                              sqlite3_bind_text(stmt, 5, "爸爸", -1, SQLITE_STATIC);
                          });
    });
    ReportLine(QStringLiteral("add one entry (list + figures)"), addMs, sqliteInsertMs, kGoalMs);

    // The list shows the book again (without SQLite's own inserts above).
    ledger.SwitchToIncome();
    ledger.UpdateBookStatus();
    ledger.UpdateStatusTexts();

    // Deleting the last row, then a row in the middle; Yes to the question.
    bool deleteShown = true;
    const double deleteLastMs = MedianMs(kRuns, [&] {
        list.SelectRow(list.GetItemCount() - 1);
        ledger.OnDeleteRecord();
        deleteShown = deleteShown && LastRowShown(list);
    });
    // A row of the current user near the middle (the book has four recorders).
    auto ownRowFrom = [&](int row) {
        while (list.GetItemText(row, 5) != g_strCurUser)
            ++row;
        return row;
    };
    int middle = 0;
    const double deleteMiddleMs = MedianMs(kRuns, [&] {
        middle = ownRowFrom(list.GetItemCount() / 2);
        list.SelectRow(middle);
        ledger.OnDeleteRecord();
        deleteShown = deleteShown && list.GetSelectedRows() == QList<int>{middle};
    });
    // The figures kept by following each change equal a fresh count.
    const QString kept = ledger.m_strIncomeCount + QLatin1Char('/') + ledger.m_strBalance;
    ledger.UpdateBookStatus();
    const QString counted = ledger.m_strIncomeCount + QLatin1Char('/') + ledger.m_strBalance;
    std::printf("figures kept %s, counted %s: %s; list %s after each change\n", qPrintable(kept), qPrintable(counted),
                kept == counted && addCounted ? "equal" : "DIFFERENT", addShown && deleteShown ? "right" : "WRONG");
    qint64 nextId = 1;
    const double sqliteDeleteMs = MedianMs(kRuns, [&] {
        // The first entries of the book, which the list has no more use for.
        const qint64 id = nextId++;
        SqliteStatementMs(book, "DELETE FROM \"INCOME\" WHERE \"id\" = ?",
                          [id](sqlite3_stmt *stmt) { sqlite3_bind_int64(stmt, 1, id); });
    });
    ReportLine(QStringLiteral("delete the last entry (list + figures)"), deleteLastMs, sqliteDeleteMs, kGoalMs);
    ReportLine(QStringLiteral("delete a middle entry (list + figures)"), deleteMiddleMs, sqliteDeleteMs, kGoalMs);
    std::printf("(for comparison, counting the whole book afresh: %.1f ms)\n", recountMs);

    std::printf("peak memory %.0f MB\n", PeakMemoryMb());
    SetPrompter(nullptr);
    return kept == counted && addShown && deleteShown ? 0 : 1;
}
