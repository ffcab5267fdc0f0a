// The analysis workbook read back by another implementation: a sheet per
// chart with the figures as numbers, and the spreadsheet's own charts over
// them; written all or nothing.
#include "analysis/AnalysisReport.h"
#include "analysis/AnalysisSheets.h"
#include "export/ChartWorkbook.h"
#include "store/BookConnection.h"
#include "support/TestBook.h"
#include "support/XlsxReadBack.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using orv::AnalysisPeriod;
using orv::RecordKind;

namespace {

const QStringList kSheets = {"收支趋势", "支出构成", "收入构成", "家庭成员", "借贷往来"};

// The chart parts of a workbook, by name.
QStringList ChartParts(const QHash<QString, QString> &parts)
{
    QStringList charts;
    for (const QString &name : parts.keys()) {
        if (QRegularExpression(QStringLiteral("^xl/charts/chart\\d+\\.xml$")).match(name).hasMatch())
            charts.append(name);
    }
    charts.sort();
    return charts;
}

// How many charts of a kind ("c:pieChart", ...) the workbook holds.
int Count(const QHash<QString, QString> &parts, const QString &element)
{
    int count = 0;
    for (const QString &name : ChartParts(parts))
        count += parts.value(name).count(u'<' + element + u'>');
    return count;
}

} // namespace

