#include "files/AtomicWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr int kMaxNameAttempts = 64;

QString tempNameFor(const QString &path)
{
    return QStringLiteral("%1.tmp-%2").arg(path).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// The rename is only durable once the folder's entry is on disk too. The
// new content is in place by then either way, so a folder that cannot be
// synced (some file systems refuse) does not undo or fail the write.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

FileOutcome writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    const QString targetPath = target.absoluteFilePath();
    QString temp;
    int fd = -1;
    for (int attempt = 0; attempt < kMaxNameAttempts && fd < 0; ++attempt) {
        temp = tempNameFor(targetPath);
        fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return FileOutcome::failedWithErrno(path, errno);

    const QByteArray tempName = QFile::encodeName(temp);
    auto fail = [&](bool stillOpen) {
        const int error = errno;
        if (stillOpen)
            ::close(fd);
        ::unlink(tempName.constData());
        return FileOutcome::failedWithErrno(path, error);
    };
    // 0600 whatever the umask says.
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0)
        return fail(true);
    if (!writeAll(fd, bytes))
        return fail(true);
    if (::fsync(fd) != 0)
        return fail(true);
    if (::close(fd) != 0)
        return fail(false);
    if (std::rename(tempName.constData(), QFile::encodeName(targetPath).constData()) != 0)
        return fail(false);
    syncFolder(target.absolutePath());
    return FileOutcome::done(path);
}

bool isAtomicWriteLeftover(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^.+\\.tmp-[0-9a-f]{8}$"));
    return pattern.match(fileName).hasMatch();
}

} // namespace orv
