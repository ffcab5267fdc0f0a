// The backup, restore and new-book commands of the main window, driven as
// a user would through the scripted prompter, on a real book: what is
// asked and said, what the book holds afterwards, and what the window shows.

#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "store/BookMaintenance.h"
#include "store/BookSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "users/UserStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

namespace {

const QString kRestoreQuestion = QStringLiteral("进行数据恢复操作后，现有数据将会被全部覆盖，是否继续数据恢复操作？");
const QString kNewBookQuestion = QStringLiteral(
    "为防止旧账丢失，创建新账前请先对旧账进行保存!\n\n选择“是”先保存旧账再创建新账；\t\t\n\n选择“否”直接创建新账；\n\n"
    "选择“取消”取消本次操作。");

const QList<QPair<QString, QString>> kFamily = {{QStringLiteral("爸爸"), QStringLiteral("pw")},
                                                {QStringLiteral("妈妈"), QStringLiteral("o'k")}};

QList<UserAccount> usersOf(const QString &book)
{
    const BookConnection conn(book);
    auto users = UserStore::accounts(conn);
    return users ? *users : QList<UserAccount>{};
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString labelText(CLedgerDlg &dlg, int id)
{
    return qobject_cast<QLabel *>(dlg.Control(id))->text();
}

// A program folder with a book, the empty-book template, a Trash of its
// own and the main window logged in directly.
struct Fixture
{
    Fixture()
        : book(kFamily)
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(trashHome.filePath(QStringLiteral("share"))));
        QVERIFY(BookSchema::createBook(BookFile::templatePath(book.dir())));
        book.directLogin(QStringLiteral("爸爸"));
        elsewhere = std::make_unique<QTemporaryDir>();
    }

    QString trashFiles() const { return trashHome.filePath(QStringLiteral("share/Trash/files")); }
    QStringList trashed() const { return QDir(trashFiles()).entryList(QDir::Files); }
    // Where a file dialog might leave the working directory.
    void wander() const { QDir::setCurrent(elsewhere->path()); }

    QTemporaryDir trashHome;
    TestBook book;
    ScriptedPrompter prompter;
    std::unique_ptr<QTemporaryDir> elsewhere;
};

} // namespace

class TestMaintenanceCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void backupAsksAndCopies();
    void backupCancelledOrFailed();
    void restoreRoundTripInIncomeModule();
    void restoreRefusesTheBookItself_data();
    void restoreRefusesTheBookItself();
    void restoreRefusesNonBook();
    void restoreAnsweredNo();
    void newBookAnsweredNo();
    void newBookYesThenCancelOrCancel();
    void newBookYesThenSave();
    void newBookWithoutTemplate();
    void newBookRefreshesStartScreenAndQuery();
    void menuItemsRunTheCommands();
};

void TestMaintenanceCommands::backupAsksAndCopies()
{
    Fixture f;
    f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 5000);
    CLedgerDlg dlg;
    const QString target = f.book.path(QStringLiteral("备份.ovd"));
    f.prompter.files.enqueue(target);
    f.wander();

    dlg.OnBackup();

    QCOMPARE(f.prompter.fileRequests.size(), 1);
    const FileDialogRequest &request = f.prompter.fileRequests.first();
    QCOMPARE(request.title, QStringLiteral("导出数据库"));
    const QDate today = QDate::currentDate();
    QCOMPARE(QFileInfo(request.proposedPath).fileName(),
             QStringLiteral("%1-%2-%3帐本数据库备份.ovd").arg(today.year()).arg(today.month()).arg(today.day()));
    QCOMPARE(request.filters, QStringList{QStringLiteral("数据库文件 (*.ovd)")});
    QCOMPARE(request.defaultSuffix, QStringLiteral("ovd"));
    QVERIFY(request.save);

    QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("数据库备份成功!")});
    QCOMPARE(f.prompter.shown.first().icon, MsgIcon::Information);
    QCOMPARE(f.prompter.shown.first().caption, QCoreApplication::applicationName());
    QVERIFY(BookSchema::isBookFile(target));
    {
        const BookConnection copy(target);
        auto rows = copy.read(QStringLiteral("SELECT \"items\" FROM \"INCOME\""));
        QVERIFY(rows && rows->next());
        QCOMPARE(rows->value(0).toString(), QStringLiteral("工资"));
    }
    QCOMPARE(QDir::currentPath(), g_strAppDir);
}

