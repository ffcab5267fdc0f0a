// Queries from criteria to rows and totals, on a small hand-made book.
#include "query/QueryResult.h"
#include "query/QueryStatement.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/TextForms.h"
#include "support/TestBook.h"

#include <QTest>

using orv::MatchMode;
using orv::QueryCriteria;
using orv::QueryRange;
using orv::RecordKind;

namespace {

const QDate kMay1(2009, 5, 1);
const QDate kMay31(2009, 5, 31);

// The remarks of the rows a query found, in the order it lists them.
QStringList Remarks(const orv::QueryResult &result)
{
    QStringList remarks;
    for (const orv::Entry &entry : result.entries.entries())
        remarks.append(result.entries.values(entry).remark);
    return remarks;
}

orv::QueryResult Run(const TestBook &book, const QueryCriteria &criteria)
{
    const orv::BookConnection conn(book.bookPath());
    auto result = orv::QueryResult::run(conn, criteria);
    if (!result)
        qFatal("query failed: %s", qPrintable(result.error().message));
    return std::move(result).value();
}

QueryCriteria May(QueryRange range, MatchMode match = MatchMode::Exact)
{
    QueryCriteria criteria;
    criteria.range = range;
    criteria.match = match;
    criteria.dateFrom = kMay1;
    criteria.dateTo = kMay31;
    return criteria;
}

} // namespace

class TestQuery final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestBook> m_book;

private Q_SLOTS:
    void initTestCase();
    void criteriaFindRows_data();
    void criteriaFindRows();
    void dateAccessFollowsTheShareOfTheTable();
    void blocksCarryTheirSums();
    void emptyResults();
    void loanBalance_data();
    void loanBalance();
    void loanOfOtherCategoryIsListedButNotCounted();
    void periodLabel();
    void typedTextNeverBecomesStatementText();
    void unreadableAmountIsRefused();
    void everythingComesInDateOrder();
};

