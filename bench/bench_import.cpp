// Importing a large CSV file: a bank's statement of 100,000 rows in GBK,
// as a family who kept ten years of statements would bring in at once.
// Guessing how to read it and checking every row run again at each
// correction in the dialog, so they must be quick; storing is one
// transaction through the bulk writer.
#include "import/ImportCheck.h"
#include "import/ImportLayout.h"
#include "import/ImportStore.h"
#include "settings/GbkText.h"
#include "store/BookConnection.h"
#include "store/BookSchema.h"
#include "support/BenchReport.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 5;

QByteArray BankStatement()
{
    const char16_t *shops[] = {u"超市", u"菜场", u"地铁", u"电费", u"工资", u"网购", u"药店", u"餐厅"};
    QString text = QStringLiteral("交易日期,摘要,收支金额,备注\r\n");
    const QDate first(2015, 1, 1);
    for (int i = 0; i < kRows; ++i) {
        const bool income = i % 17 == 0;
        const double amount = income ? 8000.0 + i % 300 : (i % 5000) / 10.0 + 0.5;
        text += first.addDays(i / 27).toString(Qt::ISODate) + u',' + QString::fromUtf16(shops[i % 8]) + u',' +
                (income ? QStringLiteral("\"%1\"").arg(QLocale(QLocale::English).toString(amount, 'f', 2))
                        : QStringLiteral("-%1").arg(amount, 0, 'f', 2)) +
                QStringLiteral(",第%1笔\r\n").arg(i);
    }
    return orv::encodeGbk(text);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray bytes = BankStatement();
    std::printf("CSV file of %d rows, %.1f MB in GBK\n", kRows, double(bytes.size()) / 1e6);
    ReportHeader(QStringLiteral("CSV import (bench_import), goal under 1 s to read and check, 3 s to store"));

    orv::ImportLayout layout;
    ReportLine(QStringLiteral("guess encoding, separator, header, columns"),
               MedianMs(kRuns, [&] { layout = orv::guessImportLayout(bytes, orv::RecordKind::Income); }), -1, 1000);
    orv::ImportTable table;
    ReportLine(QStringLiteral("read the file as laid out"),
               MedianMs(kRuns, [&] { table = orv::readImportTable(bytes, layout); }), -1, 1000);
    // Duplicates are looked for among as many entries again.
    orv::EntryList existing;
    for (int i = 0; i < kRows; ++i)
        existing.entries().push_back(existing.make(
            i + 1, {QDate(2000, 1, 1).addDays(i / 27), QStringLiteral("工资"), 100.0 + i, QString(), QString()}));
    orv::EntryKeys book;
    book.add(orv::RecordKind::Payout, existing);
    orv::ImportCheck check;
    ReportLine(QStringLiteral("check every row (100,000 entries in the book)"),
               MedianMs(kRuns, [&] { check = orv::checkImport(table, layout, book, {}); }), -1, 1000);

    QList<orv::ImportEntry> entries;
    for (const orv::ImportRow &row : std::as_const(check.rows)) {
        if (row.chosenByDefault())
            entries.append({*row.kind, row.values});
    }
    if (entries.size() != kRows) {
        std::fprintf(stderr, "only %lld of %d rows can be stored\n", qlonglong(entries.size()), kRows);
        return 1;
    }
    QTemporaryDir dir;
    int made = 0;
    ReportLine(QStringLiteral("store 100,000 entries in one transaction"), MedianMs(kRuns, [&] {
                   const QString path = dir.filePath(QStringLiteral("book%1.ovd").arg(++made));
                   orv::BookSchema::createBook(path);
                   orv::BookConnection conn(path);
                   const orv::ImportOutcome outcome = orv::storeImport(conn, entries, {}, QStringLiteral("爸爸"));
                   if (!outcome.ok())
                       std::fprintf(stderr, "store failed: %s\n", qPrintable(outcome.error.message));
               }),
               -1, 3000);
    std::printf("Peak memory %.0f MB\n", PeakMemoryMb());
    return 0;
}