class TestChartWorkbook final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestBook> m_book;
    QTemporaryDir m_out;

    orv::AnalysisReport Report(const AnalysisPeriod &period) const
    {
        const orv::BookConnection conn(m_book->location());
        auto span = orv::Analysis::readSpan(conn);
        if (!span)
            qFatal("no span: %s", qPrintable(span.error().message));
        orv::AnalysisReport report(period, *span);
        if (const orv::DbStatus done = report.computeAll(conn); !done)
            qFatal("no figures: %s", qPrintable(done.error().message));
        return report;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (PythonWithOpenpyxl().isEmpty())
            QSKIP("python3 with openpyxl is needed to read workbooks back");
        m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{{QStringLiteral("爸爸"), QStringLiteral("1")},
                                                                          {QStringLiteral("妈妈"), QStringLiteral("2")}});
        TestBook &b = *m_book;
        b.add(RecordKind::Income, QDate(2024, 2, 29), "奖金", 0.1, "一毛", "爸爸");
        b.add(RecordKind::Income, QDate(2024, 2, 1), "奖金", 0.2, "两毛", "妈妈");
        b.add(RecordKind::Income, QDate(2024, 12, 31), "工资", 8000, "年底", "妈妈");
        b.add(RecordKind::Payout, QDate(2024, 1, 1), "餐饮", 35.5, "饺子", "爸爸");
        b.add(RecordKind::Payout, QDate(2024, 6, 30), "住房", 1500, "房租", "妈妈");
        b.add(RecordKind::Loan, QDate(2023, 5, 1), "借出", 100, "借给小王", "爸爸");
        b.add(RecordKind::Loan, QDate(2024, 3, 1), "还入", 30, "小王还", "爸爸");
        b.add(RecordKind::Loan, QDate(2024, 3, 2), "利息", 5, "小王的利息", "爸爸");
    }
    void cleanupTestCase() { m_book.reset(); }

    void everySheetWithItsChartsAndNumbers()
    {
        const QString path = m_out.filePath(QStringLiteral("分析.xlsx"));
        const orv::SheetOutcome outcome = orv::writeChartWorkbook(path, orv::analysisSheets(Report(AnalysisPeriod::year(2024))));
        QVERIFY2(outcome.ok(), qPrintable(outcome.detail));

        const QHash<QString, QString> parts = XlsxParts(path);
        // Columns and lines of the trend, two pies, the members' stacked
        // bars, the loans' lines.
        QCOMPARE(ChartParts(parts).size(), 6);
        QCOMPARE(Count(parts, QStringLiteral("c:pieChart")), 2);
        QCOMPARE(Count(parts, QStringLiteral("c:lineChart")), 2);
        QCOMPARE(Count(parts, QStringLiteral("c:barChart")), 2);
        QVERIFY(parts.value(QStringLiteral("xl/charts/chart1.xml")).contains(QStringLiteral("收支趋势")));
        // The series read the sheet's own cells.
        QVERIFY(parts.value(QStringLiteral("xl/charts/chart1.xml")).contains(QStringLiteral("$B$4:$B$15")));

        QString error;
        const auto trend = ReadXlsx(path, &error, QStringLiteral("收支趋势"));
        QVERIFY2(trend, qPrintable(error));
        QCOMPARE(trend->sheetNames, kSheets);
        QVERIFY(trend->text(0, 0).startsWith(QStringLiteral("收支趋势 2024年")));
        QCOMPARE(trend->text(2, 1), QStringLiteral("收入"));
        QCOMPARE(trend->text(4, 0), QStringLiteral("2024年2月"));
        // 0.1 + 0.2, a number the charts read.
        QCOMPARE(trend->rows[4][1].type, QStringLiteral("n"));
        QCOMPARE(trend->text(4, 1).toDouble(), 0.3);
        QCOMPARE(trend->text(15, 0), QStringLiteral("合计"));
        QCOMPARE(trend->text(15, 3).toDouble(), 8000.3 - 1535.5);

        const auto shares = ReadXlsx(path, &error, QStringLiteral("支出构成"));
        QVERIFY2(shares, qPrintable(error));
        QCOMPARE(shares->text(3, 0), QStringLiteral("住房"));
        QCOMPARE(shares->text(3, 1).toDouble(), 1500.0);

        const auto loans = ReadXlsx(path, &error, QStringLiteral("借贷往来"));
        QVERIFY2(loans, qPrintable(error));
        // At the end of March 2024: 100 lent in 2023, 30 repaid; the interest counts nowhere.
        QCOMPARE(loans->text(5, 0), QStringLiteral("2024年3月31日"));
        QCOMPARE(loans->text(5, 1).toDouble(), 70.0);
        QCOMPARE(loans->text(5, 4), QStringLiteral("别人欠你钱"));
        QVERIFY(loans->text(15, 0).contains(QStringLiteral("利息")));
    }

    void emptyFiguresGetNoChart()
    {
        const QString path = m_out.filePath(QStringLiteral("空.xlsx"));
        QVERIFY(orv::writeChartWorkbook(path, orv::analysisSheets(Report(AnalysisPeriod::year(2020)))).ok());
        const QHash<QString, QString> parts = XlsxParts(path);
        // The trend and the loans have their (empty) months; no pie and no member has a part.
        QCOMPARE(ChartParts(parts).size(), 3);
        QCOMPARE(Count(parts, QStringLiteral("c:pieChart")), 0);
        QString error;
        const auto shares = ReadXlsx(path, &error, QStringLiteral("收入构成"));
        QVERIFY2(shares, qPrintable(error));
        QCOMPARE(shares->text(3, 0), QStringLiteral("合计"));
        QCOMPARE(shares->text(3, 1).toDouble(), 0.0);
    }

    void aFailedWriteLeavesTheOldFile()
    {
        const QString path = m_out.filePath(QStringLiteral("旧.xlsx"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the old workbook");
        old.close();
        QList<orv::WorkbookSheet> sheets = orv::analysisSheets(Report(AnalysisPeriod::year(2024)));
        sheets[3].name = QStringLiteral("成员[旧]"); // brackets cannot name a sheet
        const orv::SheetOutcome outcome = orv::writeChartWorkbook(path, sheets);
        QCOMPARE(outcome.problem, orv::SheetProblem::CannotWrite);
        QVERIFY(!outcome.detail.isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old workbook"));
        QCOMPARE(QDir(m_out.path()).entryList({QStringLiteral("*.part-*")}, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestChartWorkbook)
#include "tst_chartworkbook.moc"
