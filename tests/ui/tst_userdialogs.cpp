// The user dialogs as a user drives them: real widgets on the offscreen
// platform over a real book, real colour files and a real set.ini.

#include "app/Globals.h"
#include "app/ProcessControl.h"
#include "mainwnd/CLedgerDlg.h"
#include "settings/ProgramSettings.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "users/CAddUserDlg.h"
#include "users/CDeleteUserDlg.h"
#include "users/CModifyUserDlg.h"
#include "users/CUserManageDlg.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

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

QStringList BookUsers(const TestBook &book)
{
    QStringList names;
    for (const QStringList &row : book.rows(QStringLiteral("USER")))
        names.append(row.first());
    return names;
}

QString PasswordOf(const TestBook &book, const QString &name)
{
    for (const QStringList &row : book.rows(QStringLiteral("USER"))) {
        if (row.first() == name)
            return row.at(1);
    }
    return QStringLiteral("<none>");
}

QPushButton *Button(QWidget *dlg, int id)
{
    return dlg->findChild<QPushButton *>(QString::number(id));
}

QLineEdit *Field(QWidget *dlg, int id)
{
    return dlg->findChild<QLineEdit *>(QString::number(id));
}

// The label that names a field, as a screen reader finds it.
QString LabelOf(QWidget *dlg, QWidget *field)
{
    for (QLabel *label : dlg->findChildren<QLabel *>()) {
        if (label->buddy() == field)
            return label->text();
    }
    return QString();
}

void ClickRow(CUserManageDlg &dlg, int row)
{
    QTableWidget *list = dlg.UserList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row, 0)).center());
}

