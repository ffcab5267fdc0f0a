#include "store/BookConnection.h"

#include "store/BusyWait.h"
#include "store/EngineOpen.h"
#include "model/TextForms.h"

#include <QAtomicInteger>
#include <QSqlError>

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

} // namespace

BookConnection::BookConnection(const QString &bookPath)
    : BookConnection(BookLocation::file(bookPath))
{
}

BookConnection::BookConnection(const BookLocation &location)
    : m_name(nextConnectionName())
    , m_location(location)
{
    const bool server = location.isServer();
    // Statements of a connection that did not open still need their SQL
    // made; they then fail with the reason it did not open.
    m_dialect = server ? postgresDialect() : sqliteDialect();
    QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(server ? kPostgresDriver : kSqliteDriver), m_name);
    if (!db.isValid()) {
        // The engine's Qt driver is not installed.
        m_openError = DbError::cannotOpen(db.lastError().text(), DbError::Cause::Unknown);
        return;
    }
    EngineOpening opening = server ? openPostgresBook(db, location.uri()) : openSqliteBook(db, location.filePath());
    if (!opening.ok()) {
        m_openError = opening.error;
        return;
    }
    m_dialect = std::move(opening.dialect);
    m_causeOf = opening.causeOf;
    m_isGone = opening.isGone;
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

DbError BookConnection::failure(const QSqlError &error) const
{
    const DbError::Cause cause = m_causeOf ? m_causeOf(error) : DbError::Cause::Unknown;
    if (cause == DbError::Cause::ConnectionLost || error.type() == QSqlError::ConnectionError ||
        !database().isOpen() || (m_isGone && m_isGone(database())))
        m_lost = m_location.isServer();
    m_lastError = DbError::statement(engineText(error), m_lost ? DbError::Cause::ConnectionLost : cause);
    return m_lastError;
}

DbResult<QSqlQuery> BookConnection::exec(const QString &sql, const QVariantList &values, bool forwardOnly) const
{
    if (!m_open)
        return openError();
    for (const QVariant &value : values) {
        if (value.typeId() == QMetaType::QString && !isStorableText(value.toString()))
            return DbError::refused(unstorableTextMessage());
    }
    QSqlQuery query(database());
    query.setForwardOnly(forwardOnly);
    if (values.isEmpty()) {
        // Without values there is nothing to bind, and some statements
        // (definitions, locks, LISTEN) cannot be prepared on every engine.
        const bool done = query.exec(sql);
        BusyWait::finished();
        if (!done)
            return failure(query.lastError());
        return query;
    }
    if (!query.prepare(sql)) {
        BusyWait::finished();
        return failure(query.lastError());
    }
    for (const QVariant &value : values) {
        // Qt binds a null QString as SQL NULL; a text the user left empty is
        // an empty text, which "match everything" criteria must still find.
        if (value.typeId() == QMetaType::QString && value.toString().isNull())
            query.addBindValue(QStringLiteral(""));
        else
            query.addBindValue(value);
    }
    const bool done = query.exec();
    BusyWait::finished();
    if (!done)
        return failure(query.lastError());
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

bool BookConnection::control(const QString &statement)
{
    QSqlQuery query(database());
    const bool done = query.exec(statement);
    BusyWait::finished();
    if (!done)
        failure(query.lastError());
    return done;
}

bool BookConnection::beginTransaction()
{
    if (!m_open || m_inTransaction)
        return false;
    m_inTransaction = control(m_dialect->beginWrite());
    return m_inTransaction;
}

bool BookConnection::commit()
{
    if (!m_open || !m_inTransaction)
        return false;
    const bool done = control(QStringLiteral("COMMIT"));
    if (!done)
        control(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
    return done;
}

void BookConnection::rollback()
{
    if (!m_open || !m_inTransaction)
        return;
    control(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
}

DbStatus BookConnection::lockTable(const QString &table) const
{
    const QString statement = m_open ? m_dialect->lockTable(table) : QString();
    if (statement.isEmpty())
        return {};
    return change(statement);
}

} // namespace orv