void TestQuery::initTestCase()
{
    m_book = std::make_unique<TestBook>();
    TestBook &b = *m_book;
    // Income. Added out of date order: results come in date order, equal
    // dates in the order they were entered.
    b.add(RecordKind::Income, QDate(2009, 5, 31), QStringLiteral("奖金"), 500, QStringLiteral("季度奖金"), QStringLiteral("妈妈"));
    b.add(RecordKind::Income, kMay1, QStringLiteral("工资"), 5000, QStringLiteral("五月工资"));
    b.add(RecordKind::Income, QDate(2009, 4, 30), QStringLiteral("工资"), 4000, QStringLiteral("四月工资"));
    b.add(RecordKind::Income, QDate(2009, 6, 1), QStringLiteral("工资"), 4100, QStringLiteral("六月工资"));
    b.add(RecordKind::Income, QDate(2009, 5, 15), QStringLiteral("其他"), 100, QStringLiteral("50% off 退款"), QStringLiteral("妈妈"));
    b.add(RecordKind::Income, QDate(2009, 5, 16), QStringLiteral("其他"), 200, QStringLiteral("a_b"));
    b.add(RecordKind::Income, QDate(2009, 5, 17), QStringLiteral("其他"), 300, QStringLiteral("axb"));
    b.add(RecordKind::Income, QDate(2009, 5, 18), QStringLiteral("礼金"), 0.5, QStringLiteral("O'Brien的礼物"));
    b.add(RecordKind::Income, QDate(2009, 5, 19), QStringLiteral("工资"), 99999999, QStringLiteral("上限"));
    b.add(RecordKind::Income, QDate(2009, 5, 20), QStringLiteral("其他"), 100000000, QStringLiteral("超过上限"));
    b.add(RecordKind::Income, kMay1, QStringLiteral("其他"), 1, QString(), QStringLiteral("妈妈"));
    // Expense, one of them without a remark at all (as older books hold).
    b.add(RecordKind::Payout, QDate(2009, 5, 31), QStringLiteral("餐饮"), 300, QStringLiteral("晚饭"), QStringLiteral("妈妈"));
    b.add(RecordKind::Payout, kMay1, QStringLiteral("餐饮"), 100, QStringLiteral("KFC午饭"));
    b.add(RecordKind::Payout, QDate(2009, 5, 10), QStringLiteral("交通"), 200, QStringLiteral("加油"), QStringLiteral("妈妈"));
    b.add(RecordKind::Payout, QDate(2009, 5, 20), QStringLiteral("餐饮"), 200.5, QStringLiteral("100%果汁"));
    b.exec(QStringLiteral("INSERT INTO \"PAYOUT\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                          "VALUES ('2009-05-05', '餐饮', 10, NULL, '爸爸')"));
    // Loans.
    b.add(RecordKind::Loan, QDate(2009, 5, 2), QStringLiteral("借出"), 100, QStringLiteral("借给小王"));
    b.add(RecordKind::Loan, QDate(2009, 5, 3), QStringLiteral("还入"), 30, QStringLiteral("小王还钱"));
    b.add(RecordKind::Loan, QDate(2009, 5, 4), QStringLiteral("利息"), 999, QStringLiteral("利息"), QStringLiteral("妈妈"));
    b.add(RecordKind::Loan, QDate(2009, 6, 4), QStringLiteral("借入"), 50, QStringLiteral("六月借款"));
}

void TestQuery::criteriaFindRows_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("match");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("moneyFrom");
    QTest::addColumn<QString>("moneyTo");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("found");

    const QString all = orv::kSelectAll;
    const QString inf = orv::kUnlimited;
    const QStringList mayIncome = {QStringLiteral("五月工资"), QString(), QStringLiteral("50% off 退款"),
                                   QStringLiteral("a_b"), QStringLiteral("axb"), QStringLiteral("O'Brien的礼物"),
                                   QStringLiteral("上限"), QStringLiteral("季度奖金")};
    const QStringList mayPayout = {QStringLiteral("KFC午饭"), QStringLiteral("加油"), QStringLiteral("100%果汁"),
                                   QStringLiteral("晚饭")};

    QTest::newRow("income and expense, every criterion open")
        << 0 << 0 << kMay1 << kMay31 << "0" << inf << all << all << all << (mayIncome + mayPayout);
    QTest::newRow("income only") << 1 << 0 << kMay1 << kMay31 << "0" << inf << all << all << all << mayIncome;
    QTest::newRow("expense only: an entry without a remark is not found")
        << 2 << 0 << kMay1 << kMay31 << "0" << inf << all << all << all << mayPayout;
    QTest::newRow("loans, any category")
        << 3 << 0 << kMay1 << kMay31 << "0" << inf << all << all << all
        << QStringList{QStringLiteral("借给小王"), QStringLiteral("小王还钱"), QStringLiteral("利息")};
    QTest::newRow("select-all in fuzzy mode is still every row")
        << 1 << 1 << kMay1 << kMay31 << "0" << inf << all << all << all << mayIncome;

    QTest::newRow("exact category")
        << 1 << 0 << kMay1 << kMay31 << "0" << inf << "工资" << all << all
        << QStringList{QStringLiteral("五月工资"), QStringLiteral("上限")};
    QTest::newRow("exact category needs the whole text")
        << 1 << 0 << kMay1 << kMay31 << "0" << inf << "工" << all << all << QStringList{};
    QTest::newRow("fuzzy category finds part of it")
        << 1 << 1 << kMay1 << kMay31 << "0" << inf << "工" << all << all
        << QStringList{QStringLiteral("五月工资"), QStringLiteral("上限")};
    QTest::newRow("typed category restricts both blocks of the combined range")
        << 0 << 0 << kMay1 << kMay31 << "0" << inf << "餐饮" << all << all
        << QStringList{QStringLiteral("KFC午饭"), QStringLiteral("100%果汁"), QStringLiteral("晚饭")};
    QTest::newRow("exact remark") << 0 << 0 << kMay1 << kMay31 << "0" << inf << all << "加油" << all
                                  << QStringList{QStringLiteral("加油")};
    QTest::newRow("fuzzy remark anywhere in the text")
        << 0 << 1 << kMay1 << kMay31 << "0" << inf << all << "饭" << all
        << QStringList{QStringLiteral("KFC午饭"), QStringLiteral("晚饭")};
    QTest::newRow("exact empty remark finds entries without one")
        << 1 << 0 << kMay1 << kMay31 << "0" << inf << all << "" << all << QStringList{QString()};
    QTest::newRow("fuzzy empty remark finds every remark")
        << 1 << 1 << kMay1 << kMay31 << "0" << inf << all << "" << all << mayIncome;
    QTest::newRow("exact user") << 0 << 0 << kMay1 << kMay31 << "0" << inf << all << all << "妈妈"
                                << QStringList{QString(), QStringLiteral("50% off 退款"), QStringLiteral("季度奖金"),
                                               QStringLiteral("加油"), QStringLiteral("晚饭")};
    QTest::newRow("exact user needs the whole name")
        << 0 << 0 << kMay1 << kMay31 << "0" << inf << all << all << "妈" << QStringList{};
    QTest::newRow("exact match keeps letter case")
        << 2 << 0 << kMay1 << kMay31 << "0" << inf << all << "kfc午饭" << all << QStringList{};
    QTest::newRow("fuzzy match ignores the case of Latin letters")
        << 2 << 1 << kMay1 << kMay31 << "0" << inf << all << "kfc" << all << QStringList{QStringLiteral("KFC午饭")};

    QTest::newRow("percent sign typed is a percent sign")
        << 0 << 1 << kMay1 << kMay31 << "0" << inf << all << "%" << all
        << QStringList{QStringLiteral("50% off 退款"), QStringLiteral("100%果汁")};
    QTest::newRow("percent sign inside a text")
        << 0 << 1 << kMay1 << kMay31 << "0" << inf << all << "50%" << all << QStringList{QStringLiteral("50% off 退款")};
    QTest::newRow("underscore typed is an underscore")
        << 1 << 1 << kMay1 << kMay31 << "0" << inf << all << "a_b" << all << QStringList{QStringLiteral("a_b")};
    QTest::newRow("backslash typed is a backslash")
        << 1 << 1 << kMay1 << kMay31 << "0" << inf << all << "\\" << all << QStringList{};
    QTest::newRow("quote in an exact remark")
        << 1 << 0 << kMay1 << kMay31 << "0" << inf << all << "O'Brien的礼物" << all
        << QStringList{QStringLiteral("O'Brien的礼物")};
    QTest::newRow("quote in a fuzzy remark")
        << 1 << 1 << kMay1 << kMay31 << "0" << inf << all << "'" << all << QStringList{QStringLiteral("O'Brien的礼物")};
    QTest::newRow("quotes that would end a literal")
        << 0 << 0 << kMay1 << kMay31 << "0" << inf << "' OR '1'='1" << all << all << QStringList{};
    QTest::newRow("quote in a user name") << 0 << 1 << kMay1 << kMay31 << "0" << inf << all << all << "\"'"
                                          << QStringList{};

    QTest::newRow("entries on the from-date and on the to-date are included")
        << 0 << 0 << kMay31 << kMay31 << "0" << inf << all << all << all
        << QStringList{QStringLiteral("季度奖金"), QStringLiteral("晚饭")};
    QTest::newRow("one day") << 1 << 0 << kMay1 << kMay1 << "0" << inf << all << all << all
                             << QStringList{QStringLiteral("五月工资"), QString()};
    QTest::newRow("the day before and after are not")
        << 1 << 0 << QDate(2009, 4, 30) << QDate(2009, 6, 1) << "4000" << "4100" << all << all << all
        << QStringList{QStringLiteral("四月工资"), QStringLiteral("六月工资")};
    QTest::newRow("from-date after to-date finds nothing")
        << 0 << 0 << kMay31 << kMay1 << "0" << inf << all << all << all << QStringList{};

    QTest::newRow("amounts inclusive at both ends")
        << 2 << 0 << kMay1 << kMay31 << "200" << "300" << all << all << all
        << QStringList{QStringLiteral("加油"), QStringLiteral("100%果汁"), QStringLiteral("晚饭")};
    QTest::newRow("leading zeros") << 2 << 0 << kMay1 << kMay31 << "0200" << "000300" << all << all << all
                                   << QStringList{QStringLiteral("加油"), QStringLiteral("100%果汁"), QStringLiteral("晚饭")};
    QTest::newRow("upper amount excludes a cent more")
        << 2 << 0 << kMay1 << kMay31 << "200" << "200" << all << all << all << QStringList{QStringLiteral("加油")};
    QTest::newRow("empty from-box counts as 0")
        << 1 << 0 << kMay1 << kMay31 << "" << "1" << all << all << all
        << QStringList{QString(), QStringLiteral("O'Brien的礼物")};
    QTest::newRow("empty to-box counts as unlimited")
        << 1 << 0 << kMay1 << kMay31 << "99999999" << "" << all << all << all << QStringList{QStringLiteral("上限")};
    QTest::newRow("unlimited is 99999999")
        << 1 << 0 << kMay1 << kMay31 << "99999999" << inf << all << all << all << QStringList{QStringLiteral("上限")};
    QTest::newRow("typed upper bound")
        << 1 << 0 << kMay1 << kMay31 << "100000000" << "100000000" << all << all << all
        << QStringList{QStringLiteral("超过上限")};
    QTest::newRow("lower above upper finds nothing")
        << 2 << 0 << kMay1 << kMay31 << "300" << "200" << all << all << all << QStringList{};
}

void TestQuery::criteriaFindRows()
{
    QFETCH(int, range);
    QFETCH(int, match);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QString, moneyFrom);
    QFETCH(QString, moneyTo);
    QFETCH(QString, category);
    QFETCH(QString, remark);
    QFETCH(QString, user);
    QFETCH(QStringList, found);

    QueryCriteria criteria;
    criteria.range = QueryRange(range);
    criteria.match = MatchMode(match);
    criteria.dateFrom = from;
    criteria.dateTo = to;
    criteria.moneyFrom = moneyFrom;
    criteria.moneyTo = moneyTo;
    criteria.category = category;
    criteria.remark = remark;
    criteria.user = user;
    QCOMPARE(Remarks(Run(*m_book, criteria)), found);

    // Through the date index or straight through the table: the same rows.
    const orv::BookConnection conn(m_book->bookPath());
    for (orv::DateAccess access : {orv::DateAccess::ByIndex, orv::DateAccess::ByScan}) {
        orv::QueryResult direct;
        for (RecordKind kind : criteria.kinds()) {
            const orv::BoundStatement statement = orv::QueryStatement::select(criteria, kind, access);
            orv::EntryList block;
            QVERIFY(orv::EntryStore::appendSelected(conn, statement.sql, statement.values, block));
            orv::sortEntries(block.entries().begin(), block.entries().end(), orv::EntryColumn::Date,
                             orv::SortOrder::Ascending, block.pool());
            for (const orv::Entry &entry : block.entries())
                direct.entries.entries().push_back(direct.entries.make(entry.id, block.values(entry)));
        }
        QCOMPARE(Remarks(direct), found);
    }
}

