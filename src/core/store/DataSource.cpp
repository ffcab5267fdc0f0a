#include "store/DataSource.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <libpq-fe.h>

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

namespace orv::DataSource {

namespace {

using WriteDsnFn = int (*)(const char *dsn, const char *driver);
using WriteProfileFn = int (*)(const char *section, const char *entry, const char *value, const char *file);
using GetConfigModeFn = int (*)(unsigned short *mode);
using SetConfigModeFn = int (*)(unsigned short mode);

// odbcinst.h: ODBC_BOTH_DSN, ODBC_USER_DSN.
constexpr unsigned short kBothDsn = 0;
constexpr unsigned short kUserDsn = 1;

struct Installer
{
    WriteDsnFn writeDsn = nullptr;
    WriteProfileFn writeProfile = nullptr;
    GetConfigModeFn getConfigMode = nullptr;
    SetConfigModeFn setConfigMode = nullptr;
};

const Installer *installer()
{
    static const Installer loaded = [] {
        Installer found;
        void *lib = dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            lib = dlopen("libodbcinst.so", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return found;
        found.writeDsn = reinterpret_cast<WriteDsnFn>(dlsym(lib, "SQLWriteDSNToIni"));
        found.writeProfile = reinterpret_cast<WriteProfileFn>(dlsym(lib, "SQLWritePrivateProfileString"));
        found.getConfigMode = reinterpret_cast<GetConfigModeFn>(dlsym(lib, "SQLGetConfigMode"));
        found.setConfigMode = reinterpret_cast<SetConfigModeFn>(dlsym(lib, "SQLSetConfigMode"));
        return found;
    }();
    const bool complete = loaded.writeDsn && loaded.writeProfile && loaded.getConfigMode && loaded.setConfigMode;
    return complete ? &loaded : nullptr;
}

// Writes to the user's file only for as long as it lives. unixODBC lets
// $ODBCSEARCH override the mode set here, so that goes for the while too.
class UserModeOnly
{
public:
    explicit UserModeOnly(const Installer &odbc)
        : m_odbc(odbc)
        , m_search(qgetenv("ODBCSEARCH"))
        , m_hadSearch(qEnvironmentVariableIsSet("ODBCSEARCH"))
    {
        if (!m_odbc.getConfigMode(&m_previous))
            m_previous = kBothDsn;
        qunsetenv("ODBCSEARCH");
        m_set = m_odbc.setConfigMode(kUserDsn) != 0;
    }
    ~UserModeOnly()
    {
        m_odbc.setConfigMode(m_previous);
        if (m_hadSearch)
            qputenv("ODBCSEARCH", m_search);
    }
    UserModeOnly(const UserModeOnly &) = delete;
    UserModeOnly &operator=(const UserModeOnly &) = delete;

    bool set() const { return m_set; }

private:
    const Installer &m_odbc;
    QByteArray m_search;
    bool m_hadSearch;
    unsigned short m_previous = kBothDsn;
    bool m_set = false;
};

// The value of key in [section] of an ini file, as unixODBC reads it:
// names without regard to case, blanks around the value dropped.
QByteArray iniValue(const QString &path, const QByteArray &section, const QByteArray &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    bool inSection = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            inSection = end > 0 && line.mid(1, end - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith('#') || line.startsWith(';'))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

} // namespace

QString installerLibraryName()
{
    return QStringLiteral("libodbcinst.so.2");
}

QString userIniPath()
{
    const QByteArray fromEnvironment = qgetenv("ODBCINI");
    if (!fromEnvironment.isEmpty())
        return QFile::decodeName(fromEnvironment);
    const passwd *account = ::getpwuid(::geteuid());
    const QString home = account && account->pw_dir ? QFile::decodeName(account->pw_dir) : QStringLiteral("/home");
    return home + QStringLiteral("/.odbc.ini");
}

bool isSafeForIni(const QString &path)
{
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return QFile::decodeName(QFile::encodeName(path)) == path;
}

Result registerBook(const QString &bookPath)
{
    const QString cleanPath = QDir::cleanPath(QDir(bookPath).absolutePath());
    if (!isSafeForIni(cleanPath))
        return Result::UnsafePath;
    const Installer *odbc = installer();
    if (!odbc)
        return Result::InstallerMissing;
    // The path travels as its own argument, so no length limit applies to it.
    const QByteArray database = QFile::encodeName(cleanPath);
    {
        const UserModeOnly userOnly(*odbc);
        if (!userOnly.set())
            return Result::Refused;
        if (!odbc->writeDsn(kName, kDriver))
            return Result::Refused;
        if (!odbc->writeProfile(kName, "Database", database.constData(), "odbc.ini"))
            return Result::Refused;
        if (!odbc->writeProfile(kName, "Description", "Orvendal household account book", "odbc.ini"))
            return Result::Refused;
    }
    // The installer's word is not enough: the entry must be in the user's file.
    const QString ini = userIniPath();
    if (iniValue(ini, kName, "Database") != database || iniValue(ini, kName, "Driver") != kDriver)
        return Result::Refused;
    return Result::Registered;
}

Result registerServerBook(const QString &uri)
{
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(uri.toUtf8().constData(), &error);
    PQfreemem(error);
    if (!options)
        return Result::Refused;
    // The connection's parts under the names the PostgreSQL driver reads.
    QList<QPair<QByteArray, QByteArray>> entries;
    const QList<QPair<const char *, const char *>> names = {
        {"host", "Servername"}, {"port", "Port"}, {"dbname", "Database"}, {"user", "Username"}, {"sslmode", "SSLmode"}};
    for (PQconninfoOption *option = options; option->keyword; ++option) {
        if (!option->val || !*option->val)
            continue;
        for (const auto &[keyword, entry] : names) {
            if (qstrcmp(option->keyword, keyword) == 0)
                entries.append({entry, option->val});
        }
    }
    PQconninfoFree(options);
    for (const auto &entry : std::as_const(entries)) {
        if (!isSafeForIni(QString::fromUtf8(entry.second)))
            return Result::UnsafePath;
    }
    const Installer *odbc = installer();
    if (!odbc)
        return Result::InstallerMissing;
    {
        const UserModeOnly userOnly(*odbc);
        if (!userOnly.set() || !odbc->writeDsn(kName, kServerDriver))
            return Result::Refused;
        for (const auto &[entry, value] : std::as_const(entries)) {
            if (!odbc->writeProfile(kName, entry.constData(), value.constData(), "odbc.ini"))
                return Result::Refused;
        }
        if (!odbc->writeProfile(kName, "Description", "Orvendal household account book (server)", "odbc.ini"))
            return Result::Refused;
    }
    if (iniValue(userIniPath(), kName, "Driver") != kServerDriver)
        return Result::Refused;
    return Result::Registered;
}

} // namespace orv::DataSource
