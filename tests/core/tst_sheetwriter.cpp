// The spreadsheet writer, read back by openpyxl: every cell text as
// written, captions cut on a character boundary, existing files replaced
// only by a complete workbook.

#include "export/SheetWriter.h"
#include "settings/GbkText.h"
#include "support/XlsxReadBack.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

namespace {

SheetContent tableContent(const QString &name, const QStringList &captions, const QList<QStringList> &rows)
{
    SheetContent content;
    content.sheetName = name;
    content.captions = captions;
    content.rowCount = rows.size();
    content.cell = [rows](qsizetype row, int column) { return rows.at(row).value(column); };
    return content;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestSheetWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void captionCut_data();
    void captionCut();
    void everyCellIsTheText();
    void foldersMadeAndFileReplaced();
    void failedWriteKeepsOldFile();
    void refusals();

private:
    XlsxBook readBack(const QString &path);
};

void TestSheetWriter::initTestCase()
{
    if (PythonWithOpenpyxl().isEmpty())
        QSKIP("python3 with openpyxl is needed to read the workbooks back");
}

XlsxBook TestSheetWriter::readBack(const QString &path)
{
    QString error;
    const std::optional<XlsxBook> book = ReadXlsx(path, &error);
    if (!book)
        qFatal("cannot read %s back: %s", qPrintable(path), qPrintable(error));
    return *book;
}

void TestSheetWriter::captionCut_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("cut");
    const QString latin40 = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789ABCD");
    QTest::newRow("short stays") << QStringLiteral("金额（元）") << QStringLiteral("金额（元）");
    QTest::newRow("latin cut at 29") << latin40 << latin40.left(29);
    QTest::newRow("exactly 29 bytes") << QStringLiteral("a") + QString(14, QChar(0x6536))
                                      << QStringLiteral("a") + QString(14, QChar(0x6536));
    // 20 Chinese characters are 40 bytes: 14 fit (28 bytes), half of the 15th would not.
    QTest::newRow("chinese on a boundary") << QString(20, QChar(0x6536)) << QString(14, QChar(0x6536));
    QTest::newRow("mixed") << QStringLiteral("ab收入支出借贷收入支出借贷收入支出借贷") << QStringLiteral("ab收入支出借贷收入支出借贷收"); // 2 + 13 × 2 = 28 bytes
    // A character outside GBK takes four bytes in GB18030 and goes whole or not at all.
    QTest::newRow("four-byte character") << QString(13, QChar(0x6536)) + QStringLiteral("😀x")
                                         << QString(13, QChar(0x6536));
    QTest::newRow("empty") << QString() << QString();
}

void TestSheetWriter::captionCut()
{
    QFETCH(QString, caption);
    QFETCH(QString, cut);
    const QString result = cutToGbkBytes(caption, kMaxCaptionBytes);
    QCOMPARE(result, cut);
    QVERIFY(encodeGbk(result).size() <= kMaxCaptionBytes);
}

void TestSheetWriter::everyCellIsTheText()
{
    const QStringList captions = {QStringLiteral("序号"), QStringLiteral("日期"), QStringLiteral("名目"),
                                  QStringLiteral("金额（元）"), QStringLiteral("备注"), QStringLiteral("记录人")};
    const QList<QStringList> rows = {
        {QStringLiteral("1"), QStringLiteral("2009年12月5日"), QStringLiteral("工资"), QStringLiteral("12.50"),
         QStringLiteral("it's \"quoted\" 'twice'"), QStringLiteral("爸爸")},
        {QStringLiteral("007"), QStringLiteral("2009年1月1日"), QStringLiteral("=SUM(A1:A2)"), QStringLiteral("-0.10"),
         QStringLiteral("1e5"), QStringLiteral("O'Brien")},
        {QStringLiteral("3"), QStringLiteral("2010年2月28日"), QStringLiteral("餐饮"), QStringLiteral("1234567.00"),
         QString(), QStringLiteral("<妈妈> & \"孩子\"")},
        {QString(), QStringLiteral("TRUE"), QStringLiteral("  前后空格  "), QStringLiteral("100%"),
         QStringLiteral("tab\there"), QStringLiteral("2009-12-05")},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("20091205收入帐.xlsx"));
    const SheetOutcome outcome = writeSheet(path, tableContent(QStringLiteral("家庭帐务—收入"), captions, rows));
    QVERIFY2(outcome.ok(), qPrintable(outcome.detail));

    const XlsxBook book = readBack(path);
    QCOMPARE(book.sheetNames, QStringList{QStringLiteral("家庭帐务—收入")});
    QCOMPARE(book.rows.size(), rows.size() + 1);
    for (int c = 0; c < captions.size(); ++c) {
        QCOMPARE(book.rows[0][c].type, QStringLiteral("s"));
        QCOMPARE(book.text(0, c), captions[c]);
    }
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < captions.size(); ++c) {
            const XlsxCell &cell = book.rows[r + 1][c];
            QCOMPARE(cell.value, rows[r][c]);
            // Text, never a number, date, formula or truth value; an empty text is an empty cell.
            if (rows[r][c].isEmpty())
                QVERIFY(cell.empty);
            else
                QCOMPARE(cell.type, QStringLiteral("s"));
        }
    }
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("20091205收入帐.xlsx")});
}

