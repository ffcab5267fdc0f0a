#include "store/BookMaintenance.h"

#include "files/PrivateFiles.h"
#include "store/BookConnection.h"
#include "store/sqlite/BookCopy.h"
#include "store/BookFile.h"
#include "store/BookSchema.h"
#include "store/UserCarryFile.h"
#include "users/PasswordHash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace orv::BookMaintenance {

namespace {

Outcome failure(Problem problem, const QString &detail = {})
{
    Outcome outcome;
    outcome.problem = problem;
    outcome.detail = detail;
    return outcome;
}

Problem problemOfCopy(CopyProblem problem)
{
    switch (problem) {
    case CopyProblem::None: return Problem::None;
    case CopyProblem::CannotReadSource: return Problem::SourceMissing;
    case CopyProblem::NotADatabase: return Problem::NotABook;
    case CopyProblem::Damaged: return Problem::Damaged;
    case CopyProblem::CannotWriteTarget: return Problem::CannotCopy;
    }
    return Problem::CannotCopy;
}

// A free name beside path for a file on its way in.
QString freeSibling(const QString &path, const QString &tag)
{
    for (;;) {
        const QString candidate =
            QStringLiteral("%1.%2-%3").arg(path, tag, QString::number(QRandomGenerator::global()->generate(), 16));
        if (!QFileInfo::exists(candidate) && !QFileInfo::exists(candidate + QStringLiteral("-journal")))
            return candidate;
    }
}

// rename(2): replaces an existing target in one step, so the target is
// always either the old file or the complete new one.
bool renameReplacing(const QString &from, const QString &to, QString *error)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (error)
        *error = qt_error_string(errno);
    return false;
}

// SQLite's side files of a database that is no longer there would be
// applied to whatever file takes its name next.
void removeSideFiles(const QString &path)
{
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

bool isWhole(const BookConnection &conn, QString *detail)
{
    auto check = conn.read(QStringLiteral("PRAGMA quick_check"));
    if (!check) {
        *detail = check.error().message;
        return false;
    }
    if (!check->next()) {
        *detail = QStringLiteral("quick_check answered nothing");
        return false;
    }
    const QString verdict = check->value(0).toString();
    if (verdict == QLatin1String("ok"))
        return true;
    *detail = verdict;
    return false;
}

// Where the old book stays beside the new one when the Trash refuses it.
QString keptOldBookPath(const QString &programDir)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(programDir);
    QString candidate = dir.filePath(QStringLiteral("Orvendal-旧账-%1.ovd").arg(stamp));
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = dir.filePath(QStringLiteral("Orvendal-旧账-%1-%2.ovd").arg(stamp).arg(n));
    return candidate;
}

// Takes a file back out of the Trash to where it was.
bool takeBackFromTrash(const QString &inTrash, const QString &original)
{
    if (!QFile::rename(inTrash, original))
        return false;
    const QFileInfo trashed(inTrash);
    QDir trash = trashed.dir(); // .../Trash/files
    if (trash.cdUp())
        QFile::remove(trash.filePath(QStringLiteral("info/%1.trashinfo").arg(trashed.fileName())));
    return true;
}

// Removes the incoming copy and the carry file unless told that the
// replacement went through.
class Cleanup
{
public:
    Cleanup(QString incoming, QString carry) : m_incoming(std::move(incoming)), m_carry(std::move(carry)) {}
    ~Cleanup()
    {
        if (!m_swapped)
            removeDatabaseFile(m_incoming);
        QFile::remove(m_carry);
    }
    Cleanup(const Cleanup &) = delete;
    Cleanup &operator=(const Cleanup &) = delete;
    void swapped() { m_swapped = true; }

private:
    QString m_incoming;
    QString m_carry;
    bool m_swapped = false;
};

} // namespace

QString backupFileName(const QDate &day)
{
    return QStringLiteral("%1-%2-%3帐本数据库备份.ovd").arg(day.year()).arg(day.month()).arg(day.day());
}

bool isSameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    struct stat sa = {};
    struct stat sb = {};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // One of them is not there (yet): the same place if the paths say so.
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    const QString ca = fa.exists() ? fa.canonicalFilePath() : QDir::cleanPath(fa.absoluteFilePath());
    const QString cb = fb.exists() ? fb.canonicalFilePath() : QDir::cleanPath(fb.absoluteFilePath());
    return ca == cb;
}

Outcome backupBook(const QString &bookPath, const QString &targetPath)
{
    if (!QFileInfo(bookPath).isFile())
        return failure(Problem::CannotOpenBook, QStringLiteral("%1: file not found").arg(bookPath));
    if (isSameFile(bookPath, targetPath))
        return failure(Problem::SameAsBook);
    const QFileInfo target(targetPath);
    if (target.isDir())
        return failure(Problem::CannotCopy, QStringLiteral("%1 is a folder").arg(targetPath));

    const QString part = freeSibling(target.absoluteFilePath(), QStringLiteral("part"));
    const CopyOutcome copied = copyDatabase(bookPath, part);
    if (!copied.ok()) {
        const Problem problem = copied.problem == CopyProblem::CannotWriteTarget ? Problem::CannotCopy
                                : copied.problem == CopyProblem::Damaged          ? Problem::Damaged
                                                                                  : Problem::CannotOpenBook;
        return failure(problem, copied.detail);
    }
    QString error;
    if (!renameReplacing(part, targetPath, &error)) {
        removeDatabaseFile(part);
        return failure(Problem::CannotCopy, error);
    }
    removeSideFiles(targetPath);
    return {};
}

