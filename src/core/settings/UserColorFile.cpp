#include "settings/UserColorFile.h"

#include "settings/GbkText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orv {

quint32 RgbValues::composed() const
{
    return quint32(red & 0xff) | (quint32(green & 0xff) << 8) | (quint32(blue & 0xff) << 16);
}

RgbValues RgbValues::fromComposed(quint32 bgr)
{
    return {int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff)};
}

int leadingInt(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > 0x7fffffff)
            value = 0x7fffffff;
        ++i;
    }
    return int(negative ? -value : value);
}

UserColorFile::UserColorFile(QString programDir, QString userName)
    : m_dir(std::move(programDir))
    , m_user(std::move(userName))
{
}

bool UserColorFile::isSafeUserName(const QString &userName)
{
    if (userName.isEmpty() || userName == QStringLiteral(".") || userName == QStringLiteral(".."))
        return false;
    for (const QChar c : userName) {
        if (c == u'/' || c == u'\\' || c == QChar(0))
            return false;
    }
    return true;
}

QString UserColorFile::filePath() const
{
    return QDir(m_dir).filePath(QStringLiteral("user/%1.ini").arg(m_user));
}

RgbValues UserColorFile::load() const
{
    if (!usable() || !ensureFileExists(filePath()))
        return kDefaultListColor;
    const QStringList lines = readGbkLines(filePath()).value_or(QStringList());
    const RgbValues read{leadingInt(lines.value(0)), leadingInt(lines.value(1)), leadingInt(lines.value(2))};
    if (read.composed() == 0) {
        save(kDefaultListColor);
        return kDefaultListColor;
    }
    return read;
}

namespace {

FileOutcome unusableName(const QString &path, const QString &userName)
{
    return FileOutcome::failed(path, QStringLiteral("用户名“%1”不能用作文件名").arg(userName));
}

} // namespace

FileOutcome UserColorFile::save(const RgbValues &rgb) const
{
    if (!usable())
        return unusableName(filePath(), m_user);
    return writeGbkLines(filePath(), {QString::number(rgb.red), QString::number(rgb.green), QString::number(rgb.blue)});
}

FileOutcome UserColorFile::remove() const
{
    if (!usable())
        return unusableName(filePath(), m_user);
    QFile file(filePath());
    if (!QFileInfo(filePath()).exists() && !QFileInfo(filePath()).isSymLink())
        return FileOutcome::done(filePath());
    if (!file.remove())
        return FileOutcome::failed(filePath(), file.errorString());
    return FileOutcome::done(filePath());
}

} // namespace orv
