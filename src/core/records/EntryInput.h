#pragma once

#include <QChar>
#include <QString>

namespace orv {

// What the entry dialogs accept as an amount, a category and a remark, and
// how the amount field's text changes under the mouse wheel. Kept apart from
// the widgets so the rules are plain functions.

// Why an entry cannot be stored as typed, in the order the dialogs check.
enum class EntryProblem {
    None,
    AmountEmpty,     // nothing typed
    AmountNotNumber, // "1..2", a pasted "12元"
    AmountNotPositive, // 0, or so small it would be stored as 0.00
    AmountTooLarge,
    ItemsTooLong,    // more than the column holds
    RemarkTooLong,
    UnstorableText,  // a NUL, or a byte-order mark at the start
};

// Amounts above this are refused: no household writes them, and beyond it
// the two decimals the book keeps are lost.
inline constexpr double kMaxAmount = 1e30;

// The amount as a number, when the text is one (surrounding blanks allowed;
// no infinity, no "nan").
bool parseAmount(const QString &text, double *value);

// Checks amount, category and remark in that order; on success *money is the
// amount as the book will store it (two decimals).
EntryProblem checkEntryInput(const QString &amountText, const QString &items, const QString &remark,
                             double *money);

// The amount as the field shows it: the shortest form (0 → "0", 12.5 →
// "12.5", 100 → "100"), exactly the amount the list shows, so that an
// entry modified without a change stores the very same amount.
QString amountEditText(double amount);

// Characters that may be typed into the amount field: digits and the point.
// (Control characters such as backspace are editing keys, not text.)
bool isAmountCharacter(QChar c);

// The mouse wheel over the dialog, one notch, with the amount field focused:
// up adds 1; down subtracts 1 only from an amount above 0. An empty text
// counts as 0; a text that is not a number is left as it is.
QString wheelAmountText(const QString &text, bool up);

} // namespace orv
