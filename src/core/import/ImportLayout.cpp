#include "import/ImportLayout.h"

#include <algorithm>

namespace orv {

namespace {

// Records looked at to tell what a column holds.
constexpr int kSampleRecords = 200;
// Share of a column's cells that must read as dates (or amounts) for the
// column to count as one of dates (or amounts).
constexpr double kLikeShare = 0.8;

enum class Role { None, Ignored, Date, Items, Amount, Remark, Kind };

bool containsAny(const QString &text, std::initializer_list<const char16_t *> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&text](const char16_t *word) { return text.contains(QStringView(word)); });
}

// What a column is for, by its caption.
Role roleOfCaption(const QString &caption)
{
    const QString text = unguardedCell(caption).trimmed().toLower();
    if (text.isEmpty())
        return Role::None;
    for (const char16_t *word : {u"序号", u"编号", u"id", u"no", u"no.", u"#", u"记录人", u"user", u"用户"}) {
        if (text == QStringView(word))
            return Role::Ignored;
    }
    if (containsAny(text, {u"金额", u"数额", u"amount", u"money", u"钱"}))
        return Role::Amount;
    if (containsAny(text, {u"日期", u"时间", u"date", u"day"}))
        return Role::Date;
    if (containsAny(text, {u"备注", u"说明", u"摘要", u"附言", u"remark", u"memo", u"note", u"description"}))
        return Role::Remark;
    if (containsAny(text, {u"名目", u"分类", u"类目", u"项目", u"category", u"item"}))
        return Role::Items;
    if (containsAny(text, {u"类别", u"收支", u"收/支", u"类型", u"kind", u"type"}))
        return Role::Kind;
    return Role::None;
}

bool readsAsDate(const QString &text)
{
    return parseImportDate(text, DateOrder::MonthFirst) || parseImportDate(text, DateOrder::DayFirst);
}

bool readsAsAmount(const QString &text)
{
    return parseImportAmount(unguardedCell(text)).has_value();
}

QString cell(const CsvRecord &record, int column)
{
    return column >= 0 && column < record.fields.size() ? record.fields.at(column) : QString();
}

// The non-empty cells of a column among the first records.
QStringList sample(const QList<CsvRecord> &records, int column)
{
    QStringList cells;
    for (qsizetype i = 0; i < records.size() && i < kSampleRecords; ++i) {
        const QString text = cell(records.at(i), column).trimmed();
        if (!text.isEmpty())
            cells.append(text);
    }
    return cells;
}

template <typename Test>
bool mostly(const QStringList &cells, Test test)
{
    if (cells.isEmpty())
        return false;
    const auto passing = std::count_if(cells.begin(), cells.end(), test);
    return double(passing) >= kLikeShare * double(cells.size());
}

bool isHeader(const QList<CsvRecord> &records)
{
    if (records.isEmpty())
        return false;
    const QStringList &first = records.first().fields;
    if (std::any_of(first.begin(), first.end(), [](const QString &f) { return roleOfCaption(f) != Role::None; }))
        return true;
    // Captions are words; the rows under them hold dates and amounts.
    const bool firstHasValues = std::any_of(first.begin(), first.end(), [](const QString &f) {
        return readsAsDate(f) || readsAsAmount(f);
    });
    if (firstHasValues || records.size() < 2)
        return false;
    const QStringList &second = records.at(1).fields;
    return std::any_of(second.begin(), second.end(), [](const QString &f) { return readsAsDate(f) || readsAsAmount(f); });
}

} // namespace

QList<CsvRecord> ImportTable::body() const
{
    return hasHeader && !records.isEmpty() ? records.mid(1) : records;
}

ImportTable readImportTable(const QByteArray &bytes, const ImportLayout &layout)
{
    ImportTable table;
    const DecodedText decoded = decodeText(bytes, layout.encoding);
    table.invalidBytes = decoded.invalid;
    table.records = parseCsv(decoded.text, layout.separator);
    table.hasHeader = layout.hasHeader && !table.records.isEmpty();
    for (const CsvRecord &record : std::as_const(table.records))
        table.columnCount = std::max(table.columnCount, int(record.fields.size()));
    for (int c = 0; c < table.columnCount; ++c) {
        const QString caption = table.hasHeader ? unguardedCell(cell(table.records.first(), c)).trimmed() : QString();
        table.captions.append(caption.isEmpty() ? QStringLiteral("第%1列").arg(c + 1) : caption);
    }
    return table;
}

std::optional<RecordKind> kindFromFileName(const QString &fileName)
{
    std::optional<RecordKind> found;
    for (RecordKind kind : kAllKinds) {
        if (fileName.contains(kindWord(kind))) {
            if (found)
                return std::nullopt; // names two kinds: tells nothing
            found = kind;
        }
    }
    return found;
}

std::optional<RecordKind> kindFromCell(const QString &text)
{
    const QString word = unguardedCell(text).trimmed();
    if (word.isEmpty())
        return std::nullopt;
    for (RecordKind kind : kAllKinds) {
        if (word == kindWord(kind) || word == kindWord(kind) + QStringLiteral("记录"))
            return kind;
    }
    if (word == QStringLiteral("借贷情况"))
        return RecordKind::Loan;
    const QString lower = word.toLower();
    if (lower == QStringLiteral("income"))
        return RecordKind::Income;
    if (lower == QStringLiteral("expense") || lower == QStringLiteral("expenses"))
        return RecordKind::Payout;
    if (lower == QStringLiteral("loan") || lower == QStringLiteral("loans"))
        return RecordKind::Loan;
    return std::nullopt;
}

