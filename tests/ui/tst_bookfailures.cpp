// How the family hears of a book that fails: a Chinese sentence for each
// cause (what happened, what to do), the engine's words after it, and a
// visible wait while another program holds the book.

#include "support/WidgetTestMain.h"

#include "app/BusyIndicator.h"
#include "app/DbMessages.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CAddRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "store/BusyWait.h"
#include "support/NextModal.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <sqlite3.h>

using orv::DbError;
using orv::RecordKind;
using Cause = orv::DbError::Cause;

namespace {

bool HasLatinSentenceOnly(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff)
            return false;
    return true;
}

// Remembers what the wait indicator showed while it was up.
class IndicatorWatch final : public QObject
{
public:
    IndicatorWatch() { qApp->installEventFilter(this); }
    ~IndicatorWatch() override { qApp->removeEventFilter(this); }

    bool shown = false;
    QString text;
    bool waitCursor = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QStringLiteral("busyIndicator")) {
            shown = true;
            if (auto *label = watched->findChild<QLabel *>())
                text = label->text();
            waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        }
        return false;
    }
};

QWidget *IndicatorOnScreen()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (QWidget *panel = window->findChild<QWidget *>(QStringLiteral("busyIndicator")))
            return panel;
    return nullptr;
}

} // namespace

class TestBookFailures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { InstallBusyIndicator(); }
    void cleanupTestCase() { orv::BusyWait::setReporter({}); }

    void everyCauseHasItsSentence_data()
    {
        QTest::addColumn<int>("cause");
        const Cause causes[] = {Cause::Unknown,    Cause::Busy,           Cause::ReadOnly,   Cause::DiskFull,
                                Cause::Damaged,    Cause::NotABook,       Cause::NewerLayout, Cause::Missing,
                                Cause::ServerDown, Cause::BadAddress,     Cause::PasswordRejected,
                                Cause::PermissionDenied, Cause::ConnectionLost, Cause::Conflict};
        for (Cause cause : causes)
            QTest::newRow(qPrintable(QString::number(int(cause)))) << int(cause);
    }

    void everyCauseHasItsSentence()
    {
        QFETCH(int, cause);
        static QSet<QString> sentences;
        const QString engine = QStringLiteral("database is locked");
        const QString statement = DbErrorText(DbError::statement(engine, Cause(cause)));
        const QString open = DbErrorText(DbError::cannotOpen(engine, Cause(cause)));
        // The failed open keeps its old first line; both end with the engine's words.
        QCOMPARE(open.section(u'\n', 0, 0), QStringLiteral("不能打开数据库"));
        QVERIFY(statement.endsWith(QStringLiteral("（database is locked）")));
        QVERIFY(open.endsWith(QStringLiteral("（database is locked）")));
        const QString sentence = statement.section(QStringLiteral("\n\n"), 0, 0);
        QVERIFY2(!HasLatinSentenceOnly(sentence), qPrintable(sentence));
        QVERIFY2(sentence.contains(QStringLiteral("请")), "says what to do");
        QVERIFY2(!sentences.contains(sentence), "a sentence of its own");
        sentences.insert(sentence);
        QCOMPARE(open.section(u'\n', 1), statement);
    }

    // Books spoilt in real ways, met by switching to a module.
    void aSpoiltBookIsNamedInChinese_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<QString>("sentence");
        for (int module : {1, 2, 3, 5}) {
            const QByteArray m = QByteArray::number(module);
            QTest::newRow(QByteArray("missing, module " + m).constData()) << module << "missing" << DbCauseSentence(Cause::Missing);
            QTest::newRow(QByteArray("not a book, module " + m).constData()) << module << "text" << DbCauseSentence(Cause::NotABook);
        }
    }

    void aSpoiltBookIsNamedInChinese()
    {
        ORV_FILE_BOOK_ONLY();
        QFETCH(int, module);
        QFETCH(QString, spoil);
        QFETCH(QString, sentence);
        TestBook book;
        book.directLogin(QStringLiteral("爸爸"));
        book.add(RecordKind::Income, QDate(2024, 1, 5), QStringLiteral("工资"), 100);
        ScriptedPrompter prompter;
        CLedgerDlg window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(QFile::remove(book.bookPath()));
        if (spoil == QStringLiteral("text"))
            book.writeFile(QFileInfo(book.bookPath()).fileName(), QByteArray(4096, 'x'));
        prompter.clear();
        window.SwitchToModule(module);
        QVERIFY(!prompter.shown.isEmpty());
        const QString text = prompter.shown.first().text;
        QCOMPARE(text.section(u'\n', 0, 0), QStringLiteral("不能打开数据库"));
        QVERIFY2(text.contains(sentence), qPrintable(text));
        // Only the overview's balance row comes before the book is read.
        QCOMPARE(RecordList().GetItemCount(), module == 3 ? 1 : 0);
    }

    // Another program holds the book while an entry is added: the wait shows,
    // then the family is told the book is busy; nothing is stored.
    void aLockedBookShowsTheWaitThenSaysSo_data()
    {
        QTest::addColumn<int>("module");
        QTest::newRow("income") << 1;
        QTest::newRow("expense") << 2;
        QTest::newRow("loans") << 5;
    }

    void aLockedBookShowsTheWaitThenSaysSo()
    {
        ORV_FILE_BOOK_ONLY();
        QFETCH(int, module);
        TestBook book;
        book.directLogin(QStringLiteral("爸爸"));
        ScriptedPrompter prompter;
        CLedgerDlg window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.SwitchToModule(module);
        const qint64 before = RecordList().GetItemCount();

        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(book.bookPath()).constData(), &other), SQLITE_OK);
        auto release = [&other] {
            if (other) {
                sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
                sqlite3_close(other);
                other = nullptr;
            }
        };
        // The first message ends the other program's hold, so that the
        // figures read after it need not wait as well.
        prompter.onShown = [&](const ScriptedPrompter::Shown &) { release(); };
        IndicatorWatch watch;
        bool seen = false;
        WithNextModal<CAddRecordDlg>(seen, [&](CAddRecordDlg *dlg) {
            QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
            dlg->AmountEdit()->setText(QStringLiteral("12.5"));
            dlg->OkButton()->click();
        });
        window.RunCommand(1011);
        release();
        QVERIFY(seen);

        QVERIFY(watch.shown);
        QVERIFY2(watch.text.startsWith(QStringLiteral("帐本正被其他程序使用，正在等待……")), qPrintable(watch.text));
        QVERIFY(watch.waitCursor);
        QCOMPARE(IndicatorOnScreen(), nullptr);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!prompter.shown.isEmpty());
        QVERIFY2(prompter.shown.first().text.contains(DbCauseSentence(Cause::Busy)), qPrintable(prompter.shown.first().text));
        QCOMPARE(book.count(QString::fromLatin1(module == 1 ? "INCOME" : module == 2 ? "PAYOUT" : "ON_LOAD")), 0);
        QCOMPARE(RecordList().GetItemCount(), before);
    }
};

ORV_WIDGET_TEST_MAIN(TestBookFailures)
#include "tst_bookfailures.moc"
