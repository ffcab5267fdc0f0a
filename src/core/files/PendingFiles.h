#pragma once

#include <QString>
#include <QStringList>

namespace orv {

// A file on its way in somewhere outside the program folder (a backup's
// ".part-" file beside the backup the user chose): noted in the program
// folder before it is made and forgotten once it is renamed into place or
// removed, so that the next start can remove the ones a run that died
// half-way left behind, wherever they are.
class PendingFile
{
public:
    PendingFile(QString programDir, QString path);
    ~PendingFile();
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    const QString &path() const { return m_path; }

    // At start: removes every file still noted (and SQLite's side files of
    // it), then the notes. Answers the files removed.
    static QStringList removeLeftovers(const QString &programDir);

private:
    QString m_note;
    QString m_path;
};

} // namespace orv
