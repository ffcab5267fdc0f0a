#include "store/RowSink.h"

#include "store/BookConnection.h"
#include "store/EngineOpen.h"
#include "model/TextForms.h"
#include "store/postgres/PgHandle.h"

#include <libpq-fe.h>

namespace orv {

namespace {

// COPY ... FROM STDIN in the text format: one line per row, the server
// reading rows as fast as they arrive.
class PostgresRowSink final : public RowSink
{
public:
    PostgresRowSink(PGconn *pg, const QString &table, const QStringList &columns) : m_pg(pg)
    {
        if (!m_pg) {
            m_error = DbError::statement(QStringLiteral("not a server book"));
            return;
        }
        QStringList quoted;
        for (const QString &column : columns)
            quoted << u'"' + column + u'"';
        const QByteArray sql = QStringLiteral("COPY \"%1\" (%2) FROM STDIN").arg(table, quoted.join(u',')).toUtf8();
        PGresult *result = PQexec(m_pg, sql.constData());
        if (PQresultStatus(result) != PGRES_COPY_IN)
            failWith(result);
        else
            m_copying = true;
        PQclear(result);
    }
    ~PostgresRowSink() override
    {
        // A copy that was never finished is ended as failed, so the
        // connection is usable (and the transaction rolls back).
        if (m_copying) {
            PQputCopyEnd(m_pg, "abandoned");
            drainResults();
        }
    }

    bool put(const QVariantList &row) override
    {
        if (!m_copying)
            return false;
        bool first = true;
        for (const QVariant &value : row) {
            if (!first)
                m_buffer += '\t';
            first = false;
            if (value.isNull()) {
                m_buffer += "\\N";
                continue;
            }
            appendEscaped(value.typeId() == QMetaType::Double ? moneyText(value.toDouble())
                                                              : value.toString());
        }
        m_buffer += '\n';
        if (m_buffer.size() >= kFlushBytes)
            return flush();
        return true;
    }

    DbStatus finish() override
    {
        if (m_copying && flush()) {
            m_copying = false;
            if (PQputCopyEnd(m_pg, nullptr) != 1)
                m_error = DbError::statement(QString::fromUtf8(PQerrorMessage(m_pg)), DbError::Cause::ConnectionLost);
            else
                drainResults();
        }
        if (!m_error.message.isEmpty())
            return m_error;
        return {};
    }

private:
    static constexpr qsizetype kFlushBytes = 256 * 1024;

    void appendEscaped(const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        for (const char c : utf8) {
            switch (c) {
            case '\\': m_buffer += "\\\\"; break;
            case '\t': m_buffer += "\\t"; break;
            case '\n': m_buffer += "\\n"; break;
            case '\r': m_buffer += "\\r"; break;
            default: m_buffer += c; break;
            }
        }
    }

    bool flush()
    {
        if (m_buffer.isEmpty())
            return true;
        if (PQputCopyData(m_pg, m_buffer.constData(), int(m_buffer.size())) != 1) {
            m_error = DbError::statement(QString::fromUtf8(PQerrorMessage(m_pg)), DbError::Cause::ConnectionLost);
            m_copying = false;
            return false;
        }
        m_buffer.clear();
        return true;
    }

    void drainResults()
    {
        while (PGresult *result = PQgetResult(m_pg)) {
            if (PQresultStatus(result) != PGRES_COMMAND_OK && m_error.message.isEmpty())
                failWith(result);
            PQclear(result);
        }
    }

    void failWith(PGresult *result)
    {
        const char *state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        m_error = DbError::statement(QString::fromUtf8(PQresultErrorMessage(result)).trimmed(),
                                     postgresCause(QString::fromLatin1(state ? state : "")));
    }

    PGconn *m_pg = nullptr;
    QByteArray m_buffer;
    DbError m_error;
    bool m_copying = false;
};

} // namespace

std::unique_ptr<RowSink> openPostgresRowSink(BookConnection &conn, const QString &table, const QStringList &columns)
{
    return std::make_unique<PostgresRowSink>(pgHandle(conn.database()), table, columns);
}

} // namespace orv
