#include "app/BusyIndicator.h"

#include "store/BusyWait.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The reporter runs inside the engine's busy handler, in the middle of a
// database call: it must neither touch the book nor let any other code run.
// So it processes no events at all. A separate window would stay blank
// until the window system had been heard; a panel inside a window already
// on screen is painted and flushed at once by repaint().
class CBusyPanel final : public QFrame
{
public:
    explicit CBusyPanel(QWidget *host)
        : QFrame(host)
    {
        setObjectName(QStringLiteral("busyIndicator"));
        setFrameShape(QFrame::Box);
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor(255, 255, 225));
        colours.setColor(QPalette::WindowText, Qt::black);
        setPalette(colours);
        m_pLabel = new QLabel(this);
        m_pLabel->setTextFormat(Qt::PlainText);
        m_pLabel->setAlignment(Qt::AlignCenter);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(16, 10, 16, 10);
        layout->addWidget(m_pLabel);
    }

    void Show(int elapsedMs)
    {
        m_pLabel->setText(BusyIndicatorText(elapsedMs));
        QWidget *host = parentWidget();
        const QSize size = sizeHint().expandedTo(QSize(260, 0)).boundedTo(host->size());
        setGeometry((host->width() - size.width()) / 2, (host->height() - size.height()) / 2, size.width(),
                    size.height());
        if (!isVisible()) {
            raise();
            show();
        }
        repaint();
    }

private:
    QLabel *m_pLabel = nullptr;
};

QPointer<CBusyPanel> g_pPanel;
bool g_bCursorSet = false;
bool g_bReporting = false;

// The window the family is looking at: a dialog over the main window, or the main window.
QWidget *HostWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && window->isWindow() && !(window->windowFlags() & Qt::Tool))
            return window;
    }
    return nullptr;
}

void DropPanel()
{
    if (!g_pPanel)
        return;
    QWidget *host = g_pPanel->parentWidget();
    const QRect place = g_pPanel->geometry();
    delete g_pPanel.data();
    // Painted over now, not when the event loop comes round.
    if (host && host->isVisible())
        host->repaint(place);
}

void EndWait()
{
    DropPanel();
    if (g_bCursorSet) {
        g_bCursorSet = false;
        QGuiApplication::restoreOverrideCursor();
    }
}

void ReportWait(int elapsedMs)
{
    if (g_bReporting)
        return;
    g_bReporting = true;
    if (elapsedMs < 0) {
        EndWait();
    } else {
        if (!g_bCursorSet) {
            g_bCursorSet = true;
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            // Waits happen inside database calls, which never run the event
            // loop: once it runs again, any wait is over, even one whose end
            // was not reported.
            QTimer::singleShot(0, qApp, [] {
                if (!g_bReporting)
                    EndWait();
            });
        }
        QWidget *host = HostWindow();
        if (g_pPanel && g_pPanel->parentWidget() != host)
            DropPanel();
        if (host && host->isVisible()) {
            if (!g_pPanel)
                g_pPanel = new CBusyPanel(host);
            g_pPanel->Show(elapsedMs);
        }
    }
    g_bReporting = false;
}

} // namespace

QString BusyIndicatorText(int elapsedMs)
{
    QString text = QStringLiteral("帐本正被其他程序使用，正在等待……");
    const int seconds = elapsedMs / 1000;
    if (seconds > 0)
        text += QStringLiteral("\n（已等待 %1 秒，最多等待 %2 秒）").arg(seconds).arg(orv::BusyWait::kPatienceMs / 1000);
    return text;
}

void InstallBusyIndicator()
{
    orv::BusyWait::setReporter(&ReportWait);
}
