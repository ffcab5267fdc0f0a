#pragma once

#include "store/ChangeWatcher.h"

#include <QTimer>

#include <sys/types.h>

namespace orv {

// A file book changed by another program: SQLite counts the commits other
// connections make (PRAGMA data_version, answered from the file's header
// without reading the book), and the file's identity tells when another
// program put a new book in its place (restore, new book).
class SqliteChangeWatcher final : public ChangeWatcher
{
    Q_OBJECT

public:
    explicit SqliteChangeWatcher(std::function<bool()> mayLook, QObject *parent = nullptr);

    void attach(BookConnection *conn) override;
    void detach() override;
    BookChanges takeForeignChanges() override;
    bool connectionStale() const override;

    // How often the book is looked at without being asked.
    static constexpr int kPollMs = 500;

private:
    void poll();
    bool readVersion(qint64 *version) const;

    BookConnection *m_conn = nullptr;
    qint64 m_version = 0;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    bool m_replacedSeen = false;
    QTimer m_timer;
};

} // namespace orv
