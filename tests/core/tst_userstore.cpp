// The USER table's changes and the files that follow a user, on a real book
// and real files in a temp program folder: the cases the user dialogs never
// reach by themselves.

#include "settings/ProgramSettings.h"
#include "store/BookConnection.h"
#include "support/TestBook.h"
#include "users/ModifyUser.h"
#include "security/PasswordHash.h"
#include "users/UserFiles.h"
#include "users/UserStore.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace UserStore = orv::UserStore;
namespace UserFiles = orv::UserFiles;
using orv::UserAccount;
using Accounts = QList<UserAccount>;

class TestUserStore : public QObject
{
    Q_OBJECT

private:
    static Accounts AccountsOf(const TestBook &book)
    {
        const orv::BookConnection conn(book.location());
        auto list = UserStore::accounts(conn);
        return list ? *list : Accounts{};
    }
    static orv::DbStatus Modify(const TestBook &book, const QString &oldName, const QString &newName,
                                const QString &password)
    {
        orv::BookConnection conn(book.location());
        return UserStore::modify(conn, oldName, newName, password);
    }
    static orv::DbStatus Remove(const TestBook &book, const QString &name)
    {
        orv::BookConnection conn(book.location());
        return UserStore::remove(conn, name);
    }
    static QByteArray DefaultColorBytes() { return QByteArrayLiteral("115\r\n151\r\n234\r\n"); }

