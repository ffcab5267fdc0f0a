#include "import/TextEncoding.h"

#include <QStringDecoder>

#include <cerrno>
#include <iconv.h>

namespace orv {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeBom[] = "\xFF\xFE";
constexpr char kUtf16BeBom[] = "\xFE\xFF";
// Enough of the start to tell the encodings apart.
constexpr qsizetype kSniffBytes = 64 * 1024;

// Each byte sequence the encoding does not know becomes one U+FFFD.
DecodedText decodeGb18030(const QByteArray &bytes)
{
    DecodedText decoded;
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        decoded.invalid = bytes.size();
        return decoded;
    }
    QByteArray output;
    output.resize(bytes.size() * 2 + 16);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    auto grow = [&](size_t need) {
        if (outLeft >= need)
            return;
        const qsizetype used = out - output.data();
        output.resize(output.size() * 2 + qsizetype(need));
        out = output.data() + used;
        outLeft = size_t(output.size() - used);
    };
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            continue;
        if (errno == E2BIG) {
            grow(outLeft + 64);
            continue;
        }
        // An invalid or cut-off sequence: one replacement, and on.
        grow(3);
        const char replacement[] = "\xEF\xBF\xBD";
        std::copy(replacement, replacement + 3, out);
        out += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
        ++decoded.invalid;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    output.resize(out - output.data());
    decoded.text = QString::fromUtf8(output);
    return decoded;
}

DecodedText decodeWith(QStringConverter::Encoding encoding, const QByteArray &bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    DecodedText decoded;
    decoded.text = decoder(bytes);
    decoded.invalid = decoded.text.count(QChar::ReplacementCharacter);
    return decoded;
}

bool isValidUtf8(const QByteArray &bytes)
{
    // A sequence cut off at the end of the sample is not an error.
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder(bytes);
    return !decoder.hasError() && !text.contains(QChar::ReplacementCharacter);
}

} // namespace

TextEncoding guessEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return TextEncoding::Utf8;
    if (bytes.startsWith(kUtf16LeBom))
        return TextEncoding::Utf16LE;
    if (bytes.startsWith(kUtf16BeBom))
        return TextEncoding::Utf16BE;
    const QByteArray sample = bytes.left(kSniffBytes);
    // Digits, separators and line ends are ASCII: in UTF-16 their high byte
    // is zero, which no other text file of ours has.
    qsizetype zeroEven = 0, zeroOdd = 0;
    for (qsizetype i = 0; i < sample.size(); ++i) {
        if (sample[i] == '\0')
            ++(i % 2 == 0 ? zeroEven : zeroOdd);
    }
    if (zeroEven + zeroOdd > sample.size() / 8)
        return zeroOdd >= zeroEven ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
    return isValidUtf8(sample) ? TextEncoding::Utf8 : TextEncoding::Gb18030;
}

DecodedText decodeText(const QByteArray &bytes, TextEncoding encoding)
{
    DecodedText decoded;
    switch (encoding) {
    case TextEncoding::Utf8:
        decoded = decodeWith(QStringConverter::Utf8, bytes.startsWith(kUtf8Bom) ? bytes.mid(3) : bytes);
        break;
    case TextEncoding::Utf16LE:
        decoded = decodeWith(QStringConverter::Utf16LE, bytes.startsWith(kUtf16LeBom) ? bytes.mid(2) : bytes);
        break;
    case TextEncoding::Utf16BE:
        decoded = decodeWith(QStringConverter::Utf16BE, bytes.startsWith(kUtf16BeBom) ? bytes.mid(2) : bytes);
        break;
    case TextEncoding::Gb18030:
        decoded = decodeGb18030(bytes);
        break;
    }
    // A mark left after the one removed above (a file saved with two) is
    // no part of the text either.
    if (decoded.text.startsWith(QChar(0xFEFF)))
        decoded.text.remove(0, 1);
    return decoded;
}

} // namespace orv