void TestQuery::dateAccessFollowsTheShareOfTheTable()
{
    TestBook book;
    // 24 entries, one a month over two years.
    for (int month = 0; month < 24; ++month)
        book.add(RecordKind::Payout, QDate(2010, 1, 15).addMonths(month), QStringLiteral("餐饮"), 10);
    const orv::BookConnection conn(book.bookPath());
    QueryCriteria criteria = May(QueryRange::Payout);
    criteria.dateFrom = QDate(2010, 3, 1);
    criteria.dateTo = QDate(2010, 3, 31);
    QCOMPARE(orv::QueryRunner::chooseDateAccess(conn, criteria, RecordKind::Payout), orv::DateAccess::ByIndex);
    criteria.dateTo = QDate(2010, 12, 31);
    QCOMPARE(orv::QueryRunner::chooseDateAccess(conn, criteria, RecordKind::Payout), orv::DateAccess::ByScan);
    // An empty table: the index, which finds nothing at once.
    QCOMPARE(orv::QueryRunner::chooseDateAccess(conn, criteria, RecordKind::Income), orv::DateAccess::ByIndex);

    const orv::BoundStatement scan = orv::QueryStatement::select(criteria, RecordKind::Payout, orv::DateAccess::ByScan);
    QVERIFY(scan.sql.contains(orv::QueryStatement::unindexed(QStringLiteral("\"date\""))));
    auto plan = conn.read(QStringLiteral("EXPLAIN QUERY PLAN ") + scan.sql, scan.values);
    QVERIFY(plan);
    QString steps;
    while (plan->next())
        steps += plan->value(3).toString() + u'\n';
    QVERIFY2(!steps.contains(QStringLiteral("PAYOUT_date")), qPrintable(steps));
    const orv::BoundStatement seek = orv::QueryStatement::select(criteria, RecordKind::Payout, orv::DateAccess::ByIndex);
    plan = conn.read(QStringLiteral("EXPLAIN QUERY PLAN ") + seek.sql, seek.values);
    QVERIFY(plan);
    steps.clear();
    while (plan->next())
        steps += plan->value(3).toString() + u'\n';
    QVERIFY2(steps.contains(QStringLiteral("PAYOUT_date")), qPrintable(steps));
}

