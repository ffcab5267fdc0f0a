// The text forms in which dates, amounts and texts reach the screen and the
// book, and the order of entries that sort alike.

#include "model/EntryList.h"
#include "model/TextForms.h"

#include <QTest>

using namespace orv;

class TestTextForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dates()
    {
        for (const QDate &date : {QDate(2009, 3, 1), QDate(2009, 12, 25)}) {
            const QString text = dateText(date);
            QCOMPARE(parseDateText(text), std::optional<QDate>(date));
            // Books from elsewhere may carry a time after the date.
            QCOMPARE(julianDayFromStorage(QString(storageDate(date) + QStringLiteral(" 00:00:00"))), date.toJulianDay());
        }
        QCOMPARE(dateText(QDate(2009, 3, 1)), QStringLiteral("2009年3月1日"));
        for (const QString &text : {QString(), QStringLiteral("2009-03-01"), QStringLiteral("2009年3月"),
                                    QStringLiteral("2009年2月30日"), QStringLiteral("二〇〇九年三月一日")})
            QVERIFY2(!parseDateText(text), qPrintable(text));
        for (const QString &text : {QStringLiteral("2009-13-01"), QStringLiteral("2009-3-1"), QStringLiteral("2009年3月1日")})
            QCOMPARE(julianDayFromStorage(text), 0);
    }

    void amounts()
    {
        const QList<QPair<double, QString>> cases = {
            {5.0, QStringLiteral("5.00")},          {1234.567, QStringLiteral("1234.57")},
            {-12.5, QStringLiteral("-12.50")},      {1234567.0, QStringLiteral("1234567.00")},
            {0.1 + 0.2 - 0.3 - 1e-12, QStringLiteral("0.00")}, // drift below zero is no debt
        };
        for (const auto &[amount, text] : cases)
            QCOMPARE(moneyText(amount), text);
    }

    void textColumnsHold255GbkBytes()
    {
        QVERIFY(fitsTextColumn(QString(255, u'a')));
        QVERIFY(!fitsTextColumn(QString(256, u'a')));
        // A Chinese character takes two bytes in the book's code page.
        QVERIFY(fitsTextColumn(QString(127, u'钱')));
        QVERIFY(!fitsTextColumn(QString(128, u'钱')));
        // Characters outside GBK take four bytes: 100 of them are too many.
        QVERIFY(!fitsTextColumn(QString(100, u'한')));
        QVERIFY(fitsTextColumn(QString(63, u'한')));
    }

    void entriesThatSortAlikeKeepIdOrder()
    {
        EntryList list;
        const QList<QPair<QDate, double>> values = {
            {QDate(2020, 1, 3), 5}, {QDate(2020, 1, 1), 5}, {QDate(2020, 1, 2), 1}, {QDate(2020, 1, 1), 9}};
        for (qint32 id = 1; id <= 4; ++id)
            list.entries().push_back(list.make(id, {values[id - 1].first, QStringLiteral("餐饮"), values[id - 1].second, {}, {}}));
        auto sortedIds = [&](EntryColumn column, SortOrder order) {
            sortEntries(list.entries().begin(), list.entries().end(), column, order, list.pool());
            QList<qint32> ids;
            for (const Entry &e : list.entries())
                ids.append(e.id);
            return ids;
        };
        QCOMPARE(sortedIds(EntryColumn::Date, SortOrder::Ascending), (QList<qint32>{2, 4, 3, 1}));
        QCOMPARE(sortedIds(EntryColumn::Money, SortOrder::Descending), (QList<qint32>{4, 1, 2, 3}));
        QCOMPARE(sortedIds(EntryColumn::Items, SortOrder::Descending), (QList<qint32>{1, 2, 3, 4}));
    }
};

QTEST_GUILESS_MAIN(TestTextForms)
#include "tst_textforms.moc"
