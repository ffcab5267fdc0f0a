#include "book/BookMaintenance.h"

#include "files/AtomicWrite.h"
#include "files/PendingFiles.h"
#include "files/PrivateFiles.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "store/BookSchema.h"
#include "book/BookTransfer.h"
#include "book/UserCarryFile.h"
#include "store/sqlite/BookCopy.h"
#include "security/PasswordHash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::BookMaintenance {

namespace {

QString moveToTrashAs(const QString &path, const QString &original);

StepHook &stepHook()
{
    static StepHook hook;
    return hook;
}

bool stepAllowed(const char *step)
{
    return !stepHook() || stepHook()(step);
}

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
    case CopyProblem::Cancelled: return Problem::Cancelled;
    }
    return Problem::CannotCopy;
}

Outcome failureOf(const DbError &error, Problem otherwise)
{
    if (error.kind == DbError::Kind::Refused && error.message == QStringLiteral("已取消。"))
        return failure(Problem::Cancelled);
    if (error.kind == DbError::Kind::CannotOpen)
        return failure(Problem::CannotOpenBook, error.message);
    if (error.cause == DbError::Cause::Busy)
        return failure(Problem::BookBusy, error.message);
    return failure(otherwise, error.message);
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

// A rename is on disk only once its folder is.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
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

const QString kKeptPrefix = QStringLiteral("Orvendal-旧账-");

// Where the old book stays beside the new one until the Trash takes it
// (or for good, when the Trash will not).
QString keptOldBookPath(const QString &programDir)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(programDir);
    QString candidate = dir.filePath(kKeptPrefix + stamp + QStringLiteral(".ovd"));
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = dir.filePath(kKeptPrefix + QStringLiteral("%1-%2.ovd").arg(stamp).arg(n));
    return candidate;
}

// The file a backup is written to: a symbolic link there stands for the
// file it names, which is the one to be replaced.
QString resolvedTarget(const QString &targetPath)
{
    const QFileInfo target(targetPath);
    if (!target.isSymLink())
        return target.absoluteFilePath();
    const QString canonical = target.canonicalFilePath();
    return canonical.isEmpty() ? target.symLinkTarget() : canonical;
}

// No program writes the book just now: the write lock can be had (and is
// let go at once). A journal file without a writer behind it is no
// obstacle; SQLite rolls a hot one back when the book is next opened.
Outcome checkNoWriter(const QString &book)
{
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(book).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    const QString detail = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    sqlite3_close_v2(db);
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        return failure(Problem::BookBusy, detail);
    // A book that does not read as a database has no writer behind it: it
    // is the damaged book a restore at start-up is to replace.
    if ((rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT)
        return {};
    if (rc != SQLITE_OK)
        return failure(Problem::CannotOpenBook, detail);
    return {};
}

// A second name for the old book, to go to the Trash once the new one is
// in place: a hard link where the file system has them, else a copy.
bool keepOldBook(const QString &book, const QString &kept, QString *detail)
{
    if (::link(QFile::encodeName(book).constData(), QFile::encodeName(kept).constData()) == 0)
        return true;
    const CopyOutcome copied = copyDatabase(book, kept);
    if (!copied.ok())
        *detail = copied.detail;
    return copied.ok();
}

// ---------------------------------------------------------------- backup

Outcome backupFile(const QString &book, const QString &part, const Progress &progress)
{
    const CopyOutcome copied = copyDatabase(book, part, progress);
    if (copied.ok())
        return {};
    const Problem problem = copied.problem == CopyProblem::CannotWriteTarget ? Problem::CannotCopy
                            : copied.problem == CopyProblem::Damaged          ? Problem::Damaged
                            : copied.problem == CopyProblem::Cancelled        ? Problem::Cancelled
                                                                              : Problem::CannotOpenBook;
    return failure(problem, copied.detail);
}

// One moment of the server book, poured into a new book file.
Outcome backupServer(const BookLocation &book, const QString &part, const Progress &progress)
{
    BookConnection server(book);
    if (!server.isOpen())
        return failure(Problem::CannotOpenBook, server.openError().message);
    if (const DbStatus made = BookSchema::createBareBook(part); !made)
        return failure(Problem::CannotCopy, made.error().message);
    Outcome outcome;
    {
        BookConnection file(part);
        Transaction tx(file);
        if (!tx.started())
            outcome = failureOf(tx.error(), Problem::CannotCopy);
        else if (const DbStatus copied = BookTransfer::copy(server, file, BookTransfer::kWholeBook, progress); !copied)
            outcome = failureOf(copied.error(), Problem::CannotCopy);
        else if (!tx.commit())
            outcome = failureOf(tx.error(), Problem::CannotCopy);
    }
    if (outcome.ok()) {
        const int fd = ::open(QFile::encodeName(part).constData(), O_RDONLY | O_CLOEXEC);
        const bool synced = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!synced)
            outcome = failure(Problem::CannotCopy, qt_error_string(errno));
    }
    if (!outcome.ok())
        removeDatabaseFile(part);
    return outcome;
}