void TestMaintenanceCommands::backupCancelledOrFailed()
{
    Fixture f;
    CLedgerDlg dlg;
    f.wander();
    dlg.OnBackup(); // cancelled in the dialog
    QVERIFY(f.prompter.shown.isEmpty());
    QCOMPARE(QDir::currentPath(), g_strAppDir);

    // A folder that is not there: told, never "succeeded".
    f.prompter.files.enqueue(f.book.path(QStringLiteral("gone/备份.ovd")));
    f.wander();
    dlg.OnBackup();
    QCOMPARE(f.prompter.shown.size(), 1);
    QVERIFY(f.prompter.lastText().startsWith(QStringLiteral("数据库备份失败!")));
    QCOMPARE(f.prompter.shown.first().icon, MsgIcon::Stop);
    QCOMPARE(QDir::currentPath(), g_strAppDir);

    // The book itself, spelled another way.
    f.prompter.clear();
    const QByteArray before = fileBytes(f.book.bookPath());
    f.prompter.files.enqueue(f.book.dir() + QStringLiteral("//./Orvendal.ovd"));
    dlg.OnBackup();
    QCOMPARE(f.prompter.shown.size(), 1);
    QCOMPARE(f.prompter.shown.first().caption, QStringLiteral("注意"));
    QVERIFY(!f.prompter.texts().contains(QStringLiteral("数据库备份成功!")));
    QCOMPARE(fileBytes(f.book.bookPath()), before);
}

void TestMaintenanceCommands::restoreRoundTripInIncomeModule()
{
    Fixture f;
    f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 5000, QStringLiteral("十二月"));
    f.book.add(RecordKind::Income, QDate(2009, 12, 6), QStringLiteral("奖金"), 800);
    CLedgerDlg dlg;
    const QString backup = f.book.path(QStringLiteral("backup.ovd"));
    f.prompter.files.enqueue(backup);
    dlg.OnBackup();
    const QList<QStringList> backupIncome = f.book.rows(QStringLiteral("INCOME"));

    // After the backup: more entries, and the family changed.
    f.book.add(RecordKind::Income, QDate(2010, 1, 1), QStringLiteral("礼金"), 200);
    f.book.add(RecordKind::Payout, QDate(2010, 1, 2), QStringLiteral("餐饮"), 30);
    f.book.exec(QStringLiteral("DELETE FROM \"USER\" WHERE \"user\" = '妈妈'"));
    f.book.exec(QStringLiteral("INSERT INTO \"USER\" VALUES ('奶奶', 'x')"));
    const QList<UserAccount> present = usersOf(f.book.bookPath());
    dlg.SwitchToIncome();
    dlg.UpdateBookStatus();
    QCOMPARE(RecordList().GetItemCount(), 3);

    f.prompter.clear();
    f.prompter.files.enqueue(backup);
    f.wander();
    dlg.OnRestore();

    QCOMPARE(f.prompter.fileRequests.size(), 1);
    QCOMPARE(f.prompter.fileRequests.first().title, QStringLiteral("导入恢复数据库"));
    QVERIFY(!f.prompter.fileRequests.first().save);
    QCOMPARE(f.prompter.fileRequests.first().filters, QStringList{QStringLiteral("数据库文件 (*.ovd)")});
    QCOMPARE(f.prompter.texts(), (QStringList{kRestoreQuestion, QStringLiteral("数据库恢复成功!")}));
    QCOMPARE(f.prompter.shown[0].caption, QStringLiteral("注意"));
    QCOMPARE(f.prompter.shown[0].icon, MsgIcon::Exclamation);
    QCOMPARE(f.prompter.shown[0].buttons, MsgButtons::YesNo);
    QCOMPARE(f.prompter.shown[1].icon, MsgIcon::Information);

    // The book holds the backup's entries and today's users.
    QCOMPARE(f.book.rows(QStringLiteral("INCOME")), backupIncome);
    QCOMPARE(f.book.count(QStringLiteral("PAYOUT")), 0);
    QCOMPARE(usersOf(f.book.bookPath()), present);
    QVERIFY(!QFile::exists(f.book.path(QStringLiteral("userTemp.dat"))));
    QCOMPARE(f.trashed(), QStringList{QStringLiteral("Orvendal.ovd")});
    QCOMPARE(QDir::currentPath(), g_strAppDir);

    // The window shows it at once: list and figures.
    QCOMPARE(g_nModule, 1);
    CRecordListCtrl &list = RecordList();
    QCOMPARE(list.GetItemCount(), 2);
    QCOMPARE(list.GetItemText(0, 2), QStringLiteral("工资"));
    QCOMPARE(list.GetItemText(1, 2), QStringLiteral("奖金"));
    QCOMPARE(dlg.m_strIncomeCount, QStringLiteral("2"));
    QCOMPARE(dlg.m_strPayoutCount, QStringLiteral("0"));
    QCOMPARE(labelText(dlg, 1030), QStringLiteral("2"));
    QCOMPARE(dlg.StatusBar()->Text(0), QStringLiteral("收入记录2条"));
}

