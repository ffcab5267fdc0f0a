// The text forms in which dates, amounts and ids reach the screen and come
// back from the list's cells.

#include "records/EntryList.h"
#include "records/TextCollation.h"
#include "store/TextForms.h"

#include <QTest>

using namespace orv;

class TestTextForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dates_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("no leading zeros") << QDate(2009, 3, 1) << QStringLiteral("2009年3月1日");
        QTest::newRow("two digits") << QDate(2009, 12, 25) << QStringLiteral("2009年12月25日");
        QTest::newRow("leap day") << QDate(2024, 2, 29) << QStringLiteral("2024年2月29日");
    }
    void dates()
    {
        QFETCH(QDate, date);
        QFETCH(QString, text);
        QCOMPARE(dateText(date), text);
        QCOMPARE(parseDateText(text), std::optional<QDate>(date));
        QCOMPARE(parseStorageDate(storageDate(date)), std::optional<QDate>(date));
    }

    void malformedDateTextsAreRejected_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("iso") << QStringLiteral("2009-03-01");
        QTest::newRow("no day") << QStringLiteral("2009年3月");
        QTest::newRow("impossible") << QStringLiteral("2009年2月30日");
        QTest::newRow("letters") << QStringLiteral("二〇〇九年三月一日");
    }
    void malformedDateTextsAreRejected()
    {
        QFETCH(QString, text);
        QVERIFY(!parseDateText(text).has_value());
    }

    void storageDatesReadFast_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("julianDay");
        QTest::newRow("plain") << QStringLiteral("2009-03-01") << QDate(2009, 3, 1).toJulianDay();
        QTest::newRow("with time") << QStringLiteral("2009-03-01 00:00:00") << QDate(2009, 3, 1).toJulianDay();
        QTest::newRow("bad month") << QStringLiteral("2009-13-01") << qint64(0);
        QTest::newRow("short") << QStringLiteral("2009-3-1") << qint64(0);
        QTest::newRow("chinese") << QStringLiteral("2009年3月1日") << qint64(0);
    }
    void storageDatesReadFast()
    {
        QFETCH(QString, text);
        QFETCH(qint64, julianDay);
        QCOMPARE(julianDayFromStorage(text), julianDay);
    }

    void amounts_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 5.0 << QStringLiteral("5.00");
        QTest::newRow("rounded up") << 1234.567 << QStringLiteral("1234.57");
        QTest::newRow("one decimal") << 12.5 << QStringLiteral("12.50");
        QTest::newRow("negative") << -12.5 << QStringLiteral("-12.50");
        QTest::newRow("no grouping") << 1234567.0 << QStringLiteral("1234567.00");
        QTest::newRow("drift below zero") << (0.1 + 0.2 - 0.3 - 1e-12) << QStringLiteral("0.00");
    }
    void amounts()
    {
        QFETCH(double, amount);
        QFETCH(QString, text);
        QCOMPARE(moneyText(amount), text);
    }

    void textColumnsHold255GbkBytes()
    {
        QVERIFY(fitsTextColumn(QString(255, u'a')));
        QVERIFY(!fitsTextColumn(QString(256, u'a')));
        // A Chinese character takes two bytes in the book's code page.
        QVERIFY(fitsTextColumn(QString(127, u'钱')));
        QVERIFY(!fitsTextColumn(QString(128, u'钱')));
        QCOMPARE(gbkByteLength(QStringLiteral("工资a")), 5);
    }

    void chineseTextsSortByPinyin()
    {
        std::vector<QString> texts = {QStringLiteral("张三"), QStringLiteral("阿姨"), QStringLiteral("王五"),
                                      QStringLiteral("李四"), QStringLiteral("北京"), QStringLiteral("安全")};
        const std::vector<quint32> ranks = collationRanks(texts);
        std::vector<QString> sorted(texts.size());
        for (size_t i = 0; i < texts.size(); ++i)
            sorted[ranks[i]] = texts[i];
        const std::vector<QString> expected = {QStringLiteral("阿姨"), QStringLiteral("安全"), QStringLiteral("北京"),
                                               QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("张三")};
        QCOMPARE(sorted, expected);
        QVERIFY(compareText(QStringLiteral("餐饮"), QStringLiteral("交通")) < 0);
    }

    void sortingEntriesKeepsTiesInIdOrder()
    {
        EntryList list;
        auto add = [&](qint32 id, QDate date, const char16_t *items, double money) {
            list.entries().push_back(list.make(id, {date, QString::fromUtf16(items), money, QString(), QString()}));
        };
        add(1, QDate(2020, 1, 3), u"餐饮", 5);
        add(2, QDate(2020, 1, 1), u"交通", 5);
        add(3, QDate(2020, 1, 2), u"餐饮", 1);
        add(4, QDate(2020, 1, 1), u"住房", 9);
        auto ids = [&] {
            QList<qint32> result;
            for (const Entry &e : list.entries())
                result.append(e.id);
            return result;
        };
        auto &entries = list.entries();
        sortEntries(entries.begin(), entries.end(), EntryColumn::Date, SortOrder::Ascending, list.pool());
        QCOMPARE(ids(), (QList<qint32>{2, 4, 3, 1}));
        sortEntries(entries.begin(), entries.end(), EntryColumn::Money, SortOrder::Descending, list.pool());
        QCOMPARE(ids(), (QList<qint32>{4, 1, 2, 3}));
        sortEntries(entries.begin(), entries.end(), EntryColumn::Items, SortOrder::Ascending, list.pool());
        QCOMPARE(ids(), (QList<qint32>{1, 3, 2, 4})); // 餐饮 (can), 交通 (jiao), 住房 (zhu)
        sortEntries(entries.begin(), entries.end(), EntryColumn::Items, SortOrder::Descending, list.pool());
        QCOMPARE(ids(), (QList<qint32>{4, 2, 1, 3}));
        sortEntries(entries.begin(), entries.end(), EntryColumn::Id, SortOrder::Ascending, list.pool());
        QCOMPARE(ids(), (QList<qint32>{1, 2, 3, 4}));
    }
};

QTEST_GUILESS_MAIN(TestTextForms)
#include "tst_textforms.moc"
