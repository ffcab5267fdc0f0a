// The analysis figures on a small book with boundary dates (month ends,
// 29 February, New Year's Eve and Day), amounts like 0.1 and 0.2, three
// recorders and a fifth loan category: against totals worked out by hand,
// and every figure against the query module's own total for the same
// criteria.
#include "analysis/AnalysisDrillDown.h"
#include "analysis/AnalysisReport.h"
#include "analysis/AnalysisStatement.h"
#include "query/QueryResult.h"
#include "store/BookConnection.h"
#include "store/PackedGroups.h"
#include "store/SqlDialect.h"
#include "support/TestBook.h"

#include <QTest>

using orv::AnalysisPeriod;
using orv::FenSum;
using orv::PeriodDates;
using orv::QueryCriteria;
using orv::QueryRange;
using orv::RecordKind;

namespace {

const QString kDad = QStringLiteral("爸爸");
const QString kMum = QStringLiteral("妈妈");
const QString kGran = QStringLiteral("奶奶"); // recorded entries, no longer a user

QString Text(FenSum fen)
{
    return orv::fenText(fen);
}

orv::QueryResult Query(const orv::BookConnection &conn, const QueryCriteria &criteria)
{
    auto result = orv::QueryResult::run(conn, criteria);
    if (!result)
        qFatal("query failed: %s", qPrintable(result.error().message));
    return std::move(result).value();
}

// The sum of one kind's block of a query result.
FenSum BlockSum(const orv::QueryResult &result, RecordKind kind)
{
    for (const orv::QueryBlock &block : result.blocks) {
        if (block.kind == kind)
            return block.sum;
    }
    return 0;
}

template <typename T>
T Ok(orv::DbResult<T> result)
{
    if (!result)
        qFatal("analysis failed: %s", qPrintable(result.error().message));
    return std::move(result).value();
}

} // namespace

