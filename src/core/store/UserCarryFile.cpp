#include "store/UserCarryFile.h"

#include "settings/GbkText.h"
#include "store/BookConnection.h"

#include <QDir>
#include <QSqlError>

namespace orv::UserCarryFile {

QString path(const QString &programDir)
{
    return QDir(programDir).filePath(QString::fromUtf16(kFileName));
}

QStringList lines(const QList<UserAccount> &accounts)
{
    QStringList result;
    result.reserve(accounts.size() * 2);
    for (const UserAccount &account : accounts)
        result << account.name << account.password;
    return result;
}

bool write(const QString &path, const QList<UserAccount> &accounts)
{
    return writeGbkLines(path, lines(accounts));
}

std::optional<QList<UserAccount>> read(const QString &path, int count)
{
    if (count < 0)
        return std::nullopt;
    const std::optional<QStringList> fileLines = readGbkLines(path);
    if (!fileLines || fileLines->size() < 2 * qsizetype(count))
        return std::nullopt;
    QList<UserAccount> accounts;
    accounts.reserve(count);
    for (int i = 0; i < count; ++i)
        accounts.append({fileLines->at(2 * i), fileLines->at(2 * i + 1)});
    return accounts;
}

DbStatus replaceUsers(BookConnection &conn, const QList<UserAccount> &accounts)
{
    if (!conn.isOpen())
        return conn.openError();
    Transaction tx(conn);
    if (!tx.started())
        return tx.error();
    if (auto done = conn.change(QStringLiteral("DELETE FROM \"USER\"")); !done)
        return done.error();
    for (const UserAccount &account : accounts) {
        auto done = conn.change(QStringLiteral("INSERT INTO \"USER\" (\"user\", \"code\") VALUES (?, ?)"),
                                {account.name, account.password});
        if (!done)
            return done.error();
    }
    if (!tx.commit())
        return tx.error();
    return {};
}

} // namespace orv::UserCarryFile
