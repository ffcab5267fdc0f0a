#include "export/FilePlacement.h"

#include "files/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace orv {

namespace {

QString partName(const QString &path)
{
    for (;;) {
        const QString candidate =
            QStringLiteral("%1.part-%2").arg(path, QString::number(QRandomGenerator::global()->generate(), 16));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

// On disk for good before it takes the old file's place; the error text.
QString syncToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    return synced ? QString() : qt_error_string(error);
}

} // namespace

SheetOutcome placeNewFile(const QString &path, const std::function<PartWrite(const QString &part)> &write)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!makePrivateFolder(folder))
        return {SheetProblem::CannotMakeFolder, folder};
    const bool replacing = target.exists() || target.isSymLink();
    if (replacing && (target.isDir() || !QFileInfo(folder).isWritable()))
        return {SheetProblem::CannotReplace, path};

    const QString part = partName(target.absoluteFilePath());
    // Made 0600 before the writer fills it, which keeps the mode.
    if (const FileOutcome made = createPrivateFile(part); !made)
        return {SheetProblem::CannotWrite, made.error, SheetFailure::CannotCreateFile};
    PartWrite written = write(part);
    if (!written.failed())
        written.text = syncToDisk(part);
    if (written.failed()) {
        QFile::remove(part);
        if (written.cancelled)
            return {SheetProblem::Cancelled, QString()};
        return {SheetProblem::CannotWrite, written.text, written.failure};
    }
    // rename(2) puts the finished file in place of the old one in one step.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const QString reason = qt_error_string(errno);
        QFile::remove(part);
        return {replacing ? SheetProblem::CannotReplace : SheetProblem::CannotWrite, reason};
    }
    return {};
}

SheetOutcome placeNewFile(const QString &path, const QByteArray &bytes)
{
    return placeNewFile(path, [&bytes](const QString &part) -> PartWrite {
        QFile file(part);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {file.errorString()};
        if (file.write(bytes) != bytes.size() || !file.flush())
            return {file.errorString()};
        file.close();
        return {file.error() == QFileDevice::NoError ? QString() : file.errorString()};
    });
}

} // namespace orv
