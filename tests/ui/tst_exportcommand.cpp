// The Excel export of the main window, driven through the scripted
// prompter and read back with openpyxl: every module's list lands cell for
// cell as the list shows it, as text.

#include "app/Globals.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "records/EntryStore.h"
#include "store/BookConnection.h"
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

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
}

void addFamilyEntries(TestBook &book)
{
    book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 5000, QStringLiteral("十二月 \"全勤\""));
    book.add(RecordKind::Income, QDate(2009, 12, 6), QStringLiteral("奖金"), 12.5, QStringLiteral("it's mine"),
             QStringLiteral("妈妈"));
    book.add(RecordKind::Income, QDate(2010, 1, 1), QStringLiteral("007"), 0.1, QString());
    book.add(RecordKind::Payout, QDate(2009, 12, 5), QStringLiteral("餐饮"), 25, QStringLiteral("=1+1"));
    book.add(RecordKind::Payout, QDate(2009, 12, 7), QStringLiteral("交通"), 3);
    book.add(RecordKind::Loan, QDate(2009, 3, 7), QStringLiteral("借出"), 300, QStringLiteral("给'老王'"));
}

struct Fixture
{
    Fixture() : book({{QStringLiteral("爸爸"), QStringLiteral("pw")}, {QStringLiteral("妈妈"), QString()}})
    {
        book.directLogin(QStringLiteral("爸爸"));
        addFamilyEntries(book);
    }
    QString out(const QString &name) const { return outDir.filePath(name); }
    void wander() const { QDir::setCurrent(outDir.path()); }

    TestBook book;
    QTemporaryDir outDir;
    ScriptedPrompter prompter;
};

// The workbook holds exactly the list: captions, then every row, all text.
void CompareWithList(const XlsxBook &book, const QString &sheet)
{
    const CRecordListCtrl &list = RecordList();
    QCOMPARE(book.sheetNames, QStringList{sheet});
    QCOMPARE(book.rows.size(), list.GetItemCount() + 1);
    for (int c = 0; c < list.GetColumnCount(); ++c) {
        QCOMPARE(book.text(0, c), list.GetColumnCaption(c));
        QCOMPARE(book.rows[0][c].type, QStringLiteral("s"));
    }
    for (int r = 0; r < list.GetItemCount(); ++r) {
        for (int c = 0; c < list.GetColumnCount(); ++c) {
            const QString shown = list.GetItemText(r, c);
            QCOMPARE(book.text(r + 1, c), shown);
            if (!shown.isEmpty())
                QCOMPARE(book.rows[r + 1][c].type, QStringLiteral("s"));
        }
    }
}

} // namespace

class TestExportCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void exportsEachRecordModule_data();
    void exportsEachRecordModule();
    void exportsQueryList();
    void emptyListAndStartScreen();
    void cancelReplaceAndFailures();
    void longCaptionsAreCut();
    void buttonAndContextMenuRunIt();

private:
    static XlsxBook ReadBack(const QString &path)
    {
        QString error;
        const auto book = ReadXlsx(path, &error);
        if (!book)
            qFatal("cannot read %s: %s", qPrintable(path), qPrintable(error));
        return *book;
    }
};

void TestExportCommand::initTestCase()
{
    if (PythonWithOpenpyxl().isEmpty())
        QSKIP("python3 with openpyxl is needed to read the workbooks back");
}

void TestExportCommand::exportsEachRecordModule_data()
{
    QTest::addColumn<int>("module");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("rows");
    QTest::newRow("income") << 1 << QStringLiteral("家庭帐务—收入") << QStringLiteral("收入帐") << 3;
    QTest::newRow("expense") << 2 << QStringLiteral("家庭帐务—支出") << QStringLiteral("支出帐") << 2;
    QTest::newRow("loans") << 5 << QStringLiteral("家庭帐务—借贷") << QStringLiteral("借贷帐") << 1;
}

