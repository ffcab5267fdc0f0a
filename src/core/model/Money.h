#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace orv {

// Sums of money are kept in whole fen (hundredths of a yuan) as integers,
// so that adding a million amounts gives exactly the total a person would
// get by adding the amounts the lists show: 0.1 + 0.2 is 0.30, never
// 0.30000000000000004, and no last digit drifts. Wide enough that no book
// overflows it, even one that holds the largest amount the program takes
// a million times over.
__extension__ typedef __int128 FenSum;

// An amount in whole fen, rounded exactly as "%.2f" shows it, so that a
// sum is always the sum of the shown amounts.
FenSum fenOf(double amount);

// "%.2f" of a sum: 1234.50, -12.50, 0.00.
QString fenText(FenSum fen);

// A sum as a number again, for the few places that compare or draw it.
double fenToDouble(FenSum fen);

// An exact decimal text as engines hand out sums and amounts ("12.30",
// "-7", "1e3" is not one): nullopt when it is not such a text.
std::optional<FenSum> fenFromDecimal(QStringView text);

} // namespace orv
