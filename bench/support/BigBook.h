#pragma once

#include <QString>

// A large household book for the benchmarks: by default 400,000 income,
// 400,000 expense and 200,000 loan entries over 27 years, with the
// categories, remarks and users a family would write. Generated once
// (fixed seed, so every run measures the same book) and kept at the path.
struct BigBookSize
{
    int income = 400000;
    int payout = 400000;
    int loan = 200000;
};

// Makes the book at path unless it is already there; answers false on failure.
bool EnsureBigBook(const QString &path, BigBookSize size = {});

// Where the benchmarks keep their book: $ORV_BIG_BOOK or build/bench-books/big.ovd.
QString DefaultBigBookPath();
