#include "store/DataSource.h"

#include <QByteArray>
#include <QDir>

#include <dlfcn.h>

namespace orv::DataSource {

namespace {

using WriteDsnFn = int (*)(const char *dsn, const char *driver);
using WriteProfileFn = int (*)(const char *section, const char *entry, const char *value, const char *file);

struct Installer
{
    WriteDsnFn writeDsn = nullptr;
    WriteProfileFn writeProfile = nullptr;
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
        return found;
    }();
    return (loaded.writeDsn && loaded.writeProfile) ? &loaded : nullptr;
}

} // namespace

QString installerLibraryName()
{
    return QStringLiteral("libodbcinst.so.2");
}

Result registerBook(const QString &bookPath)
{
    const Installer *odbc = installer();
    if (!odbc)
        return Result::InstallerMissing;
    // The path travels as its own argument, so no length limit applies to it.
    const QByteArray database = QDir::cleanPath(QDir(bookPath).absolutePath()).toLocal8Bit();
    if (!odbc->writeDsn(kName, kDriver))
        return Result::Refused;
    if (!odbc->writeProfile(kName, "Database", database.constData(), "odbc.ini"))
        return Result::Refused;
    if (!odbc->writeProfile(kName, "Description", "Orvendal household account book", "odbc.ini"))
        return Result::Refused;
    return Result::Registered;
}

} // namespace orv::DataSource
