// Start-up, login, direct login and log-off, driven through the real
// windows on the offscreen platform.

#include "app/CLedgerApp.h"
#include "app/CLoginDlg.h"
#include "app/Globals.h"
#include "app/ProcessControl.h"
#include "mainwnd/CLedgerDlg.h"
#include "store/BookSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
struct ProcessEnded
{
    int code;
};
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    int m_nRestarts = 0;

private Q_SLOTS:
    void initTestCase()
    {
        SetTerminateHook([](int code) { throw ProcessEnded{code}; });
        SetRestartHook([this] { ++m_nRestarts; });
    }

    void init() { m_nRestarts = 0; }

    // -- book check -------------------------------------------------------

    void missingBookEndsBeforeAnyWindow()
    {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        ScriptedPrompter prompter;
        const bool goOn = CLedgerApp::PrepareBook();
        QDir::setCurrent(previous);
        QVERIFY(!goOn);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("数据库文件丢失!")});
        QCOMPARE(prompter.shown[0].caption, QCoreApplication::applicationName());
        QCOMPARE(prompter.shown[0].buttons, MsgButtons::Ok);
        QVERIFY(LedgerWindow() == nullptr);
    }

    void dataOvdBecomesTheBookAtFirstStart()
    {
        QTemporaryDir dir;
        QVERIFY(orv::BookSchema::createBook(dir.filePath(QStringLiteral("Data.ovd"))));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        ScriptedPrompter prompter;
        QVERIFY(CLedgerApp::PrepareBook());
        QDir::setCurrent(previous);
        QCOMPARE(g_strAppDir, dir.path());
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Orvendal.ovd"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Data.ovd"))));
        QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'|')));
    }

    // -- set.ini at start -------------------------------------------------

    void firstStartWithoutSetIniLogsInTheEmptyUserDirectly()
    {
        TestBook book;
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        QVERIFY(QFile::exists(book.path(QStringLiteral("set.ini"))));
        QVERIFY(!dlg.m_bLoginPending);
        QVERIFY(dlg.m_bDirectLogin);
        QVERIFY(dlg.MenuCommand(32784)->isChecked());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("KestruneV2.5.1  —  当前用户："));
    }

    void directLoginNamesTheUserEvenIfGone()
    {
        TestBook book;
        book.directLogin(QStringLiteral("不存在的人"));
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        QVERIFY(!dlg.m_bLoginPending);
        QCOMPARE(g_strCurUser, QStringLiteral("不存在的人"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("KestruneV2.5.1  —  当前用户：不存在的人"));
    }

    void loginPendingWhenDirectLoginIsOff()
    {
        TestBook book({{QStringLiteral("爸爸"), QStringLiteral("pw")}, {QStringLiteral("妈妈"), QStringLiteral("x")}});
        book.writeFile(QStringLiteral("set.ini"), "0\r\n\xc2\xe8\xc2\xe8\r\n"); // 妈妈 in GBK
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        QVERIFY(dlg.m_bLoginPending);
        QVERIFY(!dlg.MenuCommand(32784)->isChecked());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("KestruneV2.5.1"));
        // The login box preselects the first user of the table, not the one in set.ini.
        CLoginDlg login;
        QCOMPARE(login.UserBox()->currentText(), QStringLiteral("爸爸"));
        QCOMPARE(login.UserBox()->count(), 2);
        QVERIFY(!login.UserBox()->isEditable());
    }

    void loginShowsOverTheWindowOnceItIsOnScreen()
    {
        TestBook book;
        book.writeFile(QStringLiteral("set.ini"), "0\r\n\r\n");
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        bool loginShown = false;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto *login = qobject_cast<CLoginDlg *>(QApplication::activeModalWidget());
            if (!login)
                return;
            loginShown = true;
            answer.stop();
            login->PasswordEdit()->setText(QStringLiteral("pw"));
            login->accept();
        });
        answer.start(20);
        dlg.show();
        QTRY_VERIFY(loginShown);
        QTRY_COMPARE(dlg.windowTitle(), QStringLiteral("KestruneV2.5.1  —  当前用户：爸爸"));
        QVERIFY(!dlg.m_bLoginPending);
        dlg.hide();
    }

    // -- the login dialog ---------------------------------------------------

    void loginDialogLooksAndIsNamedAsTheUserSeesIt()
    {
        TestBook book;
        CLoginDlg login;
        QCOMPARE(login.windowTitle(), QStringLiteral("登录"));
        QCOMPARE(login.palette().color(QPalette::Window), QColor(Qt::white));
        const auto labels = login.findChildren<QLabel *>();
        bool userLabel = false, passwordLabel = false;
        for (QLabel *label : labels) {
            if (label->text() == QStringLiteral("用户名：")) {
                userLabel = label->buddy() == login.UserBox();
                QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            }
            if (label->text() == QStringLiteral("密   码："))
                passwordLabel = label->buddy() == login.PasswordEdit();
        }
        QVERIFY(userLabel);
        QVERIFY(passwordLabel);
        QCOMPARE(login.PasswordEdit()->echoMode(), QLineEdit::Password);
        QCOMPARE(login.findChild<QPushButton *>(QStringLiteral("1"))->text(), QStringLiteral("登录(&L)"));
        QCOMPARE(login.findChild<QPushButton *>(QStringLiteral("2"))->text(), QStringLiteral("退出(&X)"));
    }

    void wrongPasswordKeepsTheDialogOpenThenTheRightOneLogsIn()
    {
        TestBook book({{QStringLiteral("爸爸"), QStringLiteral("Secret")}});
        ScriptedPrompter prompter;
        CLoginDlg login;
        login.show();
        login.PasswordEdit()->setText(QStringLiteral("secret")); // case counts
        login.accept();
        QVERIFY(login.isVisible());
        QCOMPARE(login.result(), int(QDialog::Rejected));
        QCOMPARE(prompter.lastText(), QStringLiteral("请输入正确的密码!"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("密码错误"));
        QCOMPARE(prompter.shown.last().icon, MsgIcon::Exclamation);
        QCOMPARE(login.PasswordEdit()->text(), QStringLiteral("secret"));

        login.PasswordEdit()->setText(QStringLiteral("Secret"));
        login.accept();
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(g_strCurUser, QStringLiteral("爸爸"));
        QCOMPARE(prompter.shown.size(), 1);
    }

    void quotesInNamesAndPasswordsLogIn()
    {
        TestBook book({{QStringLiteral("O'Neil"), QStringLiteral("a'; --")}});
        ScriptedPrompter prompter;
        CLoginDlg login;
        login.show();
        login.PasswordEdit()->setText(QStringLiteral("a'; --"));
        login.accept();
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(g_strCurUser, QStringLiteral("O'Neil"));
    }

    void bookWithoutUsersSaysSoInsteadOfAnEngineError()
    {
        TestBook book(QList<QPair<QString, QString>>{});
        ScriptedPrompter prompter;
        CLoginDlg login;
        login.show();
        login.accept();
        QCOMPARE(login.result(), int(QDialog::Rejected));
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].caption, QStringLiteral("注意"));
        QVERIFY(prompter.lastText().contains(QStringLiteral("没有")));
    }

    void quittingTheLoginEndsTheProcessWithCodeZero()
    {
        TestBook book;
        CLoginDlg login;
        int code = -1;
        try {
            login.reject();
        } catch (const ProcessEnded &ended) {
            code = ended.code;
        }
        QCOMPARE(code, 0);
    }

    // -- direct login toggle and log-off -------------------------------------

    void togglingDirectLoginWritesTheCurrentUser()
    {
        TestBook book;
        book.writeFile(QStringLiteral("set.ini"), "0\r\n\r\n");
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        g_strCurUser = QStringLiteral("爸爸");
        dlg.MenuCommand(32784)->trigger();
        QVERIFY(dlg.m_bDirectLogin);
        QVERIFY(dlg.MenuCommand(32784)->isChecked());
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("1\r\n\xb0\xd6\xb0\xd6\r\n"));
        dlg.MenuCommand(32784)->trigger();
        QVERIFY(!dlg.MenuCommand(32784)->isChecked());
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("0\r\n\xb0\xd6\xb0\xd6\r\n"));
    }

    void logOffAsksThenTurnsDirectLoginOffAndRestarts()
    {
        TestBook book;
        book.directLogin(QStringLiteral("bob"));
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        dlg.show();

        prompter.answers.enqueue(MsgResult::No);
        dlg.MenuCommand(32794)->trigger();
        QCOMPARE(prompter.lastText(), QStringLiteral("真的要注销当前用户吗？"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("注销"));
        QCOMPARE(prompter.shown.last().buttons, MsgButtons::YesNo);
        QCOMPARE(prompter.shown.last().icon, MsgIcon::Question);
        QCOMPARE(m_nRestarts, 0);
        QVERIFY(dlg.isVisible());

        dlg.MenuCommand(32794)->trigger();
        QCOMPARE(m_nRestarts, 1);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), 0);
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("0\r\nbob\r\n"));
    }

    void exitEndsTheRunWithoutRestart()
    {
        TestBook book;
        book.directLogin(QStringLiteral("bob"));
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        dlg.show();
        dlg.MenuCommand(32774)->trigger();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), 0);
        QCOMPARE(m_nRestarts, 0);
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("1\r\nbob\r\n"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