void TestQuery::blocksCarryTheirSums()
{
    const orv::QueryResult result = Run(*m_book, May(QueryRange::IncomePayout));
    QCOMPARE(result.blocks.size(), 2);
    QCOMPARE(result.blocks[0].kind, RecordKind::Income);
    QCOMPARE(result.blocks[0].first, 0);
    QCOMPARE(result.blocks[0].count, 8);
    QCOMPARE(result.blocks[0].sum, 5000 + 1 + 100 + 200 + 300 + 0.5 + 99999999 + 500);
    QCOMPARE(result.blocks[1].kind, RecordKind::Payout);
    QCOMPARE(result.blocks[1].first, 8);
    QCOMPARE(result.blocks[1].count, 4);
    QCOMPARE(result.blocks[1].sum, 100 + 200 + 200.5 + 300);
    QCOMPARE(result.total(), result.blocks[0].sum - result.blocks[1].sum);

    const orv::QueryResult payout = Run(*m_book, May(QueryRange::Payout));
    QCOMPARE(payout.blocks.size(), 1);
    QCOMPARE(payout.total(), 800.5);
}

void TestQuery::emptyResults()
{
    QueryCriteria criteria = May(QueryRange::IncomePayout);
    criteria.dateFrom = criteria.dateTo = QDate(1999, 1, 1);
    const orv::QueryResult combined = Run(*m_book, criteria);
    QCOMPARE(combined.blocks.size(), 2);
    QCOMPARE(combined.entries.size(), 0);
    QCOMPARE(combined.blocks[0].sum, 0.0);
    QCOMPARE(combined.blocks[1].sum, 0.0);
    QCOMPARE(combined.total(), 0.0);

    criteria.range = QueryRange::Loan;
    const orv::QueryResult loans = Run(*m_book, criteria);
    QCOMPARE(loans.blocks.size(), 1);
    QCOMPARE(loans.blocks[0].count, 0);
    QCOMPARE(loans.loans.conclusion(), QStringLiteral("互不相欠"));
    QCOMPARE(loans.total(), 0.0);
}