void TestExportCommand::exportsEachRecordModule()
{
    QFETCH(int, module);
    QFETCH(QString, sheet);
    QFETCH(QString, word);
    QFETCH(int, rows);
    Fixture f;
    CLedgerDlg dlg;
    dlg.SwitchToModule(module);
    QCOMPARE(RecordList().GetItemCount(), rows);
    // Sorted by amount: the export follows what is shown, not the table.
    RecordList().OnColumnClick(3);
    const QString path = f.out(QStringLiteral("新文件夹/子文件夹/") + today() + word + QStringLiteral(".xlsx"));
    f.prompter.files.enqueue(path);
    f.wander();

    dlg.OnExportExcel();

    QCOMPARE(f.prompter.fileRequests.size(), 1);
    const FileDialogRequest &request = f.prompter.fileRequests.first();
    QCOMPARE(request.title, QStringLiteral("保存Excel表"));
    QCOMPARE(QFileInfo(request.proposedPath).fileName(), today() + word + QStringLiteral(".xlsx"));
    QCOMPARE(request.filters, (QStringList{QStringLiteral("Excel文件(*.xlsx)"), QStringLiteral("所有文件 (*.*)")}));
    QCOMPARE(request.defaultSuffix, QStringLiteral("xlsx"));
    QVERIFY(request.save);
    QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("导出文件保存于%1!").arg(path)});
    QCOMPARE(f.prompter.shown.first().icon, MsgIcon::Information);
    QCOMPARE(QDir::currentPath(), g_strAppDir);

    const XlsxBook book = ReadBack(path);
    CompareWithList(book, sheet);
    if (QTest::currentTestFailed())
        return;
    // Amounts and ids arrive as the texts the list shows.
    QCOMPARE(book.text(0, 3), QStringLiteral("金额（元）"));
    QVERIFY(book.text(1, 3).contains(u'.'));
    if (module == 1) {
        QCOMPARE(book.text(1, 3), QStringLiteral("0.10"));
        QCOMPARE(book.text(1, 2), QStringLiteral("007"));
        QCOMPARE(book.text(2, 3), QStringLiteral("12.50"));
        QCOMPARE(book.text(2, 4), QStringLiteral("it's mine"));
        QCOMPARE(book.text(3, 4), QStringLiteral("十二月 \"全勤\""));
        QCOMPARE(book.text(3, 1), QStringLiteral("2009年12月5日"));
    }
    if (module == 5)
        QCOMPARE(book.text(1, 4), QStringLiteral("给'老王'"));
}

void TestExportCommand::exportsQueryList()
{
    Fixture f;
    CLedgerDlg dlg;
    dlg.SwitchToQuery();
    // A result as the query module lays it out: a summary row, a heading,
    // entries, a second heading, more entries.
    CRecordListModel &model = RecordList().Model();
    model.Clear();
    model.AppendFixedRow({QStringLiteral("收支结余"), QString(), QString(), QStringLiteral("4984.60"), QString(), QString()});
    model.AppendFixedRow({QStringLiteral("收入记录"), QString(), QString(), QStringLiteral("5012.60"), QString(), QString()});
    {
        const BookConnection conn(f.book.bookPath());
        QVERIFY(EntryStore::appendSelected(conn, EntryStore::selectColumns(RecordKind::Income), {}, model.Entries()));
        model.AppendEntryRows(0);
        model.AppendFixedRow({QStringLiteral("支出记录"), QString(), QString(), QStringLiteral("28.00"), QString(), QString()});
        const qsizetype from = model.Entries().size();
        QVERIFY(EntryStore::appendSelected(conn, EntryStore::selectColumns(RecordKind::Payout), {}, model.Entries()));
        model.AppendEntryRows(from);
    }
    QCOMPARE(RecordList().GetItemCount(), 8);
    const QString path = f.out(QStringLiteral("综合.xlsx"));
    f.prompter.files.enqueue(path);

    dlg.OnExportExcel();

    QCOMPARE(QFileInfo(f.prompter.fileRequests.first().proposedPath).fileName(), today() + QStringLiteral("综合帐.xlsx"));
    QCOMPARE(f.prompter.lastText(), QStringLiteral("导出文件保存于%1!").arg(path));
    const XlsxBook book = ReadBack(path);
    CompareWithList(book, QStringLiteral("家庭帐务—综合"));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(book.text(0, 0), QStringLiteral("类别"));
    QCOMPARE(book.text(1, 0), QStringLiteral("收支结余"));
    QCOMPARE(book.text(3, 0), QString()); // entry rows leave the kind column empty
    QCOMPARE(book.text(3, 2), QStringLiteral("工资"));
    QCOMPARE(book.text(6, 0), QStringLiteral("支出记录"));
    QCOMPARE(book.text(7, 4), QStringLiteral("=1+1"));
    QCOMPARE(book.rows[7][4].type, QStringLiteral("s"));
}

void TestExportCommand::emptyListAndStartScreen()
{
    TestBook book;
    book.directLogin(QStringLiteral("爸爸"));
    ScriptedPrompter prompter;
    CLedgerDlg dlg;

    // The start screen exports nothing and says nothing.
    QCOMPARE(g_nModule, 0);
    dlg.OnExportExcel();
    QVERIFY(prompter.shown.isEmpty());
    QVERIFY(prompter.fileRequests.isEmpty());

    for (int module : {1, 2, 5}) {
        prompter.clear();
        dlg.SwitchToModule(module);
        dlg.OnExportExcel();
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("当前窗口没有数据可导出!")});
        QCOMPARE(prompter.shown.first().icon, MsgIcon::Information);
        QVERIFY(prompter.fileRequests.isEmpty());
    }
}

