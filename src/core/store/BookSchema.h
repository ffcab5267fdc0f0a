#pragma once

#include "model/RecordKind.h"
#include "store/DbResult.h"

#include <QString>
#include <QStringList>

namespace orv {

class BookConnection;

// The one definition of what a book holds: seven tables, their columns in
// order (rows are read by position), ids that are never handed out twice,
// and the categories a new book starts with.
namespace BookSchema {

// CREATE statements for the seven tables and their indexes.
QStringList createStatements();
// The index that keeps date ranges of an entry table quick, and its removal
// (for a bulk load, which builds it once afterwards instead of row by row).
QString createDateIndex(const QString &entryTable);
QString dropDateIndex(const QString &entryTable);
// The seven table names.
QStringList tableNames();
// The categories a new book offers for a kind.
QStringList defaultCategories(RecordKind kind);

// True when the connection's file holds the seven tables with their columns.
bool isBook(const BookConnection &conn);
// The same for a file on disk, without changing it.
bool isBookFile(const QString &path);

struct StarterUser
{
    QString name;
    QString password; // as typed; the book keeps its hash
};

// Writes a new book file (failing if one exists there) with the tables and
// the default categories, and with the given users.
DbStatus createBook(const QString &path, const QList<StarterUser> &users = {});

// A book file with the tables only: no category, no user. What a copy of
// another book is poured into.
DbStatus createBareBook(const QString &path);

// Makes a book in the empty server database the URI names: the tables, the
// default categories and the given users. Refused when the database holds
// any table already (it is not an empty database made for the book).
DbStatus createServerBook(const QString &uri, const QList<StarterUser> &users = {});

} // namespace BookSchema
} // namespace orv