class TestAnalysis final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestBook> m_book;

    std::unique_ptr<orv::BookConnection> Conn() const
    {
        return std::make_unique<orv::BookConnection>(m_book->location());
    }

    orv::AnalysisReport Report(const AnalysisPeriod &period) const
    {
        const auto conn = Conn();
        orv::AnalysisReport report(period, Ok(orv::Analysis::readSpan(*conn)));
        const orv::DbStatus done = report.computeAll(*conn);
        if (!done)
            qFatal("analysis failed: %s", qPrintable(done.error().message));
        return report;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{{kDad, QStringLiteral("1")},
                                                                          {kMum, QStringLiteral("2")}});
        TestBook &b = *m_book;
        const auto in = RecordKind::Income;
        b.add(in, QDate(2023, 12, 31), "工资", 100, "年终", kDad);
        b.add(in, QDate(2024, 1, 1), "工资", 50, "元旦", kMum);
        b.add(in, QDate(2024, 1, 31), "奖金", 0.1, "一毛", kDad);
        b.add(in, QDate(2024, 2, 29), "奖金", 0.2, "两毛", kMum);
        b.add(in, QDate(2024, 12, 31), "兼职", 10.05, "除夕", kGran);
        b.add(in, QDate(2025, 1, 1), "工资", 7, "新年", kDad);
        // Outside what any query finds: below 0, above 99999999, no remark.
        b.add(in, QDate(2024, 3, 10), "工资", -5, "冲账", kDad);
        b.add(in, QDate(2024, 3, 11), "工资", 100000000, "太多", kDad);
        b.exec(QStringLiteral("INSERT INTO \"INCOME\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                              "VALUES ('2024-03-12', '工资', 5, NULL, '爸爸')"));

        const auto out = RecordKind::Payout;
        b.add(out, QDate(2023, 12, 31), "交通", 20, "旧年", kDad);
        b.add(out, QDate(2024, 1, 5), "餐饮", 300, "聚餐", kMum);
        b.add(out, QDate(2024, 2, 1), "住房", 250, "房租", kDad);
        b.add(out, QDate(2024, 2, 29), "交通", 200, "车票", kDad);
        b.add(out, QDate(2024, 3, 31), "教育", 190, "学费", kMum);
        b.add(out, QDate(2024, 4, 1), "医疗", 180, "看病", kDad);
        b.add(out, QDate(2024, 5, 1), "通讯", 170, "话费", kDad);
        b.add(out, QDate(2024, 6, 30), "服饰", 160, "衣服", kMum);
        b.add(out, QDate(2024, 7, 1), "娱乐", 150, "电影", kDad);
        b.add(out, QDate(2024, 8, 31), "日用品", 140, "纸巾", kMum);
        b.add(out, QDate(2024, 9, 30), "水电燃气", 130, "电费", kMum);
        b.add(out, QDate(2024, 10, 31), "人情往来", 0.1, "红包", kDad);
        b.add(out, QDate(2024, 11, 30), "礼物", 0.3, "卡片", kMum);
        b.add(out, QDate(2024, 12, 31), "其他", 0.2, "杂项", kGran);
        b.add(out, QDate(2025, 1, 1), "餐饮", 30, "早饭", kMum);

        const auto loan = RecordKind::Loan;
        b.add(loan, QDate(2023, 12, 31), "借出", 100, "借给小王", kDad);
        b.add(loan, QDate(2024, 1, 1), "还入", 30, "小王还", kDad);
        b.add(loan, QDate(2024, 1, 15), "利息", 5, "小王的利息", kDad);
        b.add(loan, QDate(2024, 2, 29), "借入", 50, "向姐姐借", kMum);
        b.add(loan, QDate(2024, 3, 1), "还出", 20, "还姐姐", kMum);
        b.add(loan, QDate(2024, 12, 31), "借出", 0.1, "一毛", kDad);
        b.add(loan, QDate(2024, 12, 31), "借出", 0.2, "两毛", kDad);
    }
    void cleanupTestCase() { m_book.reset(); }

    // Where the engine adds up groups in one pass, it answers exactly the
    // groups, sums, counts and order of its own GROUP BY, whatever the keys
    // hold: NULL, empty texts, a text that begins another, a NUL inside,
    // amounts that are NULL or drift in binary.
    void onePassGroupsEqualGroupBy()
    {
        TestBook book;
        const auto conn = std::make_unique<orv::BookConnection>(book.location());
        if (conn->sql().onePassGroupSums().isEmpty())
            QSKIP("this engine's own GROUP BY is used");
        book.exec(QStringLiteral(
            "INSERT INTO \"PAYOUT\" (\"date\", \"items\", \"money\", \"remark\", \"user\") VALUES "
            "('2024-02-29', 'ab', 0.1, 'x', '爸爸'), ('2024-02-29 08:00:00', 'ab', 0.2, 'x', '爸爸'), "
            "('2024-03-01', 'b', 1, 'x', '妈妈'), ('2024-03-01', NULL, 2, 'x', '妈妈'), "
            "('2024-03-02', '', 3, 'x', NULL), ('2024-03-02', 'a', NULL, 'x', '爸爸'), "
            "('2024-12-31', CAST(X'610062' AS TEXT), 4, 'x', '爸爸'), ('2025-01-01', '餐饮', 5.55, 'x', '奶奶'), "
            "('2025-01-01', '餐饮', 4.45, 'x', '奶奶'), ('2025-01-01', 'a', 6, 'x', '爸爸')"));
        using Key = orv::AnalysisStatement::Key;
        QueryCriteria criteria;
        criteria.range = QueryRange::Payout;
        criteria.dateFrom = QDate(2000, 1, 1);
        criteria.dateTo = QDate(2030, 12, 31);
        const QList<QList<Key>> keyLists{{Key::Category}, {Key::User, Key::Category}, {Key::Month}, {Key::Day},
                                         {Key::Day, Key::User}};
        for (const QList<Key> &keys : keyLists) {
            QList<orv::PackedGroup> byGroupBy;
            {
                const orv::BoundStatement statement =
                    orv::AnalysisStatement::grouped(conn->sql(), criteria, RecordKind::Payout, keys);
                auto rows = conn->read(statement.sql, statement.values);
                QVERIFY(rows);
                while (rows->next()) {
                    orv::PackedGroup group;
                    for (int k = 0; k < keys.size(); ++k)
                        group.keys.append(rows->value(k));
                    group.sumText = rows->value(int(keys.size()));
                    group.count = rows->value(int(keys.size()) + 1).toLongLong();
                    byGroupBy.append(group);
                }
            }
            const orv::BoundStatement onePass =
                orv::AnalysisStatement::groupedInOnePass(conn->sql(), criteria, RecordKind::Payout, keys);
            auto packed = conn->read(onePass.sql, onePass.values);
            QVERIFY(packed && packed->next());
            const auto groups = orv::PackedGroups::unpack(packed->value(0).toByteArray(), int(keys.size()));
            QVERIFY(groups);
            QCOMPARE(groups->size(), byGroupBy.size());
            for (qsizetype i = 0; i < groups->size(); ++i) {
                const orv::PackedGroup &mine = groups->at(i);
                const orv::PackedGroup &theirs = byGroupBy.at(i);
                for (int k = 0; k < keys.size(); ++k) {
                    QCOMPARE(mine.keys.at(k).isNull(), theirs.keys.at(k).isNull());
                    QCOMPARE(mine.keys.at(k).toString(), theirs.keys.at(k).toString());
                }
                QCOMPARE(mine.sumText.isNull(), theirs.sumText.isNull());
                QCOMPARE(mine.sumText.toString(), theirs.sumText.toString());
                QCOMPARE(mine.count, theirs.count);
            }
        }
        // No entry in the range: no group, as GROUP BY answers none.
        criteria.dateFrom = criteria.dateTo = QDate(1999, 1, 1);
        const orv::BoundStatement none =
            orv::AnalysisStatement::groupedInOnePass(conn->sql(), criteria, RecordKind::Payout, {Key::Category});
        auto empty = conn->read(none.sql, none.values);
        QVERIFY(empty && empty->next());
        QVERIFY(orv::PackedGroups::unpack(empty->value(0).toByteArray(), 1)->isEmpty());
    }

    void periods_data()
    {
        QTest::addColumn<AnalysisPeriod>("period");
        QTest::addColumn<QString>("label");
        QTest::addColumn<PeriodDates>("dates");
        QTest::addColumn<AnalysisPeriod>("previous");
        QTest::addColumn<AnalysisPeriod>("next");
        using P = AnalysisPeriod;
        QTest::newRow("year") << P::year(2024) << "2024年" << PeriodDates{QDate(2024, 1, 1), QDate(2024, 12, 31)}
                              << P::year(2023) << P::year(2025);
        QTest::newRow("month over New Year") << P::month(2024, 1) << "2024年1月"
                                             << PeriodDates{QDate(2024, 1, 1), QDate(2024, 1, 31)}
                                             << P::month(2023, 12) << P::month(2024, 2);
        QTest::newRow("leap February") << P::month(2024, 2) << "2024年2月"
                                       << PeriodDates{QDate(2024, 2, 1), QDate(2024, 2, 29)} << P::month(2024, 1)
                                       << P::month(2024, 3);
        QTest::newRow("quarter moves by quarters")
            << P::range(QDate(2024, 1, 1), QDate(2024, 3, 31)) << "2024年1月1日 至 2024年3月31日"
            << PeriodDates{QDate(2024, 1, 1), QDate(2024, 3, 31)} << P::range(QDate(2023, 10, 1), QDate(2023, 12, 31))
            << P::range(QDate(2024, 4, 1), QDate(2024, 6, 30));
        QTest::newRow("whole month range to a short month")
            << P::range(QDate(2024, 1, 1), QDate(2024, 1, 31)) << "2024年1月1日 至 2024年1月31日"
            << PeriodDates{QDate(2024, 1, 1), QDate(2024, 1, 31)} << P::range(QDate(2023, 12, 1), QDate(2023, 12, 31))
            << P::range(QDate(2024, 2, 1), QDate(2024, 2, 29));
        QTest::newRow("days move by as many days")
            << P::range(QDate(2024, 2, 20), QDate(2024, 2, 29)) << "2024年2月20日 至 2024年2月29日"
            << PeriodDates{QDate(2024, 2, 20), QDate(2024, 2, 29)} << P::range(QDate(2024, 2, 10), QDate(2024, 2, 19))
            << P::range(QDate(2024, 3, 1), QDate(2024, 3, 10));
        QTest::newRow("a range the wrong way round")
            << P::range(QDate(2024, 12, 31), QDate(2024, 12, 30)) << "2024年12月30日 至 2024年12月31日"
            << PeriodDates{QDate(2024, 12, 30), QDate(2024, 12, 31)}
            << P::range(QDate(2024, 12, 28), QDate(2024, 12, 29)) << P::range(QDate(2025, 1, 1), QDate(2025, 1, 2));
        QTest::newRow("whole book: the entries' span, does not move")
            << P::whole() << "全部记录" << PeriodDates{QDate(2023, 12, 31), QDate(2025, 1, 1)} << P::whole()
            << P::whole();
        QTest::newRow("the first year the date boxes take")
            << P::year(1900) << "1900年" << PeriodDates{QDate(1900, 1, 1), QDate(1900, 12, 31)} << P::year(1900)
            << P::year(1901);
    }
    void periods()
    {
        QFETCH(AnalysisPeriod, period);
        QFETCH(QString, label);
        QFETCH(PeriodDates, dates);
        QFETCH(AnalysisPeriod, previous);
        QFETCH(AnalysisPeriod, next);
        const auto conn = Conn();
        const orv::BookSpan span = Ok(orv::Analysis::readSpan(*conn));
        QCOMPARE(span.firstLoan, QDate(2023, 12, 31));
        QCOMPARE(period.label(), label);
        QCOMPARE(period.dates(span), dates);
        QCOMPARE(period.stepped(-1), previous);
        QCOMPARE(period.stepped(1), next);
        QCOMPARE(period.canStep(-1), previous != period);
    }

    void buckets_data()
    {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<int>("granularity");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("firstLabel");
        QTest::addColumn<QString>("lastLabel");
        QTest::addColumn<QDate>("lastBucketStart");
        const int day = int(orv::Granularity::Day), month = int(orv::Granularity::Month),
                  year = int(orv::Granularity::Year);
        QTest::newRow("leap February by day") << QDate(2024, 2, 1) << QDate(2024, 2, 29) << day << 29 << "1日"
                                              << "29日" << QDate(2024, 2, 29);
        QTest::newRow("days across months") << QDate(2024, 1, 25) << QDate(2024, 2, 5) << day << 12 << "1月25日"
                                            << "2月5日" << QDate(2024, 2, 5);
        QTest::newRow("a year by month") << QDate(2024, 1, 1) << QDate(2024, 12, 31) << month << 12 << "1月"
                                         << "12月" << QDate(2024, 12, 1);
        QTest::newRow("months across New Year") << QDate(2023, 12, 31) << QDate(2025, 1, 1) << month << 14
                                                << "2023年12月" << "2025年1月" << QDate(2025, 1, 1);
        QTest::newRow("three years by month") << QDate(2022, 1, 1) << QDate(2024, 12, 31) << month << 36
                                              << "2022年1月" << "2024年12月" << QDate(2024, 12, 1);
        QTest::newRow("past three years by year") << QDate(2023, 11, 15) << QDate(2026, 11, 14) << year << 4
                                                  << "2023年" << "2026年" << QDate(2026, 1, 1);
    }
    void buckets()
    {
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        QFETCH(int, granularity);
        QFETCH(int, count);
        QFETCH(QString, firstLabel);
        QFETCH(QString, lastLabel);
        QFETCH(QDate, lastBucketStart);
        const orv::PeriodBuckets buckets({first, last});
        QCOMPARE(int(buckets.granularity()), granularity);
        QCOMPARE(buckets.size(), count);
        QCOMPARE(buckets.shortLabel(0), firstLabel);
        QCOMPARE(buckets.shortLabel(count - 1), lastLabel);
        // Cut to the period at both ends, one after the other without a gap.
        QCOMPARE(buckets.at(0).first, first);
        QCOMPARE(buckets.at(count - 1).first, lastBucketStart);
        QCOMPARE(buckets.at(count - 1).last, last);
        for (qsizetype i = 1; i < buckets.size(); ++i)
            QCOMPARE(buckets.at(i).first, buckets.at(i - 1).last.addDays(1));
        QCOMPARE(buckets.indexOf(first), 0);
        QCOMPARE(buckets.indexOf(last), count - 1);
        QCOMPARE(buckets.indexOf(first.addDays(-1)), -1);
        QCOMPARE(buckets.indexOf(last.addDays(1)), -1);
    }

    void trendByHand()
    {
        const orv::TrendFigures trend = Report(AnalysisPeriod::year(2024)).trend();
        QCOMPARE(trend.rows.size(), 12);
        const orv::TrendRow &jan = trend.rows[0];
        QCOMPARE(Text(jan.income), "50.10");
        QCOMPARE(Text(jan.payout), "300.00");
        QCOMPARE(Text(jan.running), "-249.90");
        QCOMPARE(jan.incomeCount, 2);
        const orv::TrendRow &feb = trend.rows[1];
        QCOMPARE(Text(feb.income), "0.20");
        QCOMPARE(Text(feb.payout), "450.00");
        QCOMPARE(Text(feb.running), "-699.70");
        // March holds only entries no query finds (below 0, above 99999999, no remark).
        QCOMPARE(Text(trend.rows[2].income), "0.00");
        QCOMPARE(trend.rows[2].incomeCount, 0);
        const orv::TrendRow &dec = trend.rows[11];
        QCOMPARE(Text(dec.income), "10.05");
        QCOMPARE(Text(dec.payout), "0.20");
        QCOMPARE(Text(dec.balance()), "9.85");
        QCOMPARE(Text(dec.running), "-1810.25");
        QCOMPARE(Text(trend.income), "60.35");
        QCOMPARE(Text(trend.payout), "1870.60");
        QCOMPARE(Text(trend.balance()), "-1810.25");

        // By day in a month: 29 February is a day of its own.
        const orv::TrendFigures february = Report(AnalysisPeriod::month(2024, 2)).trend();
        QCOMPARE(february.rows.size(), 29);
        QCOMPARE(Text(february.rows[0].payout), "250.00");
        QCOMPARE(Text(february.rows[28].income), "0.20");
        QCOMPARE(Text(february.rows[28].payout), "200.00");
        QCOMPARE(Text(february.rows[28].running), "-449.80");
    }

    // Every bar, every balance and every running balance is the total the
    // query module shows for the criteria a click on it opens.
    void trendEqualsQueries_data()
    {
        QTest::addColumn<AnalysisPeriod>("period");
        QTest::newRow("2024 by month") << AnalysisPeriod::year(2024);
        QTest::newRow("February by day") << AnalysisPeriod::month(2024, 2);
        QTest::newRow("across New Year by day") << AnalysisPeriod::range(QDate(2023, 12, 30), QDate(2024, 1, 2));
        QTest::newRow("whole book by month") << AnalysisPeriod::whole();
        QTest::newRow("an empty year") << AnalysisPeriod::year(2020);
    }
    void trendEqualsQueries()
    {
        QFETCH(AnalysisPeriod, period);
        const orv::TrendFigures trend = Report(period).trend();
        const auto conn = Conn();
        FenSum income = 0;
        for (qsizetype i = 0; i < trend.buckets.size(); ++i) {
            const orv::TrendRow &row = trend.rows[i];
            const auto both = Query(*conn, orv::DrillDown::bucket(trend.buckets, i, QueryRange::IncomePayout));
            QCOMPARE(Text(BlockSum(both, RecordKind::Income)), Text(row.income));
            QCOMPARE(Text(BlockSum(both, RecordKind::Payout)), Text(row.payout));
            QCOMPARE(Text(both.total()), Text(row.balance()));
            QCOMPARE(Text(Query(*conn, orv::DrillDown::bucket(trend.buckets, i, QueryRange::Income)).total()),
                     Text(row.income));
            QCOMPARE(Text(Query(*conn, orv::DrillDown::runningTo(trend.buckets, i)).total()), Text(row.running));
            income += row.income;
        }
        QCOMPARE(Text(income), Text(trend.income));
        if (period == AnalysisPeriod::year(2020)) {
            QCOMPARE(trend.count, 0);
            QCOMPARE(trend.rows.size(), 12);
        }
    }

    void categoriesFoldPastTheTopTen()
    {
        const orv::CategoryFigures payout = Report(AnalysisPeriod::year(2024)).shares(RecordKind::Payout);
        QCOMPARE(payout.categories.size(), 13);
        QCOMPARE(payout.categories.first().category, QStringLiteral("餐饮"));
        QCOMPARE(Text(payout.total), "1870.60");
        const QList<orv::ShareSlice> slices = payout.slices();
        QCOMPARE(slices.size(), 11);
        QCOMPARE(slices[9].label, QStringLiteral("水电燃气"));
        // The smallest three, the family's own "其他" among them, as one "其他".
        const orv::ShareSlice &other = slices.last();
        QCOMPARE(other.label, QStringLiteral("其他"));
        QCOMPARE(Text(other.sum), "0.60");
        QCOMPARE(other.categories, (QStringList{"礼物", "其他", "人情往来"}));
        QVERIFY(!other.isSingleCategory());
        QCOMPARE(QString::number(payout.percentOf(payout.categories.first().sum), 'f', 2), "16.04");

        // One leftover keeps its own name; nothing to fold, nothing folded.
        QList<orv::CategoryShare> eleven;
        for (int i = 0; i < 11; ++i)
            eleven.append({QStringLiteral("名目%1").arg(i), 100 - i, 1});
        QCOMPARE(orv::foldShares(eleven).last().label, QStringLiteral("名目10"));
        QCOMPARE(orv::foldShares(eleven.mid(0, 3)).size(), 3);
    }

    void categoriesEqualQueries_data()
    {
        QTest::addColumn<AnalysisPeriod>("period");
        QTest::addColumn<int>("kind");
        QTest::newRow("expense 2024") << AnalysisPeriod::year(2024) << int(RecordKind::Payout);
        QTest::newRow("income 2024") << AnalysisPeriod::year(2024) << int(RecordKind::Income);
        QTest::newRow("income, whole book") << AnalysisPeriod::whole() << int(RecordKind::Income);
        QTest::newRow("expense, New Year's Day") << AnalysisPeriod::range(QDate(2025, 1, 1), QDate(2025, 1, 1))
                                                 << int(RecordKind::Payout);
    }
    void categoriesEqualQueries()
    {
        QFETCH(AnalysisPeriod, period);
        QFETCH(int, kind);
        const orv::AnalysisReport report = Report(period);
        const orv::CategoryFigures &figures = report.shares(RecordKind(kind));
        const auto conn = Conn();
        FenSum sum = 0;
        for (const orv::CategoryShare &share : figures.categories) {
            const auto result = Query(*conn, orv::DrillDown::category(report.dates(), RecordKind(kind), share.category));
            QCOMPARE(Text(result.total()), Text(share.sum));
            QCOMPARE(result.blocks.first().count, share.count);
            sum += share.sum;
        }
        QCOMPARE(Text(sum), Text(figures.total));
        QCOMPARE(Text(Query(*conn, orv::Analysis::criteriaFor(orv::Analysis::rangeOf(RecordKind(kind)), report.dates()))
                          .total()),
                 Text(figures.total));
    }

    void members()
    {
        const orv::AnalysisReport report = Report(AnalysisPeriod::year(2024));
        const orv::MemberFigures &figures = report.members();
        // The user list's order, then whoever recorded entries and is no longer a user.
        QStringList users;
        for (const orv::MemberRow &member : figures.members)
            users.append(member.user);
        QCOMPARE(users, (QStringList{kDad, kMum, kGran}));
        QCOMPARE(Text(figures.members[0].income), "0.10");
        QCOMPARE(Text(figures.members[0].payout), "950.10");
        QCOMPARE(Text(figures.members[1].payout), "920.30");
        QCOMPARE(Text(figures.members[1].income), "50.20");
        QCOMPARE(Text(figures.members[2].income), "10.05");
        QCOMPARE(Text(figures.members[2].payout), "0.20");

        const auto conn = Conn();
        for (const orv::MemberRow &member : figures.members) {
            const auto both = Query(*conn, orv::DrillDown::member(report.dates(), member.user));
            QCOMPARE(Text(BlockSum(both, RecordKind::Income)), Text(member.income));
            QCOMPARE(Text(BlockSum(both, RecordKind::Payout)), Text(member.payout));
            for (const bool income : {true, false}) {
                const RecordKind kind = income ? RecordKind::Income : RecordKind::Payout;
                for (const orv::CategoryShare &share : income ? member.incomeCategories : member.payoutCategories) {
                    const auto part = Query(*conn, orv::DrillDown::member(report.dates(), member.user, kind, share.category));
                    QCOMPARE(Text(part.total()), Text(share.sum));
                }
            }
        }
        // The stacked parts add up to each member's total.
        for (const orv::MemberRow &member : figures.members) {
            FenSum parts = 0;
            for (const orv::ShareSlice &part : figures.payoutParts())
                parts += orv::MemberFigures::partSum(member.payoutCategories, part);
            QCOMPARE(Text(parts), Text(member.payout));
        }
    }

    void loansByHand()
    {
        const orv::LoanFigures loans = Report(AnalysisPeriod::year(2024)).loans();
        QCOMPARE(loans.historyStart, QDate(2023, 12, 31));
        QCOMPARE(Text(orv::owedToFamily(loans.opening)), "100.00");
        const QStringList expected[] = {{"70.00", "0.00", "70.00"},  {"70.00", "50.00", "20.00"},
                                        {"70.00", "30.00", "40.00"}, {"70.30", "30.00", "40.30"}};
        const int months[] = {0, 1, 2, 11};
        for (int i = 0; i < 4; ++i) {
            const orv::LoanBalance &state = loans.atEnd[months[i]];
            QCOMPARE((QStringList{Text(orv::owedToFamily(state)), Text(orv::owedByFamily(state)), Text(state.balance())}),
                     expected[i]);
        }
        QCOMPARE(loans.atEnd[11].conclusion(), QStringLiteral("别人欠你钱"));
        // 利息 is listed by the query and counted in no sum; here it is noted.
        QCOMPARE(loans.uncountedCount, 1);
        QCOMPARE(loans.uncountedCategories, QStringList{"利息"});
    }

    void loansEqualQueryBalance_data()
    {
        QTest::addColumn<AnalysisPeriod>("period");
        QTest::newRow("2024 by month") << AnalysisPeriod::year(2024);
        QTest::newRow("February by day") << AnalysisPeriod::month(2024, 2);
        QTest::newRow("whole book") << AnalysisPeriod::whole();
        QTest::newRow("before the first loan") << AnalysisPeriod::year(2020);
        QTest::newRow("after the last loan") << AnalysisPeriod::month(2025, 3);
    }
    void loansEqualQueryBalance()
    {
        QFETCH(AnalysisPeriod, period);
        const orv::LoanFigures loans = Report(period).loans();
        const auto conn = Conn();
        QCOMPARE(loans.atEnd.size(), loans.buckets.size());
        for (qsizetype i = 0; i < loans.buckets.size(); ++i) {
            const orv::LoanBalance query = Query(*conn, orv::DrillDown::loansAt(loans, i)).loans;
            const orv::LoanBalance &mine = loans.atEnd[i];
            QCOMPARE(Text(mine.balance()), Text(query.balance()));
            QCOMPARE(Text(mine.lent), Text(query.lent));
            QCOMPARE(Text(mine.borrowed), Text(query.borrowed));
            QCOMPARE(Text(mine.repaidIn), Text(query.repaidIn));
            QCOMPARE(Text(mine.repaidOut), Text(query.repaidOut));
            QCOMPARE(mine.conclusion(), query.conclusion());
        }
    }
};

QTEST_GUILESS_MAIN(TestAnalysis)
#include "tst_analysis.moc"
