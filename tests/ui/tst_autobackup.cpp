// The automatic backup at the end of a run, driven through the main
// window: made only when this program changed the book, at every way the
// run ends, the newest few kept, a failure told, and the restore dialog
// opening where the backups are.

#include "support/WidgetTestMain.h"
#include "app/AppBook.h"
#include "app/Globals.h"
#include "app/ProcessControl.h"
#include "backup/AutoBackups.h"
#include "mainwnd/CLedgerDlg.h"
#include "store/BookConnection.h"
#include "support/ScriptedPrompter.h"
#include "support/NextModal.h"
#include "support/TestBook.h"
#include "users/CAddUserDlg.h"
#include "users/CUserManageDlg.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace orv;

namespace {

struct Fixture
{
    Fixture() { book.directLogin(QStringLiteral("爸爸")); }

    QString folder() const { return AutoBackups::folderFor(book.location(), book.dir()); }
    // The automatic backups made, oldest first.
    QStringList made() const
    {
        QStringList names;
        for (const QString &name : QDir(folder()).entryList(QDir::Files, QDir::Name)) {
            if (AutoBackups::partsOf(name))
                names.append(name);
        }
        return names;
    }
    // Entries of a kind in a backup.
    static qint64 countIn(const QString &backup, const QString &table)
    {
        const BookConnection conn(backup);
        auto query = conn.read(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table));
        return query && query->next() ? query->value(0).toLongLong() : -1;
    }
    void setKeep(const QByteArray &value) const
    {
        book.writeFile(QStringLiteral("orvendal.ini"), "[backups]\nkeep=" + value + "\n");
    }

    TestBook book;
    ScriptedPrompter prompter;
};

using Step = std::function<void(CLedgerDlg &)>;

ShownEntry firstIncome()
{
    auto list = AppBook().entries(RecordKind::Income);
    return {list->at(0).id, list->values(list->at(0))};
}

} // namespace

Q_DECLARE_METATYPE(Step)

