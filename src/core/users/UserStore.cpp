#include "users/UserStore.h"

#include "settings/UserColorFile.h"
#include "store/BookConnection.h"
#include "model/TextForms.h"
#include "security/PasswordHash.h"

#include <QFile>
#include <QSqlError>

namespace orv::UserStore {

DbResult<QList<UserAccount>> accounts(const BookConnection &conn)
{
    auto query = conn.read(
        QStringLiteral("SELECT \"user\", \"code\" FROM \"USER\" ORDER BY %1").arg(conn.sql().insertionOrder()));
    if (!query)
        return query.error();
    QList<UserAccount> list;
    while (query->next())
        list.append({query->value(0).toString(), query->value(1).toString()});
    return list;
}

DbResult<QStringList> names(const BookConnection &conn)
{
    auto list = accounts(conn);
    if (!list)
        return list.error();
    QStringList result;
    for (const UserAccount &account : *list)
        result.append(account.name);
    return result;
}

DbResult<std::optional<QString>> passwordOf(const BookConnection &conn, const QString &name)
{
    auto query = conn.read(QStringLiteral("SELECT \"code\" FROM \"USER\" WHERE \"user\" = ? ORDER BY %1 LIMIT 1")
                               .arg(conn.sql().insertionOrder()),
                           {name});
    if (!query)
        return query.error();
    if (!query->next())
        return std::optional<QString>();
    return std::optional<QString>(query->value(0).toString());
}

namespace {

// The colour file user/<name>.ini must fit the file system's 255 bytes for
// a file name; on Linux those are UTF-8 bytes.
constexpr int kMaxFileNameBytes = 255;

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return true;
    }
    return false;
}

DbError goneMessage(const QString &name)
{
    return DbError::refused(QStringLiteral("用户“%1”已不在帐本中，可能已被删除。").arg(name));
}

DbResult<int> countOf(const BookConnection &conn, const QString &sql, const QVariantList &values = {})
{
    auto query = conn.read(sql, values);
    if (!query)
        return query.error();
    if (!query->next())
        return 0;
    return query->value(0).toInt();
}

DbError commitFailed(const BookConnection &conn)
{
    return conn.lastError();
}

} // namespace

QString emptyNameMessage()
{
    return QStringLiteral("用户名不能为空!");
}

QString nameTakenMessage()
{
    return QStringLiteral("此用户名已存在,请选择其它用户名!");
}

QString lastUserMessage()
{
    return QStringLiteral("当前只有一个用户不能再删除了!");
}

std::optional<QString> nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return emptyNameMessage();
    // Blanks at the ends cannot be seen in the login's list: they would only
    // make a user who looks like another one. Names are never trimmed
    // behind the user's back, so the name is refused as typed.
    if (name.trimmed() != name)
        return QStringLiteral("用户名的开头和结尾不能是空格，请去掉空格后再试!");
    if (!isStorableText(name))
        return unstorableTextMessage();
    if (!UserColorFile::isSafeUserName(name) || hasControlCharacter(name))
        return QStringLiteral("用户名不能是“.”或“..”，也不能含有“/”、“\\”或换行等控制字符，请选择其它用户名!");
    const qsizetype fileNameBytes = QFile::encodeName(name + QStringLiteral(".ini")).size();
    if (!fitsTextColumn(name) || fileNameBytes > kMaxFileNameBytes)
        return QStringLiteral("用户名太长了!用户名最多约 80 个汉字或 250 个字母，请选择较短的用户名。");
    return std::nullopt;
}

std::optional<QString> passwordProblem(const QString &password)
{
    // Pasted with a mark no one sees, it could never be typed again at the login.
    if (!isStorableText(password))
        return unstorableTextMessage();
    if (hasControlCharacter(password))
        return QStringLiteral("密码不能含有换行等控制字符!");
    if (!fitsTextColumn(password))
        return QStringLiteral("密码太长了!密码最多 %1 个字节（约 %2 个汉字），请改短一些。")
            .arg(kMaxTextBytes)
            .arg(kMaxTextBytes / 2);
    return std::nullopt;
}

