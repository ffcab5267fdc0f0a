#include "store/BookSchema.h"

#include "files/PrivateFiles.h"
#include "store/BookConnection.h"
#include "security/PasswordHash.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace orv::BookSchema {

namespace {

const QStringList kEntryColumns = {QStringLiteral("id"), QStringLiteral("date"), QStringLiteral("items"),
                                   QStringLiteral("money"), QStringLiteral("remark"), QStringLiteral("user")};

QString entryTableDdl(const QString &table)
{
    // AUTOINCREMENT: a deleted entry's id is never given to a new one, so
    // ids in the list show gaps instead of silently meaning another entry.
    return QStringLiteral("CREATE TABLE \"%1\" ("
                          "\"id\" INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "\"date\" DATE, "
                          "\"items\" VARCHAR(255), "
                          "\"money\" DOUBLE, "
                          "\"remark\" VARCHAR(255), "
                          "\"user\" VARCHAR(255))")
        .arg(table);
}

QStringList columnsOf(const BookConnection &conn, const QString &table)
{
    QStringList columns;
    auto info = conn.read(conn.sql().columnNamesQuery(), {table});
    if (!info)
        return columns;
    while (info->next())
        columns.append(info->value(0).toString().toLower());
    return columns;
}

} // namespace

QString createDateIndex(const QString &entryTable)
{
    // Queries pick date ranges; the index keeps a year's query quick in a big book.
    return QStringLiteral("CREATE INDEX IF NOT EXISTS \"%1_date\" ON \"%1\" (\"date\")").arg(entryTable);
}

QString dropDateIndex(const QString &entryTable)
{
    return QStringLiteral("DROP INDEX IF EXISTS \"%1_date\"").arg(entryTable);
}

QStringList tableNames()
{
    return {QStringLiteral("INCOME"), QStringLiteral("PAYOUT"), QStringLiteral("ON_LOAD"),
            QStringLiteral("INCOME_ITEMS"), QStringLiteral("PAYOUT_ITEMS"), QStringLiteral("ON_LOAD_ITEMS"),
            QStringLiteral("USER")};
}

QStringList createStatements()
{
    QStringList ddl;
    for (RecordKind kind : kAllKinds) {
        const QString table = recordTable(kind);
        ddl << entryTableDdl(table);
        ddl << createDateIndex(table);
    }
    for (RecordKind kind : kAllKinds)
        ddl << QStringLiteral("CREATE TABLE \"%1\" (\"items\" VARCHAR(255))").arg(itemsTable(kind));
    ddl << QStringLiteral("CREATE TABLE \"USER\" (\"user\" VARCHAR(255), \"code\" VARCHAR(255))");
    return ddl;
}

QStringList defaultCategories(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Income:
        return {QStringLiteral("工资"), QStringLiteral("奖金"), QStringLiteral("兼职"), QStringLiteral("投资收益"),
                QStringLiteral("礼金"), QStringLiteral("报销"), QStringLiteral("其他")};
    case RecordKind::Payout:
        return {QStringLiteral("餐饮"), QStringLiteral("日用品"), QStringLiteral("交通"), QStringLiteral("住房"),
                QStringLiteral("水电燃气"), QStringLiteral("通讯"), QStringLiteral("服饰"), QStringLiteral("医疗"),
                QStringLiteral("教育"), QStringLiteral("娱乐"), QStringLiteral("人情往来"), QStringLiteral("其他")};
    case RecordKind::Loan:
        return {QStringLiteral("借出"), QStringLiteral("借入"), QStringLiteral("还入"), QStringLiteral("还出")};
    }
    return {};
}

bool isBook(const BookConnection &conn)
{
    if (!conn.isOpen())
        return false;
    for (RecordKind kind : kAllKinds) {
        if (columnsOf(conn, recordTable(kind)) != kEntryColumns)
            return false;
        if (columnsOf(conn, itemsTable(kind)) != QStringList{QStringLiteral("items")})
            return false;
    }
    return columnsOf(conn, QStringLiteral("USER")) == QStringList{QStringLiteral("user"), QStringLiteral("code")};
}

bool isBookFile(const QString &path)
{
    const BookConnection conn(path);
    return isBook(conn);
}

namespace {

DbStatus fillNewBook(const QString &path, const QList<StarterUser> &users, bool withCategories)
{
    // SQLite makes the file on first open; the book connection itself never creates files.
    const QString name = QStringLiteral("orvendal-create-book");
    bool created = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        created = db.open() && QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = 1"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!created)
        return DbError::cannotOpen(path);
    BookConnection conn(path);
    if (!conn.isOpen())
        return conn.openError();
    Transaction tx(conn);
    for (const QString &ddl : createStatements()) {
        if (auto done = conn.change(ddl); !done)
            return done.error();
    }
    for (RecordKind kind : kAllKinds) {
        const QString insert = QStringLiteral("INSERT INTO \"%1\" (\"items\") VALUES (?)").arg(itemsTable(kind));
        const QStringList items = withCategories ? defaultCategories(kind) : QStringList();
        for (const QString &item : items) {
            if (auto done = conn.change(insert, {item}); !done)
                return done.error();
        }
    }
    for (const StarterUser &user : users) {
        const std::optional<QString> code = PasswordHash::hash(user.password);
        if (!code)
            return DbError::refused(PasswordHash::failureMessage());
        auto done = conn.change(QStringLiteral("INSERT INTO \"USER\" (\"user\", \"code\") VALUES (?, ?)"),
                                {user.name, *code});
        if (!done)
            return done.error();
    }
    if (!tx.commit())
        return DbError::statement(QStringLiteral("commit failed"));
    return {};
}

} // namespace

namespace {

DbStatus makeBookFile(const QString &path, const QList<StarterUser> &users, bool withCategories)
{
    if (QFile::exists(path))
        return DbError::refused(QStringLiteral("%1 exists").arg(path));
    // Made 0600 before SQLite fills it, which keeps the mode.
    if (const FileOutcome made = createPrivateFile(path); !made)
        return DbError::cannotOpen(QStringLiteral("%1: %2").arg(path, made.error));
    const DbStatus status = fillNewBook(path, users, withCategories);
    if (!status)
        QFile::remove(path); // half a book is worse than none
    return status;
}

} // namespace

DbStatus createBook(const QString &path, const QList<StarterUser> &users)
{
    return makeBookFile(path, users, true);
}

DbStatus createBareBook(const QString &path)
{
    return makeBookFile(path, {}, false);
}

} // namespace orv::BookSchema
