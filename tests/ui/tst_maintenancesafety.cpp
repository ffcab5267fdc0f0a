// The whole-book commands where files are in the way: a journal that a
// crash left beside the book does not block restore or new book, a real
// writer does (and is named); a backup never lands on the empty-book
// template, and a backup onto a symbolic link writes the file it names.

#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "book/BookMaintenance.h"
#include "store/BookSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using orv::RecordKind;

namespace {

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder with a book, the template, a Trash of its own and the
// main window logged in directly.
struct Fixture
{
    Fixture()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(trashHome.filePath(QStringLiteral("share"))));
        QVERIFY(orv::BookSchema::createBook(orv::BookFile::templatePath(book.dir())));
        book.directLogin(QStringLiteral("爸爸"));
        book.add(RecordKind::Income, QDate(2024, 1, 1), QStringLiteral("工资"), 5000);
    }
    QTemporaryDir trashHome;
    QTemporaryDir elsewhere;
    TestBook book;
    ScriptedPrompter prompter;
};

} // namespace

class TestMaintenanceSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void journalsAndWriters_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("realWriter");
        QTest::newRow("restore, stale journal") << "restore" << false;
        QTest::newRow("new book, stale journal") << "new book" << false;
        QTest::newRow("restore, a writer in the middle of a change") << "restore" << true;
        QTest::newRow("new book, a writer in the middle of a change") << "new book" << true;
    }
    void journalsAndWriters()
    {
        QFETCH(QString, command);
        QFETCH(bool, realWriter);
        ORV_FILE_BOOK_ONLY();
        Fixture f;
        const QString backup = f.elsewhere.filePath(QStringLiteral("备份.ovd"));
        QVERIFY(orv::BookMaintenance::backupBook(f.book.location(), f.book.dir(), backup).ok());
        f.book.add(RecordKind::Payout, QDate(2024, 1, 2), QStringLiteral("餐饮"), 30);
        // What a crash of another program leaves: an empty journal, nobody behind it.
        f.book.writeFile(QStringLiteral("Orvendal.ovd-journal"), QByteArray());
        std::optional<orv::BookConnection> writer;
        if (realWriter) {
            QFile::remove(f.book.path(QStringLiteral("Orvendal.ovd-journal")));
            writer.emplace(f.book.location());
            QVERIFY(writer->beginTransaction()); // BEGIN IMMEDIATE
            QVERIFY(writer->change(QStringLiteral("INSERT INTO \"INCOME_ITEMS\" VALUES ('彩票')")));
        }
        const QByteArray bytes = FileBytes(f.book.bookPath());
        CLedgerDlg ledger;
        if (command == QLatin1String("restore")) {
            f.prompter.files.enqueue(backup);
            ledger.OnRestore();
        } else {
            f.prompter.answers.enqueue(MsgResult::No);
            ledger.OnNewBook();
        }
        const QString last = f.prompter.lastText();
        if (realWriter) {
            QVERIFY2(last.contains(QStringLiteral("数据库正在被其他程序写入，请稍后再试。")), qPrintable(last));
            QCOMPARE(f.prompter.shown.last().icon, MsgIcon::Stop);
            QCOMPARE(FileBytes(f.book.bookPath()), bytes);
            // The writer's change goes through as if nothing had happened.
            QVERIFY(writer->commit());
            QCOMPARE(f.book.rows(QStringLiteral("INCOME_ITEMS")).last(), QStringList{QStringLiteral("彩票")});
        } else {
            QVERIFY2(!f.prompter.texts().join(u'|').contains(QStringLiteral("其他程序")), qPrintable(last));
            QCOMPARE(f.book.count(QStringLiteral("PAYOUT")), 0);
            QCOMPARE(f.book.count(QStringLiteral("INCOME")), command == QLatin1String("restore") ? 1 : 0);
            // The new book is an ordinary book, which the empty journal never touches.
            f.book.add(RecordKind::Payout, QDate(2024, 2, 1), QStringLiteral("交通"), 2);
            QCOMPARE(f.book.count(QStringLiteral("PAYOUT")), 1);
        }
    }

    void backupTargets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("the empty-book template") << "template";
        QTest::newRow("the template through a link") << "link to template";
        QTest::newRow("a link to an older backup") << "link to backup";
        QTest::newRow("a link to a backup not yet made") << "dangling link";
    }
    void backupTargets()
    {
        QFETCH(QString, target);
        Fixture f;
        const QString templ = orv::BookFile::templatePath(f.book.dir());
        const QByteArray templBytes = FileBytes(templ);
        const QString older = f.elsewhere.filePath(QStringLiteral("older.ovd"));
        const QString link = f.elsewhere.filePath(QStringLiteral("最新备份.ovd"));
        QString chosen = link;
        if (target == QLatin1String("template")) {
            chosen = templ;
        } else if (target == QLatin1String("link to template")) {
            QVERIFY(QFile::link(templ, link));
        } else {
            if (target == QLatin1String("link to backup"))
                f.book.writeFile(older, "an older backup");
            QVERIFY(QFile::link(older, link));
        }
        CLedgerDlg ledger;
        f.prompter.files.enqueue(chosen);
        ledger.OnBackup();

        if (target.contains(QLatin1String("template"))) {
            QCOMPARE(f.prompter.texts(),
                     QStringList{QStringLiteral("不能把备份保存到空帐本文件NewBook.ovd上（每个新账都是从它复制的），请另选一个文件名!")});
            QCOMPARE(FileBytes(templ), templBytes);
            return;
        }
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("数据库备份成功!")});
        // The link stays a link; the file it names holds the backup.
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), older);
        QCOMPARE(QDir(f.elsewhere.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
                 (QStringList{QStringLiteral("older.ovd"), QStringLiteral("最新备份.ovd")}));
        QVERIFY(orv::BookSchema::isBookFile(older));
        const orv::BookConnection copy(older);
        auto income = copy.read(QStringLiteral("SELECT \"remark\", \"money\" FROM \"INCOME\""));
        QVERIFY(income && income->next());
        QCOMPARE(income->value(1).toDouble(), 5000.0);
        QVERIFY(!income->next());
    }
};

ORV_WIDGET_TEST_MAIN(TestMaintenanceSafety)
#include "tst_maintenancesafety.moc"
