#include "support/ModalGuard.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSet>
#include <QTest>

namespace {

QSet<QWidget *> &ExpectedModals()
{
    static QSet<QWidget *> expected;
    return expected;
}

ModalGuard::Reporter &InstalledReporter()
{
    static ModalGuard::Reporter reporter;
    return reporter;
}

QWidget *OpenModal()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::activeModalWidget();
}

void CloseStray(QWidget *modal)
{
    // done() rather than reject(): some dialogs end the program on reject.
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
}

} // namespace

ModalGuard::ModalGuard()
{
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &ModalGuard::Check);
    m_timer.start();
}

void ModalGuard::Install()
{
    static ModalGuard *guard = nullptr;
    if (!guard)
        guard = new ModalGuard; // lives as long as the run
}

ModalGuard::Expect::Expect(QWidget *modal)
    : m_modal(modal)
{
    if (modal)
        ExpectedModals().insert(modal);
}

ModalGuard::Expect::~Expect()
{
    ExpectedModals().remove(m_modal);
}

void ModalGuard::SetReporter(Reporter reporter)
{
    InstalledReporter() = std::move(reporter);
}

QString ModalGuard::Describe(QWidget *modal)
{
    QString text = QString::fromLatin1(modal->metaObject()->className()) + QStringLiteral(" \"") +
                   modal->windowTitle() + u'"';
    QStringList words;
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        words << box->text();
    } else if (auto *menu = qobject_cast<QMenu *>(modal)) {
        for (const QAction *action : menu->actions())
            if (!action->isSeparator())
                words << action->text();
    } else {
        for (const QLabel *label : modal->findChildren<QLabel *>())
            if (label->isVisible() && !label->text().isEmpty())
                words << label->text();
        for (const QAbstractButton *button : modal->findChildren<QAbstractButton *>())
            if (button->isVisible() && !button->text().isEmpty())
                words << u'[' + button->text() + u']';
    }
    if (!words.isEmpty())
        text += QStringLiteral(": ") + words.join(QStringLiteral(" | "));
    return text;
}

void ModalGuard::Check()
{
    QWidget *modal = OpenModal();
    if (!modal || !modal->isVisible() || ExpectedModals().contains(modal)) {
        m_suspect = nullptr;
        return;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (modal != m_suspect) {
        m_suspect = modal;
        m_suspectSinceMs = now;
        return;
    }
    if (now - m_suspectSinceMs < kGraceMs)
        return;
    m_suspect = nullptr;
    const QString report = QStringLiteral("an unexpected modal window stayed open and was closed: ") + Describe(modal);
    CloseStray(modal);
    if (InstalledReporter())
        InstalledReporter()(report);
    else
        QTest::qFail(qPrintable(report), __FILE__, __LINE__);
}
