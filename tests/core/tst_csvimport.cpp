// Reading other programs' CSV files into the book: encodings, separators,
// quoting, the forms of dates and amounts, the guessed layout, the rows'
// problems and duplicates, and storing as one transaction on a real book.

#include "export/CsvWriter.h"
#include "import/CsvParser.h"
#include "import/ImportCheck.h"
#include "import/ImportLayout.h"
#include "import/ImportStore.h"
#include "import/ImportValues.h"
#include "import/TextEncoding.h"
#include "items/CategoryStore.h"
#include "records/EntryStore.h"
#include "settings/GbkText.h"
#include "store/BookConnection.h"
#include "model/TextForms.h"
#include "support/TestBook.h"

#include <QStringEncoder>
#include <QTest>

using namespace orv;

Q_DECLARE_METATYPE(std::optional<QDate>)
Q_DECLARE_METATYPE(std::optional<double>)

namespace {

const QString kFamilyCsv = QStringLiteral(
    "日期,名目,金额,备注\r\n"
    "2024-02-29,工资,\"5,000.00\",\"二月, 全勤\"\r\n"
    "2024/3/1,奖金,¥800,\"他说\"\"辛苦了\"\"\"\r\n"
    "2024年3月2日,红包,12.5,\"两行\r\n备注\"\r\n");

QByteArray encoded(const QString &text, const QString &encoding)
{
    if (encoding == QLatin1String("utf-8"))
        return text.toUtf8();
    if (encoding == QLatin1String("utf-8 bom"))
        return "\xEF\xBB\xBF" + text.toUtf8();
    if (encoding == QLatin1String("gb18030"))
        return encodeGbk(text);
    QStringEncoder encoder(encoding == QLatin1String("utf-16le") ? QStringConverter::Utf16LE
                                                                  : QStringConverter::Utf16BE,
                           QStringConverter::Flag::WriteBom);
    return encoder(text);
}

ImportCheck checkBytes(const QByteArray &bytes, RecordKind fallback = RecordKind::Income,
                       const EntryKeys &book = {}, ImportLayout *used = nullptr)
{
    const ImportLayout layout = guessImportLayout(bytes, fallback);
    if (used)
        *used = layout;
    return checkImport(readImportTable(bytes, layout), layout, book, {});
}

QList<ImportEntry> chosenEntries(const ImportCheck &check)
{
    QList<ImportEntry> entries;
    for (const ImportRow &row : check.rows) {
        if (row.chosenByDefault())
            entries.append({*row.kind, row.values});
    }
    return entries;
}

// The entries of a table without their ids.
QList<QStringList> withoutIds(QList<QStringList> rows)
{
    for (QStringList &row : rows)
        row.removeFirst();
    return rows;
}

} // namespace

class TestCsvImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyEncodingReadsTheSameEntries_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<TextEncoding>("guessed");
        QTest::newRow("UTF-8") << QStringLiteral("utf-8") << TextEncoding::Utf8;
        QTest::newRow("UTF-8 with BOM") << QStringLiteral("utf-8 bom") << TextEncoding::Utf8;
        QTest::newRow("GB18030") << QStringLiteral("gb18030") << TextEncoding::Gb18030;
        QTest::newRow("UTF-16 LE") << QStringLiteral("utf-16le") << TextEncoding::Utf16LE;
        QTest::newRow("UTF-16 BE") << QStringLiteral("utf-16be") << TextEncoding::Utf16BE;
    }
    void everyEncodingReadsTheSameEntries()
    {
        QFETCH(QString, encoding);
        QFETCH(TextEncoding, guessed);
        const QByteArray bytes = encoded(kFamilyCsv, encoding);
        QCOMPARE(guessEncoding(bytes), guessed);
        const DecodedText decoded = decodeText(bytes, guessed);
        QCOMPARE(decoded.text, kFamilyCsv);
        QCOMPARE(decoded.invalid, 0);

        ImportLayout layout;
        const ImportCheck check = checkBytes(bytes, RecordKind::Income, {}, &layout);
        QVERIFY(layout.hasHeader);
        QCOMPARE(check.rows.size(), 3);
        QCOMPARE(check.rows[0].values.date, QDate(2024, 2, 29));
        QCOMPARE(check.rows[0].values.items, QStringLiteral("工资"));
        QCOMPARE(check.rows[0].values.money, 5000.0);
        QCOMPARE(check.rows[0].values.remark, QStringLiteral("二月, 全勤"));
        QCOMPARE(check.rows[1].values.remark, QStringLiteral("他说\"辛苦了\""));
        QCOMPARE(check.rows[2].values.remark, QStringLiteral("两行\r\n备注"));
        for (const ImportRow &row : check.rows)
            QVERIFY2(row.chosenByDefault(), qPrintable(describeProblems(row).join(u';')));
    }

    void aWrongEncodingIsNoticed()
    {
        const QByteArray gbk = encodeGbk(kFamilyCsv);
        QVERIFY(decodeText(gbk, TextEncoding::Utf8).invalid > 0);
        QCOMPARE(decodeText(gbk, TextEncoding::Gb18030).invalid, 0);
        // A byte no GB18030 text holds.
        QCOMPARE(decodeText(QByteArray("a\x80z"), TextEncoding::Gb18030).text, QStringLiteral("a\uFFFDz"));
    }

    void separators_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("separator");
        QTest::newRow("comma") << QStringLiteral("2024-1-1,工资,100\n2024-1-2,奖金,\"1,000.00\"\n") << QChar(u',');
        QTest::newRow("semicolon") << QStringLiteral("2024-1-1;工资;1,00\n2024-1-2;奖金;\"a;b\"\n") << QChar(u';');
        QTest::newRow("tab") << QStringLiteral("2024-1-1\t工资, 月底\t100\n2024-1-2\t奖金\t200\n") << QChar(u'\t');
        QTest::newRow("one column") << QStringLiteral("工资\n奖金\n") << QChar(u',');
    }
    void separators()
    {
        QFETCH(QString, text);
        QFETCH(QChar, separator);
        QCOMPARE(guessSeparator(text), separator);
        const QList<CsvRecord> records = parseCsv(text, separator);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[1].fields.size(), records[0].fields.size());
    }

    void quotedFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QStringList>>("fields");
        QTest::addColumn<QList<int>>("lines");
        using Rows = QList<QStringList>;
        QTest::newRow("separator inside quotes")
            << QStringLiteral("\"a,b\",c\n") << Rows{{QStringLiteral("a,b"), QStringLiteral("c")}} << QList<int>{1};
        QTest::newRow("doubled quote")
            << QStringLiteral("\"say \"\"hi\"\"\",\"\"\"\"\n")
            << Rows{{QStringLiteral("say \"hi\""), QStringLiteral("\"")}} << QList<int>{1};
        QTest::newRow("line breaks inside quotes, lines counted")
            << QStringLiteral("\"one\r\ntwo\nthree\",x\r\nnext,y\r\n")
            << Rows{{QStringLiteral("one\r\ntwo\nthree"), QStringLiteral("x")}, {QStringLiteral("next"), QStringLiteral("y")}}
            << QList<int>{1, 4};
        QTest::newRow("blank lines and CR line ends")
            << QStringLiteral("a,b\r\r\nc,d\r\n\r\n") << Rows{{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("c"), QStringLiteral("d")}}
            << QList<int>{1, 3};
        QTest::newRow("empty fields and no last line end")
            << QStringLiteral(",,\n\"\",x") << Rows{{QString(), QString(), QString()}, {QString(), QStringLiteral("x")}}
            << QList<int>{1, 2};
        QTest::newRow("unclosed quote takes the rest")
            << QStringLiteral("a,\"b\nc") << Rows{{QStringLiteral("a"), QStringLiteral("b\nc")}} << QList<int>{1};
    }
    void quotedFields()
    {
        QFETCH(QString, text);
        QFETCH(QList<QStringList>, fields);
        QFETCH(QList<int>, lines);
        const QList<CsvRecord> records = parseCsv(text, u',');
        QCOMPARE(records.size(), fields.size());
        for (qsizetype i = 0; i < records.size(); ++i) {
            QCOMPARE(records[i].fields, fields[i]);
            QCOMPARE(records[i].line, lines[i]);
        }
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<DateOrder>("order");
        QTest::addColumn<std::optional<QDate>>("date");
        const auto leap = std::optional<QDate>(QDate(2024, 2, 29));
        const auto none = std::optional<QDate>();
        QTest::newRow("ISO") << QStringLiteral("2024-02-29") << DateOrder::MonthFirst << leap;
        QTest::newRow("slashes year first") << QStringLiteral("2024/2/29") << DateOrder::DayFirst << leap;
        QTest::newRow("with a time of day") << QStringLiteral("2024-02-29 18:30:05") << DateOrder::MonthFirst << leap;
        QTest::newRow("Chinese, as the lists show") << QStringLiteral("2024年2月29日") << DateOrder::MonthFirst << leap;
        QTest::newRow("Chinese with blanks") << QStringLiteral(" 2024 年 2 月 29 日 ") << DateOrder::MonthFirst << leap;
        QTest::newRow("dotted, day first") << QStringLiteral("29.02.2024") << DateOrder::MonthFirst << leap;
        QTest::newRow("US") << QStringLiteral("02/29/2024") << DateOrder::MonthFirst << leap;
        QTest::newRow("British") << QStringLiteral("29/02/2024") << DateOrder::DayFirst << leap;
        QTest::newRow("03/04 month first") << QStringLiteral("03/04/2024") << DateOrder::MonthFirst
                                           << std::optional<QDate>(QDate(2024, 3, 4));
        QTest::newRow("03/04 day first") << QStringLiteral("03/04/2024") << DateOrder::DayFirst
                                         << std::optional<QDate>(QDate(2024, 4, 3));
        QTest::newRow("no such day") << QStringLiteral("2023-02-29") << DateOrder::MonthFirst << none;
        QTest::newRow("29/02 read month first") << QStringLiteral("29/02/2024") << DateOrder::MonthFirst << none;
        QTest::newRow("mixed separators") << QStringLiteral("2024-02/29") << DateOrder::MonthFirst << none;
        QTest::newRow("words") << QStringLiteral("昨天") << DateOrder::MonthFirst << none;
        QTest::newRow("empty") << QString() << DateOrder::MonthFirst << none;
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(DateOrder, order);
        QFETCH(std::optional<QDate>, date);
        QCOMPARE(parseImportDate(text, order), date);
    }

    void ambiguousDates()
    {
        QVERIFY(isAmbiguousDate(u"03/04/2024"));
        QVERIFY(!isAmbiguousDate(u"04/04/2024")); // the same day either way
        QVERIFY(!isAmbiguousDate(u"13/04/2024"));
        QVERIFY(!isAmbiguousDate(u"2024-03-04"));
        QCOMPARE(dateOrderOf({QStringLiteral("03/04/2024"), QStringLiteral("25/04/2024")}), DateOrder::DayFirst);
        QCOMPARE(dateOrderOf({QStringLiteral("03/04/2024"), QStringLiteral("04/25/2024")}), DateOrder::MonthFirst);
        QCOMPARE(dateOrderOf({QStringLiteral("03/04/2024")}), std::nullopt);

        // A file whose dates all read two ways asks; until then its rows cannot be stored.
        const QByteArray bytes = "date,amount\n03/04/2024,10\n05/06/2024,20\n";
        ImportLayout layout = guessImportLayout(bytes, RecordKind::Payout);
        QCOMPARE(layout.dateOrder, std::nullopt);
        const ImportTable table = readImportTable(bytes, layout);
        QVERIFY(datesDependOnOrder(table, layout.dateColumn));
        QVERIFY(!datesDependOnOrder(table, layout.amountColumn));
        ImportCheck check = checkImport(table, layout, {}, {});
        QVERIFY(check.dateOrderNeeded);
        QVERIFY(check.rows[0].problems & ImportProblem::DateOrderOpen);
        layout.dateOrder = DateOrder::DayFirst;
        check = checkImport(table, layout, {}, {});
        QVERIFY(!check.dateOrderNeeded);
        QCOMPARE(check.rows[0].values.date, QDate(2024, 4, 3));
        QCOMPARE(check.rows[1].values.date, QDate(2024, 6, 5));
        // One date that decides is enough for the whole file.
        QCOMPARE(guessImportLayout("03/04/2024,10\n25/06/2024,20\n", RecordKind::Payout).dateOrder, DateOrder::DayFirst);
    }

    void amounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("amount");
        const auto is = [](double v) { return std::optional<double>(v); };
        const auto none = std::optional<double>();
        QTest::newRow("plain") << QStringLiteral("12.5") << is(12.5);
        QTest::newRow("thousands") << QStringLiteral("1,234,567.89") << is(1234567.89);
        QTest::newRow("yen sign") << QStringLiteral("¥800") << is(800);
        QTest::newRow("full-width yuan sign") << QStringLiteral("￥ 1,000") << is(1000);
        QTest::newRow("yuan after") << QStringLiteral("30元") << is(30);
        QTest::newRow("minus") << QStringLiteral("-45.10") << is(-45.1);
        QTest::newRow("minus after the sign") << QStringLiteral("¥-3") << is(-3);
        QTest::newRow("minus before the sign") << QStringLiteral("-￥3") << is(-3);
        QTest::newRow("brackets") << QStringLiteral("(1,200.00)") << is(-1200);
        QTest::newRow("full-width brackets") << QStringLiteral("（12）") << is(-12);
        QTest::newRow("plus") << QStringLiteral("+7") << is(7);
        QTest::newRow("point first") << QStringLiteral(".5") << is(0.5);
        QTest::newRow("blanks around") << QStringLiteral("  8  ") << is(8);
        QTest::newRow("comma decimal") << QStringLiteral("12,5") << none;
        QTest::newRow("bad grouping") << QStringLiteral("1,23,456") << none;
        QTest::newRow("two points") << QStringLiteral("1.2.3") << none;
        QTest::newRow("exponent") << QStringLiteral("1e3") << none;
        QTest::newRow("two minus signs") << QStringLiteral("--1") << none;
        QTest::newRow("minus in brackets") << QStringLiteral("(-1)") << none;
        QTest::newRow("words") << QStringLiteral("十元") << none;
        QTest::newRow("infinity") << QStringLiteral("inf") << none;
        QTest::newRow("empty") << QString() << none;
    }
    void amounts()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, amount);
        QCOMPARE(parseImportAmount(text), amount);
    }

    void formulaGuard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << QStringLiteral("工资") << QStringLiteral("工资");
        QTest::newRow("formula") << QStringLiteral("=1+1") << QStringLiteral("'=1+1");
        QTest::newRow("at") << QStringLiteral("@SUM(A1)") << QStringLiteral("'@SUM(A1)");
        QTest::newRow("plus") << QStringLiteral("+86 电话") << QStringLiteral("'+86 电话");
        QTest::newRow("a quote of its own") << QStringLiteral("'abc") << QStringLiteral("''abc");
        QTest::newRow("negative number stays") << QStringLiteral("-12.50") << QStringLiteral("-12.50");
        QTest::newRow("comma quoted") << QStringLiteral("a,b") << QStringLiteral("\"a,b\"");
        QTest::newRow("quote doubled") << QStringLiteral("say \"hi\"") << QStringLiteral("\"say \"\"hi\"\"\"");
        QTest::newRow("line break") << QStringLiteral("a\nb") << QStringLiteral("\"a\nb\"");
        QTest::newRow("blank at the end") << QStringLiteral("a ") << QStringLiteral("\"a \"");
        QTest::newRow("guarded and quoted") << QStringLiteral("=a,b") << QStringLiteral("\"'=a,b\"");
    }
    void formulaGuard()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(csvField(text), field);
        const QList<CsvRecord> back = parseCsv(field, u',');
        QCOMPARE(back.size(), 1);
        QCOMPARE(unguardedCell(back.first().fields.value(0)), text);
    }

    void columnsGuessed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QList<int>>("columns"); // date, items, amount, remark, kind
        QTest::addColumn<KindSource>("source");
        QTest::newRow("this program's export")
            << QStringLiteral("序号,日期,名目,金额（元）,备注,记录人\r\n7,2024年2月29日,工资,5000.00,,爸爸\r\n")
            << true << QList<int>{1, 2, 3, 4, -1} << KindSource::Fixed;
        QTest::newRow("English captions in another order")
            << QStringLiteral("Amount;Memo;Date;Category\n12.00;lunch;2024-01-02;food\n") << true
            << QList<int>{2, 3, 0, 1, -1} << KindSource::Fixed;
        QTest::newRow("no header: by the cells")
            << QStringLiteral("1,2024-01-02,餐饮,25.50,午饭\n2,2024-01-03,交通,3,地铁\n") << false
            << QList<int>{1, 2, 3, 4, -1} << KindSource::Fixed;
        QTest::newRow("a kind column")
            << QStringLiteral("类别,日期,名目,金额\n收入,2024-01-02,工资,100\n支出,2024-01-03,餐饮,20\n") << true
            << QList<int>{1, 2, 3, -1, 0} << KindSource::Column;
        QTest::newRow("a bank's signed amounts")
            << QStringLiteral("交易日期,摘要,收支金额\n2024-01-02,工资,+8000.00\n2024-01-03,超市,-120.50\n") << true
            << QList<int>{0, -1, 2, 1, -1} << KindSource::Sign;
    }
    void columnsGuessed()
    {
        QFETCH(QString, text);
        QFETCH(bool, header);
        QFETCH(QList<int>, columns);
        QFETCH(KindSource, source);
        const ImportLayout layout = guessImportLayout(text.toUtf8(), RecordKind::Loan);
        QCOMPARE(layout.hasHeader, header);
        QCOMPARE((QList<int>{layout.dateColumn, layout.itemsColumn, layout.amountColumn, layout.remarkColumn,
                             layout.kindColumn}),
                 columns);
        QCOMPARE(layout.kindSource, source);
        QCOMPARE(layout.fixedKind, RecordKind::Loan);
        const ImportCheck check = checkImport(readImportTable(text.toUtf8(), layout), layout, {}, {});
        for (const ImportRow &row : check.rows)
            QVERIFY2(row.canStore(), qPrintable(describeProblems(row).join(u';')));
    }

    void kindsFromACellOrTheFileName()
    {
        QCOMPARE(kindFromCell(QStringLiteral(" 支出 ")), RecordKind::Payout);
        QCOMPARE(kindFromCell(QStringLiteral("借贷记录")), RecordKind::Loan);
        QCOMPARE(kindFromCell(QStringLiteral("Income")), RecordKind::Income);
        QCOMPARE(kindFromCell(QStringLiteral("转帐")), std::nullopt);
        QCOMPARE(kindFromFileName(QStringLiteral("20240229借贷帐.csv")), RecordKind::Loan);
        QCOMPARE(kindFromFileName(QStringLiteral("收入和支出.csv")), std::nullopt);
        QCOMPARE(kindFromFileName(QStringLiteral("bank.csv")), std::nullopt);
    }

    void aSignedAmountSplitsByItsSign()
    {
        const QByteArray bytes = "日期,摘要,金额\n2024-01-02,工资,\"8,000.00\"\n2024-01-03,超市,-120.50\n"
                                 "2024-01-04,退款,(15.00)\n2024-01-05,冲正,0\n";
        ImportLayout layout;
        const ImportCheck check = checkBytes(bytes, RecordKind::Loan, {}, &layout);
        QCOMPARE(layout.kindSource, KindSource::Sign);
        QCOMPARE(check.rows.size(), 4);
        QCOMPARE(check.rows[0].kind, RecordKind::Income);
        QCOMPARE(check.rows[0].values.money, 8000.0);
        QCOMPARE(check.rows[1].kind, RecordKind::Payout);
        QCOMPARE(check.rows[1].values.money, 120.5);
        QCOMPARE(check.rows[2].kind, RecordKind::Payout);
        QCOMPARE(check.rows[2].values.money, 15.0);
        QVERIFY(check.rows[3].problems & ImportProblem::AmountNotPositive);
    }

    void problemsAreListedAndSkipped_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<ImportProblems>("problems");
        QTest::addColumn<QString>("said");
        const QString longText(128, QChar(0x4E2D)); // 256 bytes in the book's code page
        QTest::newRow("no date") << QStringLiteral(",工资,10,") << ImportProblems(ImportProblem::NoDate)
                                 << QStringLiteral("没有日期");
        QTest::newRow("unreadable date") << QStringLiteral("2月30日,工资,10,") << ImportProblems(ImportProblem::DateUnreadable)
                                         << QStringLiteral("日期“2月30日”无法识别");
        QTest::newRow("no amount") << QStringLiteral("2024-1-1,工资,,") << ImportProblems(ImportProblem::NoAmount)
                                   << QStringLiteral("没有金额");
        QTest::newRow("amount not a number") << QStringLiteral("2024-1-1,工资,十元,")
                                             << ImportProblems(ImportProblem::AmountNotNumber)
                                             << QStringLiteral("金额“十元”不是数字");
        QTest::newRow("zero") << QStringLiteral("2024-1-1,工资,0.001,") << ImportProblems(ImportProblem::AmountNotPositive)
                              << QStringLiteral("金额必须大于零");
        QTest::newRow("negative") << QStringLiteral("2024-1-1,工资,-5,") << ImportProblems(ImportProblem::AmountNotPositive)
                                  << QStringLiteral("金额必须大于零");
        QTest::newRow("too large") << QStringLiteral("2024-1-1,工资,1") + QString(31, u'0') + QStringLiteral(",")
                                   << ImportProblems(ImportProblem::AmountTooLarge) << QStringLiteral("金额太大");
        QTest::newRow("category too long") << QStringLiteral("2024-1-1,") + longText + QStringLiteral(",10,")
                                           << ImportProblems(ImportProblem::ItemsTooLong)
                                           << QStringLiteral("名目超过255个字节（约127个汉字）");
        QTest::newRow("remark too long") << QStringLiteral("2024-1-1,工资,10,") + longText
                                         << ImportProblems(ImportProblem::RemarkTooLong)
                                         << QStringLiteral("备注超过255个字节（约127个汉字）");
        QTest::newRow("a NUL in the remark") << QStringLiteral("2024-1-1,工资,10,a") + QChar(0) + QStringLiteral("b")
                                             << ImportProblems(ImportProblem::TextUnstorable)
                                             << QStringLiteral("名目或备注中含有帐本不能保存的字符（空字符，或开头的字节顺序标记）");
        QTest::newRow("a mark before the category") << QStringLiteral("2024-1-1,\uFEFF工资,10,")
                                                    << ImportProblems(ImportProblem::TextUnstorable)
                                                    << QStringLiteral("名目或备注中含有帐本不能保存的字符（空字符，或开头的字节顺序标记）");
        QTest::newRow("several at once") << QStringLiteral("昨天,工资,abc,")
                                         << (ImportProblem::DateUnreadable | ImportProblem::AmountNotNumber)
                                         << QStringLiteral("日期“昨天”无法识别；金额“abc”不是数字");
    }
    void problemsAreListedAndSkipped()
    {
        QFETCH(QString, record);
        QFETCH(ImportProblems, problems);
        QFETCH(QString, said);
        ImportLayout layout;
        layout.dateColumn = 0;
        layout.itemsColumn = 1;
        layout.amountColumn = 2;
        layout.remarkColumn = 3;
        layout.dateOrder = DateOrder::MonthFirst;
        const QString text = QStringLiteral("2024-1-1,好的,10,\n") + record + u'\n';
        const ImportCheck check = checkImport(readImportTable(text.toUtf8(), layout), layout, {}, {});
        QCOMPARE(check.rows.size(), 2);
        QVERIFY(check.rows[0].chosenByDefault());
        QCOMPARE(check.rows[1].problems, problems);
        QCOMPARE(describeProblems(check.rows[1]).join(QStringLiteral("；")), said);
        QVERIFY(!check.rows[1].canStore());
        QVERIFY(!check.rows[1].chosenByDefault());
        QCOMPARE(check.rows[1].line, 2);
    }

    void duplicatesOfTheBookAndOfTheFile()
    {
        EntryList existing;
        existing.entries().push_back(
            existing.make(1, {QDate(2024, 1, 2), QStringLiteral("工资"), 100.0, QStringLiteral("一月"), QStringLiteral("妈妈")}));
        EntryKeys book;
        book.add(RecordKind::Income, existing);
        const QByteArray bytes = "日期,名目,金额,备注\n"
                                 "2024-01-02,工资,100.00,一月\n" // in the book (someone else recorded it)
                                 "2024-01-02,工资,100.00,一月 \n" // another remark
                                 "2024-01-03,奖金,50,\n"
                                 "2024年1月3日,奖金,50.001,\n" // the same as shown
                                 "2024-01-03,奖金,50,\n";
        ImportCheck check = checkBytes(bytes, RecordKind::Income, book);
        QCOMPARE(check.rows.size(), 5);
        QVERIFY(check.rows[0].duplicateOfBook);
        QCOMPARE(describeDuplicate(check.rows[0]), QStringLiteral("疑似重复：帐本中已有相同的记录"));
        QVERIFY(!check.rows[1].isDuplicate());
        QVERIFY(!check.rows[2].isDuplicate());
        QCOMPARE(check.rows[3].duplicateOfLine, 4);
        QCOMPARE(describeDuplicate(check.rows[3]), QStringLiteral("疑似重复：与文件第4行相同"));
        QCOMPARE(check.rows[4].duplicateOfLine, 4);
        for (int i : {0, 3, 4}) {
            QVERIFY(check.rows[i].canStore());
            QVERIFY(!check.rows[i].chosenByDefault());
        }
        // The same values in another kind are no duplicate.
        check = checkBytes(bytes, RecordKind::Payout, book);
        QVERIFY(!check.rows[0].isDuplicate());
    }

    void newCategoriesOfTheChosenRows()
    {
        const QByteArray bytes = "类别,日期,名目,金额\n收入,2024-1-1,工资,1\n收入,2024-1-2,彩票,2\n支出,2024-1-3,彩票,3\n"
                                 "支出,2024-1-4,餐饮,4\n支出,2024-1-5,,5\n支出,2024-1-6,坏,abc\n";
        const QHash<RecordKind, QStringList> lists{{RecordKind::Income, {QStringLiteral("工资")}},
                                                   {RecordKind::Payout, {QStringLiteral("餐饮")}}};
        const ImportLayout layout = guessImportLayout(bytes, RecordKind::Income);
        const ImportCheck check = checkImport(readImportTable(bytes, layout), layout, {}, lists);
        using Added = QList<QPair<RecordKind, QString>>;
        QCOMPARE(check.newCategories, (Added{{RecordKind::Income, QStringLiteral("彩票")},
                                            {RecordKind::Payout, QStringLiteral("彩票")}}));
        QList<bool> chosen(check.rows.size(), true);
        chosen[1] = false;
        QCOMPARE(newCategoriesOf(check.rows, chosen, lists), (Added{{RecordKind::Payout, QStringLiteral("彩票")}}));
    }

    void storedUnderTheUserWithNewCategoriesAtTheEnd()
    {
        TestBook book;
        BookConnection conn(book.location());
        const auto before = CategoryStore::names(conn, RecordKind::Payout);
        QVERIFY(before.ok());
        const QList<ImportEntry> entries{
            {RecordKind::Payout, {QDate(2024, 1, 3), QStringLiteral("彩票"), 3.0, QStringLiteral("it's"), QStringLiteral("别人")}},
            {RecordKind::Income, {QDate(2024, 1, 1), QStringLiteral("工资"), 1234.5, QString(), QString()}},
            {RecordKind::Payout, {QDate(2024, 1, 2), QStringLiteral("餐饮"), 0.1, QStringLiteral("a\"b"), QString()}},
        };
        const ImportOutcome outcome =
            storeImport(conn, entries, {{RecordKind::Payout, QStringLiteral("彩票")}}, QStringLiteral("妈妈"));
        QVERIFY2(outcome.ok(), qPrintable(outcome.error.message));
        QCOMPARE(outcome.entriesStored, 3);
        QCOMPARE(outcome.categoriesAdded, 1);
        QCOMPARE(outcome.changes, BookChange::Income | BookChange::Payout | BookChange::Categories);
        QCOMPARE(withoutIds(book.rows(QStringLiteral("PAYOUT"))),
                 (QList<QStringList>{{QStringLiteral("2024-01-03"), QStringLiteral("彩票"), QStringLiteral("3.00"),
                                      QStringLiteral("it's"), QStringLiteral("妈妈")},
                                     {QStringLiteral("2024-01-02"), QStringLiteral("餐饮"), QStringLiteral("0.10"),
                                      QStringLiteral("a\"b"), QStringLiteral("妈妈")}}));
        QCOMPARE(withoutIds(book.rows(QStringLiteral("INCOME"))),
                 (QList<QStringList>{{QStringLiteral("2024-01-01"), QStringLiteral("工资"), QStringLiteral("1234.50"),
                                      QString(), QStringLiteral("妈妈")}}));
        const auto after = CategoryStore::names(conn, RecordKind::Payout);
        QCOMPARE(*after, *before + QStringList{QStringLiteral("彩票")});
    }

    void aFailureHalfWayStoresNothing()
    {
        TestBook book;
        book.add(RecordKind::Income, QDate(2023, 12, 31), QStringLiteral("旧"), 1);
        if (TestBook::onServer()) {
            book.exec(QStringLiteral("CREATE FUNCTION refuse_bad() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                     "IF NEW.\"remark\" = '坏' THEN RAISE EXCEPTION 'refused by the test'; END IF; "
                                     "RETURN NEW; END $$"));
            book.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"PAYOUT\" FOR EACH ROW "
                                     "EXECUTE FUNCTION refuse_bad()"));
        } else {
            book.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"PAYOUT\" WHEN NEW.\"remark\" = '坏' "
                                     "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
        }
        const QString before = book.contents();
        QList<ImportEntry> entries;
        for (int i = 0; i < 600; ++i)
            entries.append({RecordKind::Income, {QDate(2024, 1, 1).addDays(i), QStringLiteral("工资"), 10.0 + i, QString(), QString()}});
        entries.append({RecordKind::Payout, {QDate(2024, 2, 1), QStringLiteral("餐饮"), 5, QStringLiteral("好"), QString()}});
        entries.append({RecordKind::Payout, {QDate(2024, 2, 2), QStringLiteral("餐饮"), 6, QStringLiteral("坏"), QString()}});
        entries.append({RecordKind::Loan, {QDate(2024, 2, 3), QStringLiteral("借出"), 7, QString(), QString()}});
        BookConnection conn(book.location());
        const ImportOutcome outcome =
            storeImport(conn, entries, {{RecordKind::Income, QStringLiteral("新名目")}}, QStringLiteral("爸爸"));
        QCOMPARE(outcome.result, ImportOutcome::Result::Failed);
        QVERIFY2(outcome.error.message.contains(QStringLiteral("refused by the test")), qPrintable(outcome.error.message));
        QCOMPARE(book.contents(), before);
        // The connection is fit for the next work.
        QVERIFY(storeImport(conn, entries.mid(0, 2), {}, QStringLiteral("爸爸")).ok());
        QCOMPARE(book.count(QStringLiteral("INCOME")), 3);
    }

    void cancelStoresNothing()
    {
        TestBook book;
        const QString before = book.contents();
        QList<ImportEntry> entries;
        for (int i = 0; i < 2000; ++i)
            entries.append({i % 2 ? RecordKind::Payout : RecordKind::Income,
                            {QDate(2024, 1, 1), QStringLiteral("x"), 1.0 + i, QString(), QString()}});
        BookConnection conn(book.location());
        qint64 asked = 0;
        const ImportOutcome outcome = storeImport(conn, entries, {{RecordKind::Income, QStringLiteral("新")}},
                                                  QStringLiteral("爸爸"), [&](qint64 done, qint64 total) {
                                                      ++asked;
                                                      return done < total / 2 + 100;
                                                  });
        QCOMPARE(outcome.result, ImportOutcome::Result::Cancelled);
        QVERIFY(asked > 2);
        QCOMPARE(book.contents(), before);
        // Cancelled before anything, too.
        QCOMPARE(storeImport(conn, entries, {}, QStringLiteral("爸爸"), [](qint64, qint64) { return false; }).result,
                 ImportOutcome::Result::Cancelled);
        QCOMPARE(book.contents(), before);
    }

    void exportedCsvImportsBackToTheSameEntries()
    {
        // A list of the book as the window shows it, written as CSV...
        TestBook from;
        from.add(RecordKind::Loan, QDate(2009, 12, 5), QStringLiteral("借出"), 5000, QStringLiteral("给\"老王\", 年底还"));
        from.add(RecordKind::Loan, QDate(2024, 2, 29), QStringLiteral("=SUM(A1)"), 0.1, QStringLiteral("'引号"));
        from.add(RecordKind::Loan, QDate(2024, 3, 1), QStringLiteral("还入"), 1234567.89, QStringLiteral("两行\n备注"));
        from.add(RecordKind::Loan, QDate(2024, 3, 2), QStringLiteral("借入"), 12, QStringLiteral(" 空格 "));
        auto list = EntryStore::readAll(BookConnection(from.location()), RecordKind::Loan);
        QVERIFY(list.ok());
        const QList<QStringList> expected = withoutIds(from.rows(QStringLiteral("ON_LOAD")));
        SheetContent content;
        content.captions = {QStringLiteral("序号"), QStringLiteral("日期"), QStringLiteral("名目"),
                            QStringLiteral("金额（元）"), QStringLiteral("备注"), QStringLiteral("记录人")};
        content.rowCount = list->size();
        content.cell = [&](qsizetype row, int column) {
            return list->cellText(list->at(row), EntryColumn(column));
        };
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("20240301借贷帐.csv"));
        QVERIFY(writeCsv(path, content).ok());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF\xE5\xBA\x8F\xE5\x8F\xB7,")); // BOM, then 序号
        QVERIFY(bytes.contains("\r\n"));
        QCOMPARE(file.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        // ...reads back into an empty book as the very same entries.
        TestBook into;
        const ImportLayout layout = guessImportLayout(bytes, *kindFromFileName(path));
        QCOMPARE(layout.fixedKind, RecordKind::Loan);
        const ImportCheck check = checkImport(readImportTable(bytes, layout), layout, {}, {});
        QCOMPARE(check.rows.size(), 4);
        BookConnection conn(into.location());
        QVERIFY(storeImport(conn, chosenEntries(check), {}, QStringLiteral("爸爸")).ok());
        QCOMPARE(withoutIds(into.rows(QStringLiteral("ON_LOAD"))), expected);
    }
};

QTEST_GUILESS_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