void TestQuery::loanBalance_data()
{
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<QList<double>>("amounts");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("conclusion");

    QTest::newRow("lent 100, repaid to the user 30") << QStringList{"借出", "还入"} << QList<double>{100, 30}
                                                     << "70.00" << "别人欠你钱";
    QTest::newRow("borrowed 50") << QStringList{"借入"} << QList<double>{50} << "50.00" << "你欠别人钱";
    QTest::newRow("borrowed 50, repaid 50") << QStringList{"借入", "还出"} << QList<double>{50, 50} << "0.00"
                                            << "互不相欠";
    QTest::newRow("nothing") << QStringList{} << QList<double>{} << "0.00" << "互不相欠";
    QTest::newRow("repaid more than borrowed") << QStringList{"借入", "还出"} << QList<double>{50, 80} << "30.00"
                                               << "别人欠你钱";
    QTest::newRow("cents that cancel out are settled")
        << QStringList{"借出", "借出", "还入"} << QList<double>{0.1, 0.2, 0.3} << "0.00" << "互不相欠";
    QTest::newRow("category compared as the whole text")
        << QStringList{"借出 ", "借出款"} << QList<double>{10, 20} << "0.00" << "互不相欠";
}

void TestQuery::loanBalance()
{
    QFETCH(QStringList, categories);
    QFETCH(QList<double>, amounts);
    QFETCH(QString, shown);
    QFETCH(QString, conclusion);

    TestBook book;
    for (qsizetype i = 0; i < categories.size(); ++i)
        book.add(RecordKind::Loan, kMay1, categories[i], amounts[i], QStringLiteral("r%1").arg(i));
    const orv::QueryResult result = Run(book, May(QueryRange::Loan));
    QCOMPARE(result.entries.size(), categories.size());
    QCOMPARE(orv::moneyText(result.total()), shown);
    QCOMPARE(result.loans.conclusion(), conclusion);
}

