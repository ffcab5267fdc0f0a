#pragma once

#include "query/QueryCriteria.h"
#include "query/QueryStatement.h"
#include "model/EntryList.h"
#include "model/RecordKind.h"
#include "store/DbResult.h"
#include "model/Money.h"
#include "store/Progress.h"

#include <QList>
#include <QString>

namespace orv {

class BookConnection;

// The loan categories the balance knows, compared with the whole text.
inline const QString kLent = QStringLiteral("借出");
inline const QString kBorrowed = QStringLiteral("借入");
inline const QString kRepaidIn = QStringLiteral("还入");
inline const QString kRepaidOut = QStringLiteral("还出");

// Who owes whom after a set of loan entries. Money lent out and repayments
// made count for the user, money borrowed and repayments received against;
// an entry of any other category is listed but counted nowhere.
struct LoanBalance
{
    FenSum lent = 0;
    FenSum borrowed = 0;
    FenSum repaidIn = 0;
    FenSum repaidOut = 0;

    void add(const QString &category, double money);
    // The same rule for a sum of one category the engine added up.
    void addSum(const QString &category, FenSum sum);
    // 还出 + 借出 − 借入 − 还入
    FenSum balance() const;
    // The amount the summary shows: the balance without its sign.
    FenSum shownAmount() const;
    // "你欠别人钱", "别人欠你钱" or "互不相欠".
    QString conclusion() const;

    static LoanBalance of(const EntryList &list, qsizetype first, qsizetype count);
};

// The entries of one kind that a query found: where they start in the
// result's list, how many, and their sum.
struct QueryBlock
{
    RecordKind kind = RecordKind::Income;
    qsizetype first = 0;
    qsizetype count = 0;
    FenSum sum = 0;
};

namespace QueryRunner {

// Appends the entries of one kind that meet the criteria to a list, in date
// order (equal dates in the order they were entered), and sums them.
DbResult<QueryBlock> readBlock(const BookConnection &conn, const QueryCriteria &criteria, RecordKind kind,
                               EntryList &into);
// The quicker way to the entries of the criteria's dates in this book.
DateAccess chooseDateAccess(const BookConnection &conn, const QueryCriteria &criteria, RecordKind kind);
// Appends every entry of a kind, in date order, and sums them.
DbResult<QueryBlock> readEverything(const BookConnection &conn, RecordKind kind, EntryList &into,
                                    const Progress &progress = {});

} // namespace QueryRunner

// A query run from criteria to rows and totals: one block per kind of the
// range, the loan balance for loans.
struct QueryResult
{
    QueryCriteria criteria;
    EntryList entries;
    QList<QueryBlock> blocks;
    LoanBalance loans;

    // The summary figure: income − expense for the combined range, the
    // block's sum for a single kind, the loan balance's amount for loans.
    FenSum total() const;

    static DbResult<QueryResult> run(const BookConnection &conn, const QueryCriteria &criteria);
};

} // namespace orv
