#include "files/FileOutcome.h"

namespace orv {

FileOutcome FileOutcome::failedWithErrno(const QString &path, int error)
{
    return failed(path, qt_error_string(error));
}

} // namespace orv