void TestQuery::loanOfOtherCategoryIsListedButNotCounted()
{
    const orv::QueryResult result = Run(*m_book, May(QueryRange::Loan));
    QCOMPARE(result.entries.size(), 3);
    QCOMPARE(result.entries.values(result.entries.at(2)).items, QStringLiteral("利息"));
    QCOMPARE(result.loans.lent, 100.0);
    QCOMPARE(result.loans.repaidIn, 30.0);
    QCOMPARE(result.loans.borrowed, 0.0);
    QCOMPARE(result.loans.repaidOut, 0.0);
    QCOMPARE(orv::moneyText(result.total()), QStringLiteral("70.00"));
    QCOMPARE(result.loans.conclusion(), QStringLiteral("别人欠你钱"));

    orv::LoanBalance byText;
    byText.add(QStringLiteral("利息"), 999);
    byText.add(QStringLiteral("借入"), 5);
    QCOMPARE(byText.balance(), -5.0);
    QCOMPARE(byText.conclusion(), QStringLiteral("你欠别人钱"));
}

void TestQuery::periodLabel()
{
    QCOMPARE(May(QueryRange::Income).periodLabel(), QStringLiteral("2009年5月1日 至 2009年5月31日"));
    QueryCriteria criteria;
    criteria.dateFrom = QDate(2010, 12, 9);
    criteria.dateTo = QDate(2011, 1, 10);
    QCOMPARE(criteria.periodLabel(), QStringLiteral("2010年12月9日 至 2011年1月10日"));
}

