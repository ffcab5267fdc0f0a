#include "app/WorkProgress.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// Progress dialogs count in int; long work is shown in parts per mille.
constexpr int kScale = 1000;

CWorkProgress::StepHook &StepHookForTests()
{
    static CWorkProgress::StepHook hook;
    return hook;
}

} // namespace

void CWorkProgress::SetStepHookForTests(StepHook hook)
{
    StepHookForTests() = std::move(hook);
}

CWorkProgress::CWorkProgress(QWidget *parent, const QString &label, bool cancellable)
    : m_dialog(label, cancellable ? QStringLiteral("取消") : QString(), 0, kScale, parent)
{
    m_dialog.setObjectName(QStringLiteral("progress"));
    m_dialog.setWindowTitle(QCoreApplication::applicationName());
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(500);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    if (!cancellable)
        m_dialog.setCancelButton(nullptr);
    m_dialog.setValue(0);
}

CWorkProgress::~CWorkProgress()
{
    m_dialog.close();
}

orv::Progress CWorkProgress::Reporter()
{
    return [this](qint64 done, qint64 total) { return Step(done, total); };
}

bool CWorkProgress::Step(qint64 done, qint64 total)
{
    if (StepHookForTests())
        StepHookForTests()(m_dialog);
    if (m_dialog.wasCanceled())
        m_bCancelled = true;
    if (m_bCancelled)
        return false;
    const int value = total > 0 ? int(std::clamp<qint64>(done * kScale / total, 0, kScale)) : 0;
    // A window-modal progress dialog processes the events that paint it
    // and let its 取消 be pressed here.
    m_dialog.setValue(std::min(value, kScale - 1));
    m_bCancelled = m_dialog.wasCanceled();
    return !m_bCancelled;
}
