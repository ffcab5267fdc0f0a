#include "app/DesktopOpener.h"

#include <QDesktopServices>
#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

namespace {

// xdg-open answers at once when it finds no way to open; a browser it
// starts in the foreground may keep it running, which means it opened.
constexpr int kOpenerPatienceMs = 3000;

// xdg-open's exit codes.
constexpr int kFileNotFound = 2;

} // namespace

DesktopOpenOutcome OpenOnDesktop(const QUrl &url)
{
    DesktopOpenOutcome outcome;
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        outcome.opened = QDesktopServices::openUrl(url);
        return outcome;
    }
    auto *process = new QProcess;
    process->setProgram(opener);
    process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    process->start();
    const bool started = process->waitForStarted();
    const bool finished = started && process->waitForFinished(kOpenerPatienceMs);
    QGuiApplication::restoreOverrideCursor();
    if (!started) {
        outcome.detail = process->errorString();
        delete process;
        return outcome;
    }
    if (!finished) {
        // Left to run on its own (a QProcess ends its program when deleted).
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        outcome.opened = true;
        return outcome;
    }
    outcome.opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    if (!outcome.opened) {
        outcome.notFound = process->exitStatus() == QProcess::NormalExit && process->exitCode() == kFileNotFound;
        outcome.detail = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
        if (outcome.detail.isEmpty())
            outcome.detail = QStringLiteral("xdg-open: exit code %1").arg(process->exitCode());
    }
    delete process;
    return outcome;
}
