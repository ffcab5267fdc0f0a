#pragma once

#include <QString>

#include <optional>

namespace orv {

// Where a book lives: the SQLite file beside the program (the default that
// needs nothing), or a database on a PostgreSQL server that several
// computers share, named by a libpq connection URI such as
// postgresql://mama@nas.local/family?sslmode=require.
//
// A server's password never travels in the address: it comes from libpq's
// own places (~/.pgpass, a service file, PGPASSWORD), so no file of the
// program and no process list ever shows it.
class BookLocation
{
public:
    enum class Kind { File, Server };

    static BookLocation file(const QString &path);
    // Reads an address as the user wrote it: a postgresql:// or postgres://
    // URI names a server book; anything else is a file path, taken relative
    // to baseDir. nullopt (and *problem set) when it cannot be used.
    static std::optional<BookLocation> parse(const QString &text, const QString &baseDir, QString *problem = nullptr);

    Kind kind() const { return m_kind; }
    bool isFile() const { return m_kind == Kind::File; }
    bool isServer() const { return m_kind == Kind::Server; }
    // The file's absolute path (file books).
    const QString &filePath() const { return m_text; }
    // The URI as given (server books).
    const QString &uri() const { return m_text; }
    // What the user is shown: the path, or the server and database.
    QString display() const;

    bool operator==(const BookLocation &) const = default;

private:
    BookLocation(Kind kind, QString text) : m_kind(kind), m_text(std::move(text)) {}
    Kind m_kind = Kind::File;
    QString m_text;
};

} // namespace orv
