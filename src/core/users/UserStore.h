#pragma once

#include "store/DbResult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orv {

class BookConnection;

struct UserAccount
{
    QString name;
    QString password;
    bool operator==(const UserAccount &) const = default;
};

// The USER table: names and passwords, in table order.
namespace UserStore {

DbResult<QList<UserAccount>> accounts(const BookConnection &conn);
DbResult<QStringList> names(const BookConnection &conn);
// The stored password of the first row with this exact name; nullopt when
// there is no such user.
DbResult<std::optional<QString>> passwordOf(const BookConnection &conn, const QString &name);

} // namespace UserStore
} // namespace orv
