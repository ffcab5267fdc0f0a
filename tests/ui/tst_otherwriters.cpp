// The main window while another window or computer writes the same book:
// a list that is out of date never changes or deletes another entry than
// the one it shows (all or none for several), and the book's figures on
// the start screen and in the status bar always equal a full count, after
// the next command and, without one, within two seconds.

#include "support/WidgetTestMain.h"
#include "app/AppBook.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "mainwnd/CStatusBarCtrl.h"
#include "records/BookStatus.h"
#include "records/CModifyRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "support/NextModal.h"
#include "support/ScriptedPrompter.h"
#include "support/ListProbe.h"
#include "support/TestBook.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using orv::RecordKind;

namespace {

const QString kDad = QStringLiteral("爸爸");
const QString kMum = QStringLiteral("妈妈");

// What the other window does to the book the list shows.
enum class Elsewhere {
    NewBook,      // a new book with entries of its own: ids start again at 1
    Changed,      // the second entry's amount changed
    Removed,      // the second entry deleted
};

} // namespace

Q_DECLARE_METATYPE(Elsewhere)

class TestOtherWriters : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CLedgerDlg> m_ledger;

    void Open(int module)
    {
        m_ledger = std::make_unique<CLedgerDlg>();
        m_ledger->show();
        if (!QTest::qWaitForWindowExposed(m_ledger.get()))
            qWarning("main window not exposed");
        m_ledger->SwitchToModule(module);
    }

    void Do(Elsewhere what)
    {
        switch (what) {
        case Elsewhere::NewBook:
            // What another window's new book leaves: the table empty and
            // its ids handed out from 1 again, to 妈妈's entries.
            if (TestBook::onServer()) {
                m_book->exec(QStringLiteral("TRUNCATE \"INCOME\" RESTART IDENTITY"));
            } else {
                m_book->exec(QStringLiteral("DELETE FROM \"INCOME\""));
                m_book->exec(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'INCOME'"));
            }
            for (int i = 1; i <= 3; ++i)
                QCOMPARE(m_book->add(RecordKind::Income, QDate(2024, 1, i), QStringLiteral("奖金"), 10.0 * i,
                                     QString(), kMum),
                         qint64(i));
            break;
        case Elsewhere::Changed:
            m_book->exec(QStringLiteral("UPDATE \"INCOME\" SET \"money\" = 2.5 WHERE \"id\" = 2"));
            break;
        case Elsewhere::Removed:
            m_book->exec(QStringLiteral("DELETE FROM \"INCOME\" WHERE \"id\" = 2"));
            break;
        }
    }

    // The figures on the start screen and in the status bar, and a full count.
    QStringList ShownFigures() const
    {
        QStringList shown;
        for (int id : {1030, 1031, 1033, 1032})
            shown.append(qobject_cast<QLabel *>(m_ledger->Control(id))->text());
        if (CStatusBarCtrl *bar = m_ledger->StatusBar()) {
            for (int part = 0; part < 4; ++part)
                shown.append(bar->Text(part));
        }
        return shown;
    }
    QStringList CountedFigures() const
    {
        const auto counted = orv::BookStatus::compute(orv::BookConnection(m_book->location()));
        if (!counted)
            return {counted.error().message};
        QStringList figures = {counted->incomeCountText(), counted->payoutCountText(), counted->loanCountText(),
                               counted->balanceText()};
        if (m_ledger->StatusBar())
            figures += QStringList{QStringLiteral("收入记录%1条").arg(figures[0]),
                                   QStringLiteral("支出记录%1条").arg(figures[1]),
                                   QStringLiteral("借贷记录%1条").arg(figures[2]),
                                   QStringLiteral("当前余额%1元").arg(figures[3])};
        return figures;
    }

    // The list shows the income entries of the book as they are now, and
    // the figures are a full count.
    void VerifyListIsTheBook() const
    {
        QStringList ids, users;
        for (const QStringList &row : m_book->rows(QStringLiteral("INCOME"))) {
            ids.append(row[0]);
            users.append(row[5]);
        }
        QCOMPARE(Column(0), ids);
        QCOMPARE(Column(5), users);
        QCOMPARE(ShownFigures(), CountedFigures());
    }

    // Another connection adds, changes and deletes entries of every kind.
    void OthersWrite() const
    {
        m_book->add(RecordKind::Income, QDate(2024, 5, 1), QStringLiteral("奖金"), 1000.01, QString(), kMum);
        m_book->add(RecordKind::Loan, QDate(2024, 5, 2), QStringLiteral("借出"), 70, QString(), kMum);
        m_book->exec(QStringLiteral("UPDATE \"INCOME\" SET \"money\" = 7.77 WHERE \"id\" = 1"));
        m_book->exec(QStringLiteral("DELETE FROM \"PAYOUT\" WHERE \"id\" = 1"));
    }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{{kDad, QStringLiteral("1")},
                                                                          {kMum, QStringLiteral("2")}});
        m_book->directLogin(kDad);
        m_prompter = std::make_unique<ScriptedPrompter>();
        for (int i = 1; i <= 3; ++i)
            m_book->add(RecordKind::Income, QDate(2023, 12, i), QStringLiteral("工资"), 100.0 * i,
                        QStringLiteral("第%1笔").arg(i));
        m_book->add(RecordKind::Payout, QDate(2023, 12, 9), QStringLiteral("餐饮"), 45.5);
        m_book->add(RecordKind::Payout, QDate(2023, 12, 10), QStringLiteral("交通"), 3);
    }

    void cleanup()
    {
        m_ledger.reset();
        m_prompter.reset();
        m_book.reset();
    }

    // The other window writes while this one asks (the question, or the
    // modify dialog, is up and the window follows the book behind it): the
    // command still acts on the entries the user saw and confirmed, and
    // finds them no longer as shown.
    void anOutdatedListTouchesNothing_data()
    {
        QTest::addColumn<Elsewhere>("elsewhere");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("delete, a new book meanwhile") << Elsewhere::NewBook << "delete" << QList<int>{1};
        QTest::newRow("modify, a new book meanwhile") << Elsewhere::NewBook << "modify" << QList<int>{1};
        QTest::newRow("multiple delete, a new book meanwhile") << Elsewhere::NewBook << "delete" << QList<int>{0, 2};
        QTest::newRow("delete, the entry changed meanwhile") << Elsewhere::Changed << "delete" << QList<int>{1};
        QTest::newRow("delete, the entry deleted meanwhile") << Elsewhere::Removed << "delete" << QList<int>{1};
        QTest::newRow("modify, the entry changed meanwhile") << Elsewhere::Changed << "modify" << QList<int>{1};
        QTest::newRow("modify, the entry deleted meanwhile") << Elsewhere::Removed << "modify" << QList<int>{1};
        // One of three no longer as shown: none of them goes.
        QTest::newRow("multiple delete, one changed meanwhile") << Elsewhere::Changed << "delete" << QList<int>{0, 1, 2};
        QTest::newRow("multiple delete, one deleted meanwhile") << Elsewhere::Removed << "delete" << QList<int>{0, 1, 2};
    }
    void anOutdatedListTouchesNothing()
    {
        QFETCH(Elsewhere, elsewhere);
        QFETCH(QString, command);
        QFETCH(QList<int>, rows);
        Open(1);
        QCOMPARE(Column(5), (QStringList{kDad, kDad, kDad}));
        Select(rows);
        QString after;
        auto otherWindowWrites = [&] {
            Do(elsewhere);
            after = m_book->contents();
            // Long enough for the window to notice and read its list again.
            QTest::qWait(1500);
        };

        if (command == QLatin1String("modify")) {
            bool modifyShown = false;
            WithNextModal<CModifyRecordDlg>(modifyShown, [&](CModifyRecordDlg *dlg) {
                otherWindowWrites();
                dlg->RemarkEdit()->setText(QStringLiteral("改过"));
                QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
                // Nothing left to change as it was shown: the dialog ends.
                QVERIFY(!dlg->isVisible());
            });
            m_ledger->RunCommand(1012);
            QVERIFY(modifyShown);
        } else {
            m_prompter->onShown = [&](const ScriptedPrompter::Shown &shown) {
                if (shown.text.startsWith(QStringLiteral("真的要删除")))
                    otherWindowWrites();
            };
            m_ledger->RunCommand(1013);
            m_prompter->onShown = nullptr;
        }

        QVERIFY(!after.isEmpty());
        QCOMPARE(m_book->contents(), after);
        QVERIFY2(m_prompter->texts().contains(orv::EntryStore::changedElsewhereMessage()),
                 qPrintable(m_prompter->texts().join(u'|')));
        VerifyListIsTheBook();
    }

    // The other window wrote before the command: the command reads the book
    // first, so it works on what is there now and never on another user's
    // entry that took the place of the one on screen.
    void aCommandCatchesUpFirst_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("message");
        const QString notMine = QStringLiteral("只能删除当前用户(爸爸)的记录!");
        QTest::newRow("delete") << "delete" << QList<int>{1} << notMine;
        QTest::newRow("modify") << "modify" << QList<int>{1} << QStringLiteral("只能修改当前用户(爸爸)的记录!");
        QTest::newRow("multiple delete") << "delete" << QList<int>{0, 2}
                                         << QStringLiteral("选中的记录中含有非当前用户(爸爸)的记录，操作失败!");
    }
    void aCommandCatchesUpFirst()
    {
        QFETCH(QString, command);
        QFETCH(QList<int>, rows);
        QFETCH(QString, message);
        Open(1);
        Select(rows);
        Do(Elsewhere::NewBook);
        const QString after = m_book->contents();
        m_ledger->RunCommand(command == QLatin1String("modify") ? 1012 : 1013);
        QCOMPARE(m_prompter->texts(), QStringList{message});
        QCOMPARE(m_book->contents(), after);
        VerifyListIsTheBook();
    }

    // After each command the figures are the book's, whatever others wrote
    // since the last look; nothing else (no event loop) runs in between.
    void figuresAfterTheNextCommand_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<int>("command");
        QTest::newRow("start screen: to the income list") << 0 << 32777;
        QTest::newRow("income list: to the start screen") << 1 << 32793;
        QTest::newRow("expense list: modify without a row") << 2 << 1012;
        // This program's own change right after others': not the quick sum.
        QTest::newRow("expense list: delete own entry") << 2 << 1013;
        QTest::newRow("query module: back to the query module") << 3 << 32779;
    }
    void figuresAfterTheNextCommand()
    {
        QFETCH(int, module);
        QFETCH(int, command);
        Open(module);
        QCOMPARE(ShownFigures(), CountedFigures());
        OthersWrite();
        if (command == 1013)
            Select({1}); // the expense entry of 3.00, which others left alone
        else if (command == 1012)
            Select({});
        m_ledger->RunCommand(command);
        QCOMPARE(ShownFigures(), CountedFigures());
        if (command == 1013)
            QCOMPARE(m_book->count(QStringLiteral("PAYOUT")), 0);
    }

    void figuresFollowWithoutACommand_data()
    {
        QTest::addColumn<int>("module");
        QTest::newRow("start screen") << 0;
        QTest::newRow("income list") << 1;
        QTest::newRow("query module") << 3;
    }
    void figuresFollowWithoutACommand()
    {
        QFETCH(int, module);
        Open(module);
        OthersWrite();
        QTRY_COMPARE_WITH_TIMEOUT(ShownFigures(), CountedFigures(), 2000);
        if (module == 1)
            QTRY_COMPARE_WITH_TIMEOUT(Column(3), (QStringList{"7.77", "200.00", "300.00", "1000.01"}), 2000);
    }
};

ORV_WIDGET_TEST_MAIN(TestOtherWriters)
#include "tst_otherwriters.moc"
