#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// The automatic backup at the end of a run: follows the run's book, and
// when the run ends after this program changed the book (entries,
// categories, users, a whole new book), writes a dated copy into the
// backups folder, keeping the newest few. A run that only looked at the
// book leaves nothing behind. How many stay is [backups] keep in
// orvendal.ini; 0 turns the backups off.
class CAutoBackup final : public QObject
{
    Q_OBJECT

public:
    explicit CAutoBackup(QWidget *window);

    bool BookChanged() const { return m_bChanged; }
    // The run ends: the backup, with a progress dialog while it copies;
    // a failure is told. Runs once, however often the run is ended.
    void RunEnds();

private:
    void NoteChange();

    QPointer<QWidget> m_pWindow;
    bool m_bChanged = false;
    bool m_bDone = false;
};