void TestMaintenanceCommands::restoreRefusesTheBookItself_data()
{
    QTest::addColumn<QString>("spelling");
    QTest::newRow("same path") << QStringLiteral("=");
    QTest::newRow("relative with ./") << QStringLiteral("./Orvendal.ovd");
    QTest::newRow("double slash") << QStringLiteral("//Orvendal.ovd");
    QTest::newRow("symlink") << QStringLiteral("link");
}

void TestMaintenanceCommands::restoreRefusesTheBookItself()
{
    QFETCH(QString, spelling);
    Fixture f;
    CLedgerDlg dlg;
    QString path = f.book.bookPath();
    if (spelling == QLatin1String("./Orvendal.ovd"))
        path = spelling;
    else if (spelling == QLatin1String("//Orvendal.ovd"))
        path = f.book.dir() + spelling;
    else if (spelling == QLatin1String("link")) {
        path = f.elsewhere->filePath(QStringLiteral("我的帐本.ovd"));
        QVERIFY(QFile::link(f.book.bookPath(), path));
    }
    const QByteArray before = fileBytes(f.book.bookPath());
    f.prompter.files.enqueue(path);

    dlg.OnRestore();

    QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("试图用原数据库进行恢复,操作失败!")});
    QCOMPARE(f.prompter.shown.first().caption, QStringLiteral("注意"));
    QCOMPARE(f.prompter.shown.first().icon, MsgIcon::Exclamation);
    QCOMPARE(f.prompter.shown.first().buttons, MsgButtons::Ok);
    QCOMPARE(fileBytes(f.book.bookPath()), before);
    QVERIFY(f.trashed().isEmpty());
    QVERIFY(!QFile::exists(f.book.path(QStringLiteral("userTemp.dat"))));
}

