#include "support/BigBook.h"

#include "store/BookSchema.h"
#include "model/TextForms.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>

#include <sqlite3.h>

#include <cstdio>

namespace {

const char *const kIncomeRemarks[] = {"月工资", "年终奖", "加班费", "股票分红", "基金赎回", "兼职稿费", "红包",
                                      "报销差旅费", "房租收入", "利息", "退税", "卖旧家电"};
const char *const kPayoutRemarks[] = {"超市买菜", "早餐", "午饭", "晚饭", "水果", "地铁卡充值", "加油", "停车费",
                                      "房贷", "物业费", "电费", "水费", "燃气费", "手机话费", "宽带", "给孩子买衣服",
                                      "药店", "体检", "学费", "课外班", "电影票", "旅游", "随礼", "看望父母",
                                      "买书", "日用品", "理发", "网购", "修车", "保险"};
const char *const kLoanRemarks[] = {"借给小王", "向老张借", "小王还钱", "还老张", "借给同事", "向银行借款",
                                    "朋友周转", "还信用卡"};
const char *const kUsers[] = {"爸爸", "妈妈", "爷爷", "奶奶"};

template <size_t N>
QString pick(const char *const (&list)[N], QRandomGenerator &rng)
{
    return QString::fromUtf8(list[rng.bounded(int(N))]);
}

bool fill(sqlite3 *db, const char *table, int count, const QStringList &categories, const QStringList &remarks,
          QRandomGenerator &rng)
{
    const QByteArray sql = QByteArray("INSERT INTO \"") + table +
                           "\" (\"date\", \"items\", \"money\", \"remark\", \"user\") VALUES (?, ?, ?, ?, ?)";
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return false;
    const QDate first(2000, 1, 1);
    const int days = int(first.daysTo(QDate(2026, 12, 31)));
    for (int i = 0; i < count; ++i) {
        const QByteArray date = orv::storageDate(first.addDays(rng.bounded(days + 1))).toUtf8();
        const QByteArray items = categories[rng.bounded(int(categories.size()))].toUtf8();
        // About one remark in ten carries a number, so remarks are many but repeat.
        QString remarkText = remarks[rng.bounded(int(remarks.size()))];
        if (rng.bounded(10) == 0)
            remarkText += QString::number(rng.bounded(300));
        else if (rng.bounded(8) == 0)
            remarkText.clear();
        const QByteArray remark = remarkText.toUtf8();
        const QByteArray user = pick(kUsers, rng).toUtf8();
        const double money = orv::storedMoney(rng.bounded(1, 500000) / 100.0);
        sqlite3_bind_text(stmt, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, items.constData(), int(items.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(stmt, 3, money);
        sqlite3_bind_text(stmt, 4, remark.constData(), int(remark.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 5, user.constData(), int(user.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            sqlite3_finalize(stmt);
            return false;
        }
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    return true;
}

template <size_t N>
QStringList toList(const char *const (&list)[N])
{
    QStringList result;
    for (const char *text : list)
        result.append(QString::fromUtf8(text));
    return result;
}

} // namespace

QString DefaultBigBookPath()
{
    const QByteArray env = qgetenv("ORV_BIG_BOOK");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bench-books/big.ovd"));
}

bool EnsureBigBook(const QString &path, BigBookSize size)
{
    if (QFileInfo::exists(path))
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    std::fprintf(stderr, "Generating %s (%d income, %d expense, %d loans)...\n", qPrintable(path), size.income,
                 size.payout, size.loan);
    if (!orv::BookSchema::createBook(partial, {{QStringLiteral("爸爸"), QStringLiteral("1")},
                                               {QStringLiteral("妈妈"), QStringLiteral("1")}}))
        return false;
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(partial).constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_exec(db, "PRAGMA synchronous = OFF; BEGIN", nullptr, nullptr, nullptr);
    QRandomGenerator rng(20261207);
    const bool ok = fill(db, "INCOME", size.income, orv::BookSchema::defaultCategories(orv::RecordKind::Income),
                         toList(kIncomeRemarks), rng) &&
                    fill(db, "PAYOUT", size.payout, orv::BookSchema::defaultCategories(orv::RecordKind::Payout),
                         toList(kPayoutRemarks), rng) &&
                    fill(db, "ON_LOAD", size.loan, orv::BookSchema::defaultCategories(orv::RecordKind::Loan),
                         toList(kLoanRemarks), rng);
    sqlite3_exec(db, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ok && QFile::rename(partial, path);
}
