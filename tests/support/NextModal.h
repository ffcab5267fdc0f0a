#pragma once

#include "support/ModalGuard.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

// Answers the modal dialog of type T that the next step opens: act runs on
// it, and it is closed should act leave it open, so that a failed check
// can never leave a test waiting. seen tells whether such a dialog came.
template <typename T, typename Act>
void WithNextModal(bool &seen, Act act)
{
    seen = false;
    QTimer::singleShot(0, [act, &seen] {
        auto *dlg = qobject_cast<T *>(QApplication::activeModalWidget());
        seen = dlg != nullptr;
        if (!dlg)
            return;
        {
            const ModalGuard::Expect expected(dlg);
            act(dlg);
        }
        if (dlg->isVisible())
            dlg->reject();
    });
}
