// Entries go through the list and its commands exactly as the book holds
// them: ids above 2^31 are shown, modified and deleted as themselves, and a
// modify that leaves the amount alone stores it to the last digit.

#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CModifyRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "store/BookConnection.h"
#include "model/TextForms.h"
#include "support/NextModal.h"
#include "support/ScriptedPrompter.h"
#include "support/ListProbe.h"
#include "support/TestBook.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

using orv::RecordKind;

namespace {

const QString kDad = QStringLiteral("爸爸");
constexpr qint64 kHigh = Q_INT64_C(4294967296); // 2^32: id 4294967298 wraps to 2 in 32 bits

// The next id the table hands out is above this one.
void RaiseIds(const TestBook &book, const QString &table, qint64 last)
{
    const orv::BookConnection conn(book.location());
    const auto raised =
        TestBook::onServer()
            ? conn.run(QStringLiteral("SELECT setval(pg_get_serial_sequence('\"%1\"', 'id'), ?)").arg(table), {last})
            : conn.run(QStringLiteral("UPDATE sqlite_sequence SET seq = ? WHERE name = ?"), {last, table});
    QVERIFY2(raised.ok(), raised.ok() ? "" : qPrintable(raised.error().message));
}

// The amount as the engine holds it, in the engine's own words.
QString StoredAmount(const TestBook &book, const QString &table, qint64 id)
{
    const orv::BookConnection conn(book.location());
    auto query = conn.read(QStringLiteral("SELECT \"money\" FROM \"%1\" WHERE \"id\" = ?").arg(table), {id});
    return query && query->next() ? query->value(0).toString() : QStringLiteral("(gone)");
}

} // namespace

