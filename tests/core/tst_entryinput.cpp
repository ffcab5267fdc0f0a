// The entry dialogs' checks without widgets, and the entry edits on a real book.
#include "records/EntryEdits.h"
#include "records/EntryInput.h"
#include "store/BookConnection.h"
#include "support/TestBook.h"

#include <QTest>

using orv::EntryProblem;
using orv::RecordKind;

class TstEntryInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checks_data();
    void checks();
    void longTexts();
    void categoriesInTableOrder();
    void updateOfVanishedEntryIsRefused();
    void removeAnswersWhatWasThere();
};

void TstEntryInput::checks_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<int>("problem");
    QTest::addColumn<double>("stored");
    QTest::newRow("empty") << "" << int(EntryProblem::AmountEmpty) << 0.0;
    QTest::newRow("zero") << "0" << int(EntryProblem::AmountNotPositive) << 0.0;
    QTest::newRow("zero point") << "0.00" << int(EntryProblem::AmountNotPositive) << 0.0;
    QTest::newRow("rounds to zero") << "0.001" << int(EntryProblem::AmountNotPositive) << 0.0;
    QTest::newRow("negative from the wheel") << "-0.5" << int(EntryProblem::AmountNotPositive) << 0.0;
    QTest::newRow("two points") << "1..2" << int(EntryProblem::AmountNotNumber) << 0.0;
    QTest::newRow("two points apart") << "1.2.3" << int(EntryProblem::AmountNotNumber) << 0.0;
    QTest::newRow("point alone") << "." << int(EntryProblem::AmountNotNumber) << 0.0;
    QTest::newRow("pasted unit") << "12元" << int(EntryProblem::AmountNotNumber) << 0.0;
    QTest::newRow("infinity") << "inf" << int(EntryProblem::AmountNotNumber) << 0.0;
    QTest::newRow("not a number") << "nan" << int(EntryProblem::AmountNotNumber) << 0.0;
    QTest::newRow("too large") << "1e31" << int(EntryProblem::AmountTooLarge) << 0.0;
    QTest::newRow("one decimal") << "12.5" << int(EntryProblem::None) << 12.5;
    QTest::newRow("rounded up") << "1234.567" << int(EntryProblem::None) << 1234.57;
    QTest::newRow("rounded down") << "0.014" << int(EntryProblem::None) << 0.01;
    QTest::newRow("trailing point") << "7." << int(EntryProblem::None) << 7.0;
    QTest::newRow("leading point") << ".5" << int(EntryProblem::None) << 0.5;
    QTest::newRow("pasted with blanks") << " 3 " << int(EntryProblem::None) << 3.0;
}

void TstEntryInput::checks()
{
    QFETCH(QString, amount);
    QFETCH(int, problem);
    QFETCH(double, stored);
    double money = -1.0;
    QCOMPARE(int(orv::checkEntryInput(amount, QStringLiteral("餐饮"), QStringLiteral("备注"), &money)), problem);
    if (problem == int(EntryProblem::None))
        QCOMPARE(money, stored);
    else
        QCOMPARE(money, -1.0); // untouched on refusal
}

void TstEntryInput::longTexts()
{
    double money = 0.0;
    const QString fits(127, QChar(u'汉'));    // 254 GBK bytes
    const QString tooLong(128, QChar(u'汉')); // 256
    QCOMPARE(orv::checkEntryInput(QStringLiteral("1"), fits, fits, &money), EntryProblem::None);
    QCOMPARE(orv::checkEntryInput(QStringLiteral("1"), tooLong, QString(), &money), EntryProblem::ItemsTooLong);
    QCOMPARE(orv::checkEntryInput(QStringLiteral("1"), QString(), tooLong, &money), EntryProblem::RemarkTooLong);
    // The amount is looked at first.
    QCOMPARE(orv::checkEntryInput(QString(), tooLong, tooLong, &money), EntryProblem::AmountEmpty);
    QCOMPARE(orv::checkEntryInput(QString(255, QChar(u'a')), QString(), QString(), &money),
             EntryProblem::AmountNotNumber);
}






void TstEntryInput::categoriesInTableOrder()
{
    TestBook book;
    book.exec(QStringLiteral("DELETE FROM \"PAYOUT_ITEMS\""));
    for (const char *item : {"住房", "餐饮", "O'Brien's \"party\"", "交通"})
        book.exec(QStringLiteral("INSERT INTO \"PAYOUT_ITEMS\" (\"items\") VALUES ('%1')")
                      .arg(QString::fromUtf8(item).replace(QStringLiteral("'"), QStringLiteral("''"))));
    const orv::BookConnection conn(book.bookPath());
    const auto items = orv::EntryEdits::readCategories(conn, RecordKind::Payout);
    QVERIFY(items.ok());
    QCOMPARE(*items, QStringList({QStringLiteral("住房"), QStringLiteral("餐饮"), QStringLiteral("O'Brien's \"party\""),
                                  QStringLiteral("交通")}));
    const auto loans = orv::EntryEdits::readCategories(conn, RecordKind::Loan);
    QCOMPARE(*loans, QStringList({QStringLiteral("借出"), QStringLiteral("借入"), QStringLiteral("还入"),
                                  QStringLiteral("还出")}));
}

void TstEntryInput::updateOfVanishedEntryIsRefused()
{
    TestBook book;
    const qint32 id = book.add(RecordKind::Income, QDate(2024, 5, 1), QStringLiteral("工资"), 100.0);
    const orv::BookConnection conn(book.bookPath());
    const orv::EntryValues values{QDate(2024, 6, 2), QStringLiteral("奖金"), 12.345, QStringLiteral("it's"), QString()};
    QVERIFY(orv::EntryEdits::update(conn, RecordKind::Income, id, values).ok());
    const QList<QStringList> rows = book.rows(QStringLiteral("INCOME"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0], QStringList({QString::number(id), QStringLiteral("2024-06-02"), QStringLiteral("奖金"),
                                   QStringLiteral("12.35"), QStringLiteral("it's"), QStringLiteral("爸爸")}));
    const orv::DbStatus gone = orv::EntryEdits::update(conn, RecordKind::Income, id + 100, values);
    QVERIFY(!gone.ok());
    QCOMPARE(gone.error().kind, orv::DbError::Kind::Refused);
}

void TstEntryInput::removeAnswersWhatWasThere()
{
    TestBook book;
    const qint32 a = book.add(RecordKind::Loan, QDate(2024, 5, 1), QStringLiteral("借出"), 10.0);
    const qint32 b = book.add(RecordKind::Loan, QDate(2024, 5, 2), QStringLiteral("借入"), 20.0);
    orv::BookConnection conn(book.bookPath());
    const auto removed = orv::EntryEdits::remove(conn, RecordKind::Loan, {b, 999, a});
    QVERIFY(removed.ok());
    QCOMPARE(*removed, QList<qint32>({b, a}));
    QCOMPARE(book.count(QStringLiteral("ON_LOAD")), 0);
}

QTEST_GUILESS_MAIN(TstEntryInput)
#include "tst_entryinput.moc"
