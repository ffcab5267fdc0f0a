#include "book/Book.h"

#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/ChangeWatcher.h"
#include "model/TextForms.h"

#include <libpq-fe.h>

namespace orv {

namespace {

// How often an unreachable server is asked whether it is back.
constexpr int kReconnectMs = 3000;

} // namespace

// One operation on the connection: the watcher keeps off it meanwhile.
class Book::Operation
{
public:
    explicit Operation(Book &book) : m_book(book) { ++m_book.m_busy; }
    ~Operation() { --m_book.m_busy; }
    Operation(const Operation &) = delete;
    Operation &operator=(const Operation &) = delete;

private:
    Book &m_book;
};

Book::Book(BookLocation location, QObject *parent)
    : QObject(parent)
    , m_location(std::move(location))
{
    m_reconnect.setInterval(kReconnectMs);
    connect(&m_reconnect, &QTimer::timeout, this, &Book::tryReconnect);
}

Book::~Book()
{
    if (m_pinger)
        m_pinger->wait();
    dropConnection();
}

void Book::setLocation(const BookLocation &location)
{
    dropConnection();
    m_location = location;
    m_statusKnown = false;
    m_status = {};
    setOffline(false);
}

void Book::dropConnection()
{
    if (m_watcher)
        m_watcher->detach();
    m_watcher.reset();
    m_conn.reset();
}

void Book::close()
{
    dropConnection();
}

void Book::setOffline(bool offline)
{
    if (offline)
        m_reconnect.start();
    else
        m_reconnect.stop();
    if (m_offline == offline)
        return;
    m_offline = offline;
    Q_EMIT offlineChanged(offline);
}

bool Book::openConnection(DbError *error)
{
    auto conn = std::make_unique<BookConnection>(m_location);
    if (!conn->isOpen()) {
        if (error)
            *error = conn->openError();
        const DbError::Cause cause = conn->openError().cause;
        setOffline(m_location.isServer() &&
                   (cause == DbError::Cause::ServerDown || cause == DbError::Cause::ConnectionLost));
        return false;
    }
    m_conn = std::move(conn);
    m_watcher = ChangeWatcher::forConnection(*m_conn, [this] { return m_busy == 0; });
    connect(m_watcher.get(), &ChangeWatcher::foreignChanges, this, &Book::onForeignChanges);
    connect(m_watcher.get(), &ChangeWatcher::connectionLost, this, [this] {
        dropConnection();
        setOffline(true);
    });
    ++m_busy;
    m_watcher->attach(m_conn.get());
    --m_busy;
    setOffline(false);
    return true;
}

BookConnection *Book::connection(DbError *error)
{
    if (m_conn && (m_conn->isLost() || (m_watcher && m_watcher->connectionStale()))) {
        const bool replaced = m_location.isFile();
        dropConnection();
        // Another program put a new book in place: everything on screen is
        // of the old one.
        if (replaced) {
            m_statusKnown = false;
            QMetaObject::invokeMethod(this, [this] { onForeignChanges(BookChange::Everything); }, Qt::QueuedConnection);
        }
    }
    if (!m_conn && !openConnection(error))
        return nullptr;
    return m_conn.get();
}

template <typename R>
R Book::checked(R result)
{
    if (!result.ok() && m_conn && m_conn->isLost()) {
        dropConnection();
        setOffline(true);
    }
    return result;
}

// ---------------------------------------------------------------- entries

DbResult<EntryList> Book::entries(RecordKind kind)
{
    DbError error;
    BookConnection *conn = connection(&error);
    if (!conn)
        return error;
    const Operation op(*this);
    return checked(EntryStore::readAll(*conn, kind));
}

DbResult<qint64> Book::addEntry(RecordKind kind, const EntryValues &values)
{
    DbError error;
    BookConnection *conn = connection(&error);
    if (!conn)
        return error;
    EntryList scratch;
    DbResult<Entry> stored = [&] {
        const Operation op(*this);
        return checked(EntryStore::insert(*conn, kind, values, scratch));
    }();
    if (!stored)
        return stored.error();
    const EntryValues kept = scratch.values(*stored);
    followOwnChange(kind, 1, fenOf(kept.money));
    Q_EMIT entryAdded(kind, stored->id, kept);
    return stored->id;
}

DbStatus Book::changeEntry(RecordKind kind, const ShownEntry &shown, const EntryValues &changed,
                           const QString &currentUser)
{
    DbError error;
    BookConnection *conn = connection(&error);
    if (!conn)
        return error;
    DbStatus done = [&] {
        const Operation op(*this);
        return checked(EntryStore::update(*conn, kind, shown, changed, currentUser));
    }();
    if (!done) {
        // The list was out of date: it is read again.
        if (done.error().kind == DbError::Kind::Refused)
            onForeignChanges(entryChange(kind));
        return done;
    }
    EntryValues stored = changed;
    stored.money = storedMoney(changed.money);
    stored.user = shown.values.user;
    followOwnChange(kind, 0, fenOf(stored.money) - fenOf(shown.values.money));
    Q_EMIT entryChanged(kind, shown.id, stored);
    return {};
}

DbStatus Book::removeEntries(RecordKind kind, const QList<ShownEntry> &shown, const QString &currentUser)
{
    DbError error;
    BookConnection *conn = connection(&error);
    if (!conn)
        return error;
    DbStatus done = [&] {
        const Operation op(*this);
        return checked(EntryStore::remove(*conn, kind, shown, currentUser));
    }();
    if (!done) {
        if (done.error().kind == DbError::Kind::Refused)
            onForeignChanges(entryChange(kind));
        return done;
    }
    QList<qint64> ids;
    FenSum removed = 0;
    for (const ShownEntry &entry : shown) {
        ids.append(entry.id);
        removed += fenOf(entry.values.money);
    }
    followOwnChange(kind, -shown.size(), -removed);
    Q_EMIT entriesRemoved(kind, ids);
    return {};
}

// ---------------------------------------------------------------- figures

const BookStatus &Book::status()
{
    if (!m_statusKnown)
        recount();
    return m_status;
}

DbResult<BookStatus> Book::recount()
{
    DbError error;
    BookConnection *conn = connection(&error);
    if (!conn)
        return error;
    DbResult<BookStatus> counted = [&] {
        const Operation op(*this);
        return checked(BookStatus::compute(*conn));
    }();
    if (!counted)
        return counted;
    const bool moved = !m_statusKnown || !(*counted == m_status);
    m_status = *counted;
    m_statusKnown = true;
    if (moved)
        Q_EMIT statusChanged(m_status);
    return counted;
}

void Book::followOwnChange(RecordKind kind, qint64 countDelta, FenSum moneyDelta)
{
    // Others' changes are read from the engine between operations; a change
    // of theirs that came in meanwhile makes the quick way wrong.
    const BookChanges foreign = m_watcher ? m_watcher->takeForeignChanges() : BookChanges();
    if (foreign || !m_statusKnown) {
        recount();
        if (foreign)
            QMetaObject::invokeMethod(this, [this, foreign] { Q_EMIT changedElsewhere(foreign); },
                                      Qt::QueuedConnection);
        return;
    }
    m_status.applyDelta(kind, countDelta, moneyDelta);
    Q_EMIT statusChanged(m_status);
}

void Book::onForeignChanges(BookChanges what)
{
    if (what & (BookChange::Income | BookChange::Payout | BookChange::Loans))
        recount();
    Q_EMIT changedElsewhere(what);
}

void Book::announce(BookChanges what)
{
    if (what & (BookChange::Income | BookChange::Payout | BookChange::Loans)) {
        m_statusKnown = false;
        recount();
    }
    Q_EMIT changed(what);
}

void Book::catchUp()
{
    if (!m_conn || m_busy > 0)
        return;
    if (m_watcher && m_watcher->connectionStale()) {
        connection();
        return;
    }
    const BookChanges foreign = m_watcher ? m_watcher->takeForeignChanges() : BookChanges();
    if (foreign)
        onForeignChanges(foreign);
}

void Book::tryReconnect()
{
    if (!m_offline || m_conn || m_pinger || m_location.isFile())
        return;
    // Asked aside, so that a server that does not answer never freezes the window.
    QString uri = m_location.uri();
    uri += uri.contains(u'?') ? QStringLiteral("&connect_timeout=3") : QStringLiteral("?connect_timeout=3");
    auto answer = std::make_shared<PGPing>(PQPING_NO_RESPONSE);
    m_pinger = QThread::create([uri, answer] { *answer = PQping(uri.toUtf8().constData()); });
    connect(m_pinger, &QThread::finished, this, [this, answer] {
        m_pinger->deleteLater();
        m_pinger = nullptr;
        if (*answer != PQPING_OK || m_conn)
            return;
        if (openConnection(nullptr)) {
            // What others did while the book was out of reach is not known.
            m_statusKnown = false;
            onForeignChanges(BookChange::Everything);
        }
    });
    m_pinger->start();
}

// ---------------------------------------------------------------- categories

#define ORV_WITH_CONNECTION(call)                                                                                      \
    DbError error;                                                                                                     \
    BookConnection *conn = connection(&error);                                                                         \
    if (!conn)                                                                                                         \
        return error;                                                                                                  \
    const Operation op(*this);                                                                                         \
    return checked(call)

DbResult<QList<CategoryRow>> Book::categoryRows(RecordKind kind)
{
    ORV_WITH_CONNECTION(CategoryStore::rows(*conn, kind));
}

DbResult<QStringList> Book::categoryNames(RecordKind kind)
{
    ORV_WITH_CONNECTION(CategoryStore::names(*conn, kind));
}

DbStatus Book::addCategory(RecordKind kind, const QString &text)
{
    DbStatus done = [&]() -> DbStatus { ORV_WITH_CONNECTION(CategoryStore::add(*conn, kind, text)); }();
    if (done)
        Q_EMIT changed(BookChange::Categories);
    return done;
}

DbResult<int> Book::renameCategory(RecordKind kind, const QString &oldText, const QString &newText)
{
    DbResult<int> done = [&]() -> DbResult<int> {
        ORV_WITH_CONNECTION(CategoryStore::rename(*conn, kind, oldText, newText));
    }();
    if (done)
        Q_EMIT changed(BookChange::Categories);
    return done;
}

DbResult<int> Book::removeCategory(RecordKind kind, const QString &text)
{
    DbResult<int> done = [&]() -> DbResult<int> { ORV_WITH_CONNECTION(CategoryStore::remove(*conn, kind, text)); }();
    if (done)
        Q_EMIT changed(BookChange::Categories);
    return done;
}

DbStatus Book::swapCategories(RecordKind kind, const CategoryRow &first, const CategoryRow &second)
{
    DbStatus done = [&]() -> DbStatus { ORV_WITH_CONNECTION(CategoryStore::swap(*conn, kind, first, second)); }();
    if (done)
        Q_EMIT changed(BookChange::Categories);
    return done;
}

// ---------------------------------------------------------------- queries

DbResult<QueryBlock> Book::queryBlock(const QueryCriteria &criteria, RecordKind kind, EntryList &into)
{
    ORV_WITH_CONNECTION(QueryRunner::readBlock(*conn, criteria, kind, into));
}

DbResult<QueryBlock> Book::everything(RecordKind kind, EntryList &into, const Progress &progress)
{
    ORV_WITH_CONNECTION(QueryRunner::readEverything(*conn, kind, into, progress));
}

DbResult<QueryResult> Book::query(const QueryCriteria &criteria)
{
    ORV_WITH_CONNECTION(QueryResult::run(*conn, criteria));
}

#undef ORV_WITH_CONNECTION

} // namespace orv