    const QString dad = QStringLiteral("爸爸");
    const QString mum = QStringLiteral("妈妈");

private Q_SLOTS:
    void judgesNamesAndPasswords_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem"); // start of the message, empty when accepted
        QTest::newRow("dots inside") << QStringLiteral("a..b") << QString();
        QTest::newRow("blank inside") << QStringLiteral("a b") << QString();
        // Never trimmed behind the user's back: refused as typed, with the reason.
        QTest::newRow("blank at the end") << QStringLiteral("ab ") << QStringLiteral("用户名的开头和结尾不能是空格");
        QTest::newRow("wide blank in front") << QStringLiteral("\u3000ab") << QStringLiteral("用户名的开头和结尾不能是空格");
        QTest::newRow("only blanks") << QStringLiteral("  ") << QStringLiteral("用户名不能为空!");
        // The name becomes user/<name>.ini: nothing that leads out of that folder.
        QTest::newRow("backslash") << QStringLiteral("a\\b") << QStringLiteral("用户名不能是");
        QTest::newRow("line break") << QStringLiteral("a\nb") << QStringLiteral("用户名不能是");
        // user/<name>.ini must fit 255 bytes of UTF-8; the column 255 of GBK.
        QTest::newRow("83 hanzi") << QString(83, QChar(0x660E)) << QString();
        QTest::newRow("84 hanzi") << QString(84, QChar(0x660E)) << QStringLiteral("用户名太长了");
        QTest::newRow("252 letters") << QString(252, u'm') << QStringLiteral("用户名太长了");
    }
    void judgesNamesAndPasswords()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        const std::optional<QString> found = UserStore::nameProblem(name);
        QVERIFY2(found.value_or(QString()).startsWith(problem) && found.has_value() == !problem.isEmpty(),
                 qPrintable(found.value_or(QStringLiteral("accepted"))));
        // A line break would split the user across two lines of the user carry file.
        QVERIFY(UserStore::passwordProblem(QStringLiteral("a\r\nb")));
        QVERIFY(!UserStore::passwordProblem(QStringLiteral(" it's 100% mine ")));
    }

    void modifyNeverMergesUsersNorRevivesAVanishedOne()
    {
        TestBook book({{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}});
        const Accounts before = AccountsOf(book);
        QCOMPARE(Modify(book, mum, dad, QStringLiteral("x")).error().message, QStringLiteral("此用户名已存在,请选择其它用户名!"));
        QCOMPARE(Modify(book, QStringLiteral("谁"), QStringLiteral("他"), QString()).error().kind, orv::DbError::Kind::Refused);
        QCOMPARE(AccountsOf(book), before);
    }

    void aNameThatIsAlreadyThereMayStayAsItIs()
    {
        // A book from elsewhere may hold a name we would not accept today;
        // its owner can still change the password.
        TestBook book({{dad, QStringLiteral("pw")}, {QStringLiteral("a/b"), QStringLiteral("old")}});
        QVERIFY(Modify(book, QStringLiteral("a/b"), QStringLiteral("a/b"), QString()).ok());
        QCOMPARE(AccountsOf(book).last().name, QStringLiteral("a/b"));
        QVERIFY(orv::PasswordHash::matches(QString(), AccountsOf(book).last().password));
    }

    void removeOfAVanishedUserOrTheLastOneIsRefused()
    {
        TestBook book;
        QCOMPARE(Remove(book, QStringLiteral("谁")).error().kind, orv::DbError::Kind::Refused);
        // Two rows of one name are still one user.
        book.exec(QStringLiteral("INSERT INTO \"USER\" VALUES ('爸爸', 'again')"));
        QCOMPARE(Remove(book, dad).error().message, QStringLiteral("当前只有一个用户不能再删除了!"));
        QCOMPARE(AccountsOf(book).size(), 2);
    }

    void userFilesStayInsideTheUserFolder()
    {
        TestBook book;
        QVERIFY(!UserFiles::createFor(book.dir(), QStringLiteral("../set")));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("set.ini"))));
    }

    void aRenameTakesTheColourAlongAndLeavesOthersAlone()
    {
        TestBook book;
        const orv::ProgramSettings settings(book.dir());
        QVERIFY(settings.save(true, dad));
        book.writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        book.writeFile(QStringLiteral("user/老爸.ini"), "200\r\n0\r\n0\r\n"); // a stray file gives way
        QVERIFY(UserFiles::takeColourAlong(book.dir(), dad, QStringLiteral("老爸")));
        QCOMPARE(book.readFile(QStringLiteral("user/老爸.ini")), QByteArrayLiteral("10\r\n20\r\n30\r\n"));
        // Without a file of the old name the user had the default colour, and
        // keeps it; another user's rename or deletion leaves direct login alone.
        QVERIFY(UserFiles::takeColourAlong(book.dir(), mum, QStringLiteral("老妈")));
        QCOMPARE(book.readFile(QStringLiteral("user/老妈.ini")), DefaultColorBytes());
        QVERIFY(UserFiles::followDirectLogin(book.dir(), mum, QStringLiteral("老妈")));
        QVERIFY(UserFiles::forget(book.dir(), QStringLiteral("老妈")).isEmpty());
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/老妈.ini"))));
        QCOMPARE(settings.load().userName, dad);
        QVERIFY(settings.load().directLogin);
    }

    // The program killed between the steps of a rename: the book, set.ini
    // and the colour files as the next start finds them. Start-up itself
    // (the login dialog for a user the book no longer holds) is a test of
    // the user dialogs.
    void aRenameCutOffBetweenItsStepsLeavesWhatTheNextStartLivesWith_data()
    {
        QTest::addColumn<int>("stop"); // the step after which the program died; -1: never
        QTest::addColumn<QString>("inBook");
        QTest::addColumn<QString>("directLogin");
        QTest::addColumn<bool>("oldColourKept");
        QTest::newRow("before the book") << int(orv::ModifyUserStep::ColourTaken) << dad << dad << true;
        QTest::newRow("after the book") << int(orv::ModifyUserStep::BookChanged) << QStringLiteral("老爸") << dad << true;
        QTest::newRow("after set.ini") << int(orv::ModifyUserStep::DirectLoginFollowed) << QStringLiteral("老爸")
                                       << QStringLiteral("老爸") << true;
        QTest::newRow("to the end") << -1 << QStringLiteral("老爸") << QStringLiteral("老爸") << false;
    }
    void aRenameCutOffBetweenItsStepsLeavesWhatTheNextStartLivesWith()
    {
        QFETCH(int, stop);
        QFETCH(QString, inBook);
        QFETCH(QString, directLogin);
        QFETCH(bool, oldColourKept);
        TestBook book;
        QVERIFY(orv::ProgramSettings(book.dir()).save(true, dad));
        book.writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        orv::setModifyUserStepHook([stop](orv::ModifyUserStep step) { return int(step) != stop; });
        orv::ModifyUserOutcome outcome;
        {
            orv::BookConnection conn(book.location());
            outcome = orv::modifyUser(conn, book.dir(), dad, QStringLiteral("老爸"), QStringLiteral("new"));
        }
        orv::setModifyUserStepHook(nullptr);
        QVERIFY(outcome.filesFailed.isEmpty());
        QCOMPARE(AccountsOf(book).first().name, inBook);
        QCOMPARE(orv::ProgramSettings(book.dir()).load().userName, directLogin);
        // The colour is under the new name from the first step on.
        QCOMPARE(book.readFile(QStringLiteral("user/老爸.ini")), QByteArrayLiteral("10\r\n20\r\n30\r\n"));
        QCOMPARE(QFile::exists(book.path(QStringLiteral("user/爸爸.ini"))), oldColourKept);
    }

    // Refused before anything is copied: another user's colour file stays.
    void aRefusedRenameTouchesNoFile()
    {
        TestBook book({{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}});
        book.writeFile(QStringLiteral("user/妈妈.ini"), "1\r\n2\r\n3\r\n");
        const Accounts before = AccountsOf(book);
        for (const QString &newName : {mum, QStringLiteral(" 老爸")}) {
            orv::BookConnection conn(book.location());
            QCOMPARE(orv::modifyUser(conn, book.dir(), dad, newName, QString()).book.error().kind, orv::DbError::Kind::Refused);
        }
        QCOMPARE(AccountsOf(book), before);
        QCOMPARE(book.readFile(QStringLiteral("user/妈妈.ini")), QByteArrayLiteral("1\r\n2\r\n3\r\n"));
        QCOMPARE(QDir(book.path(QStringLiteral("user"))).entryList(QDir::Files), QStringList{"妈妈.ini"});
    }
};

QTEST_GUILESS_MAIN(TestUserStore)
#include "tst_userstore.moc"