void TestQuery::typedTextNeverBecomesStatementText()
{
    QueryCriteria criteria = May(QueryRange::IncomePayout, MatchMode::Fuzzy);
    criteria.category = QStringLiteral("x' OR 1=1 --");
    criteria.remark = QStringLiteral("50%_");
    criteria.user = QStringLiteral("妈妈");
    const orv::BoundStatement statement = orv::QueryStatement::select(criteria, RecordKind::Payout);
    QVERIFY(!statement.sql.contains(QStringLiteral("OR 1=1")));
    QVERIFY(!statement.sql.contains(QStringLiteral("妈妈")));
    QVERIFY(!statement.sql.contains(QStringLiteral("2009")));
    QVERIFY(statement.sql.contains(QStringLiteral("FROM \"PAYOUT\"")));
    QCOMPARE(statement.values.size(), 7);
    QCOMPARE(statement.values[0].toString(), QStringLiteral("2009-05-01"));
    QCOMPARE(statement.values[1].toString(), QStringLiteral("2009-05-31"));
    QCOMPARE(statement.values[2].toDouble(), 0.0);
    QCOMPARE(statement.values[3].toDouble(), orv::kUnlimitedAmount);
    QCOMPARE(statement.values[4].toString(), QStringLiteral("%x' OR 1=1 --%"));
    QCOMPARE(statement.values[5].toString(), QStringLiteral("%50\\%\\_%"));

    criteria.match = MatchMode::Exact;
    criteria.category = orv::kSelectAll;
    const orv::BoundStatement exact = orv::QueryStatement::select(criteria, RecordKind::Income);
    QVERIFY(exact.sql.contains(QStringLiteral("\"items\" IS NOT NULL")));
    QCOMPARE(exact.values.size(), 6);
    QCOMPARE(exact.values[4].toString(), QStringLiteral("50%_"));
}

void TestQuery::unreadableAmountIsRefused()
{
    for (const QString &text : {QStringLiteral("1.5"), QStringLiteral("-3"), QStringLiteral("无限"), QStringLiteral("1e3")}) {
        QueryCriteria criteria = May(QueryRange::Income);
        criteria.moneyFrom = text;
        QVERIFY2(criteria.problem(), qPrintable(text));
        const orv::BookConnection conn(m_book->bookPath());
        auto result = orv::QueryResult::run(conn, criteria);
        QVERIFY(!result);
        QCOMPARE(result.error().kind, orv::DbError::Kind::Refused);
        QVERIFY(!result.error().message.isEmpty());
    }
    QueryCriteria criteria = May(QueryRange::Income);
    criteria.moneyTo = QStringLiteral("5元");
    QVERIFY(criteria.problem());
}

void TestQuery::everythingComesInDateOrder()
{
    const orv::BookConnection conn(m_book->bookPath());
    orv::EntryList list;
    auto income = orv::QueryRunner::readEverything(conn, RecordKind::Income, list);
    QVERIFY(income);
    auto payout = orv::QueryRunner::readEverything(conn, RecordKind::Payout, list);
    QVERIFY(payout);
    QCOMPARE(income->count, 11);
    QCOMPARE(payout->first, 11);
    QCOMPARE(payout->count, 5);
    // Dates ascend within each block; equal dates keep the order of entry.
    for (const orv::QueryBlock &block : {*income, *payout}) {
        for (qsizetype i = block.first + 1; i < block.first + block.count; ++i) {
            const orv::Entry &before = list.at(i - 1);
            const orv::Entry &after = list.at(i);
            QVERIFY(before.julianDay < after.julianDay ||
                    (before.julianDay == after.julianDay && before.id < after.id));
        }
    }
    QCOMPARE(list.values(list.at(0)).remark, QStringLiteral("四月工资"));
    QCOMPARE(list.values(list.at(1)).remark, QStringLiteral("五月工资"));
    QCOMPARE(list.values(list.at(2)).remark, QString());
    double sum = 0;
    for (qsizetype i = 0; i < 11; ++i)
        sum += list.at(i).money;
    QCOMPARE(income->sum, sum);
}

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
