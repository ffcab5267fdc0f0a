#include "import/CsvParser.h"

#include <QHash>

namespace orv {

namespace {

// Records looked at to guess the separator.
constexpr int kGuessRecords = 50;
constexpr qsizetype kGuessChars = 64 * 1024;

bool isBlank(const CsvRecord &record)
{
    return record.fields.size() == 1 && record.fields.first().isEmpty();
}

// Parses records until maxRecords are read (-1: all).
QList<CsvRecord> parse(QStringView text, QChar separator, int maxRecords)
{
    QList<CsvRecord> records;
    CsvRecord record;
    QString field;
    int line = 1;
    record.line = line;
    bool quoted = false;    // inside a quoted part
    bool fieldStart = true; // nothing of this field read yet
    auto endField = [&] {
        record.fields.append(field);
        field.clear();
        fieldStart = true;
    };
    auto endRecord = [&] {
        endField();
        if (!isBlank(record))
            records.append(record);
        record = CsvRecord();
        record.line = line;
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < size && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n' || (c == u'\r' && !(i + 1 < size && text[i + 1] == u'\n')))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRecord();
            if (maxRecords >= 0 && records.size() >= maxRecords)
                return records;
        } else {
            // Text after a closing quote is kept as it stands, as spreadsheet programs do.
            field += c;
            fieldStart = false;
        }
    }
    if (!field.isEmpty() || !record.fields.isEmpty() || !fieldStart)
        endRecord();
    return records;
}

} // namespace

QList<CsvRecord> parseCsv(QStringView text, QChar separator)
{
    return parse(text, separator, -1);
}

QChar guessSeparator(QStringView text)
{
    const QStringView sample = text.left(kGuessChars);
    QChar best = u',';
    qsizetype bestAgreeing = 0;
    qsizetype bestFields = 0;
    for (const QChar separator : kCsvSeparators) {
        QList<CsvRecord> records = parse(sample, separator, kGuessRecords);
        // The last record of a cut sample may be cut too.
        if (sample.size() < text.size() && records.size() > 1)
            records.removeLast();
        QHash<qsizetype, qsizetype> counts;
        for (const CsvRecord &record : records)
            ++counts[record.fields.size()];
        // The field count most records share, and how many share it.
        qsizetype fields = 0, agreeing = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.key() > 1 && (it.value() > agreeing || (it.value() == agreeing && it.key() > fields))) {
                fields = it.key();
                agreeing = it.value();
            }
        }
        if (agreeing > bestAgreeing || (agreeing == bestAgreeing && agreeing > 0 && fields > bestFields)) {
            best = separator;
            bestAgreeing = agreeing;
            bestFields = fields;
        }
    }
    return best;
}

} // namespace orv
