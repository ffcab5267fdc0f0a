#pragma once

#include <QSqlDatabase>

typedef struct pg_conn PGconn;

namespace orv {

// The libpq connection under a Qt PostgreSQL connection, or nullptr: for
// what the Qt driver does not offer (notifications read as they come, bulk
// copies, fast reads).
PGconn *pgHandle(const QSqlDatabase &db);

} // namespace orv
