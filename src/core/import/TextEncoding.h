#pragma once

#include <QByteArray>
#include <QString>

namespace orv {

// The encodings in which Chinese households' CSV files come: what Linux
// programs and newer spreadsheets write (UTF-8, with or without a
// byte-order mark), what Chinese Windows programs and banks write
// (GB18030, the superset of GBK), and UTF-16 with a byte-order mark (some
// spreadsheet programs' "Unicode text").
enum class TextEncoding { Utf8, Gb18030, Utf16LE, Utf16BE };

// The encoding the bytes are most likely in: a byte-order mark decides;
// then the zero bytes of UTF-16; then whether they are valid UTF-8.
TextEncoding guessEncoding(const QByteArray &bytes);

struct DecodedText
{
    QString text;
    // Bytes that are no character of the encoding, shown as U+FFFD: a
    // sign that another encoding was meant.
    qsizetype invalid = 0;
};

// The text of the bytes, without a byte-order mark at the start.
DecodedText decodeText(const QByteArray &bytes, TextEncoding encoding);

} // namespace orv
