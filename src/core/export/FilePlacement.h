#pragma once

#include "export/SheetWriter.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace orv {

// Puts a new file at path all or nothing: write(part) writes it under a
// temporary name beside path (answering an error text, empty when it
// succeeded); the file is then forced to disk and renamed over path in one
// step. Missing folders are made. Whatever fails, path keeps what it held
// and no temporary file stays behind.
SheetOutcome placeNewFile(const QString &path, const std::function<QString(const QString &part)> &write);
// The same for bytes already made (a picture).
SheetOutcome placeNewFile(const QString &path, const QByteArray &bytes);

} // namespace orv
