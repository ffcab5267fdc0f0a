#pragma once

#include <QString>

namespace orv {

// orvendal.ini in the program folder: what a family sets once for the
// program folder, beside set.ini (which the program itself writes). Written
// by hand, UTF-8, for example
//
//     [book]
//     uri = postgresql://mama@nas.local/family?sslmode=require
//
//     [backups]
//     keep = 10
//
// book: where the book lives when no --book option is given (a server URI,
// or a file path relative to the program folder); empty or missing means
// the file Orvendal.ovd in the program folder. A server's password never
// goes here; libpq finds it in ~/.pgpass.
struct ProgramOptions
{
    static constexpr char kFileName[] = "orvendal.ini";
    static constexpr int kDefaultBackupsKept = 10;

    QString book;
    int backupsKept = kDefaultBackupsKept;

    // Reads the file in programDir; a missing file gives the defaults.
    static ProgramOptions load(const QString &programDir);
};

} // namespace orv
