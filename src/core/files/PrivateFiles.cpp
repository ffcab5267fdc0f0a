#include "files/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

FileOutcome createPrivateFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                          S_IRUSR | S_IWUSR);
    if (fd < 0)
        return FileOutcome::failedWithErrno(path, errno);
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(QFile::encodeName(path).constData());
        return FileOutcome::failedWithErrno(path, error);
    }
    if (::close(fd) != 0)
        return FileOutcome::failedWithErrno(path, errno);
    return FileOutcome::done(path);
}

FileOutcome makePrivateFolder(const QString &path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // The missing folders, from the innermost one up.
    QStringList missing;
    for (QString folder = absolute; !QFileInfo(folder).exists() && !QFileInfo(folder).isSymLink();) {
        missing.prepend(folder);
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    for (const QString &folder : std::as_const(missing)) {
        const QByteArray name = QFile::encodeName(folder);
        if (::mkdir(name.constData(), S_IRWXU) == 0)
            ::chmod(name.constData(), S_IRWXU); // mkdir applies the umask; ours is 0700 whatever it is
        else if (errno != EEXIST)
            return FileOutcome::failedWithErrno(folder, errno);
    }
    if (!QFileInfo(absolute).isDir())
        return FileOutcome::failed(absolute, qt_error_string(ENOTDIR));
    return FileOutcome::done(absolute);
}

} // namespace orv
