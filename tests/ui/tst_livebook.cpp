// One book, several writers at once (other windows, other computers): no
// entry is lost, and the window shows what the others did within two
// seconds without a click — the list of the module on screen, the figures,
// the query overview — keeping the user's sort, selection and scroll; a
// query's result stays as it ran, with a word in the status bar. A server
// that goes away mid-session costs one clear message, and the next command
// reconnects by itself.
#include "support/WidgetTestMain.h"
#include "app/AppBook.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "records/BookStatus.h"
#include "records/CAddRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

using orv::RecordKind;

namespace {

const QString kDad = QStringLiteral("爸爸");
const QString kMum = QStringLiteral("妈妈");

// The window's figures, start screen and status bar, as one list.
QStringList ShownFigures(CLedgerDlg &window)
{
    QStringList shown;
    for (int id : {1030, 1031, 1033, 1032})
        shown << qobject_cast<QLabel *>(window.Control(id))->text();
    if (window.StatusBar()) {
        for (int part = 0; part < 4; ++part)
            shown << window.StatusBar()->Text(part);
    }
    return shown;
}

QStringList CountedFigures(const orv::BookLocation &book, bool withBar)
{
    const auto counted = orv::BookStatus::compute(orv::BookConnection(book));
    if (!counted)
        return {counted.error().message};
    QStringList figures = {counted->incomeCountText(), counted->payoutCountText(), counted->loanCountText(),
                           counted->balanceText()};
    if (withBar)
        figures << QStringLiteral("收入记录%1条").arg(figures[0]) << QStringLiteral("支出记录%1条").arg(figures[1])
                << QStringLiteral("借贷记录%1条").arg(figures[2]) << QStringLiteral("当前余额%1元").arg(figures[3]);
    return figures;
}

QStringList ColumnOf(int column)
{
    QStringList texts;
    for (int row = 0; row < RecordList().GetItemCount(); ++row)
        texts << RecordList().GetItemText(row, column);
    return texts;
}

int RowOfId(qint64 id)
{
    return RecordList().Model().RowOfId(id);
}

// Another writer, on a connection of its own: another window, another computer.
struct OtherWriter
{
    explicit OtherWriter(const orv::BookLocation &book) : conn(book) {}

    qint64 add(RecordKind kind, double money, const QString &remark)
    {
        orv::EntryList scratch;
        auto stored = orv::EntryStore::insert(conn, kind, {QDate(2024, 6, 1), QStringLiteral("工资"), money, remark, kMum},
                                              scratch);
        return stored ? stored->id : -1;
    }
    void exec(const QString &sql) { conn.change(sql); }

    orv::BookConnection conn;
};

} // namespace