// ---------------------------------------------------------------- replace

Outcome carryUsers(const QString &book, const QString &carry, const QString &incoming)
{
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
    BookConnection conn(incoming);
    if (const DbStatus stored = UserCarryFile::replaceUsers(conn, *carried); !stored)
        return failure(Problem::CannotCarryUsers, stored.error().message);
    return {};
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

Outcome replaceFile(const QString &programDir, const QString &book, const QString &sourcePath,
                    const Progress &progress, bool keepUsers)
{
    const QString incoming = freeSibling(book, QStringLiteral("new"));
    const QString carry = UserCarryFile::path(programDir);
    Cleanup cleanup(incoming, carry);

    // 1. The new book, copied next to the old one and checked whole.
    const CopyOutcome copied = copyDatabase(sourcePath, incoming, progress);
    if (!copied.ok())
        return failure(problemOfCopy(copied.problem), copied.detail);
    if (!stepAllowed("copied"))
        return failure(Problem::CannotCopy, QStringLiteral("stopped after the copy"));
    {
        const BookConnection conn(incoming);
        if (!BookSchema::isBook(conn))
            return failure(Problem::NotABook);
        QString detail;
        if (!isWhole(conn, &detail))
            return failure(Problem::Damaged, detail);
    }

    // 2. The present users, through userTemp.dat, into the new book.
    if (keepUsers) {
        if (Outcome carried = carryUsers(book, carry, incoming); !carried.ok())
            return carried;
    }
    if (!stepAllowed("users"))
        return failure(Problem::CannotCarryUsers, QStringLiteral("stopped after the users"));

    // 3. The swap. The old book gets a second name first; then one rename
    //    puts the new book under the book's name, replacing the old one in
    //    a single step; then the second name goes to the Trash.
    if (Outcome free = checkNoWriter(book); !free.ok())
        return free;
    Outcome outcome;
    const QString kept = keptOldBookPath(programDir);
    QString detail;
    if (!stepAllowed("linked") || !keepOldBook(book, kept, &detail))
        return failure(Problem::CannotSwap, detail.isEmpty() ? QStringLiteral("%1 cannot be kept").arg(book) : detail);
    QString error;
    if (!stepAllowed("swap") || !renameReplacing(incoming, book, &error)) {
        QFile::remove(kept);
        return failure(Problem::CannotSwap, error.isEmpty() ? QStringLiteral("%1 cannot be renamed").arg(incoming) : error);
    }
    cleanup.swapped();
    syncFolder(programDir);
    removeSideFiles(incoming);
    stepAllowed("swapped");
    outcome.oldBookPath = moveToTrashAs(kept, book);
    outcome.oldBookInTrash = !outcome.oldBookPath.isEmpty();
    if (!outcome.oldBookInTrash)
        outcome.oldBookPath = kept; // no Trash here: the old book stays beside the new one
    return outcome;
}

// The entries and categories of the server book, replaced by those of the
// file in one transaction; the users stay.
Outcome replaceServer(const BookLocation &book, const QString &sourcePath, const Progress &progress, bool keepUsers)
{
    BookConnection source(sourcePath);
    if (!source.isOpen())
        return failure(Problem::SourceMissing, source.openError().message);
    BookConnection server(book);
    if (!server.isOpen())
        return failure(Problem::CannotOpenBook, server.openError().message);
    const BookTransfer::Parts parts =
        keepUsers ? BookTransfer::Parts(BookTransfer::Part::Entries) | BookTransfer::Part::Categories : BookTransfer::kWholeBook;
    Transaction tx(server);
    if (!tx.started())
        return failureOf(tx.error(), Problem::CannotCopy);
    // Nobody else changes the book until the new one is complete; readers
    // see the old one until then.
    for (const QString &table : BookSchema::tableNames()) {
        if (auto locked = server.lockTable(table); !locked)
            return failureOf(locked.error(), Problem::BookBusy);
    }
    if (const DbStatus cleared = BookTransfer::clear(server, parts); !cleared)
        return failureOf(cleared.error(), Problem::CannotCopy);
    if (const DbStatus copied = BookTransfer::copy(source, server, parts, progress); !copied)
        return failureOf(copied.error(), Problem::CannotCopy);
    if (!tx.commit())
        return failureOf(tx.error(), Problem::CannotCopy);
    return {};
}

// Moves the old book's second name to the Trash as the book itself, so that
// the Trash shows "Orvendal.ovd" and puts it back where it was.
QString moveToTrashAs(const QString &path, const QString &original)
{
    const QString inTrash = moveToTrash(path);
    if (inTrash.isEmpty())
        return inTrash;
    const QFileInfo trashed(inTrash);
    QDir files = trashed.dir();
    QDir info = files;
    if (!info.cdUp() || !info.cd(QStringLiteral("info")))
        return inTrash;
    const QString base = QFileInfo(original).fileName();
    QString name = base;
    for (int n = 2; files.exists(name) || info.exists(name + QStringLiteral(".trashinfo")); ++n)
        name = QStringLiteral("%1.%2").arg(base).arg(n);
    const QString oldInfo = info.filePath(trashed.fileName() + QStringLiteral(".trashinfo"));
    QFile infoFile(oldInfo);
    if (!infoFile.open(QIODevice::ReadOnly))
        return inTrash;
    QByteArrayList lines = infoFile.readAll().split('\n');
    infoFile.close();
    for (QByteArray &line : lines) {
        if (line.startsWith("Path="))
            line = "Path=" + QUrl::toPercentEncoding(QFileInfo(original).absoluteFilePath(), "/");
    }
    if (!writeFileAtomically(info.filePath(name + QStringLiteral(".trashinfo")), lines.join('\n')))
        return inTrash;
    if (!QFile::rename(inTrash, files.filePath(name))) {
        QFile::remove(info.filePath(name + QStringLiteral(".trashinfo")));
        return inTrash;
    }
    QFile::remove(oldInfo);
    return files.filePath(name);
}

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

Outcome backupBook(const BookLocation &book, const QString &programDir, const QString &targetPath,
                   const Progress &progress)
{
    if (book.isFile() && !QFileInfo(book.filePath()).isFile())
        return failure(Problem::CannotOpenBook, QStringLiteral("%1: file not found").arg(book.filePath()));
    const QString target = resolvedTarget(targetPath);
    if (book.isFile() && isSameFile(book.filePath(), target))
        return failure(Problem::SameAsBook);
    if (isSameFile(BookFile::templatePath(programDir), target))
        return failure(Problem::IsTemplate);
    if (QFileInfo(target).isDir())
        return failure(Problem::CannotCopy, QStringLiteral("%1 is a folder").arg(target));

    const PendingFile part(programDir, freeSibling(target, QStringLiteral("part")));
    const Outcome copied = book.isFile() ? backupFile(book.filePath(), part.path(), progress)
                                         : backupServer(book, part.path(), progress);
    if (!copied.ok())
        return copied;
    QString error;
    if (!renameReplacing(part.path(), target, &error)) {
        removeDatabaseFile(part.path());
        return failure(Problem::CannotCopy, error);
    }
    syncFolder(QFileInfo(target).absolutePath());
    removeSideFiles(target);
    return {};
}

Outcome checkReplacement(const BookLocation &book, const QString &sourcePath)
{
    const QFileInfo source(sourcePath);
    if (sourcePath.isEmpty() || !source.exists())
        return failure(Problem::SourceMissing, QStringLiteral("%1: file not found").arg(sourcePath));
    if (book.isFile() && isSameFile(book.filePath(), sourcePath))
        return failure(Problem::SameAsBook);
    if (!source.isFile())
        return failure(Problem::NotABook, QStringLiteral("%1 is not a file").arg(sourcePath));
    QString detail;
    if (const CopyProblem probed = probeDatabase(sourcePath, &detail); probed != CopyProblem::None)
        return failure(problemOfCopy(probed), detail);
    const BookConnection conn(sourcePath);
    if (!BookSchema::isBook(conn))
        return failure(Problem::NotABook, conn.isOpen() ? QString() : conn.openError().message);
    // A server book takes the file's rows straight away: they must all read.
    if (book.isServer() && !isWhole(conn, &detail))
        return failure(Problem::Damaged, detail);
    return {};
}

Outcome replaceBook(const BookLocation &book, const QString &programDir, const QString &sourcePath,
                    const Progress &progress, bool keepUsers)
{
    if (Outcome checked = checkReplacement(book, sourcePath); !checked.ok())
        return checked;
    if (book.isServer())
        return replaceServer(book, sourcePath, progress, keepUsers);
    return replaceFile(programDir, book.filePath(), sourcePath, progress, keepUsers);
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

QStringList removeReplacementLeftovers(const QString &programDir)
{
    QStringList removed;
    const QDir dir(programDir);
    const QString book = BookFile::bookPath(programDir);
    const QString bookName = QString::fromUtf16(BookFile::kBookName);
    // The incoming copy of a replacement that never got renamed into place.
    for (const QString &name : dir.entryList({bookName + QStringLiteral(".new-*")}, QDir::Files | QDir::Hidden)) {
        if (QFile::remove(dir.filePath(name)))
            removed.append(dir.filePath(name));
    }
    // A second name of the book itself, made for the Trash by a replacement
    // that died before the swap: the same file as the book, nothing more.
    // The old book of one that died after the swap goes where the finished
    // replacement would have put it: the Trash (it stays if the Trash will
    // not take it).
    for (const QString &name : dir.entryList({kKeptPrefix + u'*'}, QDir::Files)) {
        const QString path = dir.filePath(name);
        if (isSameFile(path, book) ? QFile::remove(path) : !moveToTrashAs(path, book).isEmpty())
            removed.append(path);
    }
    removed += PendingFile::removeLeftovers(programDir);
    return removed;
}

void setStepHookForTests(StepHook hook)
{
    stepHook() = std::move(hook);
}

} // namespace orv::BookMaintenance
