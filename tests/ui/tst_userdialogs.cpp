// The user dialogs as a user drives them: real widgets on the offscreen
// platform over a real book, real colour files and a real set.ini.

#include "app/CLoginDlg.h"
#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "app/ProcessControl.h"
#include "mainwnd/CLedgerDlg.h"
#include "settings/ProgramSettings.h"
#include "store/BookConnection.h"
#include "support/NextModal.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "users/CAddUserDlg.h"
#include "users/CDeleteUserDlg.h"
#include "users/CModifyUserDlg.h"
#include "users/CUserManageDlg.h"
#include "users/ModifyUser.h"
#include "security/PasswordHash.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <cerrno>

namespace {

const QString kDad = QStringLiteral("爸爸");
const QString kMum = QStringLiteral("妈妈");
const QString kKid = QStringLiteral("小明");
const QList<QPair<QString, QString>> kFamily = {{kDad, QStringLiteral("pw")}, {kMum, QStringLiteral("m'1")}, {kKid, QString()}};

QStringList ListNames(const CUserManageDlg &dlg)
{
    QStringList names;
    for (int row = 0; row < dlg.UserList()->rowCount(); ++row)
        names.append(dlg.UserList()->item(row, 0)->text());
    return names;
}

// The book's users as "name:password": the password is the candidate its
// hash takes; "?" when none does, "plain" when the book holds no hash.
QStringList BookUsers(const TestBook &book,
                      const QStringList &candidates = {"pw", "m'1", "", "new", "it's", "A pw", "b pw ", "x", "y", "n"})
{
    QStringList users;
    for (const QStringList &row : book.rows(QStringLiteral("USER"))) {
        QString password = QStringLiteral("plain");
        if (orv::PasswordHash::isHash(row.at(1))) {
            password = QStringLiteral("?");
            for (const QString &candidate : candidates) {
                if (orv::PasswordHash::matches(candidate, row.at(1))) {
                    password = candidate;
                    break;
                }
            }
        }
        users.append(row.at(0) + u':' + password);
    }
    return users;
}

void Click(QWidget *dlg, int id)
{
    QTest::mouseClick(dlg->findChild<QPushButton *>(QString::number(id)), Qt::LeftButton);
}

void ClickRow(CUserManageDlg &dlg, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTableWidget *list = dlg.UserList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(list->item(row, 0)).center());
}

} // namespace

class TestUserDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        SetRestartHook(nullptr);
        g_strCurUser.clear();
    }

    void theSystemMenuOpensTheListAndOnlyASelectedRowCounts()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        book.directLogin(kDad);
        CLedgerDlg ledger;
        bool seen = false;
        WithNextModal<CUserManageDlg>(seen, [&](CUserManageDlg *dlg) {
            QCOMPARE(dlg->parentWidget(), &ledger);
            QCOMPARE(ListNames(*dlg), (QStringList{kDad, kMum, kKid}));
            ClickRow(*dlg, 2);
            QCOMPARE(dlg->GetSelectionMark(), 2);
            ClickRow(*dlg, 0, Qt::ControlModifier);
            QCOMPARE(dlg->GetSelectionMark(), 0);
            // A row clicked off again is no selection: nothing is changed or
            // deleted that does not show as selected.
            ClickRow(*dlg, 0, Qt::ControlModifier);
            QCOMPARE(dlg->GetSelectionMark(), -1);
            Click(dlg, 1012);
            Click(dlg, 1013);
        });
        ledger.MenuCommand(32802)->trigger();
        QVERIFY(seen);
        QCOMPARE(prompter.texts(), (QStringList{"请选择您要修改的行!", "请选择您要删除的行!"}));
        QCOMPARE(BookUsers(book).size(), 3);
    }

    void addRefusesThenAddsAndSelects()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        CUserManageDlg dlg;
        dlg.show();
        QStringList refused;
        bool seen = false;
        WithNextModal<CAddUserDlg>(seen, [&](CAddUserDlg *add) {
            auto tryAdd = [&](const QString &name, const QString &password, const QString &confirm) {
                add->NameEdit()->setText(name);
                add->PasswordEdit()->setText(password);
                add->ConfirmEdit()->setText(confirm);
                QTest::keyClick(add->ConfirmEdit(), Qt::Key_Return);
            };
            tryAdd(QString(), "a", "b"); // the empty name is told first
            tryAdd(kMum, "a", "a");
            tryAdd("奶奶", "a", "b");
            tryAdd("a/b", "a", "a");
            // Blanks at the ends are never taken away unseen: the name is
            // refused as typed, not mistaken for 妈妈.
            tryAdd(" 妈妈 ", "a", "a");
            refused = prompter.texts();
            for (QString &text : refused)
                text.truncate(6);
            QVERIFY(add->isVisible());
            tryAdd("奶奶", "it's", "it's");
        });
        Click(&dlg, 1);
        QVERIFY(seen);
        QCOMPARE(refused, (QStringList{"用户名不能为", "此用户名已存", "两次输入的密", "用户名不能是", "用户名的开头"}));
        QCOMPARE(prompter.shown.first().caption, QStringLiteral("注意"));
        QCOMPARE(prompter.shown.size(), 5);
        QCOMPARE(BookUsers(book), (QStringList{"爸爸:pw", "妈妈:m'1", "小明:", "奶奶:it's"}));
        QCOMPARE(book.readFile(QStringLiteral("user/奶奶.ini")), QByteArrayLiteral("115\r\n151\r\n234\r\n"));
        QVERIFY(dlg.isVisible());
        QCOMPARE(ListNames(dlg), (QStringList{kDad, kMum, kKid, "奶奶"}));
        QCOMPARE(dlg.GetSelectionMark(), 3);
    }

    void modifyChecksThenRenamesTheLoggedInUser()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        book.directLogin(kDad);
        book.writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        book.add(orv::RecordKind::Income, QDate(2009, 5, 1), QStringLiteral("工资"), 5000.0, QString(), kDad);
        CLedgerDlg ledger;
        QString title = ledger.windowTitle();
        QVERIFY(title.endsWith(QStringLiteral("当前用户：爸爸")));

        CUserManageDlg dlg(&ledger);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ClickRow(dlg, 0);
        bool seen = false;
        WithNextModal<CModifyUserDlg>(seen, [&](CModifyUserDlg *modify) {
            auto tryModify = [&](const QString &name, const QString &old, const QString &fresh, const QString &confirm) {
                modify->NameEdit()->setText(name);
                modify->OldPasswordEdit()->setText(old);
                modify->NewPasswordEdit()->setText(fresh);
                modify->ConfirmEdit()->setText(confirm);
                Click(modify, 1);
            };
            tryModify("老爸", "pW", "new", "new");
            tryModify("老爸", "pw", "new", "New");
            tryModify(kMum, "pw", "new", "new"); // never onto another user
            tryModify("老爸", "pw", "new", "new");
        });
        Click(&dlg, 1012);
        QVERIFY(seen);
        QCOMPARE(prompter.texts(), (QStringList{"旧密码错误!", "两次输入的新密码不同!", "此用户名已存在,请选择其它用户名!",
                                                "用户信息修改成功!"}));
        // The name, password, window title, colour file and the next start
        // follow; entries keep the name they were recorded under.
        QCOMPARE(BookUsers(book), (QStringList{"老爸:new", "妈妈:m'1", "小明:"}));
        QCOMPARE(g_strCurUser, QStringLiteral("老爸"));
        QCOMPARE(ledger.windowTitle(), title.replace(kDad, QStringLiteral("老爸")));
        QCOMPARE(ListNames(dlg), (QStringList{"老爸", kMum, kKid}));
        QCOMPARE(dlg.GetSelectionMark(), 0);
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/爸爸.ini"))));
        QCOMPARE(book.readFile(QStringLiteral("user/老爸.ini")), QByteArrayLiteral("10\r\n20\r\n30\r\n"));
        QCOMPARE(orv::ProgramSettings(book.dir()).load().userName, QStringLiteral("老爸"));
        QCOMPARE(book.rows(QStringLiteral("INCOME")).first().at(5), kDad);
    }

    void theOnlyUserCannotBeDeleted()
    {
        TestBook book;
        ScriptedPrompter prompter;
        g_strCurUser = kDad;
        CUserManageDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ClickRow(dlg, 0);
        Click(&dlg, 1013);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("当前只有一个用户不能再删除了!")});
        QCOMPARE(BookUsers(book), QStringList{"爸爸:pw"});
    }

    void deletingAnotherUserAsksTwiceAndKeepsTheEntries()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        g_strCurUser = kDad;
        book.writeFile(QStringLiteral("user/妈妈.ini"), "1\r\n2\r\n3\r\n");
        book.add(orv::RecordKind::Payout, QDate(2009, 5, 2), QStringLiteral("餐饮"), 30.0, QString(), kMum);
        bool restarted = false;
        SetRestartHook([&] { restarted = true; });
        CUserManageDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ClickRow(dlg, 1);

        // No at the question: no password asked.
        prompter.answers.enqueue(MsgResult::No);
        Click(&dlg, 1013);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("真的要删除用户“ 妈妈 ”吗？")});
        QCOMPARE(prompter.shown.last().buttons, MsgButtons::YesNo);

        // A wrong password: told so, the dialog stays; then the right one.
        bool stayedOpen = false;
        bool seen = false;
        WithNextModal<CDeleteUserDlg>(seen, [&](CDeleteUserDlg *del) {
            QTest::keyClicks(del->PasswordEdit(), QStringLiteral("m'2"));
            Click(del, 1);
            stayedOpen = del->isVisible();
            del->PasswordEdit()->setText(QStringLiteral("m'1"));
            QTest::keyClick(del->PasswordEdit(), Qt::Key_Return);
        });
        Click(&dlg, 1013);
        QVERIFY(seen);
        QVERIFY(stayedOpen);
        QCOMPARE(prompter.texts().mid(1), (QStringList{"真的要删除用户“ 妈妈 ”吗？", "密码错误!"}));
        QCOMPARE(BookUsers(book), (QStringList{"爸爸:pw", "小明:"}));
        QCOMPARE(ListNames(dlg), (QStringList{kDad, kKid}));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/妈妈.ini"))));
        QCOMPARE(book.rows(QStringLiteral("PAYOUT")).first().at(5), kMum);
        QVERIFY(dlg.isVisible());
        QVERIFY(!restarted);
    }

    void deletingTheLoggedInUserLogsOff()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        book.directLogin(kKid);
        book.writeFile(QStringLiteral("user/小明.ini"), "1\r\n2\r\n3\r\n");
        bool restarted = false;
        SetRestartHook([&] { restarted = true; });
        CLedgerDlg ledger;
        ledger.show();
        CUserManageDlg dlg(&ledger);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ClickRow(dlg, 2);
        bool seen = false;
        WithNextModal<CDeleteUserDlg>(seen, [](CDeleteUserDlg *del) { del->accept(); });
        Click(&dlg, 1013);
        QVERIFY(seen);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("真的要删除当前正在使用的用户“ 小明 ”吗？")});
        QCOMPARE(BookUsers(book), (QStringList{"爸爸:pw", "妈妈:m'1"}));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/小明.ini"))));
        // The program starts again and asks who is there.
        QVERIFY(!dlg.isVisible());
        QVERIFY(!ledger.isVisible());
        QVERIFY(restarted);
        QVERIFY(!orv::ProgramSettings(book.dir()).load().directLogin);
    }

    // Look-alikes first in the table, where a match by pattern, by case or
    // after trimming would find them instead of the user meant; two of them
    // with passwords an older version kept as typed, which still count, and
    // give way to a hash whenever a password is written.
    void theDialogsMatchNamesAndPasswordsExactly()
    {
        TestBook book({{"Mama", "A pw"}, {"mama", ""}, {"axb", "x"}, {"a_b", ""}});
        book.exec(QStringLiteral("UPDATE \"USER\" SET \"code\" = 'b pw ' WHERE \"user\" = 'mama'"));
        book.exec(QStringLiteral("UPDATE \"USER\" SET \"code\" = 'y' WHERE \"user\" = 'a_b'"));
        ScriptedPrompter prompter;
        g_strCurUser = QStringLiteral("Mama");
        CUserManageDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        bool seen = false;
        // Names that differ by case or by "_" are free.
        for (const QString &name : {QStringLiteral("MAMA"), QStringLiteral("a_x")}) {
            WithNextModal<CAddUserDlg>(seen, [&](CAddUserDlg *add) {
                add->NameEdit()->setText(name);
                Click(add, 1);
            });
            Click(&dlg, 1);
        }
        ClickRow(dlg, 1);
        WithNextModal<CModifyUserDlg>(seen, [&](CModifyUserDlg *modify) {
            modify->NameEdit()->setText(QStringLiteral("mama2"));
            modify->NewPasswordEdit()->setText(QStringLiteral("new"));
            modify->ConfirmEdit()->setText(QStringLiteral("new"));
            for (const char *old : {"A pw", "b pw", "b pw "}) {
                modify->OldPasswordEdit()->setText(QString::fromUtf8(old));
                Click(modify, 1);
            }
        });
        Click(&dlg, 1012);
        ClickRow(dlg, 3);
        WithNextModal<CDeleteUserDlg>(seen, [&](CDeleteUserDlg *del) {
            for (const char *typed : {"x", "y"}) {
                del->PasswordEdit()->setText(QString::fromUtf8(typed));
                Click(del, 1);
            }
        });
        Click(&dlg, 1013);
        QCOMPARE(prompter.texts(), (QStringList{"旧密码错误!", "旧密码错误!", "用户信息修改成功!", "真的要删除用户“ a_b ”吗？",
                                                "密码错误!"}));
        QCOMPARE(BookUsers(book), (QStringList{"Mama:A pw", "mama2:new", "axb:x", "MAMA:", "a_x:"}));
    }

    // A colour file or set.ini that cannot be written: the change of the
    // book stands, and the user is told what did not follow and why.
    void userFilesThatCannotFollowAreReported()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        book.directLogin(kMum);
        CLedgerDlg ledger;
        // Folders where the files would go: no file can take their place.
        for (const char *blocked : {"user/奶奶.ini/x", "user/老妈.ini/x", "user/小明.ini/x"})
            QVERIFY(QDir().mkpath(book.path(QString::fromUtf8(blocked))));
        CUserManageDlg dlg(&ledger);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        bool seen = false;
        WithNextModal<CAddUserDlg>(seen, [&](CAddUserDlg *add) {
            add->NameEdit()->setText(QStringLiteral("奶奶"));
            Click(add, 1);
        });
        Click(&dlg, 1);
        QVERIFY(seen);
        ClickRow(dlg, 1);
        WithNextModal<CModifyUserDlg>(seen, [&](CModifyUserDlg *modify) {
            modify->NameEdit()->setText(QStringLiteral("老妈"));
            modify->OldPasswordEdit()->setText(QStringLiteral("m'1"));
            Click(modify, 1);
        });
        Click(&dlg, 1012);
        QVERIFY(seen);
        ClickRow(dlg, 2);
        WithNextModal<CDeleteUserDlg>(seen, [](CDeleteUserDlg *del) { Click(del, 1); });
        Click(&dlg, 1013);
        QVERIFY(seen);

        QCOMPARE(BookUsers(book), (QStringList{"爸爸:pw", "老妈:", "奶奶:"}));
        const QString isDir = QStringLiteral(".ini：") + qt_error_string(EISDIR);
        const QStringList texts = prompter.texts();
        QCOMPARE(texts.size(), 5);
        QVERIFY(texts[0].startsWith(QStringLiteral("用户“奶奶”已添加，但无法写入其背景色文件")) && texts[0].contains(isDir));
        QCOMPARE(texts[1], QStringLiteral("用户信息修改成功!"));
        QVERIFY(texts[2].startsWith(QStringLiteral("用户“老妈”的背景色文件或直接登录的设置没能随新用户名更新")) &&
                texts[2].contains(QStringLiteral("老妈") + isDir));
        QVERIFY(texts[4].startsWith(QStringLiteral("用户“小明”已删除，但其背景色文件或直接登录的设置没能随之删除或更新")) &&
                texts[4].contains(QStringLiteral("小明.ini：")));
        // set.ini followed the rename all the same.
        QCOMPARE(orv::ProgramSettings(book.dir()).load().userName, QStringLiteral("老妈"));
    }

    // The program killed right after the book renamed the user that direct
    // login logs in: the next start asks for the password instead of logging
    // in a user the book no longer holds, and the colour is kept.
    void theStartAfterARenameCutOffAsksWhoIsThere()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        book.directLogin(kDad);
        book.writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        orv::setModifyUserStepHook([](orv::ModifyUserStep step) { return step != orv::ModifyUserStep::BookChanged; });
        {
            orv::BookConnection conn(book.location());
            orv::modifyUser(conn, book.dir(), kDad, QStringLiteral("老爸"), QStringLiteral("new"));
        }
        orv::setModifyUserStepHook(nullptr);
        CLedgerDlg next;
        QVERIFY(next.m_bLoginPending);
        QVERIFY(!next.MenuCommand(32784)->isChecked());
        bool seen = false;
        WithNextModal<CLoginDlg>(seen, [](CLoginDlg *login) {
            QCOMPARE(login->UserBox()->currentText(), QStringLiteral("老爸"));
            login->PasswordEdit()->setText(QStringLiteral("new"));
            Click(login, 1);
        });
        next.RunPendingLogin(); // what the first paint does
        QVERIFY(seen);
        QCOMPARE(next.windowTitle(), QStringLiteral("KestruneV2.5.1  —  当前用户：老爸"));
        QCOMPARE(next.m_crBack, QColor(10, 20, 30));
        QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'|')));
    }
};

ORV_WIDGET_TEST_MAIN(TestUserDialogs)
#include "tst_userdialogs.moc"
