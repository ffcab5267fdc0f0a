// "导入CSV文件" driven as a user would: the menu item, the dialog with its
// guesses, corrections and preview, what the book holds afterwards, what
// the window shows, and a list exported as CSV coming back as the same
// entries.

#include "support/WidgetTestMain.h"
#include "app/AppBook.h"
#include "app/Globals.h"
#include "import/CImportCsvDlg.h"
#include "import/CImportPreviewModel.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "settings/GbkText.h"
#include "support/FileSizeLimit.h"
#include "support/NextModal.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

namespace {

struct Fixture
{
    Fixture() { book.directLogin(QStringLiteral("爸爸")); }

    QString write(const QString &name, const QByteArray &bytes) const
    {
        const QString path = files.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(bytes);
        return path;
    }
    QStringList categories(RecordKind kind) const { return *AppBook().categoryNames(kind); }

    TestBook book;
    ScriptedPrompter prompter;
    QTemporaryDir files;
};

QList<QStringList> withoutIds(QList<QStringList> rows)
{
    for (QStringList &row : rows)
        row.removeFirst();
    return rows;
}

// Runs the import command on the file; act works on the dialog.
template <typename Act>
bool RunImport(CLedgerDlg &dlg, ScriptedPrompter &prompter, const QString &path, Act act)
{
    prompter.files.enqueue(path);
    bool seen = false;
    WithNextModal<CImportCsvDlg>(seen, act);
    dlg.RunCommand(32814);
    return seen;
}

void Press(CImportCsvDlg *dlg, const char *button)
{
    dlg->findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

QComboBox *Box(CImportCsvDlg *dlg, const char *name)
{
    return dlg->findChild<QComboBox *>(QString::fromLatin1(name));
}

QString Note(CImportCsvDlg *dlg, int row)
{
    const auto *view = dlg->findChild<QTableView *>(QStringLiteral("preview"));
    return view->model()->index(row, CImportPreviewModel::Note).data().toString();
}

} // namespace

class TestImportCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theMenuItem()
    {
        Fixture f;
        CLedgerDlg dlg;
        QAction *item = dlg.MenuCommand(32814);
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("导入CSV文件(&C)..."));
        const auto *menu = qobject_cast<QMenu *>(item->parent());
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("管理数据库(&D)"));
        // Cancelled in the file dialog: nothing else happens.
        dlg.RunCommand(32814);
        QCOMPARE(f.prompter.fileRequests.size(), 1);
        QCOMPARE(f.prompter.fileRequests[0].title, QStringLiteral("导入CSV文件"));
        QVERIFY(!f.prompter.fileRequests[0].save);
        QCOMPARE(f.prompter.fileRequests[0].filters.first(), QStringLiteral("CSV文件(*.csv)"));
        QVERIFY(f.prompter.shown.isEmpty());
    }

    void aBankFileIntoTheListOnScreen()
    {
        Fixture f;
        f.book.add(RecordKind::Payout, QDate(2024, 1, 2), QStringLiteral("餐饮"), 25, QStringLiteral("午饭"));
        CLedgerDlg dlg;
        dlg.SwitchToPayout();
        const QString path = f.write(QStringLiteral("收入明细.csv"),
                                     encodeGbk(QStringLiteral("交易日期,摘要,名目,金额\r\n"
                                                              "2024-01-02,午饭,餐饮,25.00\r\n"
                                                              "2024-01-03,地铁,交通,￥3\r\n"
                                                              "2024-01-04,坏的,餐饮,<i>abc</i>\r\n"
                                                              "2024-01-05,<b>电影</b>,看戏&听曲,\"1,060.00\"\r\n")));
        const QStringList before = f.categories(RecordKind::Payout);
        const bool seen = RunImport(dlg, f.prompter, path, [&](CImportCsvDlg *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("导入CSV文件"));
            QCOMPARE(d->Layout().encoding, TextEncoding::Gb18030);
            // The list on screen decides, whatever the file is called.
            QCOMPARE(d->Layout().fixedKind, RecordKind::Payout);
            QCOMPARE(Box(d, "kindSource")->currentText(), QStringLiteral("支出记录"));
            QCOMPARE(Box(d, "dateColumn")->currentText(), QStringLiteral("第1列：交易日期"));
            QVERIFY(!Box(d, "dateOrder")->isEnabled()); // no date reads two ways
            QCOMPARE(d->Rows().size(), 4);
            QCOMPARE(Note(d, 0), QStringLiteral("疑似重复：帐本中已有相同的记录"));
            QCOMPARE(Note(d, 1), QString());
            QCOMPARE(Note(d, 2), QStringLiteral("金额“<i>abc</i>”不是数字"));
            const auto *view = d->findChild<QTableView *>(QStringLiteral("preview"));
            QVERIFY(view->model()->index(2, CImportPreviewModel::Note).data(Qt::ToolTipRole).toString().contains(
                QStringLiteral("&lt;i&gt;abc&lt;/i&gt;")));
            const auto *summary = d->findChild<QLabel *>(QStringLiteral("summary"));
            QCOMPARE(summary->textFormat(), Qt::PlainText);
            QVERIFY2(summary->text().startsWith(QStringLiteral("文件中共有 4 条记录：将导入 2 条；1 条有问题，将跳过；1 条疑似重复")),
                     qPrintable(summary->text()));
            const auto *added = d->findChild<QLabel *>(QStringLiteral("newCategories"));
            QCOMPARE(added->textFormat(), Qt::PlainText);
            QCOMPARE(added->text(), QStringLiteral("名目列表中还没有的名目——支出：“看戏&听曲”"));
            Press(d, "import");
        });
        QVERIFY(seen);
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("导入了 2 条记录，跳过 2 条\n名目列表中添加了 1 个新名目。")});
        QCOMPARE(f.prompter.shown[0].icon, MsgIcon::Information);
        QCOMPARE(withoutIds(f.book.rows(QStringLiteral("PAYOUT"))),
                 (QList<QStringList>{
                     {QStringLiteral("2024-01-02"), QStringLiteral("餐饮"), QStringLiteral("25.00"), QStringLiteral("午饭"), QStringLiteral("爸爸")},
                     {QStringLiteral("2024-01-03"), QStringLiteral("交通"), QStringLiteral("3.00"), QStringLiteral("地铁"), QStringLiteral("爸爸")},
                     {QStringLiteral("2024-01-05"), QStringLiteral("看戏&听曲"), QStringLiteral("1060.00"), QStringLiteral("<b>电影</b>"), QStringLiteral("爸爸")}}));
        QCOMPARE(f.categories(RecordKind::Payout), before + QStringList{QStringLiteral("看戏&听曲")});
        // The list, the figures and the status bar show it at once.
        QCOMPARE(RecordList().GetItemCount(), 3);
        QCOMPARE(RecordList().GetItemText(2, 4), QStringLiteral("<b>电影</b>"));
        QCOMPARE(dlg.StatusBar()->Text(1), QStringLiteral("支出记录3条"));
    }

    void aDuplicateTickedAndNewCategoriesDeclined()
    {
        Fixture f;
        f.book.add(RecordKind::Income, QDate(2024, 1, 1), QStringLiteral("工资"), 100);
        CLedgerDlg dlg;
        const QString path = f.write(QStringLiteral("收入.csv"), "2024-01-02,工资,100\n2024-01-02,工资,100\n2024-01-09,稿费,30\n");
        const QStringList before = f.categories(RecordKind::Income);
        const bool seen = RunImport(dlg, f.prompter, path, [&](CImportCsvDlg *d) {
            QVERIFY(!d->Layout().hasHeader);
            QCOMPARE(Note(d, 1), QStringLiteral("疑似重复：与文件第1行相同"));
            // The space bar ticks the current row, whichever of its cells is current.
            auto *view = d->findChild<QTableView *>(QStringLiteral("preview"));
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            view->setFocus();
            QVERIFY(view->hasFocus());
            view->setCurrentIndex(view->model()->index(1, CImportPreviewModel::Date));
            QCOMPARE(view->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
            QTest::keyClick(view, Qt::Key_Space);
            QCOMPARE(view->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
            // Tab leaves the preview rather than walk its cells.
            QTest::keyClick(view, Qt::Key_Tab);
            QVERIFY(!view->hasFocus());
            d->findChild<QCheckBox *>(QStringLiteral("addCategories"))->setChecked(false);
            Press(d, "import");
        });
        QVERIFY(seen);
        QCOMPARE(f.prompter.lastText(), QStringLiteral("导入了 3 条记录，跳过 0 条"));
        QCOMPARE(f.book.count(QStringLiteral("INCOME")), 4);
        QCOMPARE(f.categories(RecordKind::Income), before);
    }

    void ambiguousDatesAreAsked()
    {
        Fixture f;
        CLedgerDlg dlg;
        dlg.SwitchToLoan();
        const QString path = f.write(QStringLiteral("loans.csv"), "date,category,amount\n03/04/2024,借出,10\n05/06/2024,还入,20\n");
        const bool seen = RunImport(dlg, f.prompter, path, [&](CImportCsvDlg *d) {
            QComboBox *order = Box(d, "dateOrder");
            QCOMPARE(order->currentIndex(), -1);
            QVERIFY(order->isEnabled());
            Press(d, "import");
            QVERIFY(d->isVisible());
            QCOMPARE(f.prompter.shown.size(), 1);
            QCOMPARE(f.prompter.shown[0].caption, QStringLiteral("注意"));
            QVERIFY(f.prompter.lastText().contains(QStringLiteral("日期顺序")));
            order->setCurrentIndex(1); // day first
            QCOMPARE(Note(d, 0), QString());
            Press(d, "import");
        });
        QVERIFY(seen);
        QCOMPARE(withoutIds(f.book.rows(QStringLiteral("ON_LOAD"))),
                 (QList<QStringList>{
                     {QStringLiteral("2024-04-03"), QStringLiteral("借出"), QStringLiteral("10.00"), QString(), QStringLiteral("爸爸")},
                     {QStringLiteral("2024-06-05"), QStringLiteral("还入"), QStringLiteral("20.00"), QString(), QStringLiteral("爸爸")}}));
    }

    void correctionsInTheDialog()
    {
        Fixture f;
        CLedgerDlg dlg;
        const QByteArray utf8 = "日期;金额;说明\n2024-01-02;+8000;薪水\n2024-01-03;-120.50;超市\n2024-01-04;-3,5;零钱\n";
        const QString path = f.write(QStringLiteral("konto.csv"), utf8);
        const bool seen = RunImport(dlg, f.prompter, path, [&](CImportCsvDlg *d) {
            QCOMPARE(d->Layout().separator, QChar(u';'));
            QCOMPARE(d->Rows().first().remarkText, QStringLiteral("薪水"));
            // Read in another encoding, the texts change.
            Box(d, "encoding")->setCurrentIndex(1);
            QCOMPARE(d->Layout().encoding, TextEncoding::Gb18030);
            QVERIFY(d->Rows().first().remarkText != QStringLiteral("薪水"));
            Box(d, "encoding")->setCurrentIndex(0);
            QCOMPARE(d->Rows().first().remarkText, QStringLiteral("薪水"));
            // The amounts' signs split the kinds; a decimal comma is no amount.
            QCOMPARE(Box(d, "kindSource")->currentIndex(), 4);
            QCOMPARE(d->Rows()[0].kind, RecordKind::Income);
            QCOMPARE(d->Rows()[1].kind, RecordKind::Payout);
            QCOMPARE(Note(d, 2), QStringLiteral("金额“-3,5”不是数字"));
            // All into the loans instead: a negative amount is none of theirs.
            Box(d, "kindSource")->setCurrentIndex(2);
            QCOMPARE(d->Rows()[0].kind, RecordKind::Loan);
            QCOMPARE(Note(d, 1), QStringLiteral("金额必须大于零"));
            // The header unticked: it becomes a row with problems.
            d->findChild<QCheckBox *>(QStringLiteral("header"))->setChecked(false);
            QCOMPARE(d->Rows().size(), 4);
            QVERIFY(!d->Rows()[0].canStore());
            QCOMPARE(Box(d, "dateColumn")->currentText(), QStringLiteral("第1列"));
            Press(d, "import");
        });
        QVERIFY(seen);
        QCOMPARE(f.prompter.lastText(), QStringLiteral("导入了 1 条记录，跳过 3 条"));
        QCOMPARE(withoutIds(f.book.rows(QStringLiteral("ON_LOAD"))),
                 (QList<QStringList>{{QStringLiteral("2024-01-02"), QString(), QStringLiteral("8000.00"),
                                      QStringLiteral("薪水"), QStringLiteral("爸爸")}}));
    }

    void cancelledOrUnreadableStoresNothing()
    {
        Fixture f;
        f.book.add(RecordKind::Income, QDate(2024, 1, 2), QStringLiteral("工资"), 100);
        CLedgerDlg dlg;
        const QString before = f.book.contents();
        const QString path = f.write(QStringLiteral("a.csv"), "2024-01-03,奖金,5\n");
        QVERIFY(RunImport(dlg, f.prompter, path, [](CImportCsvDlg *d) { Press(d, "cancel"); }));
        QCOMPARE(f.book.contents(), before);
        QVERIFY(f.prompter.shown.isEmpty());

        f.prompter.files.enqueue(f.files.filePath(QStringLiteral("gone.csv")));
        dlg.RunCommand(32814);
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown[0].icon, MsgIcon::Stop);
        QVERIFY(f.prompter.lastText().startsWith(QStringLiteral("无法读取文件“%1”，没有导入任何记录。")
                                                     .arg(QDir::toNativeSeparators(f.files.filePath(QStringLiteral("gone.csv"))))));
        f.prompter.clear();
        f.prompter.files.enqueue(f.write(QStringLiteral("empty.csv"), "\xEF\xBB\xBF\r\n"));
        dlg.RunCommand(32814);
        QVERIFY(f.prompter.lastText().contains(QStringLiteral("是空的")));
        QCOMPARE(f.book.contents(), before);
    }

    void nothingToImportIsSaid()
    {
        Fixture f;
        CLedgerDlg dlg;
        const QString path = f.write(QStringLiteral("bad.csv"), "日期,金额\n昨天,十元\n");
        QVERIFY(RunImport(dlg, f.prompter, path, [&](CImportCsvDlg *d) {
            Press(d, "import");
            QVERIFY(d->isVisible());
            QVERIFY(f.prompter.lastText().startsWith(QStringLiteral("没有可以导入的记录。")));
            Press(d, "cancel");
        }));
        QCOMPARE(f.book.count(QStringLiteral("INCOME")), 0);
    }

    void anExportedListComesBackAsTheSameEntries()
    {
        QTemporaryDir out;
        const QString csv = out.filePath(QStringLiteral("20240301收入帐.csv"));
        QList<QStringList> expected;
        {
            Fixture f;
            f.book.add(RecordKind::Income, QDate(2009, 12, 5), QStringLiteral("工资"), 5000, QStringLiteral("十二月 \"全勤\""));
            f.book.add(RecordKind::Income, QDate(2024, 2, 29), QStringLiteral("奖金"), 12.5, QStringLiteral("it's, ok"));
            f.book.add(RecordKind::Income, QDate(2024, 3, 1), QStringLiteral("=1+1"), 0.1, QStringLiteral("两行\n备注"));
            f.book.add(RecordKind::Income, QDate(2024, 3, 1), QStringLiteral("007"), 1234567.89, QStringLiteral("-5"));
            CLedgerDlg dlg;
            dlg.SwitchToIncome();
            f.prompter.files.enqueue(csv);
            dlg.OnExportExcel();
            QCOMPARE(f.prompter.fileRequests[0].filters,
                     (QStringList{QStringLiteral("Excel文件(*.xlsx)"), QStringLiteral("CSV文件(*.csv)"),
                                  QStringLiteral("所有文件 (*.*)")}));
            QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("导出文件保存于%1!").arg(QDir::toNativeSeparators(csv))});
            expected = withoutIds(f.book.rows(QStringLiteral("INCOME")));
        }
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "序号,日期,名目,金额（元）,备注,记录人\r\n"));
        QVERIFY(bytes.contains(",2009年12月5日,工资,5000.00,\"十二月 \"\"全勤\"\"\",爸爸\r\n"));
        QVERIFY(bytes.contains(",'=1+1,"));

        Fixture f;
        CLedgerDlg dlg; // on the start screen: the file's name tells the kind
        QVERIFY(RunImport(dlg, f.prompter, csv, [&](CImportCsvDlg *d) {
            QCOMPARE(d->Layout().fixedKind, RecordKind::Income);
            QCOMPARE(d->Layout().encoding, TextEncoding::Utf8);
            QVERIFY(d->Layout().hasHeader);
            Press(d, "import");
        }));
        QCOMPARE(withoutIds(f.book.rows(QStringLiteral("INCOME"))), expected);
        QCOMPARE(f.prompter.texts().first(), QStringLiteral("导入了 4 条记录，跳过 0 条\n名目列表中添加了 2 个新名目。"));
    }

    void theSaveDialogTakesTheEndingOfTheFilterChosen()
    {
        // The real file dialog: a name typed without an ending gets the
        // ending of the file type chosen, not the default one.
        QTemporaryDir dir;
        FileDialogRequest request;
        request.title = QStringLiteral("保存Excel表");
        request.proposedPath = dir.filePath(QStringLiteral("20240301收入帐.xlsx"));
        request.filters = {QStringLiteral("Excel文件(*.xlsx)"), QStringLiteral("CSV文件(*.csv)"), QStringLiteral("所有文件 (*.*)")};
        request.defaultSuffix = QStringLiteral("xlsx");
        bool seen = false;
        WithNextModal<QFileDialog>(seen, [](QFileDialog *d) {
            auto *types = d->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            QTest::keyClick(types, Qt::Key_Down);
            QCOMPARE(types->currentText(), QStringLiteral("CSV文件(*.csv)"));
            auto *name = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            name->setText(QStringLiteral("导出"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const QString path = Prompter().ChooseFile(nullptr, request);
        QVERIFY(seen);
        QCOMPARE(path, dir.filePath(QStringLiteral("导出.csv")));
    }

    void aCsvExportThatCannotBeWrittenIsTold()
    {
        Fixture f;
        f.book.add(RecordKind::Income, QDate(2024, 1, 2), QStringLiteral("工资"), 100);
        CLedgerDlg dlg;
        dlg.SwitchToIncome();
        // A folder where the file would go.
        const QString path = f.files.filePath(QStringLiteral("taken.csv"));
        QVERIFY(QDir().mkpath(path));
        f.prompter.files.enqueue(path);
        dlg.OnExportExcel();
        QCOMPARE(f.prompter.texts(), QStringList{QStringLiteral("覆盖文件时出错！")});
        // A full disk: told, and an old file stays as it was.
        QVERIFY(QDir().rmdir(path));
        f.write(QStringLiteral("taken.csv"), "old");
        f.prompter.clear();
        f.prompter.files.enqueue(path);
        {
            const FileSizeLimit full;
            dlg.OnExportExcel();
        }
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown[0].icon, MsgIcon::Stop);
        QVERIFY2(f.prompter.lastText().startsWith(QStringLiteral("写入CSV文件“%1”时出错，文件没有保存!").arg(path)),
                 qPrintable(f.prompter.lastText()));
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QCOMPARE(QDir(f.files.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("taken.csv")});
    }
};

ORV_WIDGET_TEST_MAIN(TestImportCommand)
#include "tst_importcommand.moc"
