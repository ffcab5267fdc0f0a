#include "security/PasswordHash.h"

#include <QByteArray>

#include <atomic>

#include <sodium.h>

namespace orv::PasswordHash {

namespace {

// Interactive strength: about a tenth of a second and 64 MiB per check on
// a desktop, which a login does not notice and a guesser pays per guess.
struct Strength
{
    unsigned long long opsLimit;
    size_t memLimit;
};
const Strength kInteractive{crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
const Strength kCheapest{crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
std::atomic<bool> g_cheap{false};

Strength strength()
{
    return g_cheap ? kCheapest : kInteractive;
}

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

std::optional<QString> hash(const QString &password)
{
    if (!sodiumReady())
        return std::nullopt;
    const QByteArray bytes = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, bytes.constData(), quint64(bytes.size()), strength().opsLimit, strength().memLimit) != 0)
        return std::nullopt;
    return QString::fromLatin1(out);
}

bool isHash(const QString &stored)
{
    return stored.size() < int(crypto_pwhash_STRBYTES) &&
           (stored.startsWith(QLatin1String("$argon2id$")) || stored.startsWith(QLatin1String("$argon2i$")));
}

bool matches(const QString &typed, const QString &stored)
{
    if (!isHash(stored))
        return typed == stored; // kept as typed by an older version: exactly as typed
    if (!sodiumReady())
        return false;
    const QByteArray hashText = stored.toLatin1();
    const QByteArray bytes = typed.toUtf8();
    return crypto_pwhash_str_verify(hashText.constData(), bytes.constData(), quint64(bytes.size())) == 0;
}

bool needsRehash(const QString &stored)
{
    if (!isHash(stored))
        return true;
    if (!sodiumReady())
        return false;
    const QByteArray hashText = stored.toLatin1();
    return crypto_pwhash_str_needs_rehash(hashText.constData(), strength().opsLimit, strength().memLimit) != 0;
}

void useCheapHashesForTests()
{
    g_cheap = true;
}

QString failureMessage()
{
    return QStringLiteral("无法加密保存密码：内存不足。\n请关闭一些其他程序后再试。");
}

} // namespace orv::PasswordHash
