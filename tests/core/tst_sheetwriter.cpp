// The spreadsheet writer, read back by openpyxl: every cell text as
// written, captions cut on a character boundary, and an existing file
// replaced only by a complete workbook.

#include "export/SheetWriter.h"
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

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

XlsxBook readBack(const QString &path)
{
    QString error;
    const std::optional<XlsxBook> book = ReadXlsx(path, &error);
    if (!book)
        qFatal("cannot read %s back: %s", qPrintable(path), qPrintable(error));
    return *book;
}

} // namespace

class TestSheetWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (PythonWithOpenpyxl().isEmpty())
            QSKIP("python3 with openpyxl is needed to read the workbooks back");
    }

    void captionsAreCutTo29BytesOnACharacterBoundary()
    {
        const QString latin40 = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789ABCD");
        const QString shou14 = QString(14, QChar(0x6536)); // 收, two bytes each
        const QList<QPair<QString, QString>> cases = {
            {QStringLiteral("金额（元）"), QStringLiteral("金额（元）")},
            {latin40, latin40.left(29)},
            {QStringLiteral("a") + shou14, QStringLiteral("a") + shou14}, // exactly 29 bytes
            {shou14 + shou14, shou14}, // half of the 15th would not fit
            // A character outside GBK takes four bytes and goes whole or not at all.
            {shou14.left(13) + QStringLiteral("😀x"), shou14.left(13)},
        };
        for (const auto &[caption, cut] : cases)
            QCOMPARE(cutToGbkBytes(caption, kMaxCaptionBytes), cut);
    }

    void everyCellIsTheText()
    {
        const QStringList captions = {"序号", "日期", "名目", "金额（元）", "备注", "记录人"};
        const QList<QStringList> rows = {
            {"007", "2009年1月1日", "=SUM(A1:A2)", "-0.10", "1e5 it's", "<妈妈> & \"孩子\""},
            {"", "TRUE", "  前后空格  ", "100%", "tab\there", "2009-12-05"},
        };
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("20091205收入帐.xlsx"));
        const SheetOutcome outcome = writeSheet(path, tableContent(QStringLiteral("家庭帐务—收入"), captions, rows));
        QVERIFY2(outcome.ok(), qPrintable(outcome.detail));

        const XlsxBook book = readBack(path);
        QCOMPARE(book.sheetNames, QStringList{QStringLiteral("家庭帐务—收入")});
        QCOMPARE(book.rows.size(), rows.size() + 1);
        for (int r = 0; r < book.rows.size(); ++r) {
            const QStringList &expected = r == 0 ? captions : rows[r - 1];
            for (int c = 0; c < captions.size(); ++c) {
                const XlsxCell &cell = book.rows[r][c];
                QCOMPARE(cell.value, expected[c]);
                // Text, never a number, date, formula or truth value; an empty text is an empty cell.
                QCOMPARE(cell.empty ? QString() : cell.type, expected[c].isEmpty() ? QString() : QStringLiteral("s"));
            }
        }
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("20091205收入帐.xlsx")});
    }

    void aFailedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("keep.xlsx"));
        QVERIFY(writeSheet(path, tableContent(QStringLiteral("s"), {"a"}, {{"old"}})).ok());
        const QByteArray before = fileBytes(path);
        // A cell longer than a spreadsheet cell holds makes the write fail half-way.
        const SheetOutcome outcome =
            writeSheet(path, tableContent(QStringLiteral("s"), {"a"}, {{"fine"}, {QString(40000, u'x')}, {"never"}}));
        QCOMPARE(outcome.problem, SheetProblem::CannotWrite);
        QCOMPARE(outcome.failure, SheetFailure::TextTooLong);
        QVERIFY(outcome.detail.contains(QStringLiteral("row 3")));
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("keep.xlsx")});
    }

    void progressIsToldAndCanStopTheWrite()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("keep.xlsx"));
        QVERIFY(writeSheet(path, tableContent(QStringLiteral("s"), {"a"}, {{"old"}})).ok());
        const QByteArray before = fileBytes(path);
        SheetContent many = tableContent(QStringLiteral("s"), {"a", "b"}, {});
        many.rowCount = 10000;
        many.cell = [](qsizetype row, int column) { return QString::number(row * 2 + column); };
        QList<qsizetype> told;
        const SheetOutcome stopped = writeSheet(path, many, [&told](qsizetype written, qsizetype total) {
            told << written;
            return total == 10000 && written < 4000;
        });
        QCOMPARE(stopped.problem, SheetProblem::Cancelled);
        QCOMPARE(told, (QList<qsizetype>{2000, 4000}));
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("keep.xlsx")});

        told.clear();
        QVERIFY(writeSheet(path, many, [&told](qsizetype written, qsizetype) {
                    told << written;
                    return true;
                }).ok());
        QCOMPARE(told, (QList<qsizetype>{2000, 4000, 6000, 8000, 10000}));
        QVERIFY(fileBytes(path) != before);
    }

    void moreRowsThanASheetHoldsAreRefusedBeforeWriting()
    {
        QTemporaryDir dir;
        SheetContent huge = tableContent(QStringLiteral("s"), {"a"}, {});
        huge.rowCount = kMaxSheetRows;
        huge.cell = [](qsizetype, int) { return QStringLiteral("x"); };
        QCOMPARE(writeSheet(dir.filePath(QStringLiteral("huge.xlsx")), huge).problem, SheetProblem::TooManyRows);
        QVERIFY(entries(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSheetWriter)
#include "tst_sheetwriter.moc"
