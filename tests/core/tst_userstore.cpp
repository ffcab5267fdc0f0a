// The USER table's changes and the files that follow a user: on a real
// book and real files in a temp program folder.

#include "settings/ProgramSettings.h"
#include "settings/UserColorFile.h"
#include "store/BookConnection.h"
#include "support/TestBook.h"
#include "users/UserFiles.h"
#include "users/UserStore.h"

#include <QFile>
#include <QTest>

namespace UserStore = orv::UserStore;
namespace UserFiles = orv::UserFiles;
using orv::UserAccount;

class TestUserStore : public QObject
{
    Q_OBJECT

private:
    static QList<UserAccount> Accounts(const TestBook &book)
    {
        const orv::BookConnection conn(book.bookPath());
        auto list = UserStore::accounts(conn);
        if (!list)
            qFatal("cannot read users: %s", qPrintable(list.error().message));
        return *list;
    }
    static orv::DbStatus Add(const TestBook &book, const QString &name, const QString &password)
    {
        orv::BookConnection conn(book.bookPath());
        return UserStore::add(conn, name, password);
    }
    static orv::DbStatus Modify(const TestBook &book, const QString &oldName, const QString &newName,
                                const QString &password)
    {
        orv::BookConnection conn(book.bookPath());
        return UserStore::modify(conn, oldName, newName, password);
    }
    static orv::DbStatus Remove(const TestBook &book, const QString &name)
    {
        orv::BookConnection conn(book.bookPath());
        return UserStore::remove(conn, name);
    }
    static QByteArray DefaultColorBytes() { return QByteArrayLiteral("115\r\n151\r\n234\r\n"); }

    const QString dad = QStringLiteral("爸爸");
    const QString mum = QStringLiteral("妈妈");

private Q_SLOTS:
    // ------------------------------------------------------------ names

