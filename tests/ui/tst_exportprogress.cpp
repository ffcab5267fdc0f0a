// A long export shows its progress and can be stopped: a stopped export
// leaves no file, and an old file of that name stays as it was. The
// spreadsheet library's failures are told in Chinese.

#include "support/WidgetTestMain.h"

#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "support/ModalGuard.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using orv::RecordKind;

namespace {

// Entries enough that an export takes a while, straight into the book.
void AddMany(const TestBook &book, const QString &table, int count)
{
    book.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                             "INSERT INTO \"%2\" (\"date\", \"items\", \"money\", \"remark\", \"user\") "
                             "SELECT '2024-01-01', '名目' || (i % 9), i * 1.25, '备注' || i, '爸爸' FROM n")
                  .arg(count)
                  .arg(table));
}

QStringList Entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestExportProgress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aStoppedExportLeavesTheOldFile_data()
    {
        QTest::addColumn<int>("module");
        QTest::newRow("income") << 1;
        QTest::newRow("expense") << 2;
        QTest::newRow("query") << 3;
        QTest::newRow("loans") << 5;
    }

    void aStoppedExportLeavesTheOldFile()
    {
        QFETCH(int, module);
        TestBook book;
        book.directLogin(QStringLiteral("爸爸"));
        AddMany(book, module == 2 ? QStringLiteral("PAYOUT") : module == 5 ? QStringLiteral("ON_LOAD") : QStringLiteral("INCOME"),
                300000);
        ScriptedPrompter prompter;
        QTemporaryDir out;
        const QString path = QDir(out.path()).filePath(QStringLiteral("帐.xlsx"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the old workbook");
        old.close();

        CLedgerDlg window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.SwitchToModule(module);
        QVERIFY(RecordList().GetItemCount() >= 300000);

        // The progress comes up; its Cancel button is pressed.
        QString label;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *progress = qobject_cast<QProgressDialog *>(widget);
                if (!progress || !progress->isVisible() || progress->wasCanceled())
                    continue;
                const ModalGuard::Expect expected(progress);
                label = progress->labelText();
                if (auto *cancel = progress->findChild<QPushButton *>())
                    cancel->click();
            }
        });
        poll.start();
        prompter.files << path;
        window.RunCommand(1015);
        poll.stop();

        QVERIFY2(label.startsWith(QStringLiteral("正在导出第 ")), qPrintable(label));
        QVERIFY(prompter.shown.isEmpty()); // no "saved" message
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old workbook"));
        QCOMPARE(Entries(out.path()), QStringList{QStringLiteral("帐.xlsx")});
    }

    // The file cannot be made where it should go: said in Chinese, with the
    // system's own words after it.
    void aFileThatCannotBeMadeIsExplained()
    {
        TestBook book;
        book.directLogin(QStringLiteral("爸爸"));
        book.add(RecordKind::Income, QDate(2024, 1, 5), QStringLiteral("工资"), 100);
        ScriptedPrompter prompter;
        CLedgerDlg window;
        window.SwitchToIncome();
        // No one, not even root, makes files in /proc.
        prompter.files << QStringLiteral("/proc/self/收入帐.xlsx");
        window.RunCommand(1015);
        QCOMPARE(prompter.shown.size(), 1);
        const QString text = prompter.lastText();
        QVERIFY2(text.contains(QStringLiteral("无法在这个位置建立文件")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("（")) && !text.endsWith(QStringLiteral("（）")), qPrintable(text));
        QCOMPARE(prompter.shown.last().icon, MsgIcon::Stop);
    }
};

ORV_WIDGET_TEST_MAIN(TestExportProgress)
#include "tst_exportprogress.moc"
