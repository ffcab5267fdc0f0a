#include "settings/ProgramOptions.h"

#include <QDir>
#include <QSettings>

namespace orv {

ProgramOptions ProgramOptions::load(const QString &programDir)
{
    ProgramOptions options;
    const QString path = QDir(programDir).filePath(QString::fromLatin1(kFileName));
    if (!QFile::exists(path))
        return options;
    const QSettings file(path, QSettings::IniFormat);
    // QSettings reads a value with commas (several hosts) as a list.
    const QVariant book = file.value(QStringLiteral("book/uri"));
    options.book = (book.typeId() == QMetaType::QStringList ? book.toStringList().join(u',') : book.toString()).trimmed();
    bool ok = false;
    const int keep = file.value(QStringLiteral("backups/keep")).toInt(&ok);
    if (ok && keep >= 0)
        options.backupsKept = keep;
    return options;
}

} // namespace orv
