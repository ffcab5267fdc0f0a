#include "settings/ProgramSettings.h"

#include "settings/GbkText.h"

#include <QDir>

namespace orv {

ProgramSettings::ProgramSettings(QString programDir)
    : m_dir(std::move(programDir))
{
}

QString ProgramSettings::filePath() const
{
    return QDir(m_dir).filePath(QStringLiteral("set.ini"));
}

DirectLoginSetting ProgramSettings::load() const
{
    DirectLoginSetting setting;
    if (!ensureFileExists(filePath()))
        return setting;
    const auto lines = readGbkLines(filePath());
    if (!lines)
        return setting;
    setting.readable = true;
    const QString flag = lines->value(0);
    setting.directLogin = flag != QStringLiteral("0");
    setting.userName = lines->value(1);
    return setting;
}

FileOutcome ProgramSettings::save(bool directLogin, const QString &userName) const
{
    QStringList lines = readGbkLines(filePath()).value_or(QStringList());
    while (lines.size() < 2)
        lines.append(QString());
    lines[0] = directLogin ? QStringLiteral("1") : QStringLiteral("0");
    lines[1] = userName;
    return writeGbkLines(filePath(), lines);
}

FileOutcome ProgramSettings::clearDirectLogin() const
{
    // Only line 1 changes; the rest of the file is kept line by line, so a
    // shorter or empty first line can never spill into the user name.
    QStringList lines = readGbkLines(filePath()).value_or(QStringList());
    if (lines.isEmpty())
        lines.append(QString());
    lines[0] = QStringLiteral("0");
    return writeGbkLines(filePath(), lines);
}

} // namespace orv
