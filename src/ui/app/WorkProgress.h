#pragma once

#include "store/Progress.h"

#include <QProgressDialog>

#include <functional>

class QWidget;

// A progress dialog for work that may take longer than a person waits
// without a sign of life: it appears only once the work has gone on for
// half a second, shows how far it is, and offers 取消 where stopping is
// safe. Hands the work an orv::Progress to report to.
class CWorkProgress final
{
public:
    CWorkProgress(QWidget *parent, const QString &label, bool cancellable);
    ~CWorkProgress();
    CWorkProgress(const CWorkProgress &) = delete;
    CWorkProgress &operator=(const CWorkProgress &) = delete;

    orv::Progress Reporter();
    bool WasCancelled() const { return m_bCancelled; }

    // For tests: called with the dialog at every step, before it is asked
    // whether 取消 was pressed (whether or not it is on screen yet).
    using StepHook = std::function<void(QProgressDialog &dialog)>;
    static void SetStepHookForTests(StepHook hook);

private:
    bool Step(qint64 done, qint64 total);

    QProgressDialog m_dialog;
    bool m_bCancelled = false;
};