void TestMaintenanceCommands::restoreRefusesNonBook()
{
    Fixture f;
    CLedgerDlg dlg;
    const QString notes = f.elsewhere->filePath(QStringLiteral("notes.ovd"));
    {
        QFile file(notes);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("shopping list: rice, tea\n");
    }
    const QByteArray before = fileBytes(f.book.bookPath());
    f.prompter.files.enqueue(notes);
    f.wander();

    dlg.OnRestore();

    // Told before any question, nothing touched.
    QCOMPARE(f.prompter.shown.size(), 1);
    QVERIFY(f.prompter.lastText().contains(QStringLiteral("不是帐本数据库")));
    QVERIFY(f.prompter.lastText().contains(notes));
    QCOMPARE(f.prompter.shown.first().caption, QStringLiteral("注意"));
    QCOMPARE(fileBytes(f.book.bookPath()), before);
    QCOMPARE(usersOf(f.book.bookPath()).size(), kFamily.size());
    QVERIFY(f.trashed().isEmpty());
    QCOMPARE(QDir::currentPath(), g_strAppDir);
}

void TestMaintenanceCommands::restoreAnsweredNo()
{
    Fixture f;
    f.book.add(RecordKind::Loan, QDate(2009, 3, 7), QStringLiteral("借出"), 100);
    CLedgerDlg dlg;
    const QString backup = f.book.path(QStringLiteral("b.ovd"));
    QVERIFY(BookMaintenance::backupBook(f.book.bookPath(), backup).ok());
    f.book.add(RecordKind::Loan, QDate(2009, 3, 8), QStringLiteral("借入"), 50);
    const QByteArray before = fileBytes(f.book.bookPath());
    f.prompter.files.enqueue(backup);
    f.prompter.answers.enqueue(MsgResult::No);
    f.wander();

    dlg.OnRestore();

    QCOMPARE(f.prompter.texts(), QStringList{kRestoreQuestion});
    QCOMPARE(fileBytes(f.book.bookPath()), before);
    QCOMPARE(f.book.count(QStringLiteral("ON_LOAD")), 2);
    QVERIFY(!QFile::exists(f.book.path(QStringLiteral("userTemp.dat"))));
    QVERIFY(f.trashed().isEmpty());
    QCOMPARE(QDir::currentPath(), g_strAppDir);
}

void TestMaintenanceCommands::newBookAnsweredNo()
{
    Fixture f;
    f.book.add(RecordKind::Payout, QDate(2009, 12, 5), QStringLiteral("餐饮"), 25);
    f.book.add(RecordKind::Payout, QDate(2009, 12, 6), QStringLiteral("交通"), 5);
    f.book.exec(QStringLiteral("INSERT INTO \"PAYOUT_ITEMS\" VALUES ('宠物')"));
    const QByteArray oldBook = fileBytes(f.book.bookPath());
    const QByteArray templ = fileBytes(BookFile::templatePath(f.book.dir()));
    CLedgerDlg dlg;
    dlg.SwitchToPayout();
    QCOMPARE(RecordList().GetItemCount(), 2);
    f.prompter.answers.enqueue(MsgResult::No);
    f.wander();

    dlg.OnNewBook();

    QCOMPARE(f.prompter.texts(), QStringList{kNewBookQuestion});
    QCOMPARE(f.prompter.shown.first().caption, QStringLiteral("创建新账"));
    QCOMPARE(f.prompter.shown.first().icon, MsgIcon::Exclamation);
    QCOMPARE(f.prompter.shown.first().buttons, MsgButtons::YesNoCancel);
    QVERIFY(f.prompter.fileRequests.isEmpty());

    QCOMPARE(f.book.count(QStringLiteral("PAYOUT")), 0);
    QStringList items;
    for (const QStringList &row : f.book.rows(QStringLiteral("PAYOUT_ITEMS")))
        items << row.first();
    QCOMPARE(items, BookSchema::defaultCategories(RecordKind::Payout));
    QCOMPARE(usersOf(f.book.bookPath()).size(), kFamily.size());
    QCOMPARE(usersOf(f.book.bookPath()).last().password, QStringLiteral("o'k"));
    QCOMPARE(fileBytes(BookFile::templatePath(f.book.dir())), templ);
    QCOMPARE(f.trashed(), QStringList{QStringLiteral("Orvendal.ovd")});
    QCOMPARE(fileBytes(f.trashFiles() + QStringLiteral("/Orvendal.ovd")), oldBook);
    QVERIFY(!QFile::exists(f.book.path(QStringLiteral("userTemp.dat"))));
    QCOMPARE(RecordList().GetItemCount(), 0);
    QCOMPARE(dlg.m_strPayoutCount, QStringLiteral("0"));
    QCOMPARE(QDir::currentPath(), g_strAppDir);
}

