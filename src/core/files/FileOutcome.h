#pragma once

#include <QString>

namespace orv {

// How writing, creating or removing one file went: done, or which file and
// the system's own words for why not. The widgets say it in a sentence of
// their own with these words after it.
struct FileOutcome
{
    QString path;  // the file in question
    QString error; // empty when it went right

    static FileOutcome done(const QString &path) { return {path, QString()}; }
    static FileOutcome failed(const QString &path, const QString &reason) { return {path, reason}; }
    // The text of errno as the system says it.
    static FileOutcome failedWithErrno(const QString &path, int error);

    bool ok() const { return error.isEmpty(); }
    explicit operator bool() const { return ok(); }
};

} // namespace orv
