// The program's small files (set.ini, user/<name>.ini, userTemp.dat):
// written all or nothing, never through a link, and what a crash leaves
// of them removed at the next start.

#include "files/AtomicWrite.h"
#include "files/Leftovers.h"
#include "settings/GbkText.h"
#include "settings/ProgramSettings.h"
#include "settings/UserColorFile.h"
#include "store/UserCarryFile.h"
#include "support/FileSizeLimit.h"
#include "users/PasswordHash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>

using namespace orv;

namespace {

enum class Writer { Settings, LogOff, Colour, Carry };

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// The program folder's file that each writer writes, and the writing.
QString fileOf(Writer writer, const QString &dir)
{
    switch (writer) {
    case Writer::Settings:
    case Writer::LogOff: return ProgramSettings(dir).filePath();
    case Writer::Colour: return UserColorFile(dir, QStringLiteral("爸爸")).filePath();
    case Writer::Carry: return UserCarryFile::path(dir);
    }
    return {};
}

FileOutcome run(Writer writer, const QString &dir)
{
    switch (writer) {
    case Writer::Settings: return ProgramSettings(dir).save(true, QStringLiteral("妈妈"));
    case Writer::LogOff: return ProgramSettings(dir).clearDirectLogin();
    case Writer::Colour: return UserColorFile(dir, QStringLiteral("爸爸")).save({1, 2, 3});
    case Writer::Carry:
        return UserCarryFile::write(UserCarryFile::path(dir),
                                    {{QStringLiteral("爸爸"), PasswordHash::hash(QStringLiteral("pw")).value()}});
    }
    return {};
}

void addWriterRows()
{
    QTest::addColumn<Writer>("writer");
    QTest::newRow("set.ini: direct login") << Writer::Settings;
    QTest::newRow("set.ini: log-off") << Writer::LogOff;
    QTest::newRow("colour file") << Writer::Colour;
    QTest::newRow("user carry file") << Writer::Carry;
}

} // namespace

class TestSafeFiles : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString dir() const { return m_dir->path(); }

private Q_SLOTS:
    void initTestCase() { PasswordHash::useCheapHashesForTests(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(dir()).mkdir(QStringLiteral("user")));
    }

    void aFailedWriteKeepsTheOldFileWhole_data() { addWriterRows(); }
    void aFailedWriteKeepsTheOldFileWhole()
    {
        QFETCH(Writer, writer);
        const QString path = fileOf(writer, dir());
        const QByteArray old("1\r\n\xb0\xd6\xb0\xd6\r\n"); // 爸爸 in GBK
        write(path, old);
        const QStringList before = entries(dir());
        const QStringList beforeUser = entries(dir() + QStringLiteral("/user"));
        FileOutcome outcome;
        {
            const FileSizeLimit diskFull;
            outcome = run(writer, dir());
        }
        QVERIFY(!outcome.ok());
        QCOMPARE(outcome.path, path);
        QCOMPARE(outcome.error, qt_error_string(EFBIG));
        QCOMPARE(read(path), old);
        // No half-written file of the attempt is left anywhere.
        QCOMPARE(entries(dir()), before);
        QCOMPARE(entries(dir() + QStringLiteral("/user")), beforeUser);
        // With room on the disk the same write goes through.
        QVERIFY(run(writer, dir()).ok());
        QVERIFY(read(path) != old);
    }

    void aLinkIsReplacedNeverFollowed_data() { addWriterRows(); }
    void aLinkIsReplacedNeverFollowed()
    {
        QFETCH(Writer, writer);
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("precious.txt"));
        write(target, "not the program's to touch");
        const QString path = fileOf(writer, dir());
        QVERIFY(QFile::link(target, path));
        const QByteArray targetBefore = read(target);
        QVERIFY(run(writer, dir()).ok());
        QCOMPARE(read(target), targetBefore);
        QVERIFY(!QFileInfo(path).isSymLink());
        QVERIFY(QFileInfo(path).isFile());
        QVERIFY(!read(path).isEmpty());
    }

    void aWriteIntoAMissingFolderSaysWhy()
    {
        const QString path = dir() + QStringLiteral("/none/set.ini");
        const FileOutcome outcome = writeFileAtomically(path, "1\r\n");
        QCOMPARE(outcome.error, qt_error_string(ENOENT));
        QVERIFY(!QFileInfo::exists(dir() + QStringLiteral("/none")));
    }

    void leftoversOfACrashGoAtTheNextStart()
    {
        const QStringList leftovers = {QStringLiteral("userTemp.dat"), QStringLiteral("set.ini.tmp-0a1b2c3d"),
                                       QStringLiteral("user/爸爸.ini.tmp-ffffffff")};
        // A user may be called "a.tmp-12345678"; folders and other names stay too.
        const QStringList kept = {QStringLiteral("set.ini"), QStringLiteral("Orvendal.ovd"),
                                  QStringLiteral("user/爸爸.ini"), QStringLiteral("user/a.tmp-12345678.ini"),
                                  QStringLiteral("notes.tmp-123"), QStringLiteral("user/userTemp.dat")};
        for (const QString &name : leftovers + kept)
            write(dir() + u'/' + name, "x");
        QVERIFY(QDir(dir()).mkdir(QStringLiteral("old.tmp-00000000")));
        // A link left as a leftover goes as a link; what it points at stays.
        QTemporaryDir elsewhere;
        write(elsewhere.filePath(QStringLiteral("t")), "kept");
        QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("t")), dir() + QStringLiteral("/user/妈妈.ini.tmp-12345678")));

        const LeftoverCleanup cleanup = cleanLeftovers(dir());
        QVERIFY(cleanup.failed.isEmpty());
        QCOMPARE(cleanup.removed.size(), leftovers.size() + 1);
        for (const QString &name : leftovers)
            QVERIFY2(!QFileInfo::exists(dir() + u'/' + name), qPrintable(name));
        for (const QString &name : kept)
            QVERIFY2(QFileInfo::exists(dir() + u'/' + name), qPrintable(name));
        QVERIFY(QFileInfo(dir() + QStringLiteral("/old.tmp-00000000")).isDir());
        QVERIFY(!QFileInfo(dir() + QStringLiteral("/user/妈妈.ini.tmp-12345678")).isSymLink());
        QCOMPARE(read(elsewhere.filePath(QStringLiteral("t"))), QByteArray("kept"));
    }
};

QTEST_GUILESS_MAIN(TestSafeFiles)
#include "tst_safefiles.moc"
