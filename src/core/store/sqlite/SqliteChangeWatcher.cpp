#include "store/sqlite/SqliteChangeWatcher.h"

#include "store/BookConnection.h"

#include <QFile>

#include <sys/stat.h>

namespace orv {

namespace {

bool identityOf(const QString &path, dev_t *device, ino_t *inode)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    *device = info.st_dev;
    *inode = info.st_ino;
    return true;
}

} // namespace

SqliteChangeWatcher::SqliteChangeWatcher(std::function<bool()> mayLook, QObject *parent)
    : ChangeWatcher(std::move(mayLook), parent)
{
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &SqliteChangeWatcher::poll);
}

void SqliteChangeWatcher::attach(BookConnection *conn)
{
    m_conn = conn;
    m_replacedSeen = false;
    if (!identityOf(conn->bookPath(), &m_device, &m_inode)) {
        m_device = 0;
        m_inode = 0;
    }
    readVersion(&m_version);
    m_timer.start();
}

void SqliteChangeWatcher::detach()
{
    m_timer.stop();
    m_conn = nullptr;
}

bool SqliteChangeWatcher::readVersion(qint64 *version) const
{
    if (!m_conn)
        return false;
    auto query = m_conn->read(QStringLiteral("PRAGMA data_version"));
    if (!query || !query->next())
        return false;
    *version = query->value(0).toLongLong();
    return true;
}

bool SqliteChangeWatcher::connectionStale() const
{
    if (!m_conn)
        return false;
    dev_t device = 0;
    ino_t inode = 0;
    if (!identityOf(m_conn->bookPath(), &device, &inode))
        return true;
    return device != m_device || inode != m_inode;
}

BookChanges SqliteChangeWatcher::takeForeignChanges()
{
    if (!m_conn)
        return {};
    if (connectionStale())
        return BookChange::Everything;
    qint64 version = 0;
    if (!readVersion(&version) || version == m_version)
        return {};
    m_version = version;
    // The count tells that others wrote, not what: everything may have changed.
    return BookChange::Everything;
}

void SqliteChangeWatcher::poll()
{
    if (!m_conn || !mayLook())
        return;
    if (connectionStale()) {
        // Told once; the Book opens the new file at its next operation.
        if (!m_replacedSeen) {
            m_replacedSeen = true;
            Q_EMIT foreignChanges(BookChange::Everything);
        }
        return;
    }
    if (const BookChanges changes = takeForeignChanges())
        Q_EMIT foreignChanges(changes);
}

} // namespace orv