std::optional<DateOrder> guessDateOrder(const ImportTable &table, int column)
{
    if (column < 0)
        return DateOrder::MonthFirst;
    QStringList dates;
    const QList<CsvRecord> body = table.body();
    for (const CsvRecord &record : body)
        dates.append(cell(record, column));
    if (const auto order = dateOrderOf(dates))
        return order;
    if (std::any_of(dates.begin(), dates.end(), [](const QString &d) { return isAmbiguousDate(d); }))
        return std::nullopt;
    return DateOrder::MonthFirst;
}

bool datesDependOnOrder(const ImportTable &table, int column)
{
    if (column < 0)
        return false;
    const QList<CsvRecord> body = table.body();
    return std::any_of(body.begin(), body.end(), [column](const CsvRecord &record) {
        const QString text = cell(record, column);
        return parseImportDate(text, DateOrder::MonthFirst) != parseImportDate(text, DateOrder::DayFirst);
    });
}

void guessColumns(const ImportTable &table, ImportLayout &layout, RecordKind fallbackKind)
{
    layout.hasHeader = isHeader(table.records);
    ImportTable read = table;
    read.hasHeader = layout.hasHeader && !table.records.isEmpty();
    const QList<CsvRecord> body = read.body();

    layout.dateColumn = layout.itemsColumn = layout.amountColumn = layout.remarkColumn = layout.kindColumn = -1;
    QList<Role> roles(table.columnCount, Role::None);
    if (read.hasHeader) {
        for (int c = 0; c < table.columnCount; ++c) {
            Role role = roleOfCaption(cell(table.records.first(), c));
            int *column = nullptr;
            switch (role) {
            case Role::Date: column = &layout.dateColumn; break;
            case Role::Items: column = &layout.itemsColumn; break;
            case Role::Amount: column = &layout.amountColumn; break;
            case Role::Remark: column = &layout.remarkColumn; break;
            case Role::Kind: column = &layout.kindColumn; break;
            default: break;
            }
            // The first column of a role takes it; a second one is just text.
            if (column && *column < 0)
                *column = c;
            else if (column)
                role = Role::None;
            roles[c] = role;
        }
    }
    auto taken = [&](int c) { return roles[c] != Role::None; };

    // What the header did not say, the cells tell.
    QList<QStringList> cells;
    for (int c = 0; c < table.columnCount; ++c)
        cells.append(sample(body, c));
    QList<bool> dateLike, amountLike, kindLike;
    for (int c = 0; c < table.columnCount; ++c) {
        dateLike.append(mostly(cells[c], readsAsDate));
        amountLike.append(mostly(cells[c], readsAsAmount));
        kindLike.append(mostly(cells[c], [](const QString &t) { return kindFromCell(t).has_value(); }) &&
                        std::all_of(cells[c].begin(), cells[c].end(),
                                    [](const QString &t) { return kindFromCell(t).has_value(); }));
    }
    if (layout.dateColumn < 0) {
        for (int c = 0; c < table.columnCount; ++c) {
            if (!taken(c) && dateLike[c]) {
                layout.dateColumn = c;
                roles[c] = Role::Date;
                break;
            }
        }
    }
    if (layout.amountColumn < 0) {
        // Money shows a point, a currency sign, a separator or a sign; a
        // column of plain whole numbers may as well be a running number.
        int best = -1, bestScore = 0;
        for (int c = 0; c < table.columnCount; ++c) {
            if (taken(c) || !amountLike[c])
                continue;
            const bool moneyLooking = std::any_of(cells[c].begin(), cells[c].end(), [](const QString &t) {
                return containsAny(t, {u".", u"¥", u"￥", u",", u"-", u"(", u"（", u"元"});
            });
            const int score = moneyLooking ? 2 : 1;
            if (score >= bestScore) {
                best = c;
                bestScore = score;
            }
        }
        if (best >= 0) {
            layout.amountColumn = best;
            roles[best] = Role::Amount;
        }
    }
    if (layout.kindColumn < 0) {
        for (int c = 0; c < table.columnCount; ++c) {
            if (!taken(c) && kindLike[c]) {
                layout.kindColumn = c;
                roles[c] = Role::Kind;
                break;
            }
        }
    }
    for (int *column : {&layout.itemsColumn, &layout.remarkColumn}) {
        if (*column >= 0)
            continue;
        for (int c = 0; c < table.columnCount; ++c) {
            if (!taken(c) && !dateLike[c] && !amountLike[c] && !kindLike[c]) {
                *column = c;
                roles[c] = column == &layout.itemsColumn ? Role::Items : Role::Remark;
                break;
            }
        }
    }

    if (layout.kindColumn >= 0) {
        layout.kindSource = KindSource::Column;
    } else {
        const bool anyNegative = layout.amountColumn >= 0 &&
                                 std::any_of(body.begin(), body.end(), [&](const CsvRecord &record) {
                                     const auto amount = parseImportAmount(unguardedCell(cell(record, layout.amountColumn)));
                                     return amount && *amount < 0;
                                 });
        layout.kindSource = anyNegative ? KindSource::Sign : KindSource::Fixed;
    }
    layout.fixedKind = fallbackKind;
    layout.dateOrder = guessDateOrder(read, layout.dateColumn);
}

ImportLayout guessImportLayout(const QByteArray &bytes, RecordKind fallbackKind)
{
    ImportLayout layout;
    layout.encoding = guessEncoding(bytes);
    layout.separator = guessSeparator(decodeText(bytes.left(256 * 1024), layout.encoding).text);
    const ImportTable table = readImportTable(bytes, layout);
    guessColumns(table, layout, fallbackKind);
    return layout;
}

} // namespace orv
