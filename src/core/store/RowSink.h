#pragma once

#include "store/DbResult.h"

#include <QStringList>
#include <QVariantList>

#include <memory>

namespace orv {

class BookConnection;

// Writes many rows into one table, as fast as the engine takes them: a
// whole book of a million entries moves between a file and a server in
// seconds, not in the minutes a statement per row would take. Used inside
// a write transaction of the caller's, which makes the rows all or none.
class RowSink
{
public:
    virtual ~RowSink() = default;

    // One row's values in the order of the columns the sink was opened
    // with: texts, numbers, a null QVariant for NULL. False once something
    // failed; finish() tells what.
    virtual bool put(const QVariantList &row) = 0;
    // Sends what is left; the first failure, if any.
    virtual DbStatus finish() = 0;

    // The sink that suits the connection's engine.
    static std::unique_ptr<RowSink> open(BookConnection &conn, const QString &table, const QStringList &columns);
};

std::unique_ptr<RowSink> openSqliteRowSink(BookConnection &conn, const QString &table, const QStringList &columns);
std::unique_ptr<RowSink> openPostgresRowSink(BookConnection &conn, const QString &table, const QStringList &columns);

} // namespace orv