void TestMaintenanceCommands::newBookYesThenCancelOrCancel()
{
    Fixture f;
    f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 1);
    const QByteArray before = fileBytes(f.book.bookPath());
    CLedgerDlg dlg;
    f.prompter.answers.enqueue(MsgResult::Yes);
    f.wander();

    dlg.OnNewBook(); // and Cancel in the save dialog

    QCOMPARE(f.prompter.fileRequests.size(), 1);
    const FileDialogRequest &request = f.prompter.fileRequests.first();
    QCOMPARE(request.title, QStringLiteral("保存旧账"));
    QVERIFY(request.save);
    QCOMPARE(QFileInfo(request.proposedPath).fileName(),
             BookMaintenance::backupFileName(QDate::currentDate()));
    QCOMPARE(f.prompter.texts(), QStringList{kNewBookQuestion});

    // Cancel (or closing the box) at the question: not even a dialog.
    f.prompter.clear();
    f.prompter.answers.enqueue(MsgResult::Cancel);
    f.wander();
    dlg.OnNewBook();
    QCOMPARE(f.prompter.texts(), QStringList{kNewBookQuestion});
    QVERIFY(f.prompter.fileRequests.isEmpty());

    QCOMPARE(fileBytes(f.book.bookPath()), before);
    QVERIFY(f.trashed().isEmpty());
    QVERIFY(!QFile::exists(f.book.path(QStringLiteral("userTemp.dat"))));
    QCOMPARE(QDir::currentPath(), g_strAppDir);
}

void TestMaintenanceCommands::newBookYesThenSave()
{
    Fixture f;
    f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 1);
    const QList<QStringList> oldIncome = f.book.rows(QStringLiteral("INCOME"));
    CLedgerDlg dlg;
    dlg.SwitchToIncome();
    const QString saved = f.elsewhere->filePath(QStringLiteral("旧账.ovd"));
    f.prompter.answers.enqueue(MsgResult::Yes);
    f.prompter.files.enqueue(saved);

    dlg.OnNewBook();

    QCOMPARE(f.prompter.texts(), (QStringList{kNewBookQuestion, QStringLiteral("旧账保存成功!")}));
    QCOMPARE(f.prompter.shown[1].icon, MsgIcon::Information);
    {
        const BookConnection conn(saved);
        auto rows = conn.read(QStringLiteral("SELECT COUNT(*) FROM \"INCOME\""));
        QVERIFY(rows && rows->next());
        QCOMPARE(rows->value(0).toInt(), oldIncome.size());
    }
    QCOMPARE(f.book.count(QStringLiteral("INCOME")), 0);
    QCOMPARE(usersOf(f.book.bookPath()).size(), kFamily.size());
    QCOMPARE(RecordList().GetItemCount(), 0);
    QCOMPARE(f.trashed(), QStringList{QStringLiteral("Orvendal.ovd")});

    // A save that fails makes no new book.
    f.book.add(RecordKind::Income, QDate(2010, 1, 1), QStringLiteral("奖金"), 2);
    f.prompter.clear();
    f.prompter.answers.enqueue(MsgResult::Yes);
    f.prompter.files.enqueue(f.elsewhere->filePath(QStringLiteral("no/such/folder/旧账.ovd")));
    dlg.OnNewBook();
    QCOMPARE(f.prompter.shown.size(), 2);
    QVERIFY(f.prompter.lastText().startsWith(QStringLiteral("旧账保存失败，没有创建新账!")));
    QCOMPARE(f.book.count(QStringLiteral("INCOME")), 1);
    QCOMPARE(f.trashed().size(), 1);
}

