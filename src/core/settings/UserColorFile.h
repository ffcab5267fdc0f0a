#pragma once

#include "files/FileOutcome.h"

#include <QString>

namespace orv {

// A list colour as the per-user file keeps it: three ints, red, green, blue.
struct RgbValues
{
    int red = 115;
    int green = 151;
    int blue = 234;

    // 0x00BBGGRR from the low byte of each value, as the colour was always composed.
    quint32 composed() const;
    static RgbValues fromComposed(quint32 bgr);
    bool operator==(const RgbValues &) const = default;
};

inline constexpr RgbValues kDefaultListColor{115, 151, 234};

// user/<name>.ini in the program folder: the list colour of one user.
class UserColorFile
{
public:
    UserColorFile(QString programDir, QString userName);

    // False for names that cannot be a file name of their own ("", "/", "..").
    static bool isSafeUserName(const QString &userName);
    QString filePath() const;
    bool usable() const { return isSafeUserName(m_user); }

    // The colour of the file. A missing, empty, unreadable or black file
    // gives the default colour, which is then written back.
    RgbValues load() const;
    // Writes the three values, all or nothing, creating the file if needed.
    FileOutcome save(const RgbValues &rgb) const;
    // A new user's file holds the default colour.
    FileOutcome writeDefault() const { return save(kDefaultListColor); }
    // Removes the file; a file that is not there counts as removed.
    FileOutcome remove() const;

private:
    QString m_dir;
    QString m_user;
};

// Reads a decimal int the way the file was always read: leading blanks
// skipped, optional sign, digits up to the first other character, none gives 0.
int leadingInt(const QString &text);

} // namespace orv
