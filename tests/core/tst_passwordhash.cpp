// Passwords as the book keeps them: salted Argon2id hashes of exactly what
// was typed, and the passwords older versions kept as typed still checked.

#include "store/BookConnection.h"
#include "store/BookSchema.h"
#include "users/PasswordHash.h"
#include "users/UserStore.h"

#include <QTemporaryDir>
#include <QTest>

namespace PasswordHash = orv::PasswordHash;

class TestPasswordHash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Interactive strength here, as the program makes them (the other tests
    // use cheap hashes to stay quick).
    void hashesAreSaltedSlowArgon2id()
    {
        const std::optional<QString> first = PasswordHash::hash(QStringLiteral("123456"));
        const std::optional<QString> second = PasswordHash::hash(QStringLiteral("123456"));
        QVERIFY(first && second);
        QVERIFY2(first->startsWith(QLatin1String("$argon2id$v=19$m=65536,t=2,p=1$")), qPrintable(*first));
        QVERIFY(*first != *second);
        QVERIFY(PasswordHash::isHash(*first));
        QVERIFY(!PasswordHash::needsRehash(*first));
        QVERIFY(PasswordHash::matches(QStringLiteral("123456"), *second));
    }

    void checksExactlyWhatWasTyped_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("hashed"); // false: kept as typed by an older version
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        for (const bool hashed : {true, false}) {
            const char *form = hashed ? "hash" : "as typed";
            auto row = [&](const char *what, const QString &password, const QString &typed, bool same) {
                QTest::addRow("%s: %s", form, what) << password << hashed << typed << same;
            };
            row("same", QStringLiteral("Secret 密码"), QStringLiteral("Secret 密码"), true);
            row("case", QStringLiteral("Secret"), QStringLiteral("secret"), false);
            row("blank at the end typed", QStringLiteral("pw"), QStringLiteral("pw "), false);
            row("blank at the end stored", QStringLiteral("pw "), QStringLiteral("pw"), false);
            row("blank at the end both", QStringLiteral("pw "), QStringLiteral("pw "), true);
            row("blank in front", QStringLiteral("pw"), QStringLiteral(" pw"), false);
            row("empty", QString(), QString(), true);
            row("empty stored, blank typed", QString(), QStringLiteral(" "), false);
            row("quotes and percent", QStringLiteral("it's 100%_"), QStringLiteral("it's 100%_"), true);
            row("underscore is no wildcard", QStringLiteral("a_b"), QStringLiteral("axb"), false);
        }
    }
    void checksExactlyWhatWasTyped()
    {
        QFETCH(QString, password);
        QFETCH(bool, hashed);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        const QString stored = hashed ? PasswordHash::hash(password).value() : password;
        QCOMPARE(PasswordHash::isHash(stored), hashed);
        QCOMPARE(PasswordHash::matches(typed, stored), matches);
        QCOMPARE(PasswordHash::needsRehash(stored), !hashed);
    }

    void theHashItselfIsNoPassword()
    {
        const QString stored = PasswordHash::hash(QStringLiteral("pw")).value();
        QVERIFY(!PasswordHash::matches(stored, stored));
    }

    void aNewBookKeepsItsUsersPasswordsAsHashes()
    {
        PasswordHash::useCheapHashesForTests();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Orvendal.ovd"));
        QVERIFY(orv::BookSchema::createBook(path, {{QStringLiteral("管理员"), QStringLiteral("123456")},
                                                   {QStringLiteral("小明"), QString()}}));
        const orv::BookConnection conn(path);
        const auto accounts = orv::UserStore::accounts(conn);
        QVERIFY(accounts && accounts->size() == 2);
        QVERIFY(PasswordHash::matches(QStringLiteral("123456"), accounts->at(0).password));
        QVERIFY(PasswordHash::matches(QString(), accounts->at(1).password));
        QVERIFY(!accounts->at(0).password.contains(QLatin1String("123456")));
    }
};

QTEST_GUILESS_MAIN(TestPasswordHash)
#include "tst_passwordhash.moc"