class TestLiveBook : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CLedgerDlg> m_window;

    CLedgerDlg &Open(int module)
    {
        m_window = std::make_unique<CLedgerDlg>();
        m_window->resize(900, 600);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qWarning("main window not exposed");
        m_window->SwitchToModule(module);
        return *m_window;
    }

    // An administrator's connection cuts every other one to the book's
    // database, as a server that restarts does.
    void CutConnections()
    {
        {
            QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("cutter"));
            admin.setDatabaseName(qEnvironmentVariable("PGDATABASE", QStringLiteral("postgres")));
            QVERIFY(admin.open());
            QSqlQuery cut(admin);
            QVERIFY(cut.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                            "WHERE datname = '%1' AND pid <> pg_backend_pid()")
                                 .arg(m_book->location().uri().section(u'/', -1))));
            cut.finish();
            admin.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("cutter"));
    }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{{kDad, QStringLiteral("1")},
                                                                          {kMum, QStringLiteral("2")}});
        m_book->directLogin(kDad);
        m_prompter = std::make_unique<ScriptedPrompter>();
        RecordList().m_bAscending = false;
    }
    void cleanup()
    {
        m_window.reset();
        m_prompter.reset();
        m_book.reset();
    }

    // Two computers adding and deleting at the same moment: each keeps
    // every entry it made, none of the other's goes.
    void twoWritersAtOnceLoseNothing()
    {
        const orv::BookLocation book = m_book->location();
        constexpr int kEach = 120;
        auto writer = [book](const QString &who, QList<qint64> *kept) {
            orv::BookConnection conn(book);
            orv::EntryList scratch;
            QList<orv::ShownEntry> mine;
            for (int i = 0; i < kEach; ++i) {
                const orv::EntryValues values{QDate(2024, 1, 1).addDays(i), QStringLiteral("餐饮"), double(i + 1), who, who};
                auto stored = orv::EntryStore::insert(conn, RecordKind::Payout, values, scratch);
                if (!stored)
                    continue;
                mine.append({stored->id, values});
                // Every third one goes again, by the owner rule.
                if (i % 3 == 2 && orv::EntryStore::remove(conn, RecordKind::Payout, {mine.takeLast()}, who).ok())
                    continue;
                kept->append(stored->id);
            }
        };
        QList<qint64> dad, mum;
        QThread *other = QThread::create(writer, kMum, &mum);
        other->start();
        writer(kDad, &dad);
        other->wait();
        delete other;
        QCOMPARE(dad.size(), kEach * 2 / 3);
        QCOMPARE(mum.size(), kEach * 2 / 3);
        QList<qint64> shown;
        for (const QStringList &row : m_book->rows(QStringLiteral("PAYOUT")))
            shown << row.first().toLongLong();
        QList<qint64> expected = dad + mum;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(shown, expected);
    }

    void theListFollowsOthersWithinTwoSeconds_data()
    {
        QTest::addColumn<int>("module");
        QTest::newRow("income") << 1;
        QTest::newRow("expense") << 2;
        QTest::newRow("loans") << 5;
    }
    void theListFollowsOthersWithinTwoSeconds()
    {
        QFETCH(int, module);
        const RecordKind kind = *orv::kindFromModule(module);
        const QString table = orv::recordTable(kind);
        for (int i = 1; i <= 60; ++i)
            m_book->add(kind, QDate(2024, 1, 1).addDays(i), QStringLiteral("工资"), i * 10.0, QStringLiteral("第%1笔").arg(i), kDad);
        CLedgerDlg &window = Open(module);
        CRecordListCtrl &list = RecordList();
        // The user's view: sorted by amount, highest first; one row selected; scrolled part-way.
        list.OnColumnClick(3);
        list.OnColumnClick(3);
        QCOMPARE(list.GetItemText(0, 3), QStringLiteral("600.00"));
        const int chosenRow = 20;
        const qint64 chosen = list.GetItemText(chosenRow, 0).toLongLong();
        list.SelectRow(chosenRow);
        QScrollBar *bar = list.Window()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum() / 2);
        const int scroll = bar->value();

        OtherWriter other(m_book->location());
        const qint64 added = other.add(kind, 305, QStringLiteral("别人加的"));
        other.exec(QStringLiteral("UPDATE \"%1\" SET \"remark\" = '别人改的' WHERE \"id\" = 7").arg(table));
        other.exec(QStringLiteral("DELETE FROM \"%1\" WHERE \"id\" = 9").arg(table));

        // No click: within two seconds the list shows it.
        QTRY_VERIFY_WITH_TIMEOUT(RowOfId(added) >= 0 && RowOfId(9) < 0, 2000);
        QCOMPARE(list.GetItemText(RowOfId(7), 4), QStringLiteral("别人改的"));
        QCOMPARE(list.GetItemCount(), 60);
        // Still by amount, highest first; the same entry selected; the same place.
        QStringList amounts = ColumnOf(3);
        QVERIFY(std::is_sorted(amounts.begin(), amounts.end(),
                               [](const QString &a, const QString &b) { return a.toDouble() > b.toDouble(); }));
        QCOMPARE(list.GetSelectedRows(), QList<int>{RowOfId(chosen)});
        QCOMPARE(list.GetItemText(list.GetSelectionMark(), 0).toLongLong(), chosen);
        QCOMPARE(bar->value(), scroll);
        QCOMPARE(ShownFigures(window), CountedFigures(m_book->location(), true));
    }

    // The start screen's figures, and the query module's overview, follow
    // too; a query result on screen stays as it ran, and says so.
    void figuresAndOverviewFollowAQueryResultStays()
    {
        m_book->add(RecordKind::Income, QDate(2024, 1, 2), QStringLiteral("工资"), 100, {}, kDad);
        CLedgerDlg &window = Open(0);
        OtherWriter other(m_book->location());
        other.add(RecordKind::Income, 0.1, QStringLiteral("a"));
        other.add(RecordKind::Payout, 0.2, QStringLiteral("b"));
        QTRY_COMPARE_WITH_TIMEOUT(ShownFigures(window), CountedFigures(m_book->location(), false), 2000);
        QCOMPARE(ShownFigures(window).last(), QStringLiteral("99.90"));

        window.SwitchToQuery();
        const int before = RecordList().GetItemCount();
        other.add(RecordKind::Payout, 1, QStringLiteral("c"));
        QTRY_COMPARE_WITH_TIMEOUT(RecordList().GetItemCount(), before + 1, 2000);
        QCOMPARE(RecordList().GetItemText(0, 3), QStringLiteral("98.90")); // the balance row
        QVERIFY(window.StatusBar()->Note().isEmpty());

        // A query's result is a snapshot: it stays, and the status bar says the book moved on.
        RecordList().m_nQueryKind = 1;
        const int rows = RecordList().GetItemCount();
        other.add(RecordKind::Income, 5, QStringLiteral("d"));
        QTRY_VERIFY_WITH_TIMEOUT(!window.StatusBar()->Note().isEmpty(), 2000);
        QCOMPARE(RecordList().GetItemCount(), rows);
        QVERIFY(window.StatusBar()->Note().contains(QStringLiteral("重新查询")));
    }

    // The server goes away mid-session (here: the server cuts this
    // program's connection, as a restart does): one clear message, the
    // window usable, what was typed kept; the next try reconnects by itself.
    void aServerThatGoesAwayCostsOneMessage()
    {
        if (!TestBook::onServer())
            QSKIP("a file book has no server to lose");
        CLedgerDlg &window = Open(1);
        CAddRecordDlg add(RecordKind::Income, &window);
        add.show();
        add.AmountEdit()->setText(QStringLiteral("42"));
        add.RemarkEdit()->setText(QStringLiteral("断线时输入的"));
        CutConnections();

        // Pressed before the program could notice.
        add.OnAdd();
        // Said once, in Chinese; the dialog keeps what was typed.
        QCOMPARE(m_prompter->shown.size(), 1);
        QVERIFY2(m_prompter->lastText().contains(QStringLiteral("服务器")), qPrintable(m_prompter->lastText()));
        QVERIFY(add.isVisible());
        QCOMPARE(add.RemarkEdit()->text(), QStringLiteral("断线时输入的"));
        // The next press reconnects and stores it.
        m_prompter->clear();
        add.OnAdd();
        QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->texts().join(u'|')));
        QCOMPARE(m_book->count(QStringLiteral("INCOME")), 1);
        QCOMPARE(ColumnOf(4), QStringList{QStringLiteral("断线时输入的")});
        add.close();
        // And the window goes on following the others.
        OtherWriter other(m_book->location());
        const qint64 theirs = other.add(RecordKind::Income, 7, QStringLiteral("别人的"));
        QTRY_VERIFY_WITH_TIMEOUT(RowOfId(theirs) >= 0, 2000);
        QVERIFY(!AppBook().isOffline());

        // Cut again while the window waits: it notices by itself, says so in
        // the status bar, is back within seconds, and no command fails.
        m_prompter->clear();
        CutConnections();
        QTRY_VERIFY_WITH_TIMEOUT(AppBook().isOffline() || !window.StatusBar()->Note().isEmpty(), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!AppBook().isOffline(), 8000);
        OtherWriter another(m_book->location()); // the other computer's connection was cut too
        const qint64 later = another.add(RecordKind::Income, 8, QStringLiteral("重连之后"));
        QVERIFY(later > 0);
        QTRY_VERIFY_WITH_TIMEOUT(RowOfId(later) >= 0, 2000);
        QVERIFY(m_prompter->shown.isEmpty());
    }
};

ORV_WIDGET_TEST_MAIN(TestLiveBook)
#include "tst_livebook.moc"
