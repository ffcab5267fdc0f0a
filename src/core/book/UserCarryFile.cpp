#include "book/UserCarryFile.h"

#include "settings/GbkText.h"
#include "store/BookConnection.h"
#include "security/PasswordHash.h"

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

namespace {
std::function<void(const QString &)> g_writtenHook;
} // namespace

void setWrittenHook(std::function<void(const QString &path)> hook)
{
    g_writtenHook = std::move(hook);
}

bool hashPlainPasswords(QList<UserAccount> &accounts)
{
    for (UserAccount &account : accounts) {
        if (PasswordHash::isHash(account.password))
            continue;
        const std::optional<QString> code = PasswordHash::hash(account.password);
        if (!code)
            return false;
        account.password = *code;
    }
    return true;
}

FileOutcome write(const QString &path, const QList<UserAccount> &accounts)
{
    for (const UserAccount &account : accounts) {
        if (!PasswordHash::isHash(account.password))
            return FileOutcome::failed(path, QStringLiteral("a password is not hashed"));
    }
    FileOutcome written = writeGbkLines(path, lines(accounts));
    if (written && g_writtenHook)
        g_writtenHook(path);
    return written;
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