DbResult<bool> nameTaken(const BookConnection &conn, const QString &name)
{
    auto count = countOf(conn, QStringLiteral("SELECT COUNT(*) FROM \"USER\" WHERE \"user\" = ?"), {name});
    if (!count)
        return count.error();
    return *count > 0;
}

namespace {

// Inside the change's transaction, so two users never end up with one name.
DbStatus refuseTakenName(const BookConnection &conn, const QString &name)
{
    auto taken = nameTaken(conn, name);
    if (!taken)
        return taken.error();
    if (*taken)
        return DbError::refused(nameTakenMessage());
    return {};
}

} // namespace

DbStatus add(BookConnection &conn, const QString &name, const QString &password)
{
    if (auto problem = nameProblem(name))
        return DbError::refused(*problem);
    if (auto problem = passwordProblem(password))
        return DbError::refused(*problem);
    if (!conn.isOpen())
        return conn.openError();
    const std::optional<QString> code = PasswordHash::hash(password);
    if (!code)
        return DbError::refused(PasswordHash::failureMessage());
    Transaction tx(conn);
    if (!tx.started())
        return commitFailed(conn);
    // Two computers adding or renaming at once must not both find a name free.
    if (auto locked = conn.lockTable(QStringLiteral("USER")); !locked)
        return locked.error();
    if (auto free = refuseTakenName(conn, name); !free)
        return free;
    auto inserted = conn.change(QStringLiteral("INSERT INTO \"USER\" (\"user\", \"code\") VALUES (?, ?)"), {name, *code});
    if (!inserted)
        return inserted.error();
    if (!tx.commit())
        return commitFailed(conn);
    return {};
}

DbStatus modify(BookConnection &conn, const QString &oldName, const QString &newName, const QString &newPassword)
{
    const bool renamed = newName != oldName;
    // A name the book already holds stays acceptable as it is; only a new
    // name has to pass the checks of a new user.
    if (renamed) {
        if (auto problem = nameProblem(newName))
            return DbError::refused(*problem);
    }
    if (auto problem = passwordProblem(newPassword))
        return DbError::refused(*problem);
    if (!conn.isOpen())
        return conn.openError();
    const std::optional<QString> code = PasswordHash::hash(newPassword);
    if (!code)
        return DbError::refused(PasswordHash::failureMessage());
    Transaction tx(conn);
    if (!tx.started())
        return commitFailed(conn);
    // Two computers adding or renaming at once must not both find a name free.
    if (auto locked = conn.lockTable(QStringLiteral("USER")); !locked)
        return locked.error();
    if (renamed) {
        if (auto free = refuseTakenName(conn, newName); !free)
            return free;
    }
    auto changed = conn.change(QStringLiteral("UPDATE \"USER\" SET \"user\" = ?, \"code\" = ? WHERE \"user\" = ?"),
                               {newName, *code, oldName});
    if (!changed)
        return changed.error();
    if (*changed == 0)
        return goneMessage(oldName);
    if (!tx.commit())
        return commitFailed(conn);
    return {};
}

DbStatus remove(BookConnection &conn, const QString &name)
{
    if (!conn.isOpen())
        return conn.openError();
    Transaction tx(conn);
    if (!tx.started())
        return commitFailed(conn);
    // Two computers adding or renaming at once must not both find a name free.
    if (auto locked = conn.lockTable(QStringLiteral("USER")); !locked)
        return locked.error();
    auto others = countOf(conn, QStringLiteral("SELECT COUNT(*) FROM \"USER\" WHERE \"user\" <> ?"), {name});
    if (!others)
        return others.error();
    auto taken = nameTaken(conn, name);
    if (!taken)
        return taken.error();
    if (!*taken)
        return goneMessage(name);
    if (*others == 0)
        return DbError::refused(lastUserMessage());
    auto removed = conn.change(QStringLiteral("DELETE FROM \"USER\" WHERE \"user\" = ?"), {name});
    if (!removed)
        return removed.error();
    if (!tx.commit())
        return commitFailed(conn);
    return {};
}

} // namespace orv::UserStore