class TestAutoBackup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { SetRestartHook([] {}); }
    void cleanup() { SetRestartHook(nullptr); }

    void aRunThatOnlyLookedLeavesNoBackup()
    {
        Fixture f;
        f.book.add(RecordKind::Income, QDate(2026, 1, 2), QStringLiteral("工资"), 100);
        CLedgerDlg dlg;
        dlg.SwitchToIncome();
        dlg.SwitchToQuery();
        dlg.SwitchToLoan();
        dlg.SwitchToStart();
        dlg.MenuCommand(32774)->trigger();
        QVERIFY(!QFileInfo::exists(f.folder()));
        QVERIFY(f.prompter.shown.isEmpty());
    }

    void othersChangesAloneLeaveNoBackup()
    {
        Fixture f;
        CLedgerDlg dlg;
        dlg.SwitchToIncome();
        // Another window or computer writes; this run notices and shows it.
        f.book.add(RecordKind::Income, QDate(2026, 1, 2), QStringLiteral("工资"), 100);
        AppBook().catchUp();
        dlg.MenuCommand(32774)->trigger();
        QVERIFY(!QFileInfo::exists(f.folder()));
    }

    void everyEndOfARunThatChangedTheBook_data()
    {
        QTest::addColumn<Step>("change");
        QTest::addColumn<Step>("end");
        QTest::addColumn<qint64>("incomeInBackup");
        const Step add = [](CLedgerDlg &) {
            QVERIFY(AppBook().addEntry(RecordKind::Income, {QDate(2026, 1, 3), QStringLiteral("奖金"), 50, QString(),
                                                            QStringLiteral("爸爸")}));
        };
        const Step modify = [](CLedgerDlg &) {
            const ShownEntry shown = firstIncome();
            EntryValues changed = shown.values;
            changed.money = 120;
            QVERIFY(AppBook().changeEntry(RecordKind::Income, shown, changed, QStringLiteral("爸爸")));
        };
        const Step remove = [](CLedgerDlg &) {
            QVERIFY(AppBook().removeEntries(RecordKind::Income, {firstIncome()}, QStringLiteral("爸爸")));
        };
        const Step category = [](CLedgerDlg &) {
            QVERIFY(AppBook().addCategory(RecordKind::Payout, QStringLiteral("宠物")));
        };
        const Step user = [](CLedgerDlg &) {
            CUserManageDlg manage;
            manage.show();
            bool seen = false;
            WithNextModal<CAddUserDlg>(seen, [](CAddUserDlg *form) {
                form->NameEdit()->setText(QStringLiteral("奶奶"));
                form->PasswordEdit()->setText(QStringLiteral("pw"));
                form->ConfirmEdit()->setText(QStringLiteral("pw"));
                QTest::keyClick(form->ConfirmEdit(), Qt::Key_Return);
            });
            QTest::mouseClick(manage.findChild<QPushButton *>(QStringLiteral("1")), Qt::LeftButton);
            QVERIFY(seen);
        };
        const Step exit = [](CLedgerDlg &dlg) { dlg.MenuCommand(32774)->trigger(); };
        const Step closeBox = [](CLedgerDlg &dlg) {
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            dlg.close();
        };
        const Step escape = [](CLedgerDlg &dlg) {
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            QTest::keyClick(&dlg, Qt::Key_Escape);
        };
        const Step logOff = [](CLedgerDlg &dlg) {
            // The copy is there before the program starts anew.
            bool backedUpFirst = false;
            SetRestartHook([&] {
                backedUpFirst = !QDir(AutoBackups::folderFor(AppBookLocation(), g_strAppDir)).isEmpty();
            });
            dlg.LogOffAndRestart();
            QVERIFY(backedUpFirst);
        };
        QTest::newRow("entry added, exit") << add << exit << qint64(2);
        QTest::newRow("entry changed, close box") << modify << closeBox << qint64(1);
        QTest::newRow("entry deleted, Esc") << remove << escape << qint64(0);
        QTest::newRow("category added, log-off") << category << logOff << qint64(1);
        QTest::newRow("user added, exit") << user << exit << qint64(1);
    }
    void everyEndOfARunThatChangedTheBook()
    {
        QFETCH(Step, change);
        QFETCH(Step, end);
        QFETCH(qint64, incomeInBackup);
        Fixture f;
        f.book.add(RecordKind::Income, QDate(2026, 1, 2), QStringLiteral("工资"), 100);
        {
            CLedgerDlg dlg;
            dlg.SwitchToIncome();
            change(dlg);
            end(dlg);
            QVERIFY(!dlg.isVisible());
            // Ended twice (a second close on the way out): still one backup.
            dlg.done(0);
        }
        QVERIFY2(f.prompter.shown.isEmpty(), qPrintable(f.prompter.texts().join(u'\n')));
        const QStringList made = f.made();
        QCOMPARE(made.size(), 1);
        const QString backup = QDir(f.folder()).filePath(made.first());
        QCOMPARE(Fixture::countIn(backup, QStringLiteral("INCOME")), incomeInBackup);
        QCOMPARE(QFile::permissions(backup) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                 QFile::Permissions());
        QCOMPARE(QFile::permissions(f.folder()) & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeGroup | QFile::ExeOther),
                 QFile::Permissions());
    }

    void theNewestAreKeptAndNothingElseTouched()
    {
        Fixture f;
        f.setKeep("2");
        QVERIFY(QDir().mkpath(f.folder()));
        const QStringList older = {QStringLiteral("2020-01-01 08-00-00 自动备份.ovd"),
                                   QStringLiteral("2020-01-02 08-00-00 自动备份.ovd"),
                                   QStringLiteral("2020-01-03 08-00-00 自动备份.ovd")};
        const QStringList others = {QStringLiteral("2020-1-1帐本数据库备份.ovd"), QStringLiteral("家里的笔记.txt")};
        for (const QString &name : older + others)
            f.book.writeFile(QStringLiteral("backups/") + name, "old");
        {
            CLedgerDlg dlg;
            QVERIFY(AppBook().addEntry(RecordKind::Loan, {QDate(2026, 1, 3), QStringLiteral("借出"), 50, QString(),
                                                          QStringLiteral("爸爸")}));
            dlg.MenuCommand(32774)->trigger();
        }
        const QStringList made = f.made();
        QCOMPARE(made.size(), 2);
        QCOMPARE(made.first(), older.last());
        QVERIFY(AutoBackups::partsOf(made.last())->when.date() == QDate::currentDate() ||
                AutoBackups::partsOf(made.last())->when.date() == QDate::currentDate().addDays(-1));
        for (const QString &name : others)
            QCOMPARE(f.book.readFile(QStringLiteral("backups/") + name), QByteArray("old"));
    }

    void noneWhenTurnedOff()
    {
        Fixture f;
        f.setKeep("0");
        CLedgerDlg dlg;
        QVERIFY(AppBook().addCategory(RecordKind::Income, QStringLiteral("稿费")));
        dlg.MenuCommand(32774)->trigger();
        QVERIFY(!QFileInfo::exists(f.folder()));
        QVERIFY(f.prompter.shown.isEmpty());
    }

    void aFailureIsShown()
    {
        Fixture f;
        // Something that is no folder where the backups go.
        f.book.writeFile(QStringLiteral("backups"), "not a folder");
        CLedgerDlg dlg;
        QVERIFY(AppBook().addCategory(RecordKind::Income, QStringLiteral("稿费")));
        dlg.MenuCommand(32774)->trigger();
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown[0].icon, MsgIcon::Stop);
        QVERIFY2(f.prompter.lastText().startsWith(QStringLiteral("自动备份失败：无法建立备份文件夹“%1”。")
                                                      .arg(QDir::toNativeSeparators(f.folder()))),
                 qPrintable(f.prompter.lastText()));
        QVERIFY(f.prompter.lastText().contains(QStringLiteral("帐本本身没有受到影响")));
        // The run still ends.
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), 0);
    }

    void restoreOpensWhereTheBackupsAre()
    {
        Fixture f;
        CLedgerDlg dlg;
        dlg.OnRestore(); // cancelled in the dialog
        QCOMPARE(f.prompter.fileRequests.last().proposedPath, g_strAppDir);
        QVERIFY(QDir().mkpath(f.folder()));
        dlg.OnRestore();
        QCOMPARE(f.prompter.fileRequests.last().proposedPath, f.folder());
        QCOMPARE(f.prompter.fileRequests.last().filters, QStringList{QStringLiteral("数据库文件 (*.ovd)")});
        QVERIFY(f.prompter.shown.isEmpty());
    }
};

ORV_WIDGET_TEST_MAIN(TestAutoBackup)
#include "tst_autobackup.moc"
