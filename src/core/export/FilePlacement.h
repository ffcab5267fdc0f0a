#pragma once

#include "export/SheetWriter.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace orv {

// What writing a file under its temporary name came to.
struct PartWrite
{
    QString text; // the writer's own words when it failed
    SheetFailure failure = SheetFailure::None;
    bool cancelled = false;
    bool failed() const { return cancelled || !text.isEmpty(); }
};

// Puts a new file at path all or nothing: write(part) writes it under a
// temporary name beside path (made beforehand, empty and the owner's alone,
// mode 0600); the file is then forced to disk and renamed over path in one
// step. Missing folders are made (0700). Whatever fails, or when the writer
// was stopped, path keeps what it held and no temporary file stays behind.
SheetOutcome placeNewFile(const QString &path, const std::function<PartWrite(const QString &part)> &write);
// The same for bytes already made (a picture).
SheetOutcome placeNewFile(const QString &path, const QByteArray &bytes);

} // namespace orv
