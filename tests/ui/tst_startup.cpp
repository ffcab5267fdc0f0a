// Start-up, login, direct login, log-off and the end of the run, driven
// through the real windows on the offscreen platform.

#include "support/WidgetTestMain.h"
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
#include <QTemporaryDir>
#include <QTest>

namespace {

struct ProcessEnded
{
    int code;
};

// Runs the book check with dir as the program's folder.
bool PrepareBookIn(const QString &dir)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    const bool goOn = CLedgerApp::PrepareBook();
    QDir::setCurrent(previous);
    return goOn;
}

const QString kTitle = QStringLiteral("KestruneV2.5.1");

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

    void missingBookEndsBeforeAnyWindow()
    {
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        QVERIFY(!PrepareBookIn(dir.path()));
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("数据库文件丢失!")});
        QCOMPARE(prompter.shown[0].caption, QCoreApplication::applicationName());
        QVERIFY(LedgerWindow() == nullptr);
    }

    void dataOvdBecomesTheBookAtFirstStart()
    {
        QTemporaryDir dir;
        QVERIFY(orv::BookSchema::createBook(dir.filePath(QStringLiteral("Data.ovd"))));
        ScriptedPrompter prompter;
        QVERIFY(PrepareBookIn(dir.path()));
        QCOMPARE(g_strAppDir, dir.path());
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Orvendal.ovd"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Data.ovd"))));
        QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'|')));
    }

    void setIniDecidesTheLogin_data()
    {
        QTest::addColumn<QByteArray>("setIni");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<QString>("title");
        QTest::newRow("none: the empty user directly") << QByteArray() << false << kTitle + QStringLiteral("  —  当前用户：");
        QTest::newRow("direct, user gone") << QByteArray("1\r\nghost\r\n") << false << kTitle + QStringLiteral("  —  当前用户：ghost");
        QTest::newRow("login") << QByteArray("0\r\n\xc2\xe8\xc2\xe8\r\n") << true << kTitle; // 妈妈 in GBK
    }

    void setIniDecidesTheLogin()
    {
        QFETCH(QByteArray, setIni);
        QFETCH(bool, pending);
        QFETCH(QString, title);
        TestBook book;
        if (!setIni.isEmpty())
            book.writeFile(QStringLiteral("set.ini"), setIni);
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        QVERIFY(QFile::exists(book.path(QStringLiteral("set.ini"))));
        QCOMPARE(dlg.m_bLoginPending, pending);
        QCOMPARE(dlg.MenuCommand(32784)->isChecked(), !pending);
        QCOMPARE(dlg.windowTitle(), title);
    }

    void loginDialogIsNamedAsTheUserSeesIt()
    {
        TestBook book({{QStringLiteral("爸爸"), QStringLiteral("pw")}, {QStringLiteral("妈妈"), QStringLiteral("x")}});
        book.writeFile(QStringLiteral("set.ini"), "0\r\n\xc2\xe8\xc2\xe8\r\n");
        CLoginDlg login;
        // The first user of the table is proposed, not the one in set.ini.
        QCOMPARE(login.UserBox()->currentText(), QStringLiteral("爸爸"));
        QStringList labels;
        for (QLabel *label : login.findChildren<QLabel *>())
            if (label->buddy())
                labels.append(label->text());
        labels.sort();
        QCOMPARE(labels, (QStringList{QStringLiteral("密   码："), QStringLiteral("用户名：")}));
        QCOMPARE(login.PasswordEdit()->echoMode(), QLineEdit::Password);
    }

    void loginChecksThePassword_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("right") << "爸爸" << "Secret" << "Secret" << true;
        QTest::newRow("wrong") << "爸爸" << "Secret" << "nope" << false;
        QTest::newRow("wrong case") << "爸爸" << "Secret" << "secret" << false;
        QTest::newRow("quotes") << "O'Neil" << "a'; --" << "a'; --" << true;
    }

    void loginChecksThePassword()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        TestBook book({{user, password}});
        ScriptedPrompter prompter;
        CLoginDlg login;
        login.show();
        login.PasswordEdit()->setText(typed);
        login.accept();
        QCOMPARE(login.result() == QDialog::Accepted, accepted);
        QCOMPARE(login.isVisible(), !accepted);
        QCOMPARE(prompter.texts(), accepted ? QStringList() : QStringList{QStringLiteral("请输入正确的密码!")});
        if (accepted)
            QCOMPARE(g_strCurUser, user);
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

    void togglingDirectLoginWritesTheCurrentUser()
    {
        TestBook book;
        book.writeFile(QStringLiteral("set.ini"), "0\r\n\r\n");
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        g_strCurUser = QStringLiteral("爸爸");
        dlg.MenuCommand(32784)->trigger();
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
        QCOMPARE(prompter.shown.last().buttons, MsgButtons::YesNo);
        QCOMPARE(m_nRestarts, 0);
        QVERIFY(dlg.isVisible());

        dlg.MenuCommand(32794)->trigger();
        QCOMPARE(m_nRestarts, 1);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), 0);
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("0\r\nbob\r\n"));
    }

    void exitEscapeAndCloseBoxEndTheRun()
    {
        TestBook book;
        book.directLogin(QStringLiteral("bob"));
        ScriptedPrompter prompter;
        QList<int> results;
        for (int way = 0; way < 3; ++way) {
            CLedgerDlg dlg;
            dlg.show();
            if (way == 0)
                dlg.MenuCommand(32774)->trigger();
            else if (way == 1)
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else
                dlg.close();
            QVERIFY(!dlg.isVisible());
            results.append(dlg.result());
        }
        QCOMPARE(results, (QList<int>{0, 2, 2}));
        QCOMPARE(m_nRestarts, 0);
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("1\r\nbob\r\n"));
    }
};

ORV_WIDGET_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
