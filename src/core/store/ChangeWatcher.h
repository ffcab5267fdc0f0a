#pragma once

#include "store/BookChanges.h"

#include <QObject>

#include <functional>
#include <memory>

namespace orv {

class BookConnection;

// Notices what other writers (another window, another computer) do to the
// book, through the connection the Book keeps open: cheaply, and without
// mistaking this program's own changes for theirs. One per engine.
class ChangeWatcher : public QObject
{
    Q_OBJECT

public:
    // mayLook: false while the Book is in the middle of an operation, when
    // the watcher must leave the connection alone.
    explicit ChangeWatcher(std::function<bool()> mayLook, QObject *parent = nullptr)
        : QObject(parent)
        , m_mayLook(std::move(mayLook))
    {
    }

    // Starts watching through this (newly opened) connection; stops watching
    // the one before.
    virtual void attach(BookConnection *conn) = 0;
    // The connection is about to close.
    virtual void detach() = 0;
    // Looks now: what others changed since the last look. Called by the
    // Book between its own operations (not inside one).
    virtual BookChanges takeForeignChanges() = 0;
    // True when the connection no longer reaches the book: the file was
    // replaced by another program, or the server went away.
    virtual bool connectionStale() const = 0;

    // The watcher that suits the connection's engine.
    static std::unique_ptr<ChangeWatcher> forConnection(const BookConnection &conn, std::function<bool()> mayLook);

Q_SIGNALS:
    // Others changed the book; noticed without being asked.
    void foreignChanges(orv::BookChanges what);
    // The server went away under the watch.
    void connectionLost();

protected:
    bool mayLook() const { return m_mayLook(); }

private:
    std::function<bool()> m_mayLook;
};

} // namespace orv