void TestExportCommand::cancelReplaceAndFailures()
{
    Fixture f;
    CLedgerDlg dlg;
    dlg.SwitchToIncome();

    // Cancel: silence, and the working directory back home.
    f.wander();
    dlg.OnExportExcel();
    QVERIFY(f.prompter.shown.isEmpty());
    QCOMPARE(QDir::currentPath(), g_strAppDir);

    // An existing file is replaced by the new workbook.
    const QString path = f.out(QStringLiteral("收入.xlsx"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("last year's notes");
    }
    f.prompter.files.enqueue(path);
    dlg.OnExportExcel();
    CompareWithList(ReadBack(path), QStringLiteral("家庭帐务—收入"));
    if (QTest::currentTestFailed())
        return;

    // A folder where the file should go cannot be replaced.
    f.prompter.clear();
    QVERIFY(QDir(f.outDir.path()).mkdir(QStringLiteral("folder.xlsx")));
    f.prompter.files.enqueue(f.out(QStringLiteral("folder.xlsx")));
    dlg.OnExportExcel();
    QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("覆盖文件时出错！")});
    QCOMPARE(f.prompter.shown.first().icon, MsgIcon::None);

    // A file where a folder should be: told, no success.
    f.prompter.clear();
    f.prompter.files.enqueue(f.out(QStringLiteral("收入.xlsx/x.xlsx")));
    dlg.OnExportExcel();
    QCOMPARE(f.prompter.shown.size(), 1);
    QVERIFY(f.prompter.lastText().startsWith(QStringLiteral("无法创建文件夹")));
    QCOMPARE(f.prompter.shown.first().icon, MsgIcon::Stop);

    // Never over the book in use.
    f.prompter.clear();
    const QByteArray before = [&] {
        QFile book(f.book.bookPath());
        return book.open(QIODevice::ReadOnly) ? book.readAll() : QByteArray();
    }();
    f.prompter.files.enqueue(f.book.dir() + QStringLiteral("/./Orvendal.ovd"));
    dlg.OnExportExcel();
    QCOMPARE(f.prompter.shown.size(), 1);
    QCOMPARE(f.prompter.shown.first().caption, QStringLiteral("注意"));
    QFile book(f.book.bookPath());
    QVERIFY(book.open(QIODevice::ReadOnly));
    QCOMPARE(book.readAll(), before);
    QCOMPARE(QDir::currentPath(), g_strAppDir);
}

void TestExportCommand::longCaptionsAreCut()
{
    Fixture f;
    CLedgerDlg dlg;
    dlg.SwitchToPayout();
    // Captions as long as a translated or customised list might carry.
    QStringList captions = ListCaptions(ListColumns::Records);
    captions[4] = QStringLiteral("备注（家庭成员在记帐时写下的补充说明）"); // 19 characters, 38 bytes
    captions[5] = QStringLiteral("recorded by the family member who typed it");
    RecordList().Model().SetColumns(captions, true);
    const QString path = f.out(QStringLiteral("cut.xlsx"));
    f.prompter.files.enqueue(path);
    dlg.OnExportExcel();
    const XlsxBook book = ReadBack(path);
    QCOMPARE(book.text(0, 3), QStringLiteral("金额（元）"));
    QCOMPARE(book.text(0, 4), QStringLiteral("备注（家庭成员在记帐时写下的"));
    QCOMPARE(book.text(0, 5), QStringLiteral("recorded by the family member"));
    QCOMPARE(book.text(1, 2), RecordList().GetItemText(0, 2));
}

void TestExportCommand::buttonAndContextMenuRunIt()
{
    Fixture f;
    CLedgerDlg dlg;
    dlg.SwitchToLoan();
    auto *button = qobject_cast<QPushButton *>(dlg.Control(1015));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("生成Excel表(&E)..."));
    QCOMPARE(button->objectName(), QStringLiteral("1015"));
    button->click();
    QCOMPARE(f.prompter.fileRequests.size(), 1);
    QCOMPARE(QFileInfo(f.prompter.fileRequests.last().proposedPath).fileName(), today() + QStringLiteral("借贷帐.xlsx"));

    for (int module : {1, 3}) {
        dlg.SwitchToModule(module);
        QMenu menu;
        RecordList().FillContextMenu(&menu);
        QAction *item = nullptr;
        for (QAction *action : menu.actions()) {
            if (action->text() == QStringLiteral("导出Excel表(&E)..."))
                item = action;
        }
        QVERIFY(item);
        QCOMPARE(item->objectName(), module == 1 ? QStringLiteral("32805") : QStringLiteral("32801"));
        if (module == 1) {
            item->trigger();
            QCOMPARE(f.prompter.fileRequests.size(), 2);
            QCOMPARE(QFileInfo(f.prompter.fileRequests.last().proposedPath).fileName(),
                     today() + QStringLiteral("收入帐.xlsx"));
        } else {
            RecordList().Model().Clear();
            item->trigger();
            QCOMPARE(f.prompter.lastText(), QStringLiteral("当前窗口没有数据可导出!"));
            QCOMPARE(f.prompter.fileRequests.size(), 2);
        }
    }
}

QTEST_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
