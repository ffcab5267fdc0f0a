#include "import/ImportCheck.h"

#include "records/EntryInput.h"
#include "model/TextForms.h"

#include <QHashFunctions>

#include <cmath>

namespace orv {

namespace {

QString cell(const CsvRecord &record, int column)
{
    return column >= 0 && column < record.fields.size() ? unguardedCell(record.fields.at(column)) : QString();
}

EntryKey keyOf(RecordKind kind, const EntryValues &values)
{
    return {kind, values.date.toJulianDay(), qint64(fenOf(values.money)), values.items, values.remark};
}

} // namespace

size_t qHash(const EntryKey &key, size_t seed)
{
    return qHashMulti(seed, int(key.kind), key.julianDay, key.fen, key.items, key.remark);
}

void EntryKeys::add(RecordKind kind, const EntryList &list)
{
    m_keys.reserve(m_keys.size() + list.size());
    for (const Entry &entry : list.entries())
        m_keys.insert(keyOf(kind, list.values(entry)));
}

QStringList describeProblems(const ImportRow &row)
{
    QStringList texts;
    const ImportProblems p = row.problems;
    if (p & ImportProblem::NoDate)
        texts << QStringLiteral("没有日期");
    if (p & ImportProblem::DateUnreadable)
        texts << QStringLiteral("日期“%1”无法识别").arg(row.dateText);
    if (p & ImportProblem::DateOrderOpen)
        texts << QStringLiteral("日期“%1”可读作两个不同的日子，请先选择日期顺序").arg(row.dateText);
    if (p & ImportProblem::NoAmount)
        texts << QStringLiteral("没有金额");
    if (p & ImportProblem::AmountNotNumber)
        texts << QStringLiteral("金额“%1”不是数字").arg(row.amountText);
    if (p & ImportProblem::AmountNotPositive)
        texts << QStringLiteral("金额必须大于零");
    if (p & ImportProblem::AmountTooLarge)
        texts << QStringLiteral("金额太大");
    if (p & ImportProblem::KindUnknown)
        texts << QStringLiteral("类别“%1”不是收入、支出或借贷").arg(row.kindText);
    if (p & ImportProblem::ItemsTooLong)
        texts << QStringLiteral("名目超过%1个字节（约%2个汉字）").arg(kMaxTextBytes).arg(kMaxTextBytes / 2);
    if (p & ImportProblem::RemarkTooLong)
        texts << QStringLiteral("备注超过%1个字节（约%2个汉字）").arg(kMaxTextBytes).arg(kMaxTextBytes / 2);
    if (p & ImportProblem::TextUnstorable)
        texts << QStringLiteral("名目或备注中含有帐本不能保存的字符（空字符，或开头的字节顺序标记）");
    return texts;
}

QString describeDuplicate(const ImportRow &row)
{
    if (row.duplicateOfBook)
        return QStringLiteral("疑似重复：帐本中已有相同的记录");
    if (row.duplicateOfLine > 0)
        return QStringLiteral("疑似重复：与文件第%1行相同").arg(row.duplicateOfLine);
    return {};
}

ImportCheck checkImport(const ImportTable &table, const ImportLayout &layout, const EntryKeys &book,
                        const QHash<RecordKind, QStringList> &categories)
{
    ImportCheck check;
    QHash<EntryKey, int> earlier; // key → line of its first row in the file
    const DateOrder order = layout.dateOrder.value_or(DateOrder::MonthFirst);
    const QList<CsvRecord> body = table.body();
    check.rows.reserve(body.size());
    for (const CsvRecord &record : body) {
        ImportRow row;
        row.line = record.line;
        row.dateText = cell(record, layout.dateColumn).trimmed();
        row.amountText = cell(record, layout.amountColumn).trimmed();
        row.kindText = cell(record, layout.kindColumn).trimmed();
        // Texts are kept exactly as the file has them, as a typed remark is.
        row.itemsText = cell(record, layout.itemsColumn);
        row.remarkText = cell(record, layout.remarkColumn);

        if (row.dateText.isEmpty()) {
            row.problems |= ImportProblem::NoDate;
        } else if (isAmbiguousDate(row.dateText) && !layout.dateOrder) {
            row.problems |= ImportProblem::DateOrderOpen;
            check.dateOrderNeeded = true;
        } else if (const auto date = parseImportDate(row.dateText, order)) {
            row.values.date = *date;
        } else {
            row.problems |= ImportProblem::DateUnreadable;
        }

        std::optional<double> amount;
        if (row.amountText.isEmpty()) {
            row.problems |= ImportProblem::NoAmount;
        } else {
            amount = parseImportAmount(row.amountText);
            if (!amount)
                row.problems |= ImportProblem::AmountNotNumber;
        }

        switch (layout.kindSource) {
        case KindSource::Fixed:
            row.kind = layout.fixedKind;
            break;
        case KindSource::Column:
            row.kind = kindFromCell(row.kindText);
            if (!row.kind)
                row.problems |= ImportProblem::KindUnknown;
            break;
        case KindSource::Sign:
            if (amount && *amount != 0.0)
                row.kind = *amount < 0 ? RecordKind::Payout : RecordKind::Income;
            break;
        }

        if (amount) {
            const double magnitude = layout.kindSource == KindSource::Sign ? std::fabs(*amount) : *amount;
            if (magnitude > kMaxAmount) {
                row.problems |= ImportProblem::AmountTooLarge;
            } else {
                // Two decimals are kept: what rounds to 0.00 is no amount.
                const double stored = storedMoney(magnitude);
                if (stored > 0.0)
                    row.values.money = stored;
                else
                    row.problems |= ImportProblem::AmountNotPositive;
            }
        }

        row.values.items = row.itemsText;
        row.values.remark = row.remarkText;
        if (!isStorableText(row.itemsText) || !isStorableText(row.remarkText))
            row.problems |= ImportProblem::TextUnstorable;
        if (!fitsTextColumn(row.itemsText))
            row.problems |= ImportProblem::ItemsTooLong;
        if (!fitsTextColumn(row.remarkText))
            row.problems |= ImportProblem::RemarkTooLong;

        if (row.canStore()) {
            const EntryKey key = keyOf(*row.kind, row.values);
            if (book.contains(key))
                row.duplicateOfBook = true;
            else if (const auto first = earlier.constFind(key); first != earlier.cend())
                row.duplicateOfLine = *first;
            else
                earlier.insert(key, row.line);
        }
        check.rows.append(std::move(row));
    }
    QList<bool> chosen;
    chosen.reserve(check.rows.size());
    for (const ImportRow &row : std::as_const(check.rows))
        chosen.append(row.chosenByDefault());
    check.newCategories = newCategoriesOf(check.rows, chosen, categories);
    return check;
}

QList<QPair<RecordKind, QString>> newCategoriesOf(const QList<ImportRow> &rows, const QList<bool> &chosen,
                                                  const QHash<RecordKind, QStringList> &categories)
{
    QList<QPair<RecordKind, QString>> added;
    QHash<RecordKind, QSet<QString>> known;
    for (RecordKind kind : kAllKinds) {
        const QStringList names = categories.value(kind);
        known[kind] = QSet<QString>(names.begin(), names.end());
    }
    for (qsizetype i = 0; i < rows.size() && i < chosen.size(); ++i) {
        const ImportRow &row = rows.at(i);
        if (!chosen.at(i) || !row.canStore() || row.values.items.trimmed().isEmpty())
            continue;
        QSet<QString> &names = known[*row.kind];
        if (names.contains(row.values.items))
            continue;
        names.insert(row.values.items);
        added.append({*row.kind, row.values.items});
    }
    return added;
}

} // namespace orv
