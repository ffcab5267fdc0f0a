#include "files/PendingFiles.h"

#include "files/AtomicWrite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orv {

namespace {

const QString kNotePrefix = QStringLiteral(".orvendal-pending-");

// Only files the program makes on their way in are ever removed by a note,
// whatever a note says.
bool isOnItsWay(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.contains(QLatin1String(".part-")) || name.contains(QLatin1String(".new-"));
}

} // namespace

PendingFile::PendingFile(QString programDir, QString path)
    : m_path(std::move(path))
{
    const QByteArray key = QCryptographicHash::hash(m_path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    m_note = QDir(programDir).filePath(kNotePrefix + QString::fromLatin1(key));
    // Without the note the file would only be a leftover of one more kind.
    writeFileAtomically(m_note, m_path.toUtf8());
}

PendingFile::~PendingFile()
{
    QFile::remove(m_note);
}

QStringList PendingFile::removeLeftovers(const QString &programDir)
{
    QStringList removed;
    const QDir dir(programDir);
    for (const QString &name : dir.entryList({kNotePrefix + u'*'}, QDir::Files | QDir::Hidden)) {
        QFile note(dir.filePath(name));
        QString path;
        if (note.open(QIODevice::ReadOnly))
            path = QString::fromUtf8(note.readAll());
        note.close();
        if (!path.isEmpty() && isOnItsWay(path)) {
            for (const QString &file : QStringList{path, path + QStringLiteral("-journal")}) {
                if (QFile::remove(file))
                    removed.append(file);
            }
        }
        QFile::remove(note.fileName());
    }
    return removed;
}

} // namespace orv
