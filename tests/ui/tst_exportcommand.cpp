// The Excel export of the main window, driven through the scripted
// prompter and read back with openpyxl: every module's list lands cell for
// cell as the list shows it, as text.

#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "support/XlsxReadBack.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

namespace {

QString ProposedName(const ScriptedPrompter &prompter)
{
    return QFileInfo(prompter.fileRequests.last().proposedPath).fileName();
}

QString Today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
}

struct Fixture
{
    Fixture()
        : book({{QStringLiteral("爸爸"), QStringLiteral("pw")}, {QStringLiteral("妈妈"), QString()}})
    {
        book.directLogin(QStringLiteral("爸爸"));
        // Texts a spreadsheet would turn into numbers or formulas.
        book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 5000, QStringLiteral("十二月 \"全勤\""));
        book.add(RecordKind::Income, QDate(2009, 12, 6), QStringLiteral("奖金"), 12.5, QStringLiteral("it's"), QStringLiteral("妈妈"));
        book.add(RecordKind::Income, QDate(2010, 1, 1), QStringLiteral("007"), 0.1);
        book.add(RecordKind::Payout, QDate(2009, 12, 5), QStringLiteral("餐饮"), 25, QStringLiteral("=1+1"));
        book.add(RecordKind::Payout, QDate(2009, 12, 7), QStringLiteral("交通"), 3);
        book.add(RecordKind::Loan, QDate(2009, 3, 7), QStringLiteral("借出"), 300, QStringLiteral("给'老王'"));
    }
    QString out(const QString &name) const { return outDir.filePath(name); }

    TestBook book;
    QTemporaryDir outDir;
    ScriptedPrompter prompter;
};

} // namespace

class TestExportCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (PythonWithOpenpyxl().isEmpty())
            QSKIP("python3 with openpyxl is needed to read the workbooks back");
    }

    void exportsTheListAsShown_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("word");
        QTest::newRow("income") << 1 << QStringLiteral("家庭帐务—收入") << QStringLiteral("收入帐");
        QTest::newRow("expense") << 2 << QStringLiteral("家庭帐务—支出") << QStringLiteral("支出帐");
        QTest::newRow("loans") << 5 << QStringLiteral("家庭帐务—借贷") << QStringLiteral("借贷帐");
        QTest::newRow("query overview") << 3 << QStringLiteral("家庭帐务—综合") << QStringLiteral("综合帐");
    }
    void exportsTheListAsShown()
    {
        QFETCH(int, module);
        QFETCH(QString, sheet);
        QFETCH(QString, word);
        Fixture f;
        CLedgerDlg dlg;
        dlg.SwitchToModule(module);
        // Sorted by amount: the export follows what is shown, not the table.
        RecordList().OnColumnClick(3);
        const QString path = f.out(QStringLiteral("新文件夹/") + word + QStringLiteral(".xlsx"));
        f.prompter.files.enqueue(path);
        QDir::setCurrent(f.outDir.path());

        dlg.OnExportExcel();

        QCOMPARE(ProposedName(f.prompter), Today() + word + QStringLiteral(".xlsx"));
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("导出文件保存于%1!").arg(path)});
        QCOMPARE(QDir::currentPath(), g_strAppDir);
        // Captions, then every row, every cell the list's text and of text type.
        QString error;
        const std::optional<XlsxBook> book = ReadXlsx(path, &error);
        QVERIFY2(book, qPrintable(error));
        const CRecordListCtrl &list = RecordList();
        QCOMPARE(book->sheetNames, QStringList{sheet});
        QCOMPARE(book->rows.size(), list.GetItemCount() + 1);
        for (int c = 0; c < list.GetColumnCount(); ++c) {
            QCOMPARE(book->text(0, c), list.GetColumnCaption(c));
            for (int r = 0; r < list.GetItemCount(); ++r) {
                QCOMPARE(book->text(r + 1, c), list.GetItemText(r, c));
                if (!book->rows[r + 1][c].empty)
                    QCOMPARE(book->rows[r + 1][c].type, QStringLiteral("s"));
            }
        }
    }

    void emptyListAndStartScreen()
    {
        TestBook book;
        book.directLogin(QStringLiteral("爸爸"));
        ScriptedPrompter prompter;
        CLedgerDlg dlg;
        dlg.OnExportExcel(); // the start screen exports nothing and says nothing
        QVERIFY(prompter.shown.isEmpty());
        for (int module : {1, 2, 5}) {
            dlg.SwitchToModule(module);
            dlg.OnExportExcel();
        }
        QCOMPARE(prompter.texts(), QStringList(3, QStringLiteral("当前窗口没有数据可导出!")));
        QVERIFY(prompter.fileRequests.isEmpty());
    }

    void cancelAndFailures()
    {
        Fixture f;
        CLedgerDlg dlg;
        dlg.SwitchToIncome();
        QDir::setCurrent(f.outDir.path());
        dlg.OnExportExcel(); // cancelled: silence
        QVERIFY(f.prompter.shown.isEmpty());
        QCOMPARE(QDir::currentPath(), g_strAppDir);

        // A folder where the file should go; a file where a folder should be;
        // the book in use.
        QVERIFY(QDir(f.outDir.path()).mkdir(QStringLiteral("folder.xlsx")));
        f.book.writeFile(QStringLiteral("notes.txt"), "notes");
        const QByteArray before = f.book.readFile(QStringLiteral("Orvendal.ovd"));
        f.prompter.files << f.out(QStringLiteral("folder.xlsx")) << f.book.path(QStringLiteral("notes.txt/x.xlsx"))
                         << f.book.dir() + QStringLiteral("/./Orvendal.ovd");
        for (int i = 0; i < 3; ++i)
            dlg.OnExportExcel();
        QCOMPARE(f.prompter.shown.size(), 3);
        QCOMPARE(f.prompter.shown[0].text, QStringLiteral("覆盖文件时出错！"));
        QVERIFY(f.prompter.shown[1].text.startsWith(QStringLiteral("无法创建文件夹")));
        QCOMPARE(f.prompter.shown[1].icon, MsgIcon::Stop);
        QCOMPARE(f.prompter.shown[2].caption, QStringLiteral("注意"));
        QCOMPARE(f.book.readFile(QStringLiteral("Orvendal.ovd")), before);
    }

    void buttonAndContextMenusRunIt()
    {
        Fixture f;
        CLedgerDlg dlg;
        dlg.SwitchToLoan();
        qobject_cast<QPushButton *>(dlg.Control(1015))->click();
        QCOMPARE(ProposedName(f.prompter), Today() + QStringLiteral("借贷帐.xlsx"));

        for (int module : {1, 3}) {
            dlg.SwitchToModule(module);
            if (module == 3)
                RecordList().Model().Clear();
            QMenu menu;
            RecordList().FillContextMenu(&menu);
            for (QAction *action : menu.actions()) {
                if (action->text() == QStringLiteral("导出Excel表(&E)..."))
                    action->trigger();
            }
        }
        QCOMPARE(f.prompter.fileRequests.size(), 2);
        QCOMPARE(ProposedName(f.prompter), Today() + QStringLiteral("收入帐.xlsx"));
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("当前窗口没有数据可导出!")});
    }
};

ORV_WIDGET_TEST_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