class TestEntryFidelity : public QObject
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

    // Opens the modify dialog on a row, lets edit change it, presses 修改.
    void Modify(int row, const std::function<void(CModifyRecordDlg *)> &edit)
    {
        Select({row});
        bool shown = false;
        WithNextModal<CModifyRecordDlg>(shown, [&](CModifyRecordDlg *dlg) {
            edit(dlg);
            QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        });
        m_ledger->RunCommand(1012);
        QVERIFY(shown);
    }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>();
        m_book->directLogin(kDad);
        m_prompter = std::make_unique<ScriptedPrompter>();
    }

    void cleanup()
    {
        m_ledger.reset();
        m_prompter.reset();
        m_book.reset();
    }

    void idsAboveTwoToTheThirtyFirst_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QStringList>("idsAfter");
        const QString low1 = QStringLiteral("1"), low2 = QStringLiteral("2");
        const QString high1 = QString::number(kHigh + 1), high2 = QString::number(kHigh + 2);
        for (int module : {1, 5}) {
            const QByteArray kind = module == 1 ? "income: " : "loans: ";
            QTest::newRow(QByteArray(kind + "shown").constData()) << module << "" << QList<int>{} << QStringList{low1, low2, high1, high2};
            QTest::newRow(QByteArray(kind + "delete").constData()) << module << "delete" << QList<int>{3} << QStringList{low1, low2, high1};
            QTest::newRow(QByteArray(kind + "multiple delete").constData()) << module << "delete" << QList<int>{2, 3} << QStringList{low1, low2};
            QTest::newRow(QByteArray(kind + "modify").constData()) << module << "modify" << QList<int>{3}
                                           << QStringList{low1, low2, high1, high2};
        }
    }
    void idsAboveTwoToTheThirtyFirst()
    {
        QFETCH(int, module);
        QFETCH(QString, command);
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, idsAfter);
        const RecordKind kind = *orv::kindFromModule(module);
        const QString table = orv::recordTable(kind);
        m_book->add(kind, QDate(2024, 1, 1), QStringLiteral("工资"), 1);
        m_book->add(kind, QDate(2024, 1, 2), QStringLiteral("工资"), 2);
        RaiseIds(*m_book, table, kHigh);
        QCOMPARE(m_book->add(kind, QDate(2024, 1, 3), QStringLiteral("工资"), 3), kHigh + 1);
        QCOMPARE(m_book->add(kind, QDate(2024, 1, 4), QStringLiteral("工资"), 4), kHigh + 2);
        const QString secondAmount = StoredAmount(*m_book, table, 2);
        Open(module);
        QCOMPARE(Column(0), (QStringList{"1", "2", QString::number(kHigh + 1), QString::number(kHigh + 2)}));

        if (command == QLatin1String("delete")) {
            Select(rows);
            m_ledger->RunCommand(1013);
            if (rows.size() == 1)
                QCOMPARE(m_prompter->texts().value(0), QStringLiteral("真的要删除第 %1 条记录吗？").arg(kHigh + 2));
        } else if (command == QLatin1String("modify")) {
            Modify(rows.first(), [](CModifyRecordDlg *dlg) { dlg->RemarkEdit()->setText(QStringLiteral("改过")); });
        }

        QStringList ids, remarks;
        for (const QStringList &row : m_book->rows(table)) {
            ids.append(row[0]);
            remarks.append(row[4]);
        }
        QCOMPARE(ids, idsAfter);
        QCOMPARE(Column(0), idsAfter);
        // Only the row on screen changed; the entries 1 and 2 never did.
        QCOMPARE(remarks.count(QStringLiteral("改过")), command == QLatin1String("modify") ? 1 : 0);
        if (command == QLatin1String("modify"))
            QCOMPARE(remarks.last(), QStringLiteral("改过"));
        QCOMPARE(StoredAmount(*m_book, table, 2), secondAmount);
    }

    void aModifyKeepsTheAmountToTheLastDigit_data()
    {
        QTest::addColumn<double>("money");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("touchRemark");
        const QList<QPair<double, QString>> amounts = {{0.1, "0.1"},
                                                       {1234.5, "1234.5"},
                                                       {99999999.99, "99999999.99"},
                                                       {12345678901234.56, "12345678901234.56"}};
        for (const auto &[money, text] : amounts) {
            QTest::newRow(qPrintable(text + QStringLiteral(", nothing touched"))) << money << text << false;
            QTest::newRow(qPrintable(text + QStringLiteral(", remark changed"))) << money << text << true;
        }
    }
    void aModifyKeepsTheAmountToTheLastDigit()
    {
        QFETCH(double, money);
        QFETCH(QString, shown);
        QFETCH(bool, touchRemark);
        const qint64 id = m_book->add(RecordKind::Payout, QDate(2024, 2, 29), QStringLiteral("房贷"), money,
                                      QStringLiteral("旧备注"));
        const QString before = StoredAmount(*m_book, QStringLiteral("PAYOUT"), id);
        const QString others = m_book->contents();
        Open(2);
        QString prefilled;
        Modify(0, [&](CModifyRecordDlg *dlg) {
            prefilled = dlg->AmountEdit()->text();
            if (touchRemark)
                dlg->RemarkEdit()->setText(QStringLiteral("新备注"));
        });
        QCOMPARE(prefilled, shown);
        QCOMPARE(StoredAmount(*m_book, QStringLiteral("PAYOUT"), id), before);
        if (!touchRemark)
            QCOMPARE(m_book->contents(), others);
        QCOMPARE(m_book->rows(QStringLiteral("PAYOUT")).first().at(4),
                 touchRemark ? QStringLiteral("新备注") : QStringLiteral("旧备注"));
        QCOMPARE(RecordList().GetItemText(0, 3), orv::moneyText(money));
        QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->texts().join(u'|')));
    }

    // Other tools write dates with a time of day: the list shows the day,
    // and modify and delete find the entry as shown.
    void anEntryWithATimeOfDay_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("modify") << "modify";
        QTest::newRow("delete") << "delete";
    }
    void anEntryWithATimeOfDay()
    {
        QFETCH(QString, command);
        ORV_FILE_BOOK_ONLY(); // a server's date column has no time of day
        m_book->exec(QStringLiteral("INSERT INTO \"INCOME\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                                    "VALUES ('2024-02-29 00:00:00', '工资', 10, '闰日', '爸爸')"));
        Open(1);
        QCOMPARE(RecordList().GetItemText(0, 1), QStringLiteral("2024年2月29日"));
        if (command == QLatin1String("delete")) {
            Select({0});
            m_ledger->RunCommand(1013);
            QCOMPARE(m_book->count(QStringLiteral("INCOME")), 0);
        } else {
            Modify(0, [](CModifyRecordDlg *dlg) { dlg->RemarkEdit()->setText(QStringLiteral("改过")); });
            QCOMPARE(m_book->rows(QStringLiteral("INCOME")).first().at(4), QStringLiteral("改过"));
        }
        QCOMPARE(m_prompter->texts(), command == QLatin1String("delete") ? QStringList{QStringLiteral("真的要删除第 1 条记录吗？")}
                                                                         : QStringList());
    }
};

ORV_WIDGET_TEST_MAIN(TestEntryFidelity)
#include "tst_entryfidelity.moc"
