// Whole books moved between a file and a server (orvendal-book copy, the
// backup of a server book, the archive of one): entries with their ids,
// the ids handed out so far, categories in their order, users with their
// hashes; all or none; a book with entries replaced only when told so.

#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/BookSchema.h"
#include "book/BookTransfer.h"
#include "model/TextForms.h"
#include "support/TestBook.h"
#include "security/PasswordHash.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

namespace {

// Everything of a book at a location, as text (the same form as TestBook::contents()).
QString ContentsAt(const BookLocation &location)
{
    const BookConnection conn(location);
    QString text;
    for (const QString &table : BookSchema::tableNames()) {
        const bool entries = !table.endsWith(QLatin1String("_ITEMS")) && table != QLatin1String("USER");
        const QString columns = entries ? QStringLiteral("\"id\", \"date\", \"items\", \"money\", \"remark\", \"user\"")
                                : table == QLatin1String("USER") ? QStringLiteral("\"user\", \"code\"")
                                                                 : QStringLiteral("\"items\"");
        const QString order = entries ? QStringLiteral("\"id\"") : conn.sql().insertionOrder();
        auto query = conn.read(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY %3").arg(columns, table, order));
        if (!query)
            return query.error().message;
        text += table + u'\n';
        while (query->next()) {
            QStringList row;
            for (int c = 0; c < (entries ? 6 : table == QLatin1String("USER") ? 2 : 1); ++c) {
                QString value = query->value(c).toString();
                if (entries && c == 1)
                    value = value.left(10);
                if (entries && c == 3)
                    value = moneyText(query->value(c).toDouble());
                row << value;
            }
            text += row.join(u'|') + u'\n';
        }
    }
    return text;
}

qint64 NextId(const BookLocation &location, RecordKind kind)
{
    const BookConnection conn(location);
    EntryList scratch;
    auto stored = EntryStore::insert(conn, kind, {QDate(2030, 1, 1), QStringLiteral("新"), 1, {}, QStringLiteral("爸爸")},
                                     scratch);
    return stored ? stored->id : -1;
}

} // namespace

class TestBookTransfer : public QObject
{
    Q_OBJECT

    // A book with a little of everything: awkward texts, amounts to the fen,
    // a deleted last entry (whose id must never come back), moved categories.
    void Fill(TestBook &book)
    {
        book.add(RecordKind::Income, QDate(2024, 2, 29), QStringLiteral("工资"), 0.1, QStringLiteral("it's \"quoted\"\ttab"));
        book.add(RecordKind::Income, QDate(2024, 12, 31), QStringLiteral("奖金"), 12345678901234.56);
        book.add(RecordKind::Payout, QDate(2025, 1, 1), QStringLiteral("餐饮"), 0.2, QStringLiteral("back\\slash\nline"));
        const qint64 last = book.add(RecordKind::Loan, QDate(2025, 1, 2), QStringLiteral("借出"), 100);
        book.exec(QStringLiteral("DELETE FROM \"ON_LOAD\" WHERE \"id\" = %1").arg(last));
        book.exec(QStringLiteral("INSERT INTO \"PAYOUT_ITEMS\" (\"items\") VALUES ('宠物')"));
        book.exec(QStringLiteral("DELETE FROM \"PAYOUT_ITEMS\" WHERE \"items\" = '餐饮'"));
    }

private Q_SLOTS:
    void aBookGoesOutAndComesBackTheSame()
    {
        TestBook book({{QStringLiteral("爸爸"), QStringLiteral("pw")}, {QStringLiteral("妈妈"), QStringLiteral("m")}});
        Fill(book);
        const QString before = ContentsAt(book.location());
        // Out into a new file (the archive of a server book, a copy of a file book) ...
        QTemporaryDir dir;
        const BookLocation file = BookLocation::file(dir.filePath(QStringLiteral("归档.ovd")));
        QVERIFY(BookTransfer::copyWholeBook(book.location(), file, false).ok());
        QCOMPARE(ContentsAt(file), before);
        // The copy builds each date index after its rows: all three there, the file whole.
        {
            const BookConnection conn(file);
            auto indexes = conn.read(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND "
                                                    "name IN ('INCOME_date', 'PAYOUT_date', 'ON_LOAD_date')"));
            QVERIFY(indexes && indexes->next());
            QCOMPARE(indexes->value(0).toInt(), 3);
            auto check = conn.read(QStringLiteral("PRAGMA integrity_check"));
            QVERIFY(check && check->next());
            QCOMPARE(check->value(0).toString(), QStringLiteral("ok"));
        }
        // ... and back into a fresh book, whose own categories and users it replaces.
        TestBook fresh;
        QVERIFY(BookTransfer::copyWholeBook(file, fresh.location(), false).ok());
        QCOMPARE(ContentsAt(fresh.location()), before);
        // The deleted loan's id is not handed out again on either side.
        QVERIFY(NextId(file, RecordKind::Loan) > 1);
        QVERIFY(NextId(fresh.location(), RecordKind::Loan) > 1);
        // The carried hash still knows the password.
        QVERIFY(PasswordHash::matches(QStringLiteral("m"), fresh.rows(QStringLiteral("USER")).last().at(1)));
    }

