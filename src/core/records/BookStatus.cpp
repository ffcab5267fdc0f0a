#include "records/BookStatus.h"

#include "store/BookConnection.h"
#include "store/TextForms.h"

#include <QSqlQuery>

namespace orv {

QString BookStatus::incomeCountText() const { return QString::number(incomeCount); }
QString BookStatus::payoutCountText() const { return QString::number(payoutCount); }
QString BookStatus::loanCountText() const { return QString::number(loanCount); }
QString BookStatus::balanceText() const { return moneyText(balance()); }

DbResult<BookStatus> BookStatus::compute(const BookConnection &conn)
{
    BookStatus status;
    for (RecordKind kind : kAllKinds) {
        auto query = conn.read(QStringLiteral("SELECT COUNT(*), TOTAL(\"money\") FROM \"%1\"").arg(recordTable(kind)));
        if (!query)
            return query.error();
        if (!query->next())
            return DbError::statement(QStringLiteral("no count for %1").arg(recordTable(kind)));
        const qint64 count = query->value(0).toLongLong();
        const double sum = query->value(1).toDouble();
        switch (kind) {
        case RecordKind::Income:
            status.incomeCount = count;
            status.incomeSum = sum;
            break;
        case RecordKind::Payout:
            status.payoutCount = count;
            status.payoutSum = sum;
            break;
        case RecordKind::Loan:
            status.loanCount = count;
            break;
        }
    }
    return status;
}

void BookStatus::applyAdded(RecordKind kind, double money)
{
    switch (kind) {
    case RecordKind::Income: ++incomeCount; incomeSum += money; break;
    case RecordKind::Payout: ++payoutCount; payoutSum += money; break;
    case RecordKind::Loan: ++loanCount; break;
    }
}

void BookStatus::applyRemoved(RecordKind kind, double money)
{
    switch (kind) {
    case RecordKind::Income: --incomeCount; incomeSum -= money; break;
    case RecordKind::Payout: --payoutCount; payoutSum -= money; break;
    case RecordKind::Loan: --loanCount; break;
    }
}

void BookStatus::applyChanged(RecordKind kind, double oldMoney, double newMoney)
{
    switch (kind) {
    case RecordKind::Income: incomeSum += newMoney - oldMoney; break;
    case RecordKind::Payout: payoutSum += newMoney - oldMoney; break;
    case RecordKind::Loan: break;
    }
}

} // namespace orv
