#include "store/BookConnection.h"

#include "store/BusyWait.h"
#include "store/SqliteErrors.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>

namespace orv {

namespace {

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("orvendal-book-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString engineText(const QSqlError &error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text.trimmed();
}

DbError::Cause causeOf(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? sqliteCause(code) : DbError::Cause::Unknown;
}

DbError statementError(const QSqlError &error)
{
    return DbError::statement(engineText(error), causeOf(error));
}

} // namespace

BookConnection::BookConnection(const QString &bookPath)
    : m_name(nextConnectionName())
    , m_path(bookPath)
{
    const QFileInfo info(bookPath);
    if (!info.isFile()) {
        m_openError = QStringLiteral("%1: file not found").arg(bookPath);
        m_openCause = DbError::Cause::Missing;
        return;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // mode=rw: SQLite would otherwise create an empty file in place of a
    // book that went missing between the check and the open.
    QUrl uri = QUrl::fromLocalFile(info.absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    if (!db.open()) {
        m_openError = engineText(db.lastError());
        m_openCause = causeOf(db.lastError());
        return;
    }
    installSqliteBusyWait(sqliteHandle(db));
    // Opening succeeds on any file; the first read tells a book from a stray file.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("PRAGMA schema_version")) || !probe.next()) {
        m_openError = engineText(probe.lastError());
        m_openCause = causeOf(probe.lastError());
        probe.finish();
        db.close();
        return;
    }
    probe.finish();
    QSqlQuery(db).exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    m_open = true;
}

BookConnection::~BookConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase BookConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

DbResult<QSqlQuery> BookConnection::exec(const QString &sql, const QVariantList &values, bool forwardOnly) const
{
    if (!m_open)
        return openError();
    QSqlQuery query(database());
    query.setForwardOnly(forwardOnly);
    if (!query.prepare(sql)) {
        BusyWait::finished();
        return statementError(query.lastError());
    }
    for (const QVariant &value : values) {
        // Qt binds a null QString as SQL NULL; a text the user left empty is
        // an empty text, which "match every value" criteria must still find.
        if (value.typeId() == QMetaType::QString && value.toString().isNull())
            query.addBindValue(QStringLiteral(""));
        else
            query.addBindValue(value);
    }
    const bool done = query.exec();
    BusyWait::finished();
    if (!done)
        return statementError(query.lastError());
    return query;
}

DbResult<QSqlQuery> BookConnection::run(const QString &sql, const QVariantList &values) const
{
    return exec(sql, values, false);
}

DbResult<QSqlQuery> BookConnection::read(const QString &sql, const QVariantList &values) const
{
    return exec(sql, values, true);
}

DbResult<int> BookConnection::change(const QString &sql, const QVariantList &values) const
{
    auto query = exec(sql, values, true);
    if (!query)
        return query.error();
    return query->numRowsAffected();
}

bool BookConnection::beginTransaction()
{
    return m_open && database().transaction();
}

bool BookConnection::commit()
{
    return m_open && database().commit();
}

void BookConnection::rollback()
{
    if (m_open)
        database().rollback();
}

} // namespace orv
