#pragma once

#include "records/RecordKind.h"
#include "store/DbResult.h"

#include <QString>

namespace orv {

class BookConnection;

// The book's figures on the start screen and in the status bar: how many
// entries of each kind, and the balance of income minus expense. Loans are
// counted, never summed.
struct BookStatus
{
    qint64 incomeCount = 0;
    qint64 payoutCount = 0;
    qint64 loanCount = 0;
    double incomeSum = 0.0;
    double payoutSum = 0.0;

    double balance() const { return incomeSum - payoutSum; }

    QString incomeCountText() const;
    QString payoutCountText() const;
    QString loanCountText() const;
    QString balanceText() const;

    static DbResult<BookStatus> compute(const BookConnection &conn);

    // Keeps the figures true after a change this program made itself,
    // without counting a large book again.
    void applyAdded(RecordKind kind, double money);
    void applyRemoved(RecordKind kind, double money);
    void applyChanged(RecordKind kind, double oldMoney, double newMoney);
};

} // namespace orv
