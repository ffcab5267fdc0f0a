#pragma once

#include "files/FileOutcome.h"

#include <QString>

namespace orv {

// set.ini in the program folder: line 1 the direct-login flag ("0" off, any
// other text, even none, on), line 2 the user that direct login logs in.
struct DirectLoginSetting
{
    bool directLogin = false;
    QString userName;
    // False when set.ini could be neither read nor created; the caller then
    // asks for a password, the safe reading of a setting it cannot see.
    bool readable = false;
};

class ProgramSettings
{
public:
    explicit ProgramSettings(QString programDir);

    QString filePath() const;

    // Reads the setting, creating an empty file when there is none (which
    // counts as direct login on, for the empty user name).
    DirectLoginSetting load() const;
    // Writes the flag and the user on lines 1 and 2, all or nothing: a
    // failed write leaves the file as it was and says why.
    FileOutcome save(bool directLogin, const QString &userName) const;
    // Turns direct login off for the next start, keeping line 2 as it is.
    FileOutcome clearDirectLogin() const;

private:
    QString m_dir;
};

} // namespace orv
