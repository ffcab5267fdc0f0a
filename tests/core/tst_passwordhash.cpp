// Passwords as the book keeps them: salted Argon2id hashes of exactly what
// was typed, and the passwords older versions kept as typed still checked.

#include "security/PasswordHash.h"

#include <QTest>

namespace PasswordHash = orv::PasswordHash;

class TestPasswordHash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // At the program's own strength (other tests use cheap hashes).
    void hashesAreSaltedSlowArgon2id()
    {
        const QString first = PasswordHash::hash(QStringLiteral("123456")).value();
        const QString second = PasswordHash::hash(QStringLiteral("123456")).value();
        QVERIFY2(first.startsWith(QLatin1String("$argon2id$v=19$m=65536,t=2,p=1$")), qPrintable(first));
        QVERIFY(first != second);
        QVERIFY(!PasswordHash::needsRehash(first));
        QVERIFY(PasswordHash::matches(QStringLiteral("123456"), second));
        QVERIFY(!PasswordHash::matches(first, first)); // the hash itself is no password
    }

    void checksExactlyWhatWasTyped_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        QTest::newRow("same") << "Secret 密码" << "Secret 密码" << true;
        QTest::newRow("case") << "Secret" << "secret" << false;
        QTest::newRow("blank typed at the end") << "pw" << "pw " << false;
        QTest::newRow("blank stored at the end") << "pw " << "pw" << false;
        QTest::newRow("empty") << "" << "" << true;
        QTest::newRow("no wildcard") << "a_b" << "axb" << false;
    }
    void checksExactlyWhatWasTyped()
    {
        QFETCH(QString, password);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        PasswordHash::useCheapHashesForTests();
        // Hashed, and kept as typed by an older version: the same answer.
        const QString hashed = PasswordHash::hash(password).value();
        QCOMPARE(PasswordHash::matches(typed, hashed), matches);
        QCOMPARE(PasswordHash::matches(typed, password), matches);
        QVERIFY(PasswordHash::needsRehash(password) && !PasswordHash::needsRehash(hashed));
    }
};

QTEST_GUILESS_MAIN(TestPasswordHash)
#include "tst_passwordhash.moc"
