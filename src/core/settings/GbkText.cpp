#include "settings/GbkText.h"

#include "files/AtomicWrite.h"
#include "files/PrivateFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <iconv.h>

namespace orv {

namespace {

QByteArray convert(const char *to, const char *from, const QByteArray &input)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    QByteArray output;
    output.resize(input.size() * 2 + 16);
    char *in = const_cast<char *>(input.constData());
    size_t inLeft = size_t(input.size());
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    while (inLeft > 0) {
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        if (rc != size_t(-1))
            continue;
        if (errno == E2BIG) {
            const qsizetype used = out - output.data();
            output.resize(output.size() * 2);
            out = output.data() + used;
            outLeft = size_t(output.size() - used);
        } else {
            // An invalid or cut-off sequence: skip one byte rather than lose the rest.
            ++in;
            --inLeft;
        }
    }
    output.resize(out - output.data());
    iconv_close(cd);
    return output;
}

} // namespace

QByteArray encodeGbk(const QString &text)
{
    return convert("GB18030", "UTF-8", text.toUtf8());
}

QString decodeGbk(const QByteArray &bytes)
{
    return QString::fromUtf8(convert("UTF-8", "GB18030", bytes));
}

std::optional<QStringList> readGbkLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = decodeGbk(file.readAll());
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

FileOutcome writeGbkLines(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += encodeGbk(line) + "\r\n";
    return writeFileAtomically(path, bytes);
}

bool ensureFileExists(const QString &path)
{
    // Whatever is there (a file, a link, a folder) stays and counts as there;
    // reading it will tell whether it is of any use.
    const FileOutcome created = createPrivateFile(path);
    return created.ok() || QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

} // namespace orv