    void aBookWithEntriesIsReplacedOnlyWhenToldSo()
    {
        TestBook book;
        Fill(book);
        TestBook other;
        other.add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("利息"), 3);
        const QString untouched = other.contents();
        const DbStatus refused = BookTransfer::copyWholeBook(book.location(), other.location(), false);
        QVERIFY(!refused);
        QVERIFY(refused.error().message.contains(QStringLiteral("--replace")));
        QCOMPARE(other.contents(), untouched);
        QVERIFY(BookTransfer::copyWholeBook(book.location(), other.location(), true).ok());
        QCOMPARE(ContentsAt(other.location()), ContentsAt(book.location()));
    }

    void aCopyThatFailsHalfwayLeavesNothing()
    {
        TestBook book;
        Fill(book);
        TestBook other;
        other.add(RecordKind::Income, QDate(2020, 1, 1), QStringLiteral("利息"), 3);
        const QString untouched = other.contents();
        // Stopped after the first rows: the book it went into is as it was.
        const DbStatus stopped =
            BookTransfer::copyWholeBook(book.location(), other.location(), true, [](qint64, qint64) { return false; });
        QVERIFY(!stopped);
        QCOMPARE(other.contents(), untouched);
        // Into a new file: no half file stays behind.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("半个.ovd"));
        QVERIFY(!BookTransfer::copyWholeBook(book.location(), BookLocation::file(path), false,
                                             [](qint64, qint64) { return false; }));
        QVERIFY(!QFile::exists(path));
    }

    // The command a family uses: a server book made in an empty database,
    // a book file copied onto it and archived back.
    void theCommandMakesAndMovesBooks()
    {
        if (!TestBook::onServer())
            QSKIP("making a book needs a server");
        const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/orvendal-book");
        if (!QFile::exists(tool))
            QSKIP("orvendal-book is not built");
        TestServerDatabase empty;
        auto run = [&](const QStringList &args, const QByteArray &input = {}) {
            QProcess process;
            process.start(tool, args);
            process.write(input);
            process.closeWriteChannel();
            process.waitForFinished(60000);
            return std::make_pair(process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError()));
        };
        const QString uri = empty.location().uri();
        auto [created, said] = run({QStringLiteral("create"), uri, QStringLiteral("--user"), QStringLiteral("妈妈")},
                                   "秘密\n");
        QVERIFY2(created == 0, qPrintable(said));
        QVERIFY2(ContentsAt(empty.location()).contains(QStringLiteral("妈妈|$argon2id$")), qPrintable(ContentsAt(empty.location())));
        // Made once only: the database now holds tables.
        QCOMPARE(run({QStringLiteral("create"), uri}, "x\n").first, 1);

        TestBook book;
        Fill(book);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("家.ovd"));
        // The new book has no entries yet: it takes the family's book.
        QCOMPARE(run({QStringLiteral("copy"), book.location().uri(), uri}).first, 0);
        QCOMPARE(ContentsAt(empty.location()), ContentsAt(book.location()));
        // Archived into a file; a book with entries is not overwritten unless told so.
        QCOMPARE(run({QStringLiteral("copy"), uri, file}).first, 0);
        QCOMPARE(ContentsAt(BookLocation::file(file)), ContentsAt(book.location()));
        QCOMPARE(run({QStringLiteral("copy"), file, uri}).first, 1);
        QCOMPARE(run({QStringLiteral("copy"), file, uri, QStringLiteral("--replace")}).first, 0);
    }
};

QTEST_GUILESS_MAIN(TestBookTransfer)
#include "tst_booktransfer.moc"