void TestMaintenanceCommands::newBookWithoutTemplate()
{
    Fixture f;
    f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 1);
    QVERIFY(QFile::remove(BookFile::templatePath(f.book.dir())));
    const QByteArray before = fileBytes(f.book.bookPath());
    CLedgerDlg dlg;
    dlg.SwitchToIncome();

    for (MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        f.prompter.clear();
        f.prompter.answers.enqueue(answer);
        f.wander();
        dlg.OnNewBook();
        // Told at once, before any save dialog; the book stays in use.
        QCOMPARE(f.prompter.shown.size(), 2);
        QVERIFY(f.prompter.lastText().contains(QStringLiteral("NewBook.ovd")));
        QVERIFY(f.prompter.fileRequests.isEmpty());
        QCOMPARE(fileBytes(f.book.bookPath()), before);
        QCOMPARE(usersOf(f.book.bookPath()).size(), kFamily.size());
        QVERIFY(!QFile::exists(f.book.path(QStringLiteral("userTemp.dat"))));
        QVERIFY(f.trashed().isEmpty());
        QCOMPARE(RecordList().GetItemCount(), 1);
        QCOMPARE(QDir::currentPath(), g_strAppDir);
    }
}

void TestMaintenanceCommands::newBookRefreshesStartScreenAndQuery()
{
    Fixture f;
    f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 100);
    f.book.add(RecordKind::Loan, QDate(2009, 12, 5), QStringLiteral("借出"), 10);
    CLedgerDlg dlg;
    dlg.UpdateStatusTexts();
    QCOMPARE(g_nModule, 0);
    QCOMPARE(labelText(dlg, 1030), QStringLiteral("1"));
    QCOMPARE(labelText(dlg, 1033), QStringLiteral("1"));

    f.prompter.answers.enqueue(MsgResult::No);
    dlg.OnNewBook();
    QCOMPARE(g_nModule, 0);
    QCOMPARE(labelText(dlg, 1030), QStringLiteral("0"));
    QCOMPARE(labelText(dlg, 1033), QStringLiteral("0"));
    QCOMPARE(labelText(dlg, 1032), QStringLiteral("0.00"));

    // In the query module the module is entered anew.
    dlg.SwitchToQuery();
    RecordList().m_nQueryKind = 2;
    f.prompter.answers.enqueue(MsgResult::No);
    dlg.OnNewBook();
    QCOMPARE(g_nModule, 3);
    QCOMPARE(RecordList().m_nQueryKind, -1);
    QCOMPARE(f.trashed().size(), 2);
}

void TestMaintenanceCommands::menuItemsRunTheCommands()
{
    Fixture f;
    CLedgerDlg dlg;
    // Backup from its menu item, cancelled: the dialog was the backup's.
    dlg.MenuCommand(32804)->trigger();
    QCOMPARE(f.prompter.fileRequests.size(), 1);
    QCOMPARE(f.prompter.fileRequests.last().title, QStringLiteral("导出数据库"));
    QCOMPARE(dlg.MenuCommand(32804)->text(), QStringLiteral("导出备份数据库(&E)..."));
    dlg.MenuCommand(32803)->trigger();
    QCOMPARE(f.prompter.fileRequests.last().title, QStringLiteral("导入恢复数据库"));
    QCOMPARE(dlg.MenuCommand(32803)->text(), QStringLiteral("导入恢复数据库(&I)..."));
    f.prompter.answers.enqueue(MsgResult::Cancel);
    dlg.MenuCommand(32811)->trigger();
    QCOMPARE(f.prompter.lastText(), kNewBookQuestion);
    QCOMPARE(dlg.MenuCommand(32811)->text(), QStringLiteral("创建新账(&N)..."));
}

QTEST_MAIN(TestMaintenanceCommands)
#include "tst_maintenancecommands.moc"
