#include "backup/AutoBackups.h"

#include "files/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace orv::AutoBackups {

namespace {

const QString kFolderName = QStringLiteral("backups");
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss");

bool newerFirst(const NameParts &a, const NameParts &b)
{
    if (a.when != b.when)
        return a.when > b.when;
    return a.sequence > b.sequence;
}

} // namespace

QString folderFor(const BookLocation &book, const QString &programDir)
{
    const QString home = book.isFile() ? QFileInfo(book.filePath()).absolutePath() : programDir;
    return QDir(home).filePath(kFolderName);
}

QString fileName(const QDateTime &when, int sequence)
{
    QString name = when.toString(kTimeFormat);
    if (sequence > 1)
        name += QStringLiteral(" (%1)").arg(sequence);
    return name + QStringLiteral(" 自动备份.ovd");
}

std::optional<NameParts> partsOf(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(\\d{4}-\\d{2}-\\d{2} \\d{2}-\\d{2}-\\d{2})(?: \\(([1-9]\\d{0,5})\\))? 自动备份\\.ovd$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    NameParts parts;
    parts.when = QDateTime::fromString(match.captured(1), kTimeFormat);
    if (!parts.when.isValid())
        return std::nullopt;
    if (match.hasCaptured(2))
        parts.sequence = match.captured(2).toInt();
    return parts;
}

QStringList surplus(const QStringList &fileNames, int keep)
{
    QList<QPair<NameParts, QString>> backups;
    for (const QString &name : fileNames) {
        if (const auto parts = partsOf(name))
            backups.append({*parts, name});
    }
    std::sort(backups.begin(), backups.end(),
              [](const auto &a, const auto &b) { return newerFirst(a.first, b.first); });
    QStringList going;
    for (qsizetype i = backups.size() - 1; i >= std::max(keep, 0); --i)
        going.append(backups[i].second);
    return going;
}

Outcome make(const BookLocation &book, const QString &programDir, int keep, const QDateTime &now,
             const Progress &progress)
{
    Outcome outcome;
    outcome.folder = folderFor(book, programDir);
    if (FileOutcome made = makePrivateFolder(outcome.folder); !made) {
        outcome.folderMade = made;
        return outcome;
    }
    const QDir folder(outcome.folder);
    QString target;
    for (int sequence = 1;; ++sequence) {
        target = folder.filePath(fileName(now, sequence));
        const QFileInfo there(target);
        if (!there.exists() && !there.isSymLink())
            break;
    }
    outcome.copy = BookMaintenance::backupBook(book, programDir, target, progress);
    if (!outcome.copy.ok())
        return outcome;
    outcome.path = target;
    // Links are never followed nor removed: only files this program named.
    const QStringList names = folder.entryList(QDir::Files | QDir::NoSymLinks);
    for (const QString &name : surplus(names, std::max(keep, 1))) {
        QFile old(folder.filePath(name));
        if (!old.remove())
            outcome.notRemoved.append(FileOutcome::failed(old.fileName(), old.errorString()));
    }
    return outcome;
}

} // namespace orv::AutoBackups
