#include "store/sqlite/BookCopy.h"

#include "files/PrivateFiles.h"

#include <QFile>

#include <sqlite3.h>

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace orv {

namespace {

struct CloseDb
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using DbHandle = std::unique_ptr<sqlite3, CloseDb>;

QString errorText(sqlite3 *db, int rc)
{
    if (db) {
        const char *message = sqlite3_errmsg(db);
        if (message && *message)
            return QString::fromUtf8(message);
    }
    return QString::fromUtf8(sqlite3_errstr(rc));
}

// How long a writer elsewhere may hold the book before the copy gives up.
constexpr int kBusyWaitMs = 10000;
constexpr int kBusyPauseMs = 25;

// On disk for good before anyone renames it into place.
bool syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

CopyProblem problemOf(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return CopyProblem::NotADatabase;
    case SQLITE_CORRUPT:
        return CopyProblem::Damaged;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return CopyProblem::CannotReadSource;
    default:
        return CopyProblem::CannotWriteTarget;
    }
}

// Pages copied between two looks at the progress.
constexpr int kPagesPerStep = 512;

CopyOutcome runCopy(const QString &sourcePath, const QString &targetPath, const Progress &progress)
{
    sqlite3 *raw = nullptr;
    // Without SQLITE_OPEN_URI the name is taken literally, whatever it holds.
    int rc = sqlite3_open_v2(QFile::encodeName(sourcePath).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    DbHandle source(raw);
    if (rc != SQLITE_OK)
        return {CopyProblem::CannotReadSource, errorText(raw, rc)};
    sqlite3_busy_timeout(source.get(), kBusyWaitMs);

    raw = nullptr;
    rc = sqlite3_open_v2(QFile::encodeName(targetPath).constData(), &raw,
                         SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    DbHandle target(raw);
    if (rc != SQLITE_OK)
        return {CopyProblem::CannotWriteTarget, errorText(raw, rc)};

    // The target is a new file that nobody uses until it is complete: a
    // journal for it would only double the writing. It is synced once below.
    sqlite3_exec(target.get(), "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);

    sqlite3_backup *backup = sqlite3_backup_init(target.get(), "main", source.get(), "main");
    if (!backup) {
        rc = sqlite3_errcode(target.get());
        return {CopyProblem::CannotWriteTarget, errorText(target.get(), rc)};
    }
    // The source stays read-locked from the first step to the last (a read
    // transaction of its own), so a write elsewhere can neither tear the
    // copy nor make it start again, however many steps it takes.
    rc = sqlite3_exec(source.get(), "BEGIN; SELECT COUNT(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    bool cancelled = false;
    if (rc == SQLITE_OK) {
        int waited = 0;
        for (;;) {
            rc = sqlite3_backup_step(backup, kPagesPerStep);
            if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited < kBusyWaitMs) {
                sqlite3_sleep(kBusyPauseMs);
                waited += kBusyPauseMs;
                continue;
            }
            if (rc != SQLITE_OK)
                break;
            const int total = sqlite3_backup_pagecount(backup);
            if (!goOn(progress, total - sqlite3_backup_remaining(backup), total)) {
                cancelled = true;
                break;
            }
        }
    }
    const int finished = sqlite3_backup_finish(backup);
    sqlite3_exec(source.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    if (cancelled)
        return {CopyProblem::Cancelled, {}};
    if (rc != SQLITE_DONE) {
        const int code = rc == SQLITE_OK ? finished : rc;
        // After finish SQLite leaves the step's message on the target connection.
        QString detail = errorText(target.get(), code);
        if (detail.isEmpty() || detail == QLatin1String("not an error"))
            detail = QString::fromUtf8(sqlite3_errstr(code));
        return {problemOf(code), detail};
    }
    if (finished != SQLITE_OK)
        return {problemOf(finished), errorText(target.get(), finished)};
    target.reset();
    if (!syncFile(targetPath))
        return {CopyProblem::CannotWriteTarget, qt_error_string(errno)};
    return {};
}

} // namespace

CopyProblem probeDatabase(const QString &path, QString *detail)
{
    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    DbHandle db(raw);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db.get(), kBusyWaitMs);
        rc = sqlite3_exec(db.get(), "SELECT COUNT(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK)
        return CopyProblem::None;
    if (detail)
        *detail = errorText(raw, rc);
    const CopyProblem problem = problemOf(rc);
    return problem == CopyProblem::CannotWriteTarget ? CopyProblem::CannotReadSource : problem;
}

void removeDatabaseFile(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
}

CopyOutcome copyDatabase(const QString &sourcePath, const QString &targetPath, const Progress &progress)
{
    if (QFile::exists(targetPath))
        return {CopyProblem::CannotWriteTarget, QStringLiteral("%1 exists").arg(targetPath)};
    // Made 0600 before SQLite fills it, which keeps the mode.
    if (const FileOutcome made = createPrivateFile(targetPath); !made)
        return {CopyProblem::CannotWriteTarget, made.error};
    CopyOutcome outcome = runCopy(sourcePath, targetPath, progress);
    if (!outcome.ok())
        removeDatabaseFile(targetPath);
    return outcome;
}

} // namespace orv
