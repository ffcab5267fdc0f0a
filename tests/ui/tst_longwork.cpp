// Long work on a big book shows its progress: backup, restore and new book
// with 取消, which stops them with the book and the folders as they were;
// the query module's overview without 取消, to its complete list.

#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "app/WorkProgress.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "store/BookFile.h"
#include "book/BookMaintenance.h"
#include "store/BookSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using orv::RecordKind;

namespace {

const QString kRestoreQuestion = QStringLiteral("进行数据恢复操作后，现有数据将会被全部覆盖，是否继续数据恢复操作？");
const QString kNewBookQuestion = QStringLiteral(
    "为防止旧账丢失，创建新账前请先对旧账进行保存!\n\n选择“是”先保存旧账再创建新账；\t\t\n\n选择“否”直接创建新账；\n\n"
    "选择“取消”取消本次操作。");

QStringList FolderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// Enough entries that every piece of work reports several steps.
constexpr int kBig = 60000;

struct Step
{
    QString label;
    int value;
    bool cancellable;
};

} // namespace

class TestLongWork : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dataHome;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.filePath(QStringLiteral("share"))));
    }

    void cleanup() { CWorkProgress::SetStepHookForTests(nullptr); }

    void cancelAtTheFirstStep_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("label");
        QTest::newRow("backup") << "backup" << "正在备份数据库……";
        QTest::newRow("restore") << "restore" << "正在恢复数据库……";
        // The old book is saved first: that is the long part.
        QTest::newRow("new book, old one saved first") << "new book" << "正在备份数据库……";
    }
    void cancelAtTheFirstStep()
    {
        QFETCH(QString, command);
        QFETCH(QString, label);
        QTemporaryDir elsewhere;
        const QString backup = elsewhere.filePath(QStringLiteral("备份.ovd"));
        if (command == QLatin1String("restore")) {
            TestBook older;
            older.fill(RecordKind::Income, kBig);
            QVERIFY(orv::BookMaintenance::backupBook(older.location(), older.dir(), backup).ok());
        }
        TestBook book;
        if (command != QLatin1String("restore"))
            book.fill(RecordKind::Payout, kBig);
        book.add(RecordKind::Income, QDate(2024, 1, 1), QStringLiteral("工资"), 5000);
        QVERIFY(orv::BookSchema::createBook(orv::BookFile::templatePath(book.dir())));
        book.directLogin(QStringLiteral("爸爸"));
        const QString before = book.contents();
        const QStringList folder = FolderEntries(book.dir());
        const QStringList outside = FolderEntries(elsewhere.path());

        ScriptedPrompter prompter;
        CLedgerDlg ledger;
        ledger.SwitchToModule(1);
        QList<Step> steps;
        CWorkProgress::SetStepHookForTests([&](QProgressDialog &dialog) {
            steps.append({dialog.labelText(), dialog.value(), dialog.findChild<QPushButton *>() != nullptr});
            if (auto *cancel = dialog.findChild<QPushButton *>())
                cancel->click();
        });
        if (command == QLatin1String("backup")) {
            prompter.files.enqueue(elsewhere.filePath(QStringLiteral("新备份.ovd")));
            ledger.OnBackup();
        } else if (command == QLatin1String("restore")) {
            prompter.files.enqueue(backup);
            ledger.OnRestore();
        } else {
            prompter.files.enqueue(elsewhere.filePath(QStringLiteral("旧账.ovd")));
            ledger.OnNewBook();
        }

        // Stopped at its first report, where 取消 was pressed.
        QCOMPARE(steps.size(), 1);
        QCOMPARE(steps[0].label, label);
        QVERIFY(steps[0].cancellable);
        // The user stopped it and knows: nothing more is said but the
        // question asked before the work began.
        const QStringList asked = command == QLatin1String("restore")    ? QStringList{kRestoreQuestion}
                                  : command == QLatin1String("new book") ? QStringList{kNewBookQuestion}
                                                                         : QStringList{};
        QCOMPARE(prompter.texts(), asked);
        QCOMPARE(book.contents(), before);
        QCOMPARE(FolderEntries(book.dir()), folder);
        QCOMPARE(FolderEntries(elsewhere.path()), outside);
        QVERIFY(QDir(m_dataHome.filePath(QStringLiteral("share/Trash/files"))).isEmpty());
        QCOMPARE(RecordList().GetItemCount(), 1);
    }

    void theOverviewShowsItsProgress()
    {
        TestBook book;
        book.fill(RecordKind::Income, kBig);
        book.fill(RecordKind::Payout, kBig);
        book.directLogin(QStringLiteral("爸爸"));
        ScriptedPrompter prompter;
        CLedgerDlg ledger;
        QList<Step> steps;
        CWorkProgress::SetStepHookForTests([&](QProgressDialog &dialog) {
            steps.append({dialog.labelText(), dialog.value(), dialog.findChild<QPushButton *>() != nullptr});
        });
        ledger.SwitchToModule(3);
        QVERIFY2(steps.size() >= 3, qPrintable(QString::number(steps.size())));
        for (qsizetype i = 0; i < steps.size(); ++i) {
            QCOMPARE(steps[i].label, QStringLiteral("正在读取帐本……"));
            QVERIFY(!steps[i].cancellable);
            if (i > 0)
                QVERIFY(steps[i].value >= steps[i - 1].value);
        }
        // The whole book, under its headings.
        QCOMPARE(RecordList().GetItemCount(), 3 + 2 * kBig);
        QVERIFY(prompter.shown.isEmpty());
    }
};

ORV_WIDGET_TEST_MAIN(TestLongWork)
#include "tst_longwork.moc"
