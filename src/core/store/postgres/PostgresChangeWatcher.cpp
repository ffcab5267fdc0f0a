#include "store/postgres/PostgresChangeWatcher.h"

#include "store/BookConnection.h"

#include "store/postgres/PgHandle.h"

#include <libpq-fe.h>

namespace orv {


PostgresChangeWatcher::PostgresChangeWatcher(std::function<bool()> mayLook, QObject *parent)
    : ChangeWatcher(std::move(mayLook), parent)
{
}

PostgresChangeWatcher::~PostgresChangeWatcher() = default;

void PostgresChangeWatcher::attach(BookConnection *conn)
{
    detach();
    m_conn = conn;
    m_lost = false;
    m_pending = {};
    m_pg = pgHandle(conn->database());
    if (!m_pg || !conn->change(QStringLiteral("LISTEN %1").arg(QLatin1String(kChannel))))
        return;
    m_notifier = std::make_unique<QSocketNotifier>(PQsocket(m_pg), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PostgresChangeWatcher::onReadable);
}

void PostgresChangeWatcher::detach()
{
    m_notifier.reset();
    m_conn = nullptr;
    m_pg = nullptr;
}

BookChanges PostgresChangeWatcher::drain(bool readSocket)
{
    if (!m_pg)
        return {};
    if (readSocket && (!PQconsumeInput(m_pg) || PQstatus(m_pg) == CONNECTION_BAD)) {
        // The socket is readable but holds nothing, or the server's last
        // word: the server hung up.
        m_lost = true;
        m_notifier.reset();
        return {};
    }
    const int self = PQbackendPID(m_pg);
    BookChanges changes;
    while (PGnotify *notify = PQnotifies(m_pg)) {
        if (notify->be_pid != self)
            changes |= changeOfTable(QString::fromUtf8(notify->extra));
        PQfreemem(notify);
    }
    return changes;
}

BookChanges PostgresChangeWatcher::takeForeignChanges()
{
    // A round trip to the server first: a change another computer committed
    // before it was sent has its notification ahead of the answer, so that
    // what was done before this moment is known at this moment.
    if (m_conn && !m_conn->read(QStringLiteral("SELECT 1")))
        m_lost = m_conn->isLost();
    BookChanges changes = m_pending | drain(true);
    m_pending = {};
    return changes;
}

void PostgresChangeWatcher::onReadable()
{
    if (!mayLook()) {
        // In the middle of an operation the driver reads the socket itself;
        // what arrived is taken when the operation is over.
        m_pending |= drain(false);
        return;
    }
    const BookChanges changes = m_pending | drain(true);
    m_pending = {};
    if (m_lost) {
        Q_EMIT connectionLost();
        return;
    }
    if (changes)
        Q_EMIT foreignChanges(changes);
}

} // namespace orv
