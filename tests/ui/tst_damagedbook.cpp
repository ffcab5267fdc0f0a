// A damaged book file. At start-up: whatever the damage, the family is
// offered a restore from a backup (with the restore command's checks and
// question), logs in with the backup's users afterwards, or ends the
// program with the book file as it was. While working: a page that cannot
// be read is told in Chinese, never shown as a list that merely ends early.

#include "support/WidgetTestMain.h"
#include "app/CLedgerApp.h"
#include "app/CLoginDlg.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/CQueryDlg.h"
#include "records/CRecordListCtrl.h"
#include "book/BookMaintenance.h"
#include "support/NextModal.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using orv::RecordKind;

namespace {

const QString kRestoreQuestion = QStringLiteral("进行数据恢复操作后，现有数据将会被全部覆盖，是否继续数据恢复操作？");

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Spoils the book file as damage of this kind would.
bool Damage(const QString &path, const QString &kind)
{
    QFile file(path);
    if (kind == QLatin1String("not SQLite"))
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(QByteArray(65536, 'x')) == 65536;
    if (kind == QLatin1String("cut short"))
        return file.resize(file.size() / 3);
    if (kind == QLatin1String("bad header"))
        return file.open(QIODevice::ReadWrite) && file.write(QByteArray(100, '\0')) == 100;
    if (kind == QLatin1String("empty"))
        return file.resize(0);
    // A page in the middle of the file, well past the schema's first pages.
    const qint64 page = 4096;
    return file.open(QIODevice::ReadWrite) && file.seek((file.size() / 2 / page) * page) &&
           file.write(QByteArray(page, '\xa5')) == page;
}

QString DamagedSentence()
{
    return DbErrorText(orv::DbError::statement(QString(), orv::DbError::Cause::Damaged));
}

} // namespace

class TestDamagedBook : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dataHome;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.filePath(QStringLiteral("share"))));
        qputenv("ODBCINI", QFile::encodeName(m_dataHome.filePath(QStringLiteral("odbc.ini"))));
    }

    void startUpOffersARestore_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("restore");
        for (const char *damage : {"not SQLite", "cut short", "bad header"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, restored").arg(QLatin1String(damage)))) << damage << true;
            QTest::newRow(qPrintable(QStringLiteral("%1, answered No").arg(QLatin1String(damage)))) << damage << false;
        }
    }
    void startUpOffersARestore()
    {
        QFETCH(QString, damage);
        QFETCH(bool, restore);
        ORV_FILE_BOOK_ONLY();
        QTemporaryDir backups;
        const QString backup = backups.filePath(QStringLiteral("2024-3-1帐本数据库备份.ovd"));
        {
            TestBook older({{QStringLiteral("奶奶"), QStringLiteral("x")}});
            older.add(RecordKind::Income, QDate(2024, 2, 1), QStringLiteral("工资"), 5000);
            QVERIFY(orv::BookMaintenance::backupBook(older.location(), older.dir(), backup).ok());
        }
        TestBook book;
        book.fill(RecordKind::Income, 20000); // the tables reach far beyond the first pages
        QVERIFY(Damage(book.bookPath(), damage));
        const QByteArray damaged = FileBytes(book.bookPath());

        ScriptedPrompter prompter;
        if (restore) {
            prompter.files.enqueue(backup);
            // The offer, the restore's question, its success; a second
            // offer (the restore failed) is declined.
            prompter.answers << MsgResult::Yes << MsgResult::Yes << MsgResult::Ok << MsgResult::No;
        } else {
            prompter.answers.enqueue(MsgResult::No);
        }
        const QString previous = QDir::currentPath();
        QDir::setCurrent(book.dir());
        const bool goesOn = CLedgerApp::PrepareBook();
        QDir::setCurrent(previous);

        QVERIFY2(goesOn == restore, qPrintable(prompter.texts().join(u'|')));
        QVERIFY(!prompter.shown.isEmpty());
        QVERIFY2(prompter.shown[0].text.contains(QStringLiteral("是否从备份文件恢复帐本")), qPrintable(prompter.shown[0].text));
        QCOMPARE(prompter.shown[0].buttons, MsgButtons::YesNo);
        if (!restore) {
            QCOMPARE(prompter.shown.size(), 1);
            QCOMPARE(FileBytes(book.bookPath()), damaged);
            QCOMPARE(QDir(book.dir()).entryList(QDir::Files), QStringList{QStringLiteral("Orvendal.ovd")});
            return;
        }
        QCOMPARE(prompter.texts().mid(1), (QStringList{kRestoreQuestion, QStringLiteral("数据库恢复成功!")}));
        QCOMPARE(book.rows(QStringLiteral("INCOME")), (QList<QStringList>{{"1", "2024-02-01", "工资", "5000.00", "", "爸爸"}}));
        // The backup's users log in.
        prompter.clear();
        CLoginDlg login;
        login.show();
        QCOMPARE(login.UserBox()->currentText(), QStringLiteral("奶奶"));
        login.PasswordEdit()->setText(QStringLiteral("x"));
        login.accept();
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(g_strCurUser, QStringLiteral("奶奶"));
        QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'|')));
    }

    // A page of entries that cannot be read, in the middle of a large table.
    void aListIsNeverShownCutShort_data()
    {
        QTest::addColumn<int>("module");
        QTest::newRow("income list") << 1;
        QTest::newRow("query overview") << 3;
        QTest::newRow("query result") << -1;
    }
    void aListIsNeverShownCutShort()
    {
        QFETCH(int, module);
        ORV_FILE_BOOK_ONLY();
        TestBook book;
        book.fill(RecordKind::Income, 30000);
        book.directLogin(QStringLiteral("爸爸"));
        QVERIFY(Damage(book.bookPath(), QStringLiteral("middle page")));
        ScriptedPrompter prompter;
        CLedgerDlg ledger;
        ledger.show();
        prompter.clear(); // the figures may not be counted either: told on their own
        if (module > 0) {
            ledger.SwitchToModule(module);
        } else {
            ledger.SwitchToModule(3);
            prompter.clear();
            bool shown = false;
            WithNextModal<CQueryDlg>(shown, [](CQueryDlg *dlg) {
                dlg->findChild<QRadioButton *>("1035")->click();
                dlg->DateFromPicker()->setDate(QDate(2009, 1, 1));
                dlg->DateToPicker()->setDate(QDate(2009, 12, 31));
                dlg->findChild<QPushButton *>("1")->click();
            });
            ledger.RunCommand(1011);
            QVERIFY(shown);
        }
        QVERIFY2(prompter.texts().join(u'|').contains(DamagedSentence()), qPrintable(prompter.texts().join(u'|')));
        // No entry rows at all: at most the summary and heading rows of a
        // query list, which name their block in the first column.
        for (int row = 0; row < RecordList().GetItemCount(); ++row)
            QVERIFY2(module != 1 && !RecordList().GetItemText(row, 0).isEmpty(), qPrintable(QString::number(row)));
    }
};

ORV_WIDGET_TEST_MAIN(TestDamagedBook)
#include "tst_damagedbook.moc"
