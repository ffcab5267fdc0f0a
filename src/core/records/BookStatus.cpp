#include "records/BookStatus.h"

#include "store/BookConnection.h"

#include <QSqlQuery>

namespace orv {

QString BookStatus::incomeCountText() const { return QString::number(incomeCount); }
QString BookStatus::payoutCountText() const { return QString::number(payoutCount); }
QString BookStatus::loanCountText() const { return QString::number(loanCount); }
QString BookStatus::balanceText() const { return fenText(balance()); }

DbResult<BookStatus> BookStatus::compute(const BookConnection &conn)
{
    BookStatus status;
    const QString sum = conn.sql().exactSum(QStringLiteral("\"money\""));
    for (RecordKind kind : kAllKinds) {
        auto query = conn.read(QStringLiteral("SELECT COUNT(*), %2 FROM \"%1\"").arg(recordTable(kind), sum));
        if (!query)
            return query.error();
        if (!query->next())
            return DbError::statement(QStringLiteral("no count for %1").arg(recordTable(kind)));
        const qint64 count = query->value(0).toLongLong();
        const FenSum total = fenFromDecimal(query->value(1).toString()).value_or(0);
        switch (kind) {
        case RecordKind::Income:
            status.incomeCount = count;
            status.incomeSum = total;
            break;
        case RecordKind::Payout:
            status.payoutCount = count;
            status.payoutSum = total;
            break;
        case RecordKind::Loan:
            status.loanCount = count;
            break;
        }
    }
    return status;
}

void BookStatus::applyDelta(RecordKind kind, qint64 countDelta, FenSum moneyDelta)
{
    switch (kind) {
    case RecordKind::Income:
        incomeCount += countDelta;
        incomeSum += moneyDelta;
        break;
    case RecordKind::Payout:
        payoutCount += countDelta;
        payoutSum += moneyDelta;
        break;
    case RecordKind::Loan:
        loanCount += countDelta;
        break;
    }
}

} // namespace orv