void TestSheetWriter::foldersMadeAndFileReplaced()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("年度/2009/十二月/支出.xlsx"));
    QVERIFY(writeSheet(path, tableContent(QStringLiteral("家庭帐务—支出"), {QStringLiteral("a")},
                                          {{QStringLiteral("first")}}))
                .ok());
    QCOMPARE(readBack(path).text(1, 0), QStringLiteral("first"));

    // A second export to the same name replaces the workbook, it adds no sheet to it.
    QVERIFY(writeSheet(path, tableContent(QStringLiteral("家庭帐务—综合"), {QStringLiteral("b")},
                                          {{QStringLiteral("second")}}))
                .ok());
    const XlsxBook book = readBack(path);
    QCOMPARE(book.sheetNames, QStringList{QStringLiteral("家庭帐务—综合")});
    QCOMPARE(book.text(1, 0), QStringLiteral("second"));

    // Any file in the way is replaced, whatever it held.
    const QString other = dir.filePath(QStringLiteral("notes.xlsx"));
    {
        QFile file(other);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("plain text, not a workbook");
    }
    QVERIFY(writeSheet(other, tableContent(QStringLiteral("s"), {QStringLiteral("c")}, {})).ok());
    QCOMPARE(readBack(other).text(0, 0), QStringLiteral("c"));
    QCOMPARE(entries(dir.filePath(QStringLiteral("年度/2009/十二月"))), QStringList{QStringLiteral("支出.xlsx")});
}

void TestSheetWriter::failedWriteKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.xlsx"));
    QVERIFY(writeSheet(path, tableContent(QStringLiteral("s"), {QStringLiteral("a")}, {{QStringLiteral("old")}})).ok());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // A cell longer than a spreadsheet cell holds makes the write fail half-way.
    const SheetOutcome outcome = writeSheet(
        path, tableContent(QStringLiteral("s"), {QStringLiteral("a")},
                           {{QStringLiteral("fine")}, {QString(40000, u'x')}, {QStringLiteral("never")}}));
    QCOMPARE(outcome.problem, SheetProblem::CannotWrite);
    QVERIFY(outcome.detail.contains(QStringLiteral("row 3")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("keep.xlsx")});
}

void TestSheetWriter::refusals()
{
    QTemporaryDir dir;
    // A folder in place of the file.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.xlsx")));
    QCOMPARE(writeSheet(dir.filePath(QStringLiteral("folder.xlsx")), tableContent(QStringLiteral("s"), {}, {})).problem,
             SheetProblem::CannotReplace);
    // A file in place of a folder on the way.
    {
        QFile file(dir.filePath(QStringLiteral("plain")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(writeSheet(dir.filePath(QStringLiteral("plain/sub/x.xlsx")), tableContent(QStringLiteral("s"), {}, {}))
                 .problem,
             SheetProblem::CannotMakeFolder);
    // More rows than a sheet holds: refused before anything is written.
    SheetContent huge = tableContent(QStringLiteral("s"), {QStringLiteral("a")}, {});
    huge.rowCount = kMaxSheetRows;
    huge.cell = [](qsizetype, int) { return QStringLiteral("x"); };
    QCOMPARE(writeSheet(dir.filePath(QStringLiteral("huge.xlsx")), huge).problem, SheetProblem::TooManyRows);
    // A sheet name no spreadsheet accepts.
    QCOMPARE(writeSheet(dir.filePath(QStringLiteral("bad.xlsx")), tableContent(QStringLiteral("a/b"), {}, {})).problem,
             SheetProblem::CannotWrite);
    QCOMPARE(entries(dir.path()), (QStringList{QStringLiteral("folder.xlsx"), QStringLiteral("plain")}));
}

QTEST_GUILESS_MAIN(TestSheetWriter)
#include "tst_sheetwriter.moc"
