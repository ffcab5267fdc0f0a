#include "store/BookFile.h"

#include <QDir>
#include <QFile>

namespace orv::BookFile {

QString bookPath(const QString &programDir)
{
    return QDir(programDir).filePath(QString::fromUtf16(kBookName));
}

QString templatePath(const QString &programDir)
{
    return QDir(programDir).filePath(QString::fromUtf16(kTemplateName));
}

CheckResult ensureBook(const QString &programDir)
{
    QFile book(bookPath(programDir));
    if (book.open(QIODevice::ReadOnly)) {
        book.close();
        return CheckResult::Found;
    }
    // QFile::rename refuses to replace an existing target, so a book that is
    // there but unreadable is never overwritten by Data.ovd.
    const QString alternative = QDir(programDir).filePath(QString::fromUtf16(kAlternativeName));
    if (QFile::rename(alternative, bookPath(programDir)))
        return CheckResult::Renamed;
    return CheckResult::Missing;
}

} // namespace orv::BookFile
