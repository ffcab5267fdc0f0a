// The backup, restore and new-book commands of the main window, driven as
// a user would through the scripted prompter, on a real book: what is
// asked and said, what the book holds afterwards, and what the window shows.

#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "book/BookMaintenance.h"
#include "store/BookSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "security/PasswordHash.h"

#include <QAction>
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

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder with a book of two users, the empty-book template, a
// Trash of its own and the main window logged in directly.
struct Fixture
{
    Fixture()
        : book({{QStringLiteral("爸爸"), QStringLiteral("pw")}, {QStringLiteral("妈妈"), QStringLiteral("o'k")}})
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(trashHome.filePath(QStringLiteral("share"))));
        QVERIFY(BookSchema::createBook(BookFile::templatePath(book.dir())));
        book.directLogin(QStringLiteral("爸爸"));
    }

    QString trashFiles() const { return trashHome.filePath(QStringLiteral("share/Trash/files")); }
    QStringList trashed() const { return QDir(trashFiles()).entryList(QDir::Files); }
    // Where a file dialog might leave the working directory.
    void wander() const { QDir::setCurrent(elsewhere.path()); }
    // What every refused or cancelled command leaves: the book as it was.
    void verifyUntouched(const QString &before) const
    {
        QCOMPARE(book.contents(), before);
        QVERIFY(trashed().isEmpty());
        QVERIFY(!QFile::exists(book.path(QStringLiteral("userTemp.dat"))));
        QCOMPARE(QDir::currentPath(), g_strAppDir);
    }

    QTemporaryDir trashHome;
    QTemporaryDir elsewhere;
    TestBook book;
    ScriptedPrompter prompter;
};

} // namespace

class TestMaintenanceCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void backupThenRestoreKeepsThePresentUsers()
    {
        Fixture f;
        f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 5000, QStringLiteral("十二月"));
        f.book.add(RecordKind::Income, QDate(2009, 12, 6), QStringLiteral("奖金"), 800);
        CLedgerDlg dlg;
        dlg.SwitchToIncome();
        const QString backup = f.book.path(QStringLiteral("backup.ovd"));
        f.prompter.files.enqueue(backup);
        f.wander();
        dlg.OnBackup();
        QCOMPARE(QFileInfo(f.prompter.fileRequests.first().proposedPath).fileName(),
                 BookMaintenance::backupFileName(QDate::currentDate()));
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("数据库备份成功!")});
        QCOMPARE(QDir::currentPath(), g_strAppDir);
        const QList<QStringList> backupIncome = f.book.rows(QStringLiteral("INCOME"));

        // After the backup: more entries, and the family changed.
        f.book.add(RecordKind::Income, QDate(2010, 1, 1), QStringLiteral("礼金"), 200);
        f.book.add(RecordKind::Payout, QDate(2010, 1, 2), QStringLiteral("餐饮"), 30);
        f.book.exec(QStringLiteral("DELETE FROM \"USER\" WHERE \"user\" = '妈妈'"));
        f.book.exec(QStringLiteral("INSERT INTO \"USER\" VALUES ('奶奶', 'x')"));
        const QList<QStringList> present = f.book.rows(QStringLiteral("USER"));
        f.prompter.clear();
        f.prompter.files.enqueue(backup);
        f.wander();
        dlg.OnRestore();

        QCOMPARE(f.prompter.texts(), (QStringList{kRestoreQuestion, QStringLiteral("数据库恢复成功!")}));
        QCOMPARE(f.prompter.shown[0].buttons, MsgButtons::YesNo);
        QCOMPARE(f.book.rows(QStringLiteral("INCOME")), backupIncome);
        QCOMPARE(f.book.count(QStringLiteral("PAYOUT")), 0);
        // Hashes carried exactly; a password an older version kept as typed
        // arrives as its hash (a server book's users simply stay).
        const QList<QStringList> carried = f.book.rows(QStringLiteral("USER"));
        QCOMPARE(carried.size(), 2);
        QCOMPARE(carried.first(), present.first());
        QCOMPARE(carried.last().first(), QStringLiteral("奶奶"));
        QVERIFY(PasswordHash::matches(QStringLiteral("x"), carried.last().at(1)));
        QVERIFY(!QFile::exists(f.book.path(QStringLiteral("userTemp.dat"))));
        if (!TestBook::onServer()) {
            QVERIFY(PasswordHash::isHash(carried.last().at(1)));
            QCOMPARE(f.trashed(), QStringList{QStringLiteral("Orvendal.ovd")});
        }
        QCOMPARE(QDir::currentPath(), g_strAppDir);
        // The window shows it at once.
        QCOMPARE(RecordList().GetItemCount(), 2);
        QCOMPARE(RecordList().GetItemText(1, 2), QStringLiteral("奖金"));
        QCOMPARE(dlg.StatusBar()->Text(0), QStringLiteral("收入记录2条"));
    }

    void backupCancelledOrRefused()
    {
        Fixture f;
        CLedgerDlg dlg;
        const QString before = f.book.contents();
        f.wander();
        dlg.OnBackup(); // cancelled in the dialog
        QVERIFY(f.prompter.shown.isEmpty());

        // A folder that is not there: told, never "succeeded".
        f.prompter.files.enqueue(f.book.path(QStringLiteral("gone/备份.ovd")));
        dlg.OnBackup();
        // The book itself (a file book), or the template of every new book,
        // spelled another way.
        f.prompter.files.enqueue(f.book.dir() + (TestBook::onServer() ? QStringLiteral("//./NewBook.ovd")
                                                                      : QStringLiteral("//./Orvendal.ovd")));
        dlg.OnBackup();
        QCOMPARE(f.prompter.shown.size(), 2);
        QVERIFY(f.prompter.shown[0].text.startsWith(QStringLiteral("数据库备份失败!")));
        QCOMPARE(f.prompter.shown[0].icon, MsgIcon::Stop);
        QCOMPARE(f.prompter.shown[1].caption, QStringLiteral("注意"));
        f.verifyUntouched(before);
    }

    void restoreRefused_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("message");
        // (The other spellings of the book are the same-file check's own test.)
        QTest::newRow("the book, through a link") << "link" << QStringLiteral("试图用原数据库进行恢复,操作失败!");
        QTest::newRow("a text file") << "notes" << "不是帐本数据库";
        QTest::newRow("a backup, answered No") << "no" << kRestoreQuestion;
    }
    void restoreRefused()
    {
        QFETCH(QString, source);
        QFETCH(QString, message);
        Fixture f;
        CLedgerDlg dlg;
        QString path;
        if (source == QLatin1String("link") && TestBook::onServer())
            QSKIP("a server book has no file to be linked to");
        if (source == QLatin1String("link")) {
            path = f.elsewhere.filePath(QStringLiteral("我的帐本.ovd"));
            QVERIFY(QFile::link(f.book.bookPath(), path));
        } else if (source == QLatin1String("notes")) {
            f.book.writeFile(QStringLiteral("notes.ovd"), "shopping list: rice, tea\n");
            path = f.book.path(QStringLiteral("notes.ovd"));
        } else if (source == QLatin1String("no")) {
            path = f.elsewhere.filePath(QStringLiteral("b.ovd"));
            QVERIFY(BookMaintenance::backupBook(f.book.location(), f.book.dir(), path).ok());
            f.prompter.answers.enqueue(MsgResult::No);
        }
        const QString before = f.book.contents();
        f.prompter.files.enqueue(path);
        f.wander();
        dlg.OnRestore();
        // Told once (refusals before any question); nothing touched.
        QCOMPARE(f.prompter.shown.size(), 1);
        QVERIFY2(f.prompter.lastText().contains(message), qPrintable(f.prompter.lastText()));
        QCOMPARE(f.prompter.shown.first().caption, QStringLiteral("注意"));
        f.verifyUntouched(before);
    }

    void newBook_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs"); // "" cancels the save dialog
        QTest::addColumn<bool>("withTemplate");
        QTest::addColumn<QStringList>("texts"); // after the question, each the start of a message
        QTest::addColumn<int>("fileDialogs");
        QTest::addColumn<bool>("replaced");
        const int yes = int(MsgResult::Yes);
        const int no = int(MsgResult::No);
        const QString noTemplate = QStringLiteral("找不到空帐本文件NewBook.ovd");
        QTest::newRow("No") << no << "" << true << QStringList{} << 0 << true;
        QTest::newRow("Cancel") << int(MsgResult::Cancel) << "" << true << QStringList{} << 0 << false;
        QTest::newRow("Yes, Cancel in the save dialog") << yes << "" << true << QStringList{} << 1 << false;
        QTest::newRow("Yes, saved") << yes << "旧账.ovd" << true << QStringList{"旧账保存成功!"} << 1 << true;
        QTest::newRow("Yes, save fails") << yes << "no/such/旧账.ovd" << true << QStringList{"旧账保存失败，没有创建新账!"}
                                         << 1 << false;
        QTest::newRow("No, NewBook.ovd missing") << no << "" << false << QStringList{noTemplate} << 0 << false;
        QTest::newRow("Yes, NewBook.ovd missing") << yes << "" << false << QStringList{noTemplate} << 0 << false;
    }
    void newBook()
    {
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, withTemplate);
        QFETCH(QStringList, texts);
        QFETCH(int, fileDialogs);
        QFETCH(bool, replaced);
        Fixture f;
        f.book.add(RecordKind::Payout, QDate(2009, 12, 5), QStringLiteral("餐饮"), 25);
        f.book.add(RecordKind::Payout, QDate(2009, 12, 6), QStringLiteral("交通"), 5);
        f.book.exec(QStringLiteral("INSERT INTO \"PAYOUT_ITEMS\" VALUES ('宠物')"));
        if (!withTemplate)
            QVERIFY(QFile::remove(BookFile::templatePath(f.book.dir())));
        const QByteArray beforeFile = fileBytes(f.book.bookPath());
        const QString before = f.book.contents();
        const QList<QStringList> users = f.book.rows(QStringLiteral("USER"));
        CLedgerDlg dlg;
        dlg.SwitchToPayout();
        f.prompter.answers.enqueue(MsgResult(answer));
        if (fileDialogs)
            f.prompter.files.enqueue(saveAs.isEmpty() ? QString() : f.elsewhere.filePath(saveAs));
        f.wander();

        dlg.OnNewBook();

        QCOMPARE(f.prompter.shown.first().text, kNewBookQuestion);
        QCOMPARE(f.prompter.shown.first().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(f.prompter.shown.size(), texts.size() + 1);
        for (qsizetype i = 0; i < texts.size(); ++i)
            QVERIFY2(f.prompter.shown[i + 1].text.startsWith(texts[i]), qPrintable(f.prompter.shown[i + 1].text));
        QCOMPARE(f.prompter.fileRequests.size(), fileDialogs);
        if (!replaced) {
            f.verifyUntouched(before);
            QCOMPARE(RecordList().GetItemCount(), 2);
            return;
        }
        // The template's empty tables and categories, today's users; the old
        // book in the Trash (and in the file it was saved to).
        QCOMPARE(f.book.count(QStringLiteral("PAYOUT")), 0);
        QCOMPARE(f.book.count(QStringLiteral("PAYOUT_ITEMS")), BookSchema::defaultCategories(RecordKind::Payout).size());
        QCOMPARE(f.book.rows(QStringLiteral("USER")), users);
        if (!TestBook::onServer())
            QCOMPARE(fileBytes(f.trashFiles() + QStringLiteral("/Orvendal.ovd")), beforeFile);
        if (!saveAs.isEmpty()) {
            const BookConnection saved(f.elsewhere.filePath(saveAs));
            auto rows = saved.read(QStringLiteral("SELECT COUNT(*) FROM \"PAYOUT\""));
            QVERIFY(rows && rows->next());
            QCOMPARE(rows->value(0).toInt(), 2);
        }
        QVERIFY(!QFile::exists(f.book.path(QStringLiteral("userTemp.dat"))));
        QCOMPARE(QDir::currentPath(), g_strAppDir);
        QCOMPARE(RecordList().GetItemCount(), 0);
        QCOMPARE(dlg.m_strPayoutCount, QStringLiteral("0"));
    }

    void newBookRefreshesStartScreenAndQuery()
    {
        Fixture f;
        f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 100);
        f.book.add(RecordKind::Loan, QDate(2009, 12, 5), QStringLiteral("借出"), 10);
        CLedgerDlg dlg;
        dlg.UpdateStatusTexts();
        auto figures = [&] {
            QStringList texts;
            for (int id : {1030, 1032, 1033})
                texts << qobject_cast<QLabel *>(dlg.Control(id))->text();
            return texts;
        };
        QCOMPARE(figures(), (QStringList{"1", "100.00", "1"}));
        f.prompter.answers.enqueue(MsgResult::No);
        dlg.OnNewBook();
        QCOMPARE(figures(), (QStringList{"0", "0.00", "0"}));

        // In the query module the module is entered anew.
        dlg.SwitchToQuery();
        RecordList().m_nQueryKind = 2;
        f.prompter.answers.enqueue(MsgResult::No);
        dlg.OnNewBook();
        QCOMPARE(g_nModule, 3);
        QCOMPARE(RecordList().m_nQueryKind, -1);
    }

    void menuItemsRunTheCommands()
    {
        Fixture f;
        CLedgerDlg dlg;
        dlg.MenuCommand(32804)->trigger();
        dlg.MenuCommand(32803)->trigger();
        QCOMPARE(f.prompter.fileRequests.size(), 2);
        QCOMPARE(f.prompter.fileRequests[0].title, QStringLiteral("导出数据库"));
        QCOMPARE(f.prompter.fileRequests[1].title, QStringLiteral("导入恢复数据库"));
        f.prompter.answers.enqueue(MsgResult::Cancel);
        dlg.MenuCommand(32811)->trigger();
        QCOMPARE(f.prompter.lastText(), kNewBookQuestion);
    }

    // After a restore or a new book the module on screen shows the new
    // book's own rows: its kind's entries, never another kind's.
    void theModuleShowsTheReplacedBook_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<bool>("restore"); // else a new book
        for (int module : {1, 2, 3, 5}) {
            const QByteArray m = QByteArray::number(module);
            QTest::newRow(QByteArray("restore, module " + m).constData()) << module << true;
            QTest::newRow(QByteArray("new book, module " + m).constData()) << module << false;
        }
    }

    void theModuleShowsTheReplacedBook()
    {
        QFETCH(int, module);
        QFETCH(bool, restore);
        Fixture f;
        // Counts and categories that tell the kinds apart.
        f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 5000);
        f.book.add(RecordKind::Income, QDate(2009, 12, 6), QStringLiteral("工资"), 800);
        f.book.add(RecordKind::Payout, QDate(2009, 12, 7), QStringLiteral("餐饮"), 30);
        for (int i = 0; i < 3; ++i)
            f.book.add(RecordKind::Loan, QDate(2009, 12, 8), QStringLiteral("借出"), 100);
        const QString backup = f.book.path(QStringLiteral("backup.ovd"));
        QVERIFY(BookMaintenance::backupBook(f.book.location(), f.book.dir(), backup).ok());
        // The book in use differs from the backup in every kind.
        f.book.add(RecordKind::Income, QDate(2010, 1, 1), QStringLiteral("礼金"), 200);
        f.book.add(RecordKind::Payout, QDate(2010, 1, 2), QStringLiteral("交通"), 3);
        f.book.add(RecordKind::Loan, QDate(2010, 1, 3), QStringLiteral("还入"), 50);

        CLedgerDlg dlg;
        dlg.SwitchToModule(module);
        if (restore) {
            f.prompter.files.enqueue(backup);
            dlg.OnRestore();
        } else {
            f.prompter.answers.enqueue(MsgResult::No); // no saving of the old book first
            dlg.OnNewBook();
        }
        QCOMPARE(g_nModule, module);
        QStringList categories;
        for (int row = 0; row < RecordList().GetItemCount(); ++row)
            categories << RecordList().GetItemText(row, 2);
        const QStringList income = restore ? QStringList{"工资", "工资"} : QStringList{};
        const QStringList payout = restore ? QStringList{"餐饮"} : QStringList{};
        const QStringList loans = restore ? QStringList{"借出", "借出", "借出"} : QStringList{};
        switch (module) {
        case 1: QCOMPARE(categories, income); break;
        case 2: QCOMPARE(categories, payout); break;
        case 5: QCOMPARE(categories, loans); break;
        case 3: {
            // The balance row ("所有"), each heading row (empty), then the entries.
            const QStringList overview = QStringList{"所有", ""} + income + QStringList{""} + payout;
            QCOMPARE(categories, overview);
            QCOMPARE(RecordList().GetItemText(0, 3), restore ? QStringLiteral("5770.00") : QStringLiteral("0.00"));
            break;
        }
        }
    }
};

ORV_WIDGET_TEST_MAIN(TestMaintenanceCommands)
#include "tst_maintenancecommands.moc"