    void judgesNamesOfNewUsers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem"); // start of the message, empty when accepted
        const QString empty = QStringLiteral("用户名不能为空!");
        const QString unsafe = QStringLiteral("用户名不能是");
        const QString tooLong = QStringLiteral("用户名太长了");
        QTest::newRow("plain") << QStringLiteral("小明") << QString();
        QTest::newRow("quotes") << QStringLiteral("O'Neil \"Jr\"") << QString();
        QTest::newRow("dots inside") << QStringLiteral("a..b") << QString();
        QTest::newRow("empty") << QString() << empty;
        QTest::newRow("blanks") << QStringLiteral("   ") << empty;
        QTest::newRow("slash") << QStringLiteral("a/b") << unsafe;
        QTest::newRow("backslash") << QStringLiteral("a\\b") << unsafe;
        QTest::newRow("dot") << QStringLiteral(".") << unsafe;
        QTest::newRow("dot dot") << QStringLiteral("..") << unsafe;
        QTest::newRow("line break") << QStringLiteral("a\nb") << unsafe;
        QTest::newRow("carriage return") << QStringLiteral("a\rb") << unsafe;
        QTest::newRow("tab") << QStringLiteral("a\tb") << unsafe;
        // user/<name>.ini must fit 255 bytes of UTF-8; the column 255 of GBK.
        QTest::newRow("83 hanzi") << QString(83, QChar(0x660E)) << QString();
        QTest::newRow("84 hanzi") << QString(84, QChar(0x660E)) << tooLong;
        QTest::newRow("251 letters") << QString(251, u'm') << QString();
        QTest::newRow("252 letters") << QString(252, u'm') << tooLong;
    }
    void judgesNamesOfNewUsers()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        const std::optional<QString> found = UserStore::nameProblem(name);
        if (problem.isEmpty()) {
            QVERIFY2(!found, qPrintable(found.value_or(QString())));
            return;
        }
        QVERIFY(found);
        QVERIFY2(found->startsWith(problem), qPrintable(*found));
    }

    void judgesPasswords()
    {
        QVERIFY(!UserStore::passwordProblem(QString()));
        QVERIFY(!UserStore::passwordProblem(QStringLiteral(" it's 100% mine ")));
        QVERIFY(!UserStore::passwordProblem(QString(127, QChar(0x5BC6))));
        QVERIFY(UserStore::passwordProblem(QString(128, QChar(0x5BC6))));
        QVERIFY(UserStore::passwordProblem(QString(256, u'p')));
        // A line break would split the user across two lines of the user carry file.
        QVERIFY(UserStore::passwordProblem(QStringLiteral("a\r\nb")));
    }

    // ------------------------------------------------------------ add

    void addsAtTheEndWithQuotesKept()
    {
        TestBook book;
        const QString name = QStringLiteral("O'Neil");
        const QString password = QStringLiteral("pa'ss\"word");
        QVERIFY(Add(book, name, password).ok());
        QCOMPARE(Accounts(book), (QList<UserAccount>{{dad, QStringLiteral("pw")}, {name, password}}));
        const orv::BookConnection conn(book.bookPath());
        QCOMPARE(UserStore::passwordOf(conn, name)->value_or(QString()), password);
        QCOMPARE(*UserStore::nameTaken(conn, name), true);
        QCOMPARE(*UserStore::nameTaken(conn, QStringLiteral("o'neil")), false);
    }

    void addRefusesATakenOrBadNameAndABadPassword()
    {
        TestBook book;
        const QList<UserAccount> before = Accounts(book);
        for (const auto &[name, password] :
             QList<QPair<QString, QString>>{{dad, QStringLiteral("x")},
                                            {QString(), QStringLiteral("x")},
                                            {QStringLiteral("../etc"), QStringLiteral("x")},
                                            {QString(300, u'n'), QStringLiteral("x")},
                                            {mum, QString(300, u'p')},
                                            {mum, QStringLiteral("a\nb")}}) {
            const orv::DbStatus added = Add(book, name, password);
            QVERIFY(!added.ok());
            QCOMPARE(added.error().kind, orv::DbError::Kind::Refused);
        }
        QCOMPARE(Add(book, dad, QStringLiteral("x")).error().message, QStringLiteral("此用户名已存在,请选择其它用户名!"));
        QCOMPARE(Accounts(book), before);
    }

    // ------------------------------------------------------------ modify

    void modifyRenamesAndChangesThePassword()
    {
        TestBook book({{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}});
        book.add(orv::RecordKind::Income, QDate(2009, 1, 2), QStringLiteral("工资"), 100.0, QString(), dad);
        QVERIFY(Modify(book, dad, QStringLiteral("老爸"), QStringLiteral("new'pw")).ok());
        QCOMPARE(Accounts(book),
                 (QList<UserAccount>{{QStringLiteral("老爸"), QStringLiteral("new'pw")}, {mum, QStringLiteral("m")}}));
        // Entries keep the name they were recorded under.
        QCOMPARE(book.rows(QStringLiteral("INCOME")).first().at(5), dad);
    }

    void modifyWithTheSameNameOnlyChangesThePassword()
    {
        TestBook book({{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}});
        QVERIFY(Modify(book, mum, mum, QString()).ok());
        QCOMPARE(Accounts(book), (QList<UserAccount>{{dad, QStringLiteral("pw")}, {mum, QString()}}));
    }

    void modifyNeverMergesTwoUsers()
    {
        TestBook book({{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}});
        const orv::DbStatus renamed = Modify(book, mum, dad, QStringLiteral("x"));
        QVERIFY(!renamed.ok());
        QCOMPARE(renamed.error().message, QStringLiteral("此用户名已存在,请选择其它用户名!"));
        QCOMPARE(Accounts(book), (QList<UserAccount>{{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}}));
    }

    void modifyChecksANewNameLikeANewUser()
    {
        TestBook book({{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}});
        for (const QString &bad : {QString(), QStringLiteral(" "), QStringLiteral("a/b"), QString(100, QChar(0x660E))}) {
            const orv::DbStatus renamed = Modify(book, mum, bad, QStringLiteral("m"));
            QVERIFY(!renamed.ok());
            QCOMPARE(renamed.error().kind, orv::DbError::Kind::Refused);
        }
        QCOMPARE(Accounts(book), (QList<UserAccount>{{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}}));
    }

    void aNameThatIsAlreadyThereMayStayAsItIs()
    {
        // A book from elsewhere may hold a name we would not accept today;
        // its owner can still change the password.
        TestBook book({{dad, QStringLiteral("pw")}, {QStringLiteral("a/b"), QStringLiteral("old")}});
        QVERIFY(Modify(book, QStringLiteral("a/b"), QStringLiteral("a/b"), QStringLiteral("new")).ok());
        QCOMPARE(Accounts(book).last(), (UserAccount{QStringLiteral("a/b"), QStringLiteral("new")}));
    }

    void modifyOfAVanishedUserIsReported()
    {
        TestBook book;
        const orv::DbStatus renamed = Modify(book, QStringLiteral("谁"), QStringLiteral("他"), QString());
        QVERIFY(!renamed.ok());
        QCOMPARE(renamed.error().kind, orv::DbError::Kind::Refused);
        QCOMPARE(Accounts(book).size(), 1);
    }

    // ------------------------------------------------------------ remove

    void removeKeepsTheEntries()
    {
        TestBook book({{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}});
        book.add(orv::RecordKind::Payout, QDate(2009, 1, 2), QStringLiteral("餐饮"), 9.5, QString(), mum);
        QVERIFY(Remove(book, mum).ok());
        QCOMPARE(Accounts(book), (QList<UserAccount>{{dad, QStringLiteral("pw")}}));
        QCOMPARE(book.rows(QStringLiteral("PAYOUT")).first().at(5), mum);
    }

    void theLastUserCannotBeRemoved()
    {
        TestBook book;
        const orv::DbStatus removed = Remove(book, dad);
        QVERIFY(!removed.ok());
        QCOMPARE(removed.error().message, QStringLiteral("当前只有一个用户不能再删除了!"));
        QCOMPARE(Accounts(book).size(), 1);
        // Two rows of one name are still one user.
        book.exec(QStringLiteral("INSERT INTO \"USER\" VALUES ('爸爸', 'again')"));
        QVERIFY(!Remove(book, dad).ok());
        QCOMPARE(Accounts(book).size(), 2);
    }

    void removeOfAVanishedUserIsReported()
    {
        TestBook book({{dad, QStringLiteral("pw")}, {mum, QStringLiteral("m")}});
        const orv::DbStatus removed = Remove(book, QStringLiteral("谁"));
        QVERIFY(!removed.ok());
        QCOMPARE(removed.error().kind, orv::DbError::Kind::Refused);
        QCOMPARE(Accounts(book).size(), 2);
    }

    // ------------------------------------------------------------ files

    void aNewUserGetsTheDefaultColourEvenOverAnOldFile()
    {
        TestBook book;
        book.writeFile(QStringLiteral("user/小明.ini"), "1\r\n2\r\n3\r\n99\r\n");
        QVERIFY(UserFiles::createFor(book.dir(), QStringLiteral("小明")));
        QCOMPARE(orv::UserColorFile(book.dir(), QStringLiteral("小明")).load(), orv::kDefaultListColor);
        QVERIFY(UserFiles::createFor(book.dir(), QStringLiteral("小红")));
        QCOMPARE(book.readFile(QStringLiteral("user/小红.ini")), DefaultColorBytes());
        // No file outside the user folder, whatever the name.
        QVERIFY(!UserFiles::createFor(book.dir(), QStringLiteral("../set")));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("set.ini"))));
    }

    void theColourFollowsARename()
    {
        TestBook book;
        book.writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        UserFiles::followRename(book.dir(), dad, QStringLiteral("老爸"));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/爸爸.ini"))));
        QCOMPARE(book.readFile(QStringLiteral("user/老爸.ini")), QByteArrayLiteral("10\r\n20\r\n30\r\n"));
    }

    void aStrayFileOfTheNewNameGivesWayToTheUsersColour()
    {
        TestBook book;
        book.writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        book.writeFile(QStringLiteral("user/老爸.ini"), "200\r\n0\r\n0\r\n");
        UserFiles::followRename(book.dir(), dad, QStringLiteral("老爸"));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/爸爸.ini"))));
        QCOMPARE(book.readFile(QStringLiteral("user/老爸.ini")), QByteArrayLiteral("10\r\n20\r\n30\r\n"));
        // Without a file of the old name the user had the default colour, and keeps it.
        UserFiles::followRename(book.dir(), mum, QStringLiteral("老爸"));
        QCOMPARE(book.readFile(QStringLiteral("user/老爸.ini")), DefaultColorBytes());
    }

    void anUnchangedNameTouchesNothing()
    {
        TestBook book;
        book.writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        book.writeFile(QStringLiteral("set.ini"), "1\r\n爸爸\r\n");
        UserFiles::followRename(book.dir(), dad, dad);
        QCOMPARE(book.readFile(QStringLiteral("user/爸爸.ini")), QByteArrayLiteral("10\r\n20\r\n30\r\n"));
        QCOMPARE(book.readFile(QStringLiteral("set.ini")), QByteArray("1\r\n爸爸\r\n"));
    }

    void directLoginFollowsARenameAndEndsWithADelete()
    {
        TestBook book;
        const orv::ProgramSettings settings(book.dir());
        QVERIFY(settings.save(true, dad));
        UserFiles::followRename(book.dir(), dad, QStringLiteral("老爸"));
        QCOMPARE(settings.load().userName, QStringLiteral("老爸"));
        QVERIFY(settings.load().directLogin);
        // Another user's rename leaves the setting alone.
        UserFiles::followRename(book.dir(), mum, QStringLiteral("老妈"));
        QCOMPARE(settings.load().userName, QStringLiteral("老爸"));
        UserFiles::forget(book.dir(), mum);
        QVERIFY(settings.load().directLogin);
        UserFiles::forget(book.dir(), QStringLiteral("老爸"));
        QVERIFY(!settings.load().directLogin);
    }

    void forgetRemovesTheColourFile()
    {
        TestBook book;
        book.writeFile(QStringLiteral("user/妈妈.ini"), DefaultColorBytes());
        book.writeFile(QStringLiteral("user/爸爸.ini"), DefaultColorBytes());
        UserFiles::forget(book.dir(), mum);
        QVERIFY(!QFile::exists(book.path(QStringLiteral("user/妈妈.ini"))));
        QVERIFY(QFile::exists(book.path(QStringLiteral("user/爸爸.ini"))));
    }
};

QTEST_GUILESS_MAIN(TestUserStore)
#include "tst_userstore.moc"
