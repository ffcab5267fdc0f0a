#pragma once

#include "import/CsvParser.h"
#include "import/ImportValues.h"
#include "import/TextEncoding.h"
#include "model/RecordKind.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orv {

// Where the kind of each imported entry comes from.
enum class KindSource {
    Fixed,  // every entry is of one kind
    Column, // a column says 收入, 支出 or 借贷
    Sign,   // one signed amount column: above zero income, below zero expense
};

// How a CSV file is read: guessed from the file, then shown to the user,
// who corrects what was guessed wrong. Columns are 0-based; -1 is none.
struct ImportLayout
{
    TextEncoding encoding = TextEncoding::Utf8;
    QChar separator = u',';
    bool hasHeader = false;

    int dateColumn = -1;
    int itemsColumn = -1;
    int amountColumn = -1;
    int remarkColumn = -1;
    int kindColumn = -1;

    KindSource kindSource = KindSource::Fixed;
    RecordKind fixedKind = RecordKind::Income;

    // The order of a/b/yyyy dates; nullopt while the file leaves it open
    // (every such date reads as two days) and nobody has chosen.
    std::optional<DateOrder> dateOrder;
    bool operator==(const ImportLayout &) const = default;
};

// The records of a file as one layout reads them.
struct ImportTable
{
    QList<CsvRecord> records; // header included
    bool hasHeader = false;
    int columnCount = 0;
    qsizetype invalidBytes = 0; // bytes the encoding does not know
    // The column captions: the header's fields, or "第1列", "第2列", ...
    QStringList captions;
    // The records that hold entries (after the header, if any).
    QList<CsvRecord> body() const;
};

ImportTable readImportTable(const QByteArray &bytes, const ImportLayout &layout);

// The kind a file's name speaks of: the exports of this program are named
// "...收入帐", "...支出帐", "...借贷帐".
std::optional<RecordKind> kindFromFileName(const QString &fileName);

// The kind a cell of a kind column names: 收入, 支出 or 借贷 (also as
// 收入记录, 支出记录, 借贷记录, 借贷情况), or nullopt.
std::optional<RecordKind> kindFromCell(const QString &text);

// Everything about reading the file, guessed from its bytes: encoding,
// separator, header, which column holds what, where the kinds come from
// (a kind column; else the amounts' signs when some are below zero; else
// fallbackKind), and the order of slash dates where the file tells it.
ImportLayout guessImportLayout(const QByteArray &bytes, RecordKind fallbackKind);

// With the encoding and separator given: whether the first record is a
// header, which column holds what, and where the kinds come from.
void guessColumns(const ImportTable &table, ImportLayout &layout, RecordKind fallbackKind);

// The order of the column's a/b/yyyy dates as far as they tell it;
// nullopt when some read as two days and none decides; month first when
// there is no such date at all (the order then changes nothing).
std::optional<DateOrder> guessDateOrder(const ImportTable &table, int column);
// True when some date of the column reads otherwise in the other order:
// only then does the order matter.
bool datesDependOnOrder(const ImportTable &table, int column);

} // namespace orv
