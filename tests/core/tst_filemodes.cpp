// Every file the program makes is its owner's alone (0600), every folder
// it makes too (0700), under any umask: the core sees to it itself, since
// its callers need not run the program's start-up (which sets umask 077).

#include "export/SheetWriter.h"
#include "settings/ProgramSettings.h"
#include "settings/UserColorFile.h"
#include "store/sqlite/BookCopy.h"
#include "book/BookMaintenance.h"
#include "store/BookSchema.h"
#include "book/UserCarryFile.h"
#include "support/TestBook.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace orv;

namespace {

QString modeOf(const QString &path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? QString::number(st.st_mode & 07777, 8)
                                                                   : QStringLiteral("none");
}

const auto kReadableByAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;

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
        ORV_FILE_BOOK_ONLY();
        QFETCH(int, mask);
        TestBook book;
        QMap<QString, QString> modes; // what: its mode
        const mode_t previous = ::umask(mode_t(mask));

        const ProgramSettings settings(book.dir());
        const UserColorFile colour(book.dir(), QStringLiteral("爸爸"));
        settings.load();
        colour.load();
        modes[QStringLiteral("set.ini made")] = modeOf(settings.filePath());
        modes[QStringLiteral("colour file made")] = modeOf(colour.filePath());
        // Files of an older version, readable by all, are tightened at the next write.
        QFile::setPermissions(settings.filePath(), kReadableByAll);
        QFile::setPermissions(colour.filePath(), kReadableByAll);
        settings.save(true, QStringLiteral("爸爸"));
        colour.save({1, 2, 3});
        modes[QStringLiteral("set.ini written")] = modeOf(settings.filePath());
        modes[QStringLiteral("colour file written")] = modeOf(colour.filePath());

        const QString made = book.path(QStringLiteral("NewBook.ovd"));
        BookSchema::createBook(made);
        modes[QStringLiteral("new book")] = modeOf(made);
        copyDatabase(made, book.path(QStringLiteral("Orvendal.ovd.new-1234")));
        modes[QStringLiteral("copy on its way")] = modeOf(book.path(QStringLiteral("Orvendal.ovd.new-1234")));
        BookMaintenance::backupBook(book.location(), book.dir(), book.path(QStringLiteral("备份.ovd")));
        modes[QStringLiteral("backup")] = modeOf(book.path(QStringLiteral("备份.ovd")));

        // A new book in place of one readable by all, the Trash's data folder made on the way.
        QFile::setPermissions(book.bookPath(), kReadableByAll);
        qputenv("XDG_DATA_HOME", QFile::encodeName(book.path(QStringLiteral("home/share"))));
        UserCarryFile::setWrittenHook([&](const QString &path) { modes[QStringLiteral("userTemp.dat")] = modeOf(path); });
        QVERIFY(BookMaintenance::replaceBook(book.location(), book.dir(), made).ok());
        UserCarryFile::setWrittenHook(nullptr);
        modes[QStringLiteral("book replaced")] = modeOf(book.bookPath());
        modes[QStringLiteral("data folder made")] = modeOf(book.path(QStringLiteral("home/share")));
        modes[QStringLiteral("folder above it made")] = modeOf(book.path(QStringLiteral("home")));

        SheetContent content;
        content.sheetName = QStringLiteral("家庭帐务—收入");
        content.captions = {QStringLiteral("编号")};
        writeSheet(book.path(QStringLiteral("导出/一月/收入.xlsx")), content);
        modes[QStringLiteral("sheet")] = modeOf(book.path(QStringLiteral("导出/一月/收入.xlsx")));
        modes[QStringLiteral("sheet's folder")] = modeOf(book.path(QStringLiteral("导出/一月")));
        modes[QStringLiteral("folder above it")] = modeOf(book.path(QStringLiteral("导出")));
        ::umask(previous);

        QCOMPARE(modes.size(), 14);
        for (auto it = modes.cbegin(); it != modes.cend(); ++it) {
            const bool folder = it.key().contains(QLatin1String("folder"));
            QVERIFY2(it.value() == (folder ? QLatin1String("700") : QLatin1String("600")), qPrintable(it.key() + u' ' + it.value()));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileModes)
#include "tst_filemodes.moc"
