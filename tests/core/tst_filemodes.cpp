// Every file the program makes is its owner's alone (0600), every folder
// it makes too (0700), whatever the umask it runs under: the book, its
// copies on the way and its backups, exported sheets, set.ini, the colour
// files and userTemp.dat. The core makes sure of it itself; these tests run
// without the program's start-up, which sets the umask to 077 besides.

#include "export/SheetWriter.h"
#include "files/PrivateFiles.h"
#include "settings/ProgramSettings.h"
#include "settings/UserColorFile.h"
#include "store/BookCopy.h"
#include "store/BookFile.h"
#include "store/BookMaintenance.h"
#include "store/BookSchema.h"
#include "store/UserCarryFile.h"
#include "support/TestBook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace orv;

namespace {

// The permission bits, as "600"; "none" when nothing is there.
QString modeOf(const QString &path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("none");
    return QString::number(st.st_mode & 07777, 8);
}

class Umask
{
public:
    explicit Umask(mode_t mask) : m_previous(::umask(mask)) {}
    ~Umask() { ::umask(m_previous); }

private:
    mode_t m_previous;
};

} // namespace

class TestFileModes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFileAndFolderIsTheOwnersAlone_data()
    {
        QTest::addColumn<int>("mask");
        QTest::newRow("umask 022") << 0022;
        QTest::newRow("umask 000") << 0000;
    }
    void everyFileAndFolderIsTheOwnersAlone()
    {
        QFETCH(int, mask);
        TestBook book;
        QTemporaryDir elsewhere;
        QMap<QString, QString> modes; // what -> mode
        {
            const Umask underMask{mode_t(mask)};

            // set.ini and the colour file, made on first reading and written.
            const ProgramSettings settings(book.dir());
            QVERIFY(settings.load().readable);
            modes[QStringLiteral("set.ini made")] = modeOf(settings.filePath());
            const UserColorFile colour(book.dir(), QStringLiteral("爸爸"));
            colour.load();
            modes[QStringLiteral("colour file made")] = modeOf(colour.filePath());
            // A file of an older version, readable by all, is tightened at the next write.
            QVERIFY(QFile::setPermissions(settings.filePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                                  QFile::ReadOther));
            QVERIFY(settings.save(true, QStringLiteral("爸爸")));
            modes[QStringLiteral("set.ini written")] = modeOf(settings.filePath());
            QVERIFY(colour.save({1, 2, 3}));
            modes[QStringLiteral("colour file written")] = modeOf(colour.filePath());

            // Books: a new one, a copy on its way, a backup.
            const QString made = book.path(QStringLiteral("NewBook.ovd"));
            QVERIFY(BookSchema::createBook(made));
            modes[QStringLiteral("new book")] = modeOf(made);
            const QString copy = book.path(QStringLiteral("Orvendal.ovd.new-1234"));
            QVERIFY(copyDatabase(made, copy).ok());
            modes[QStringLiteral("copy on its way")] = modeOf(copy);
            QFile::remove(copy);
            const QString backup = elsewhere.filePath(QStringLiteral("2009-3-7帐本数据库备份.ovd"));
            QVERIFY(BookMaintenance::backupBook(book.bookPath(), backup).ok());
            modes[QStringLiteral("backup")] = modeOf(backup);

            // A new book in place of one readable by all: the users carried
            // in userTemp.dat, the Trash's folders made on the way.
            QVERIFY(QFile::setPermissions(book.bookPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                               QFile::ReadOther));
            const QString dataHome = elsewhere.filePath(QStringLiteral("home/share"));
            qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
            UserCarryFile::setWrittenHook(
                [&](const QString &path) { modes[QStringLiteral("userTemp.dat")] = modeOf(path); });
            const BookMaintenance::Outcome replaced = BookMaintenance::replaceBook(book.dir(), made);
            UserCarryFile::setWrittenHook(nullptr);
            QVERIFY2(replaced.ok(), qPrintable(replaced.detail));
            modes[QStringLiteral("book replaced")] = modeOf(book.bookPath());
            modes[QStringLiteral("data folder made")] = modeOf(dataHome);
            modes[QStringLiteral("folder above it made")] = modeOf(QFileInfo(dataHome).path());

            // An exported sheet, in folders made for it.
            SheetContent content;
            content.sheetName = QStringLiteral("家庭帐务—收入");
            content.captions = {QStringLiteral("编号")};
            content.rowCount = 1;
            content.cell = [](qsizetype, int) { return QStringLiteral("1"); };
            const QString sheet = elsewhere.filePath(QStringLiteral("导出/一月/收入.xlsx"));
            QVERIFY(writeSheet(sheet, content).ok());
            modes[QStringLiteral("sheet")] = modeOf(sheet);
            modes[QStringLiteral("sheet's folder")] = modeOf(elsewhere.filePath(QStringLiteral("导出/一月")));
            modes[QStringLiteral("folder above it")] = modeOf(elsewhere.filePath(QStringLiteral("导出")));
        }
        for (auto it = modes.cbegin(); it != modes.cend(); ++it) {
            const QString expected = it.key().contains(QLatin1String("folder")) ? QStringLiteral("700") : QStringLiteral("600");
            QVERIFY2(it.value() == expected, qPrintable(it.key() + QStringLiteral(": ") + it.value()));
        }
        QCOMPARE(modes.size(), 14);
    }

    void aPrivateFileNeverReplacesNorFollowsAnything()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("target"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), target));
        QVERIFY(!createPrivateFile(target).ok());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("nowhere"))));
        QVERIFY(!createPrivateFile(dir.path()).ok());
    }
};

QTEST_GUILESS_MAIN(TestFileModes)
#include "tst_filemodes.moc"
