// Start-up, login, direct login, log-off and the end of the run, driven
// through the real windows on the offscreen platform.

#include "support/WidgetTestMain.h"
#include "app/CLedgerApp.h"
#include "app/CLoginDlg.h"
#include "app/Globals.h"
#include "app/ProcessControl.h"
#include "mainwnd/CLedgerDlg.h"
#include "store/BookSchema.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "security/PasswordHash.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

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
    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase()
    {
        // The data source goes into an odbc.ini of the test's own.
        qputenv("ODBCINI", QFile::encodeName(m_home.filePath(QStringLiteral("odbc.ini"))));
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

    void startUpRemovesWhatACrashLeftBehind()
    {
        TestBook book;
        book.writeFile(QStringLiteral("userTemp.dat"), "\xb0\xd6\xb0\xd6\r\npw\r\n");
        book.writeFile(QStringLiteral("set.ini.tmp-1234abcd"), "1\r\n");
        book.writeFile(QStringLiteral("user/爸爸.ini.tmp-00ff00ff"), "1\r\n");
        ScriptedPrompter prompter;
        QVERIFY(PrepareBookIn(book.dir()));
        QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'|')));
        QCOMPARE(QDir(book.dir()).entryList(QDir::Files),
                 QStringList{TestBook::onServer() ? QStringLiteral("orvendal.ini") : QStringLiteral("Orvendal.ovd")});
        QVERIFY(QDir(book.path(QStringLiteral("user"))).isEmpty());
    }

    // A line break in the folder's name would add lines of its own to
    // odbc.ini: the data source is not registered, and the program goes on.
    void aProgramFolderWithALineBreakIsNotRegistered()
    {
        ORV_FILE_BOOK_ONLY();
        TestBook book;
        const QString odd = book.path(QStringLiteral("a\n[Evil]\nDriver=x"));
        QVERIFY(QDir().mkpath(odd));
        QVERIFY(QFile::copy(book.bookPath(), odd + QStringLiteral("/Orvendal.ovd")));
        const QString ini = QFile::decodeName(qgetenv("ODBCINI"));
        QFile::remove(ini);
        ScriptedPrompter prompter;
        QVERIFY(PrepareBookIn(odd));
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY2(prompter.lastText().startsWith(QStringLiteral("程序文件夹的名称含有换行等控制字符")), qPrintable(prompter.lastText()));
        QVERIFY(prompter.lastText().contains(QStringLiteral("a\\x0a[Evil]\\x0aDriver=x")));
        QVERIFY(!QFile::exists(ini));
    }

    void setIniDecidesTheLogin_data()
    {
        QTest::addColumn<QByteArray>("setIni");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<QString>("title");
        QTest::newRow("direct") << QByteArray("1\r\n\xb0\xd6\xb0\xd6\r\n") << false << kTitle + QStringLiteral("  —  当前用户：爸爸");
        QTest::newRow("login") << QByteArray("0\r\n\xc2\xe8\xc2\xe8\r\n") << true << kTitle; // 妈妈 in GBK
        // Direct login only for a user the book holds: one renamed or deleted
        // while the program was cut off, or the empty name of a new set.ini,
        // gets the login dialog.
        QTest::newRow("none: the empty user is nobody") << QByteArray() << true << kTitle;
        QTest::newRow("direct, user gone") << QByteArray("1\r\nghost\r\n") << true << kTitle;
        QTest::newRow("direct, another case") << QByteArray("1\r\nBOB\r\n") << true << kTitle;
    }

    void setIniDecidesTheLogin()
    {
        QFETCH(QByteArray, setIni);
        QFETCH(bool, pending);
        QFETCH(QString, title);
        TestBook book({{QStringLiteral("爸爸"), QStringLiteral("pw")}, {QStringLiteral("bob"), QStringLiteral("pw")}});
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

    // Names and passwords are matched exactly, never by pattern, case or
    // trimming: the look-alike comes first in the table, where a loose
    // match would find it instead.
    void loginMatchesNamesAndPasswordsExactly_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("mama") << "mama" << "b pw " << true;
        QTest::newRow("mama, no trailing blank") << "mama" << "b pw" << false;
        QTest::newRow("mama, Mama's password") << "mama" << "A pw" << false;
        QTest::newRow("Mama") << "Mama" << "A pw" << true;
        QTest::newRow("Mama, mama's password") << "Mama" << "b pw " << false;
        QTest::newRow("a_b") << "a_b" << "y" << true;
        QTest::newRow("a_b, axb's password") << "a_b" << "x" << false;
        QTest::newRow("axb") << "axb" << "x" << true;
    }
    void loginMatchesNamesAndPasswordsExactly()
    {
        QFETCH(QString, user);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        TestBook book({{"Mama", "A pw"}, {"mama", "b pw "}, {"axb", "x"}, {"a_b", "y"}});
        ScriptedPrompter prompter;
        CLoginDlg login;
        login.show();
        login.UserBox()->setCurrentText(user);
        login.PasswordEdit()->setText(typed);
        login.accept();
        QCOMPARE(login.result() == QDialog::Accepted, accepted);
        QCOMPARE(prompter.texts(), accepted ? QStringList() : QStringList{QStringLiteral("请输入正确的密码!")});
        if (accepted)
            QCOMPARE(g_strCurUser, user);
    }

    // A book of an older version keeps passwords as typed: they still log
    // in, and the first good login puts the hash in the password's place.
    void aPasswordKeptAsTypedIsHashedAtTheNextLogin()
    {
        TestBook book({{QStringLiteral("爸爸"), QStringLiteral("x")}, {QStringLiteral("妈妈"), QStringLiteral("x")}});
        book.exec(QStringLiteral("UPDATE \"USER\" SET \"code\" = 'Pw ' WHERE \"user\" = '爸爸'"));
        book.exec(QStringLiteral("UPDATE \"USER\" SET \"code\" = 'm' WHERE \"user\" = '妈妈'"));
        const QList<QStringList> before = book.rows(QStringLiteral("USER"));
        ScriptedPrompter prompter;
        CLoginDlg login;
        login.show();
        for (const char *wrong : {"Pw", "pw ", "m"}) {
            login.PasswordEdit()->setText(QString::fromUtf8(wrong));
            login.accept();
            QVERIFY(login.isVisible());
        }
        QCOMPARE(book.rows(QStringLiteral("USER")), before);
        login.PasswordEdit()->setText(QStringLiteral("Pw "));
        login.accept();
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(prompter.texts(), QStringList(3, QStringLiteral("请输入正确的密码!")));
        const QList<QStringList> after = book.rows(QStringLiteral("USER"));
        QVERIFY(orv::PasswordHash::isHash(after[0][1]));
        QVERIFY(orv::PasswordHash::matches(QStringLiteral("Pw "), after[0][1]));
        QCOMPARE(after[1], before[1]); // someone else's login is theirs
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

    void directLoginThatCannotBeSavedKeepsItsOldState()
    {
        TestBook book;
        book.writeFile(QStringLiteral("set.ini"), "0\r\n\r\n");
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        g_strCurUser = QStringLiteral("爸爸");
        {
            const FileSizeLimit diskFull;
            dlg.MenuCommand(32784)->trigger();
        }
        QVERIFY(!dlg.MenuCommand(32784)->isChecked());
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("0\r\n\r\n"));
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY2(prompter.lastText().startsWith(QStringLiteral("无法保存直接登录的设置，设置没有改变!")), qPrintable(prompter.lastText()));
        QVERIFY(prompter.lastText().contains(QDir::toNativeSeparators(book.path(QStringLiteral("set.ini"))) + u'：' +
                                             qt_error_string(EFBIG)));
        // With room on the disk it goes through.
        dlg.MenuCommand(32784)->trigger();
        QVERIFY(dlg.MenuCommand(32784)->isChecked());
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("1\r\n\xb0\xd6\xb0\xd6\r\n"));
    }

    void logOffAsksThenTurnsDirectLoginOffAndRestarts()
    {
        TestBook book({{QStringLiteral("bob"), QStringLiteral("pw")}});
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

    void aLogOffThatCannotTurnDirectLoginOffSaysSo()
    {
        TestBook book({{QStringLiteral("bob"), QStringLiteral("pw")}});
        book.directLogin(QStringLiteral("bob"));
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        dlg.show();
        {
            const FileSizeLimit diskFull;
            dlg.MenuCommand(32794)->trigger();
        }
        QCOMPARE(prompter.shown.size(), 2);
        QVERIFY2(prompter.lastText().startsWith(QStringLiteral("无法关闭直接登录，下次启动时仍会直接登录用户“bob”!")),
                 qPrintable(prompter.lastText()));
        QVERIFY(prompter.lastText().contains(qt_error_string(EFBIG)));
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("1\r\nbob\r\n"));
        // The log-off itself goes on.
        QCOMPARE(m_nRestarts, 1);
        QVERIFY(!dlg.isVisible());
    }

    void exitEscapeAndCloseBoxEndTheRun()
    {
        TestBook book({{QStringLiteral("bob"), QStringLiteral("pw")}});
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
