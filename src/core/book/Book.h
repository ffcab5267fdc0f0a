#pragma once

#include "items/CategoryStore.h"
#include "query/QueryResult.h"
#include "records/BookStatus.h"
#include "model/EntryList.h"
#include "model/RecordKind.h"
#include "store/BookChanges.h"
#include "store/BookLocation.h"
#include "store/DbResult.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <memory>

namespace orv {

class BookConnection;
class ChangeWatcher;

// The book the program works on, wherever it lives, and the one way in:
// it owns the connection (opened when first needed, opened again after a
// server went away or another program put a new book file in place),
// keeps the book's figures, and announces every change — its own, and
// those it notices others make — so that lists, figures and overviews
// follow the book instead of being told by each command.
class Book final : public QObject
{
    Q_OBJECT

public:
    explicit Book(BookLocation location, QObject *parent = nullptr);
    ~Book() override;

    const BookLocation &location() const { return m_location; }
    // Works on another book from now on (the connection to this one closes).
    void setLocation(const BookLocation &location);

    // The open connection, or nullptr with the reason in *error.
    BookConnection *connection(DbError *error = nullptr);
    // Closes the connection (a file book about to be replaced); the next
    // operation opens the book again.
    void close();
    // True while the book cannot be reached (a server that went away).
    bool isOffline() const { return m_offline; }

    // ---- entries
    DbResult<EntryList> entries(RecordKind kind);
    // Stores a new entry under values.user; answers its id.
    DbResult<qint64> addEntry(RecordKind kind, const EntryValues &values);
    // Changes an entry as the list shows it, held to the owner rule by the statement.
    DbStatus changeEntry(RecordKind kind, const ShownEntry &shown, const EntryValues &changed,
                         const QString &currentUser);
    // Deletes entries as the list shows them, all or none.
    DbStatus removeEntries(RecordKind kind, const QList<ShownEntry> &shown, const QString &currentUser);

    // ---- figures
    // The figures as last known (computed when first asked).
    const BookStatus &status();
    // Counts the book again.
    DbResult<BookStatus> recount();

    // ---- categories
    DbResult<QList<CategoryRow>> categoryRows(RecordKind kind);
    DbResult<QStringList> categoryNames(RecordKind kind);
    DbStatus addCategory(RecordKind kind, const QString &text);
    DbResult<int> renameCategory(RecordKind kind, const QString &oldText, const QString &newText);
    DbResult<int> removeCategory(RecordKind kind, const QString &text);
    DbStatus swapCategories(RecordKind kind, const CategoryRow &first, const CategoryRow &second);

    // ---- queries
    DbResult<QueryBlock> queryBlock(const QueryCriteria &criteria, RecordKind kind, EntryList &into);
    DbResult<QueryBlock> everything(RecordKind kind, EntryList &into, const Progress &progress = {});
    DbResult<QueryResult> query(const QueryCriteria &criteria);

    // This program changed the book by a way of its own (users, a whole new
    // book): tells everyone who follows it.
    void announce(BookChanges what);
    // Looks now for what others changed, rather than at the next look of
    // the watcher: after a command, the figures are those of the book.
    void catchUp();

    // True while an operation runs on the connection.
    bool isBusy() const { return m_busy > 0; }

Q_SIGNALS:
    // This program's own entry changes, for lists that follow them in place.
    void entryAdded(orv::RecordKind kind, qint64 id, const orv::EntryValues &values);
    void entryChanged(orv::RecordKind kind, qint64 id, const orv::EntryValues &values);
    void entriesRemoved(orv::RecordKind kind, const QList<qint64> &ids);
    // Another window or computer changed the book.
    void changedElsewhere(orv::BookChanges what);
    // This program changed the book otherwise than by one entry (a new
    // book, users, categories).
    void changed(orv::BookChanges what);
    // The figures changed (by this program or another).
    void statusChanged(const orv::BookStatus &status);
    // The book could not be reached, or can again.
    void offlineChanged(bool offline);

private:
    class Operation;
    friend class Operation;

    bool openConnection(DbError *error);
    void dropConnection();
    void setOffline(bool offline);
    // After one of this program's own entry changes: the figures follow by
    // the change itself, unless others wrote meanwhile; then they are counted.
    void followOwnChange(RecordKind kind, qint64 countDelta, FenSum moneyDelta);
    void onForeignChanges(BookChanges what);
    void tryReconnect();
    // Failures that mean the connection is gone leave the book offline.
    template <typename R>
    R checked(R result);

    BookLocation m_location;
    std::unique_ptr<BookConnection> m_conn;
    std::unique_ptr<ChangeWatcher> m_watcher;
    BookStatus m_status;
    bool m_statusKnown = false;
    bool m_offline = false;
    int m_busy = 0;
    QTimer m_reconnect;
    QThread *m_pinger = nullptr;
};

} // namespace orv
