#pragma once

#include "store/DbResult.h"
#include "store/SqlDialect.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <memory>

namespace orv {

// What opening a book on one engine came to: the engine's dialect when the
// book is open, else why not. Used by BookConnection only.
struct EngineOpening
{
    std::unique_ptr<SqlDialect> dialect;
    // Reads the engine's error code of a failed statement.
    DbError::Cause (*causeOf)(const QSqlError &error) = nullptr;
    // True when the connection itself is gone (a server that went away).
    bool (*isGone)(const QSqlDatabase &db) = nullptr;
    DbError error;
    bool ok() const { return dialect != nullptr; }
};

// The Qt driver each engine is reached through.
inline constexpr char kSqliteDriver[] = "QSQLITE";
inline constexpr char kPostgresDriver[] = "QPSQL";

// Opens the book file at path on db (a QSQLITE connection), read-write,
// never creating it.
EngineOpening openSqliteBook(QSqlDatabase &db, const QString &path);
// Opens the server book named by uri on db (a QPSQL connection).
EngineOpening openPostgresBook(QSqlDatabase &db, const QString &uri);
// Connects db to the server database named by uri, whatever it holds.
bool openPostgresServer(QSqlDatabase &db, const QString &uri, DbError *error);

} // namespace orv

namespace orv {
// The engines' dialects, for a connection whatever came of opening it.
std::unique_ptr<SqlDialect> sqliteDialect();
std::unique_ptr<SqlDialect> postgresDialect();

// What a server's SQLSTATE means for the family.
DbError::Cause postgresCause(const QString &sqlState);
} // namespace orv
