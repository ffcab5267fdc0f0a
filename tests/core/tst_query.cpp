// Queries from criteria to rows and totals, on a small hand-made book.
#include "query/QueryResult.h"
#include "query/QueryStatement.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "model/TextForms.h"
#include "support/TestBook.h"

#include <QTest>

using orv::MatchMode;
using orv::QueryCriteria;
using orv::QueryRange;
using orv::RecordKind;

namespace {

const QDate kMay1(2009, 5, 1);
const QDate kMay31(2009, 5, 31);

// The remarks of the rows a list holds, in its order.
QStringList Remarks(const orv::EntryList &list)
{
    QStringList remarks;
    for (const orv::Entry &entry : list.entries())
        remarks.append(list.values(entry).remark);
    return remarks;
}

orv::QueryResult Run(const TestBook &book, const QueryCriteria &criteria)
{
    const orv::BookConnection conn(book.location());
    auto result = orv::QueryResult::run(conn, criteria);
    if (!result)
        qFatal("query failed: %s", qPrintable(result.error().message));
    return std::move(result).value();
}

QueryCriteria May(int range, bool fuzzy = false)
{
    QueryCriteria criteria;
    criteria.range = QueryRange(range);
    criteria.match = fuzzy ? MatchMode::Fuzzy : MatchMode::Exact;
    criteria.dateFrom = kMay1;
    criteria.dateTo = kMay31;
    return criteria;
}

} // namespace

