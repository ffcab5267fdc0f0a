// The book store: a new book, the open-run-close connection, awkward texts
// through bound parameters, ids that are never reused, and a Data.ovd that
// never takes the place of a book that is there.

#include "records/EntryStore.h"
#include "store/BookConnection.h"
#include "store/BookFile.h"
#include "store/BookSchema.h"
#include "support/TestBook.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

class TestBookStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newBookIsABookWithTheFourLoanWords()
    {
        TestBook book;
        const BookConnection conn(book.location());
        QVERIFY(BookSchema::isBook(conn));
        // The loan balance knows these four words and no others.
        QCOMPARE(book.rows(QStringLiteral("ON_LOAD_ITEMS")),
                 (QList<QStringList>{{"借出"}, {"借入"}, {"还入"}, {"还出"}}));
        QVERIFY(book.count(QStringLiteral("PAYOUT_ITEMS")) > 0);
    }

    void createBookNeverOverwritesAndLeavesNoHalfBook()
    {
        ORV_FILE_BOOK_ONLY();
        TestBook book;
        const QByteArray before = book.readFile(QStringLiteral("Orvendal.ovd"));
        QVERIFY(!BookSchema::createBook(book.bookPath()));
        QCOMPARE(book.readFile(QStringLiteral("Orvendal.ovd")), before);
        QVERIFY(!BookSchema::createBook(book.path(QStringLiteral("no/such/folder/x.ovd"))));
        QVERIFY(!QFile::exists(book.path(QStringLiteral("no/such/folder/x.ovd"))));
    }

    void awkwardTextsStoreAndReadBackExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes and drop") << QStringLiteral("it's \"老王\"'; DROP TABLE INCOME; --");
        QTest::newRow("wildcards and backslash") << QStringLiteral("100% 满意_好 a\\c");
        QTest::newRow("outside GBK") << QStringLiteral("emoji 🎉 和 ﹏");
        QTest::newRow("empty") << QString();
    }
    void awkwardTextsStoreAndReadBackExactly()
    {
        QFETCH(QString, text);
        TestBook book;
        const qint64 id = book.add(RecordKind::Payout, QDate(2009, 3, 1), text, 5, text, text);
        const BookConnection conn(book.location());
        auto list = EntryStore::readAll(conn, RecordKind::Payout);
        QVERIFY(list);
        QCOMPARE(list->size(), 1);
        const EntryValues values = list->values(list->at(0));
        QCOMPARE(list->at(0).id, id);
        const QString expected = text.isNull() ? QStringLiteral("") : text;
        QCOMPARE((QStringList{values.items, values.remark, values.user}), (QStringList{expected, expected, expected}));
        QCOMPARE(book.count(QStringLiteral("INCOME")), 0); // the table survived
        // Never NULL: an empty remark is an empty text, which every query still finds.
        auto nulls = conn.read(QStringLiteral("SELECT COUNT(*) FROM \"PAYOUT\" WHERE \"remark\" IS NULL"));
        QVERIFY(nulls && nulls->next());
        QCOMPARE(nulls->value(0).toInt(), 0);
    }

    void deletedIdsAreNeverHandedOutAgain()
    {
        TestBook book;
        book.add(RecordKind::Income, QDate(2009, 3, 1), QStringLiteral("工资"), 5);
        const qint64 last = book.add(RecordKind::Income, QDate(2010, 12, 31), QStringLiteral("奖金"), 7);
        BookConnection conn(book.location());
        const orv::ShownEntry shown{last, {QDate(2010, 12, 31), QStringLiteral("奖金"), 7, {}, QStringLiteral("爸爸")}};
        QVERIFY(EntryStore::remove(conn, RecordKind::Income, {shown}, QStringLiteral("爸爸")).ok());
        const qint64 next = book.add(RecordKind::Income, QDate(2008, 1, 9), QStringLiteral("其他"), 1234.567);
        QVERIFY(next > last);
        // Stored as the two decimals shown, and as ISO dates, so text order is date order.
        QCOMPARE(book.rows(QStringLiteral("INCOME")).last().mid(1, 3), (QStringList{"2008-01-09", "其他", "1234.57"}));
    }

    void bookThatCannotBeOpenedIsReportedAsSuch()
    {
        ORV_FILE_BOOK_ONLY();
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("Orvendal.ovd"));
        const BookConnection missing(path);
        QVERIFY(!missing.isOpen());
        auto query = missing.read(QStringLiteral("SELECT 1"));
        QVERIFY(!query);
        QCOMPARE(query.error().kind, DbError::Kind::CannotOpen);
        // The connection never creates the file it was asked to open.
        QVERIFY(!QFile::exists(path));

        QFile junk(path);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        QVERIFY(!BookConnection(path).isOpen());
        QVERIFY(!BookSchema::isBookFile(path));
    }

    void dataOvdNeverReplacesABookThatIsThere()
    {
        ORV_FILE_BOOK_ONLY();
        QTemporaryDir dir;
        const QString bookPath = BookFile::bookPath(dir.path());
        const QString data = dir.filePath(QStringLiteral("Data.ovd"));
        QVERIFY(BookSchema::createBook(data));
        // A folder where the book should be: it cannot be opened for reading.
        QVERIFY(QDir().mkdir(bookPath));
        QCOMPARE(BookFile::ensureBook(dir.path()), BookFile::CheckResult::Missing);
        QVERIFY(QDir().rmdir(bookPath) && BookSchema::createBook(bookPath));
        QCOMPARE(BookFile::ensureBook(dir.path()), BookFile::CheckResult::Found);
        QVERIFY(BookSchema::isBookFile(data));
    }
};

QTEST_GUILESS_MAIN(TestBookStore)
#include "tst_bookstore.moc"
