#pragma once

#include "store/ChangeWatcher.h"

#include <QPointer>
#include <QSocketNotifier>

#include <memory>

typedef struct pg_conn PGconn;

namespace orv {

// A server book changed by another computer or window: every write to one
// of the book's tables sends a notification on the channel below (a
// trigger of the book's does it), which arrives on the connection's socket.
// Notifications this connection caused itself are told apart by the
// sending server process.
class PostgresChangeWatcher final : public ChangeWatcher
{
    Q_OBJECT

public:
    static constexpr char kChannel[] = "orvendal_book";

    explicit PostgresChangeWatcher(std::function<bool()> mayLook, QObject *parent = nullptr);
    ~PostgresChangeWatcher() override;

    void attach(BookConnection *conn) override;
    void detach() override;
    BookChanges takeForeignChanges() override;
    bool connectionStale() const override { return m_lost; }

private:
    void onReadable();
    BookChanges drain(bool readSocket);

    BookConnection *m_conn = nullptr;
    PGconn *m_pg = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    BookChanges m_pending;
    bool m_lost = false;
};

} // namespace orv