class TestQuery final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestBook> m_book;

    void checkFound(const QueryCriteria &criteria, const QStringList &found)
    {
        QCOMPARE(Remarks(Run(*m_book, criteria).entries), found);
        // Through the date index or straight through the table: the same rows.
        const orv::BookConnection conn(m_book->location());
        for (orv::DateAccess access : {orv::DateAccess::ByIndex, orv::DateAccess::ByScan}) {
            orv::EntryList direct;
            for (RecordKind kind : criteria.kinds()) {
                const orv::BoundStatement statement = orv::QueryStatement::select(conn.sql(), criteria, kind, access);
                QVERIFY(orv::EntryStore::appendSelected(conn, statement.sql, statement.values, direct));
            }
            QStringList remarks = Remarks(direct), expected = found;
            remarks.sort();
            expected.sort();
            QCOMPARE(remarks, expected);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_book = std::make_unique<TestBook>();
        TestBook &b = *m_book;
        const QString mum = QStringLiteral("妈妈");
        // Income. Added out of date order: results come in date order, equal
        // dates in the order they were entered.
        b.add(RecordKind::Income, kMay31, QStringLiteral("奖金"), 500, QStringLiteral("季度奖金"), mum);
        b.add(RecordKind::Income, kMay1, QStringLiteral("工资"), 5000, QStringLiteral("五月工资"));
        b.add(RecordKind::Income, QDate(2009, 4, 30), QStringLiteral("工资"), 4000, QStringLiteral("四月工资"));
        b.add(RecordKind::Income, QDate(2009, 6, 1), QStringLiteral("工资"), 4100, QStringLiteral("六月工资"));
        b.add(RecordKind::Income, QDate(2009, 5, 15), QStringLiteral("其他"), 100, QStringLiteral("50% off 退款"), mum);
        b.add(RecordKind::Income, QDate(2009, 5, 16), QStringLiteral("其他"), 200, QStringLiteral("a_b"));
        b.add(RecordKind::Income, QDate(2009, 5, 17), QStringLiteral("其他"), 300, QStringLiteral("axb"));
        b.add(RecordKind::Income, QDate(2009, 5, 18), QStringLiteral("礼金"), 0.5, QStringLiteral("O'Brien的礼物"));
        b.add(RecordKind::Income, QDate(2009, 5, 19), QStringLiteral("工资"), 99999999, QStringLiteral("上限"));
        b.add(RecordKind::Income, QDate(2009, 5, 20), QStringLiteral("其他"), 100000000, QStringLiteral("超过上限"));
        b.add(RecordKind::Income, kMay1, QStringLiteral("其他"), 1, QString(), mum);
        // Expense, one of them without a remark at all (as older books hold).
        b.add(RecordKind::Payout, kMay31, QStringLiteral("餐饮"), 300, QStringLiteral("晚饭"), mum);
        b.add(RecordKind::Payout, kMay1, QStringLiteral("餐饮"), 100, QStringLiteral("KFC午饭"));
        b.add(RecordKind::Payout, QDate(2009, 5, 10), QStringLiteral("交通"), 200, QStringLiteral("加油"), mum);
        b.add(RecordKind::Payout, QDate(2009, 5, 20), QStringLiteral("餐饮"), 200.5, QStringLiteral("100%果汁"));
        b.exec(QStringLiteral("INSERT INTO \"PAYOUT\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                              "VALUES ('2009-05-05', '餐饮', 10, NULL, '爸爸')"));
        // Loans.
        b.add(RecordKind::Loan, QDate(2009, 5, 2), QStringLiteral("借出"), 100, QStringLiteral("借给小王"));
        b.add(RecordKind::Loan, QDate(2009, 5, 3), QStringLiteral("还入"), 30, QStringLiteral("小王还钱"));
        b.add(RecordKind::Loan, QDate(2009, 5, 4), QStringLiteral("利息"), 999, QStringLiteral("利息"), mum);
        b.add(RecordKind::Loan, QDate(2009, 6, 4), QStringLiteral("借入"), 50, QStringLiteral("六月借款"));
    }

    void textCriteria_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<bool>("fuzzy");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("remark");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("found");

        const QString all = orv::kSelectAll;
        const QStringList mayIncome = {"五月工资", "", "50% off 退款", "a_b", "axb", "O'Brien的礼物", "上限", "季度奖金"};
        const QStringList mayPayout = {"KFC午饭", "加油", "100%果汁", "晚饭"};

        QTest::newRow("income and expense") << 0 << false << all << all << all << (mayIncome + mayPayout);
        QTest::newRow("income") << 1 << false << all << all << all << mayIncome;
        QTest::newRow("expense: an entry without a remark is not found") << 2 << false << all << all << all << mayPayout;
        QTest::newRow("loans, any category") << 3 << false << all << all << all
                                             << QStringList{"借给小王", "小王还钱", "利息"};
        QTest::newRow("select-all in fuzzy mode is still every row") << 1 << true << all << all << all << mayIncome;

        QTest::newRow("exact category") << 1 << false << "工资" << all << all << QStringList{"五月工资", "上限"};
        QTest::newRow("exact category needs the whole text") << 1 << false << "工" << all << all << QStringList{};
        QTest::newRow("fuzzy category finds part of it") << 1 << true << "工" << all << all << QStringList{"五月工资", "上限"};
        QTest::newRow("typed category restricts both blocks")
            << 0 << false << "餐饮" << all << all << QStringList{"KFC午饭", "100%果汁", "晚饭"};
        QTest::newRow("exact remark") << 0 << false << all << "加油" << all << QStringList{"加油"};
        QTest::newRow("fuzzy remark anywhere in the text") << 0 << true << all << "饭" << all << QStringList{"KFC午饭", "晚饭"};
        QTest::newRow("exact empty remark finds entries without one") << 1 << false << all << "" << all << QStringList{""};
        QTest::newRow("exact user") << 0 << false << all << all << "妈妈"
                                    << QStringList{"", "50% off 退款", "季度奖金", "加油", "晚饭"};
        QTest::newRow("fuzzy match ignores the case of Latin letters") << 2 << true << all << "kfc" << all
                                                                       << QStringList{"KFC午饭"};

        QTest::newRow("percent sign typed is a percent sign") << 0 << true << all << "%" << all
                                                              << QStringList{"50% off 退款", "100%果汁"};
        QTest::newRow("underscore typed is an underscore") << 1 << true << all << "a_b" << all << QStringList{"a_b"};
        QTest::newRow("backslash typed is a backslash") << 1 << true << all << "\\" << all << QStringList{};
        QTest::newRow("quote in an exact remark") << 1 << false << all << "O'Brien的礼物" << all << QStringList{"O'Brien的礼物"};
        QTest::newRow("quotes that would end a literal") << 0 << false << "' OR '1'='1" << all << all << QStringList{};
    }
    void textCriteria()
    {
        QFETCH(int, range);
        QFETCH(bool, fuzzy);
        QFETCH(QString, category);
        QFETCH(QString, remark);
        QFETCH(QString, user);
        QFETCH(QStringList, found);
        QueryCriteria criteria = May(range, fuzzy);
        criteria.category = category;
        criteria.remark = remark;
        criteria.user = user;
        checkFound(criteria, found);
    }

    void dateAndAmountBounds_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("moneyFrom");
        QTest::addColumn<QString>("moneyTo");
        QTest::addColumn<QStringList>("found");
        const QString inf = orv::kUnlimited;

        QTest::newRow("entries on the from-date and on the to-date are included")
            << 0 << kMay31 << kMay31 << "0" << inf << QStringList{"季度奖金", "晚饭"};
        QTest::newRow("the day before and after are not")
            << 1 << QDate(2009, 4, 30) << QDate(2009, 6, 1) << "4000" << "4100" << QStringList{"四月工资", "六月工资"};
        QTest::newRow("from-date after to-date finds nothing") << 0 << kMay31 << kMay1 << "0" << inf << QStringList{};
        QTest::newRow("amounts inclusive at both ends")
            << 2 << kMay1 << kMay31 << "200" << "300" << QStringList{"加油", "100%果汁", "晚饭"};
        QTest::newRow("upper amount excludes a cent more") << 2 << kMay1 << kMay31 << "200" << "200" << QStringList{"加油"};
        QTest::newRow("empty from-box counts as 0") << 1 << kMay1 << kMay31 << "" << "1" << QStringList{"", "O'Brien的礼物"};
        // "无限" and an empty to-box both stand for 99999999.
        QTest::newRow("empty to-box counts as unlimited") << 1 << kMay1 << kMay31 << "99999999" << "" << QStringList{"上限"};
        QTest::newRow("typed upper bound") << 1 << kMay1 << kMay31 << "100000000" << "100000000"
                                           << QStringList{"超过上限"};
        QTest::newRow("lower above upper finds nothing") << 2 << kMay1 << kMay31 << "300" << "200" << QStringList{};
    }
    void dateAndAmountBounds()
    {
        QFETCH(int, range);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, moneyFrom);
        QFETCH(QString, moneyTo);
        QFETCH(QStringList, found);
        QueryCriteria criteria = May(range);
        criteria.dateFrom = from;
        criteria.dateTo = to;
        criteria.moneyFrom = moneyFrom;
        criteria.moneyTo = moneyTo;
        checkFound(criteria, found);
    }

    void loanBalance_data()
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
        QTest::newRow("repaid more than borrowed") << QStringList{"借入", "还出"} << QList<double>{50, 80} << "30.00"
                                                   << "别人欠你钱";
        QTest::newRow("cents that cancel out are settled")
            << QStringList{"借出", "借出", "还入"} << QList<double>{0.1, 0.2, 0.3} << "0.00" << "互不相欠";
        // Other categories are listed but not counted; the whole text must match.
        QTest::newRow("other categories") << QStringList{"借出 ", "借出款", "利息", "借入"} << QList<double>{10, 20, 999, 5}
                                          << "5.00" << "你欠别人钱";
    }
    void loanBalance()
    {
        QFETCH(QStringList, categories);
        QFETCH(QList<double>, amounts);
        QFETCH(QString, shown);
        QFETCH(QString, conclusion);

        TestBook book;
        for (qsizetype i = 0; i < categories.size(); ++i)
            book.add(RecordKind::Loan, kMay1, categories[i], amounts[i], QStringLiteral("r%1").arg(i));
        const orv::QueryResult result = Run(book, May(3));
        QCOMPARE(result.entries.size(), categories.size());
        QCOMPARE(orv::fenText(result.total()), shown);
        QCOMPARE(result.loans.conclusion(), conclusion);
    }

    void typedTextNeverBecomesStatementText()
    {
        QueryCriteria criteria = May(0, true);
        criteria.category = QStringLiteral("x' OR 1=1 --");
        criteria.remark = QStringLiteral("50%_");
        criteria.user = QStringLiteral("妈妈");
        const orv::BookConnection conn(m_book->location());
        const orv::BoundStatement statement = orv::QueryStatement::select(conn.sql(), criteria, RecordKind::Payout);
        for (const QString &typed : {QStringLiteral("OR 1=1"), QStringLiteral("50%"), QStringLiteral("妈妈"), QStringLiteral("2009")})
            QVERIFY2(!statement.sql.contains(typed), qPrintable(statement.sql));
        QCOMPARE(statement.values.mid(4), (QVariantList{"%x' OR 1=1 --%", "%50\\%\\_%", "%妈妈%"}));
    }

    void unreadableAmountIsRefused()
    {
        const orv::BookConnection conn(m_book->location());
        for (const QString &text : {QStringLiteral("1.5"), QStringLiteral("-3"), QStringLiteral("无限"), QStringLiteral("5元")}) {
            QueryCriteria criteria = May(1);
            criteria.moneyFrom = text;
            auto result = orv::QueryResult::run(conn, criteria);
            QVERIFY2(!result && result.error().kind == orv::DbError::Kind::Refused, qPrintable(text));
        }
    }

    // Other tools write dates through the data source with a time of day;
    // such an entry still belongs to its day, at both ends of a range.
    void aStoredTimeOfDayStillCountsAsThatDay_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<bool>("found");
        const QDate leap(2024, 2, 29);
        for (const char *stored : {"2024-02-29 00:00:00", "2024-02-29 23:59:59.999", "2024-02-29T12:30:00"}) {
            const QString name = QString::fromLatin1(stored);
            QTest::newRow(qPrintable(name + QStringLiteral(", range ends that day"))) << name << QDate(2024, 2, 1) << leap << true;
            QTest::newRow(qPrintable(name + QStringLiteral(", range starts that day"))) << name << leap << QDate(2024, 3, 31) << true;
            QTest::newRow(qPrintable(name + QStringLiteral(", that day only"))) << name << leap << leap << true;
            QTest::newRow(qPrintable(name + QStringLiteral(", range ends the day before"))) << name << QDate(2024, 2, 1) << QDate(2024, 2, 28) << false;
        }
    }
    void aStoredTimeOfDayStillCountsAsThatDay()
    {
        QFETCH(QString, stored);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(bool, found);
        ORV_FILE_BOOK_ONLY(); // a server's date column has no time of day
        TestBook book;
        book.exec(QStringLiteral("INSERT INTO \"PAYOUT\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                                 "VALUES ('%1', '房租', 1500, '闰日', '爸爸')")
                      .arg(stored));
        for (int range : {0, 2}) {
            QueryCriteria criteria = May(range);
            criteria.dateFrom = from;
            criteria.dateTo = to;
            const orv::QueryResult result = Run(book, criteria);
            QCOMPARE(Remarks(result.entries), found ? QStringList{QStringLiteral("闰日")} : QStringList());
            if (found)
                QCOMPARE(result.entries.cellText(result.entries.at(0), orv::EntryColumn::Date), QStringLiteral("2024年2月29日"));
            const orv::BookConnection conn(book.location());
            for (orv::DateAccess access : {orv::DateAccess::ByIndex, orv::DateAccess::ByScan}) {
                orv::EntryList direct;
                const orv::BoundStatement statement =
                    orv::QueryStatement::select(conn.sql(), criteria, RecordKind::Payout, access);
                QVERIFY(orv::EntryStore::appendSelected(conn, statement.sql, statement.values, direct));
                QCOMPARE(direct.size(), found ? 1 : 0);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
