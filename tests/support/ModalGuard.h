#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

// Watches for modal windows (and open pop-up menus) that no test step
// expected. One that stays up longer than a step ever takes is named in a
// failure of the running test and closed, so that a test meets its fault at
// once instead of hanging until CTest's timeout. Steps that open a modal on
// purpose mark it with Expect while they drive it.
class ModalGuard final : public QObject
{
    Q_OBJECT

public:
    // How long a modal may stand unexpected before it counts as stray.
    static constexpr int kGraceMs = 3000;

    // Starts the guard for the whole run (the test main does this).
    static void Install();

    // While it lives, this modal is the test's own.
    class Expect
    {
    public:
        explicit Expect(QWidget *modal);
        ~Expect();
        Expect(const Expect &) = delete;
        Expect &operator=(const Expect &) = delete;

    private:
        QWidget *m_modal;
    };

    // What is reported about a stray modal: its kind, title and texts.
    static QString Describe(QWidget *modal);

    // The guard's own tests replace how a stray is reported (nullptr: a
    // failure of the running test).
    using Reporter = std::function<void(const QString &)>;
    static void SetReporter(Reporter reporter);

private:
    ModalGuard();
    void Check();

    QTimer m_timer;
    QPointer<QWidget> m_suspect;
    qint64 m_suspectSinceMs = 0;
};