Outcome checkReplacement(const QString &bookPath, const QString &sourcePath)
{
    const QFileInfo source(sourcePath);
    if (sourcePath.isEmpty() || !source.exists())
        return failure(Problem::SourceMissing, QStringLiteral("%1: file not found").arg(sourcePath));
    if (isSameFile(bookPath, sourcePath))
        return failure(Problem::SameAsBook);
    if (!source.isFile())
        return failure(Problem::NotABook, QStringLiteral("%1 is not a file").arg(sourcePath));
    QString detail;
    if (const CopyProblem probed = probeDatabase(sourcePath, &detail); probed != CopyProblem::None)
        return failure(problemOfCopy(probed), detail);
    const BookConnection conn(sourcePath);
    if (!BookSchema::isBook(conn))
        return failure(Problem::NotABook, conn.isOpen() ? QString() : conn.openError().message);
    return {};
}

Outcome replaceBook(const QString &programDir, const QString &sourcePath)
{
    const QString book = BookFile::bookPath(programDir);
    if (Outcome checked = checkReplacement(book, sourcePath); !checked.ok())
        return checked;

    const QString incoming = freeSibling(book, QStringLiteral("new"));
    const QString carry = UserCarryFile::path(programDir);
    Cleanup cleanup(incoming, carry);

    // 1. The new book, copied next to the old one and checked whole.
    const CopyOutcome copied = copyDatabase(sourcePath, incoming);
    if (!copied.ok())
        return failure(problemOfCopy(copied.problem), copied.detail);
    {
        const BookConnection conn(incoming);
        if (!BookSchema::isBook(conn))
            return failure(Problem::NotABook);
        QString detail;
        if (!isWhole(conn, &detail))
            return failure(Problem::Damaged, detail);
    }

    // 2. The present users, through userTemp.dat, into the new book.
    QList<UserAccount> accounts;
    {
        const BookConnection old(book);
        if (!old.isOpen())
            return failure(Problem::CannotOpenBook, old.openError().message);
        auto read = UserStore::accounts(old);
        if (!read)
            return failure(Problem::CannotCarryUsers, read.error().message);
        accounts = std::move(read).value();
    }
    if (!UserCarryFile::hashPlainPasswords(accounts))
        return failure(Problem::CannotCarryUsers, PasswordHash::failureMessage());
    if (const FileOutcome written = UserCarryFile::write(carry, accounts); !written)
        return failure(Problem::CannotCarryUsers, QStringLiteral("%1: %2").arg(carry, written.error));
    const std::optional<QList<UserAccount>> carried = UserCarryFile::read(carry, int(accounts.size()));
    if (!carried || *carried != accounts)
        return failure(Problem::CannotCarryUsers, QStringLiteral("%1 does not read back").arg(carry));
    {
        BookConnection conn(incoming);
        if (const DbStatus stored = UserCarryFile::replaceUsers(conn, *carried); !stored)
            return failure(Problem::CannotCarryUsers, stored.error().message);
    }

    // 3. The swap: the old book out to the Trash, the new one in.
    for (const char *suffix : {"-journal", "-wal"}) {
        if (QFileInfo::exists(book + QLatin1String(suffix)))
            return failure(Problem::BookBusy, book + QLatin1String(suffix));
    }
    Outcome outcome;
    outcome.oldBookPath = moveToTrash(book);
    outcome.oldBookInTrash = !outcome.oldBookPath.isEmpty();
    if (!outcome.oldBookInTrash) {
        // No Trash here (another file system, no writable data folder): the
        // old book stays beside the new one under a name of its own.
        outcome.oldBookPath = keptOldBookPath(programDir);
        if (!QFile::rename(book, outcome.oldBookPath))
            return failure(Problem::CannotSwap, QStringLiteral("%1 cannot be moved").arg(book));
    }
    QString error;
    if (!renameReplacing(incoming, book, &error)) {
        if (outcome.oldBookInTrash)
            takeBackFromTrash(outcome.oldBookPath, book);
        else
            QFile::rename(outcome.oldBookPath, book);
        return failure(Problem::CannotSwap, error);
    }
    cleanup.swapped();
    removeSideFiles(incoming);
    return outcome;
}

QString moveToTrash(const QString &path)
{
    // Qt puts the file into a "files" folder of the working directory when
    // the data folder is missing; make it exist so the Trash is the real one.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !makePrivateFolder(dataHome))
        return {};
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash))
        return {};
    return inTrash;
}

} // namespace orv::BookMaintenance