// Runs act on the modal dialog of type T that the next step opens, then
// closes it if act left it open, so that a failed check cannot hang the test.
template <typename T>
void WithNextModal(std::function<void(T *)> act, bool *seen)
{
    QTimer::singleShot(0, [act, seen] {
        auto *dlg = qobject_cast<T *>(QApplication::activeModalWidget());
        *seen = dlg != nullptr;
        if (!dlg)
            return;
        act(dlg);
        if (dlg->isVisible())
            dlg->reject();
    });
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

    // ------------------------------------------------------------ list

    void theListShowsEveryUserInTableOrder()
    {
        TestBook book(kFamily);
        CUserManageDlg dlg;
        QCOMPARE(dlg.objectName(), QStringLiteral("159"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("管理用户"));
        QTableWidget *list = dlg.findChild<QTableWidget *>(QStringLiteral("1075"));
        QVERIFY(list);
        QCOMPARE(ListNames(dlg), (QStringList{kDad, kMum, kKid}));
        QCOMPARE(dlg.UserCount(), 3);
        QCOMPARE(list->columnCount(), 1);
        QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("用  户  名"));
        QCOMPARE(list->columnWidth(0), 139);
        QVERIFY(list->showGrid());
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(list->palette().color(QPalette::Base), QColor(156, 211, 157));
        QCOMPARE(list->palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(list->item(1, 0)->background().color(), QColor(156, 211, 157));
        QCOMPARE(Button(&dlg, 1)->text(), QStringLiteral("添加(&A)..."));
        QVERIFY(Button(&dlg, 1)->isDefault());
        QCOMPARE(Button(&dlg, 1012)->text(), QStringLiteral("修改(&M)..."));
        QCOMPARE(Button(&dlg, 1013)->text(), QStringLiteral("删除(&D)..."));
        QCOMPARE(Button(&dlg, 2)->text(), QStringLiteral("退出(&C)"));
    }

    void theSystemMenuOpensItOverTheMainWindow()
    {
        TestBook book(kFamily);
        QVERIFY(orv::ProgramSettings(book.dir()).save(true, kDad));
        CLedgerDlg ledger;
        QAction *command = ledger.MenuCommand(32802);
        QVERIFY(command);
        QCOMPARE(command->text(), QStringLiteral("管理用户(&M)..."));
        QStringList names;
        QWidget *parent = nullptr;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<CUserManageDlg *>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            names = ListNames(*dlg);
            parent = dlg->parentWidget();
            QTest::mouseClick(Button(dlg, 2), Qt::LeftButton);
        });
        command->trigger();
        QCOMPARE(names, (QStringList{kDad, kMum, kKid}));
        QCOMPARE(parent, &ledger);
    }

    void theSelectedUserIsTheRowLastClicked()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        CUserManageDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.GetSelectionMark(), -1);
        ClickRow(dlg, 2);
        QCOMPARE(dlg.GetSelectionMark(), 2);
        QTest::mouseClick(dlg.UserList()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          dlg.UserList()->visualItemRect(dlg.UserList()->item(0, 0)).center());
        QCOMPARE(dlg.GetSelectionMark(), 0);
        // A row that was clicked off again is no selection: nothing is
        // changed or deleted that does not show as selected.
        QTest::mouseClick(dlg.UserList()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          dlg.UserList()->visualItemRect(dlg.UserList()->item(0, 0)).center());
        QCOMPARE(dlg.GetSelectionMark(), -1);
        QTest::mouseClick(Button(&dlg, 1012), Qt::LeftButton);
        QCOMPARE(prompter.lastText(), QStringLiteral("请选择您要修改的行!"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("注意"));
        QTest::mouseClick(Button(&dlg, 1013), Qt::LeftButton);
        QCOMPARE(prompter.lastText(), QStringLiteral("请选择您要删除的行!"));
        QCOMPARE(BookUsers(book), (QStringList{kDad, kMum, kKid}));
    }

    // ------------------------------------------------------------ add

    void addChecksInOrderAndAddsWithADefaultColour()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        book.writeFile(QStringLiteral("user/小红.ini"), "1\r\n2\r\n3\r\n");
        CAddUserDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("添加新用户"));
        QCOMPARE(LabelOf(&dlg, Field(&dlg, 1048)), QStringLiteral("用户名："));
        QCOMPARE(LabelOf(&dlg, Field(&dlg, 1050)), QStringLiteral("   密码："));
        QCOMPARE(LabelOf(&dlg, Field(&dlg, 1051)), QStringLiteral("   确认密码："));
        QCOMPARE(Field(&dlg, 1050)->echoMode(), QLineEdit::Password);
        QCOMPARE(Field(&dlg, 1051)->echoMode(), QLineEdit::Password);
        QCOMPARE(Button(&dlg, 1)->text(), QStringLiteral("添加(&A)"));
        QCOMPARE(Button(&dlg, 2)->text(), QStringLiteral("取消(&C)"));

        auto tryAdd = [&](const QString &name, const QString &password, const QString &confirm) {
            dlg.NameEdit()->setText(name);
            dlg.PasswordEdit()->setText(password);
            dlg.ConfirmEdit()->setText(confirm);
            QTest::mouseClick(Button(&dlg, 1), Qt::LeftButton);
            return prompter.lastText();
        };
        // The empty name is told first, even with other faults.
        QCOMPARE(tryAdd(QString(), QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("用户名不能为空!"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("注意"));
        QCOMPARE(prompter.shown.last().icon, MsgIcon::Exclamation);
        QCOMPARE(tryAdd(kMum, QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("此用户名已存在,请选择其它用户名!"));
        // The same name again gives the same answer.
        prompter.clear();
        QCOMPARE(tryAdd(kMum, QStringLiteral("a"), QStringLiteral("a")), QStringLiteral("此用户名已存在,请选择其它用户名!"));
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(tryAdd(QStringLiteral("小红"), QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("两次输入的密码不同!"));
        QVERIFY(tryAdd(QStringLiteral("a/b"), QStringLiteral("a"), QStringLiteral("a")).startsWith(QStringLiteral("用户名不能是")));
        QVERIFY(tryAdd(QStringLiteral(".."), QStringLiteral("a"), QStringLiteral("a")).startsWith(QStringLiteral("用户名不能是")));
        QVERIFY(tryAdd(QString(90, QChar(0x7EA2)), QStringLiteral("a"), QStringLiteral("a")).startsWith(QStringLiteral("用户名太长了")));
        QVERIFY(tryAdd(QStringLiteral("小红"), QString(256, u'p'), QString(256, u'p')).startsWith(QStringLiteral("密码太长了")));
        QVERIFY(dlg.result() != QDialog::Accepted);
        QCOMPARE(BookUsers(book), (QStringList{kDad, kMum, kKid}));

        prompter.clear();
        tryAdd(QStringLiteral("  小红 "), QStringLiteral("it's"), QStringLiteral("it's"));
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.UserName(), QStringLiteral("小红"));
        QCOMPARE(BookUsers(book), (QStringList{kDad, kMum, kKid, QStringLiteral("小红")}));
        QCOMPARE(PasswordOf(book, QStringLiteral("小红")), QStringLiteral("it's"));
        QCOMPARE(book.readFile(QStringLiteral("user/小红.ini")), QByteArrayLiteral("115\r\n151\r\n234\r\n"));
    }

    void theListShowsAndSelectsTheAddedUser()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        CUserManageDlg dlg;
        dlg.show();
        bool seen = false;
        WithNextModal<CAddUserDlg>(
            [](CAddUserDlg *add) {
                add->NameEdit()->insert(QStringLiteral("奶奶"));
                QTest::keyClicks(add->PasswordEdit(), QStringLiteral("nn"));
                QTest::keyClicks(add->ConfirmEdit(), QStringLiteral("nn"));
                QTest::keyClick(add->ConfirmEdit(), Qt::Key_Return);
            },
            &seen);
        QTest::mouseClick(Button(&dlg, 1), Qt::LeftButton);
        QVERIFY(seen);
        QVERIFY(dlg.isVisible());
        QCOMPARE(ListNames(dlg), (QStringList{kDad, kMum, kKid, QStringLiteral("奶奶")}));
        QCOMPARE(dlg.UserCount(), 4);
        QCOMPARE(dlg.GetSelectionMark(), 3);
        QVERIFY(prompter.shown.isEmpty());
    }

    // ------------------------------------------------------------ modify

    void modifyNeedsTheOldPasswordAndMatchingNewOnes()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        CModifyUserDlg dlg(kMum);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("修改用户信息"));
        QCOMPARE(dlg.NameEdit()->text(), kMum);
        QCOMPARE(dlg.NameEdit()->selectedText(), kMum);
        QCOMPARE(dlg.focusWidget(), dlg.NameEdit());
        QCOMPARE(LabelOf(&dlg, Field(&dlg, 1048)), QStringLiteral("用户名："));
        QCOMPARE(LabelOf(&dlg, Field(&dlg, 1049)), QStringLiteral("旧密码："));
        QCOMPARE(LabelOf(&dlg, Field(&dlg, 1050)), QStringLiteral("新密码："));
        QCOMPARE(LabelOf(&dlg, Field(&dlg, 1051)), QStringLiteral("确认新密码："));
        QCOMPARE(Button(&dlg, 1)->text(), QStringLiteral("修改(&M)"));

        dlg.OldPasswordEdit()->setText(QStringLiteral("m'2"));
        dlg.accept();
        QCOMPARE(prompter.lastText(), QStringLiteral("旧密码错误!"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("密码错误"));
        QCOMPARE(prompter.shown.last().icon, MsgIcon::Exclamation);

        dlg.OldPasswordEdit()->setText(QStringLiteral("m'1"));
        dlg.NewPasswordEdit()->setText(QStringLiteral("x"));
        dlg.ConfirmEdit()->setText(QStringLiteral("X"));
        dlg.accept();
        QCOMPARE(prompter.lastText(), QStringLiteral("两次输入的新密码不同!"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("密码错误"));

        // The new name passes a new user's checks; never onto another user.
        dlg.ConfirmEdit()->setText(QStringLiteral("x"));
        dlg.NameEdit()->setText(kDad);
        dlg.accept();
        QCOMPARE(prompter.lastText(), QStringLiteral("此用户名已存在,请选择其它用户名!"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("注意"));
        dlg.NameEdit()->setText(QStringLiteral(" "));
        dlg.accept();
        QCOMPARE(prompter.lastText(), QStringLiteral("用户名不能为空!"));
        dlg.NameEdit()->setText(QStringLiteral("妈/妈"));
        dlg.accept();
        QVERIFY(prompter.lastText().startsWith(QStringLiteral("用户名不能是")));
        QVERIFY(dlg.result() != QDialog::Accepted);
        QCOMPARE(BookUsers(book), (QStringList{kDad, kMum, kKid}));
        QCOMPARE(PasswordOf(book, kMum), QStringLiteral("m'1"));
        QCOMPARE(PasswordOf(book, kDad), QStringLiteral("pw"));
    }

    void anUnchangedNameKeepsItsColourFile()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        book.writeFile(QStringLiteral("user/妈妈.ini"), "1\r\n2\r\n3\r\n");
        g_strCurUser = kDad;
        CModifyUserDlg dlg(kMum);
        dlg.OldPasswordEdit()->setText(QStringLiteral("m'1"));
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(prompter.lastText(), QStringLiteral("用户信息修改成功!"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("修改成功"));
        QCOMPARE(prompter.shown.last().icon, MsgIcon::Information);
        QCOMPARE(PasswordOf(book, kMum), QString());
        QCOMPARE(book.readFile(QStringLiteral("user/妈妈.ini")), QByteArrayLiteral("1\r\n2\r\n3\r\n"));
        QCOMPARE(g_strCurUser, kDad);
    }

    void renamingTheLoggedInUserCarriesTitleColourAndLogin()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        // set.ini is a GBK file; TestBook::directLogin writes UTF-8.
        QVERIFY(orv::ProgramSettings(book.dir()).save(true, kDad));
        book.writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        book.add(orv::RecordKind::Income, QDate(2009, 5, 1), QStringLiteral("工资"), 5000.0, QString(), kDad);
        CLedgerDlg ledger;
        QCOMPARE(g_strCurUser, kDad);
        QCOMPARE(ledger.windowTitle(), QStringLiteral("KestruneV2.5.1  —  当前用户：爸爸"));

        CUserManageDlg dlg(&ledger);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ClickRow(dlg, 0);
        bool seen = false;
        QString shownName;
        WithNextModal<CModifyUserDlg>(
            [&](CModifyUserDlg *modify) {
                shownName = modify->NameEdit()->text();
                modify->NameEdit()->setText(QStringLiteral("老爸"));
                modify->OldPasswordEdit()->setText(QStringLiteral("pw"));
                modify->NewPasswordEdit()->setText(QStringLiteral("new"));
                modify->ConfirmEdit()->setText(QStringLiteral("new"));
                QTest::mouseClick(Button(modify, 1), Qt::LeftButton);
            },
            &seen);
        QTest::mouseClick(Button(&dlg, 1012), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(shownName, kDad);
        QCOMPARE(prompter.lastText(), QStringLiteral("用户信息修改成功!"));
        QCOMPARE(g_strCurUser, QStringLiteral("老爸"));
        QCOMPARE(ledger.windowTitle(), QStringLiteral("KestruneV2.5.1  —  当前用户：老爸"));
        QCOMPARE(ListNames(dlg), (QStringList{QStringLiteral("老爸"), kMum, kKid}));
        QCOMPARE(dlg.GetSelectionMark(), 0);
        QCOMPARE(PasswordOf(book, QStringLiteral("老爸")), QStringLiteral("new"));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/爸爸.ini"))));
        QCOMPARE(book.readFile(QStringLiteral("user/老爸.ini")), QByteArrayLiteral("10\r\n20\r\n30\r\n"));
        // The next start logs in the renamed user, not a name that is gone.
        const orv::DirectLoginSetting setting = orv::ProgramSettings(book.dir()).load();
        QVERIFY(setting.directLogin);
        QCOMPARE(setting.userName, QStringLiteral("老爸"));
        // Entries keep the name they were recorded under.
        QCOMPARE(book.rows(QStringLiteral("INCOME")).first().at(5), kDad);
    }

    // ------------------------------------------------------------ delete

    void theOnlyUserCannotBeDeleted()
    {
        TestBook book;
        ScriptedPrompter prompter;
        g_strCurUser = QStringLiteral("爸爸");
        CUserManageDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ClickRow(dlg, 0);
        QTest::mouseClick(Button(&dlg, 1013), Qt::LeftButton);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("当前只有一个用户不能再删除了!")});
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("注意"));
        QCOMPARE(BookUsers(book), QStringList{kDad});
        QVERIFY(dlg.isVisible());
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

        // No at the question: no password asked, nothing gone.
        prompter.answers.enqueue(MsgResult::No);
        QTest::mouseClick(Button(&dlg, 1013), Qt::LeftButton);
        QCOMPARE(prompter.lastText(), QStringLiteral("真的要删除用户“ 妈妈 ”吗？"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("注意"));
        QCOMPARE(prompter.shown.last().buttons, MsgButtons::YesNo);
        QCOMPARE(BookUsers(book), (QStringList{kDad, kMum, kKid}));

        // A wrong password: told so, the dialog stays, nothing gone.
        bool seen = false;
        QStringList seenTexts;
        WithNextModal<CDeleteUserDlg>(
            [&](CDeleteUserDlg *del) {
                seenTexts << del->windowTitle() << LabelOf(del, del->PasswordEdit())
                          << Button(del, 1)->text() << Button(del, 2)->text();
                QTest::keyClicks(del->PasswordEdit(), QStringLiteral("m'2"));
                QTest::mouseClick(Button(del, 1), Qt::LeftButton);
                seenTexts << prompter.lastText() << prompter.shown.last().caption
                          << (del->isVisible() ? QStringLiteral("open") : QStringLiteral("closed"));
                QTest::mouseClick(Button(del, 2), Qt::LeftButton);
            },
            &seen);
        QTest::mouseClick(Button(&dlg, 1013), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(seenTexts, (QStringList{QStringLiteral("删除用户：妈妈"), QStringLiteral("请输入该用户的密码："),
                                         QStringLiteral("确定(&O)"), QStringLiteral("取消(&C)"), QStringLiteral("密码错误!"),
                                         QStringLiteral("密码错误"), QStringLiteral("open")}));
        QCOMPARE(BookUsers(book), (QStringList{kDad, kMum, kKid}));
        QVERIFY(QFile::exists(book.path(QStringLiteral("user/妈妈.ini"))));

        // The right password: the user and the colour file go, the list is read again.
        ClickRow(dlg, 1);
        seen = false;
        WithNextModal<CDeleteUserDlg>(
            [](CDeleteUserDlg *del) {
                del->PasswordEdit()->setText(QStringLiteral("m'1"));
                QTest::keyClick(del->PasswordEdit(), Qt::Key_Return);
            },
            &seen);
        QTest::mouseClick(Button(&dlg, 1013), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(BookUsers(book), (QStringList{kDad, kKid}));
        QCOMPARE(ListNames(dlg), (QStringList{kDad, kKid}));
        QCOMPARE(dlg.UserCount(), 2);
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/妈妈.ini"))));
        QCOMPARE(book.rows(QStringLiteral("PAYOUT")).first().at(5), kMum);
        QVERIFY(dlg.isVisible());
        QVERIFY(!restarted);
    }

    void deletingTheLoggedInUserLogsOff()
    {
        TestBook book(kFamily);
        ScriptedPrompter prompter;
        QVERIFY(orv::ProgramSettings(book.dir()).save(true, kKid));
        book.writeFile(QStringLiteral("user/小明.ini"), "1\r\n2\r\n3\r\n");
        bool restarted = false;
        SetRestartHook([&] { restarted = true; });
        CLedgerDlg ledger;
        QCOMPARE(g_strCurUser, kKid);
        ledger.show();
        CUserManageDlg dlg(&ledger);
        int result = -1;
        connect(&dlg, &QDialog::finished, this, [&result](int r) { result = r; });
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ClickRow(dlg, 2);
        bool seen = false;
        WithNextModal<CDeleteUserDlg>([](CDeleteUserDlg *del) { del->accept(); }, &seen);
        QTest::mouseClick(Button(&dlg, 1013), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("真的要删除当前正在使用的用户“ 小明 ”吗？")});
        QCOMPARE(BookUsers(book), (QStringList{kDad, kMum}));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/小明.ini"))));
        QCOMPARE(result, 0);
        QVERIFY(!dlg.isVisible());
        QVERIFY(!ledger.isVisible());
        QVERIFY(restarted);
        // The next start asks who is there.
        QVERIFY(!orv::ProgramSettings(book.dir()).load().directLogin);
    }
};

QTEST_MAIN(TestUserDialogs)
#include "tst_userdialogs.moc"
