#pragma once

#include "model/RecordKind.h"
#include "store/DbResult.h"
#include "model/Money.h"

#include <QString>

namespace orv {

class BookConnection;

// The book's figures on the start screen and in the status bar: how many
// entries of each kind, and the balance of income minus expense. Loans are
// counted, never summed. Sums are exact, in whole fen.
struct BookStatus
{
    qint64 incomeCount = 0;
    qint64 payoutCount = 0;
    qint64 loanCount = 0;
    FenSum incomeSum = 0;
    FenSum payoutSum = 0;

    FenSum balance() const { return incomeSum - payoutSum; }

    QString incomeCountText() const;
    QString payoutCountText() const;
    QString loanCountText() const;
    QString balanceText() const;

    static DbResult<BookStatus> compute(const BookConnection &conn);

    // Keeps the figures true after a change this program made itself,
    // without counting a large book again: entries of a kind came or went,
    // and their sum moved by so many fen (loans are counted only).
    void applyDelta(RecordKind kind, qint64 countDelta, FenSum moneyDelta);

    bool operator==(const BookStatus &) const = default;
};

} // namespace orv
