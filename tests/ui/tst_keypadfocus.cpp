// The keypad never keeps the keyboard: after every press the amount field
// of the entry dialog has it again, so digits typed between presses all
// land. Run on a real X display as well (see tests/CMakeLists.txt): the
// offscreen platform activates windows at once and hides the race.

#include "support/WidgetTestMain.h"

#include "records/CAddRecordDlg.h"
#include "records/CAmountKeypadDlg.h"
#include "records/CModifyRecordDlg.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <memory>

using orv::RecordKind;

namespace {

// Keypad button ids of the digits 0 to 9.
constexpr int kDigitButtons[] = {1098, 1099, 1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107};

// On X with xdotool, clicks and keys go through the X server like a
// person's, so the window manager sees them; elsewhere Qt's own test events.
bool RealInput()
{
    return QGuiApplication::platformName() == QStringLiteral("xcb") &&
           !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
}

bool XDoTool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

void Click(QWidget *button)
{
    if (!RealInput()) {
        QTest::mouseClick(button, Qt::LeftButton);
        return;
    }
    const QPoint at = button->mapToGlobal(button->rect().center());
    QVERIFY(XDoTool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                     QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")}));
}

void TypeDigit(int digit)
{
    if (RealInput()) {
        QVERIFY(XDoTool({QStringLiteral("key"), QString::number(digit)}));
        return;
    }
    // A key goes where the window system sends the keyboard: the focused window.
    QWindow *focused = QGuiApplication::focusWindow();
    QVERIFY2(focused, "no window has the keyboard");
    QTest::keyClick(focused, Qt::Key(Qt::Key_0 + digit), Qt::NoModifier);
}

} // namespace

class TestKeypadFocus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedDigitsLandAfterEveryPress_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("modify");
        QTest::newRow("add income") << int(RecordKind::Income) << false;
        QTest::newRow("add expense") << int(RecordKind::Payout) << false;
        QTest::newRow("add loan") << int(RecordKind::Loan) << false;
        QTest::newRow("modify expense") << int(RecordKind::Payout) << true;
    }

    void typedDigitsLandAfterEveryPress()
    {
        QFETCH(int, kind);
        QFETCH(bool, modify);
        TestBook book;
        ScriptedPrompter prompter;
        std::unique_ptr<CRecordEntryDlg> dlg;
        if (modify) {
            auto *m = new CModifyRecordDlg(RecordKind(kind));
            m->m_tDate = QDate(2024, 1, 1);
            m->m_dMoney = 1;
            dlg.reset(m);
        } else {
            dlg.reset(new CAddRecordDlg(RecordKind(kind)));
        }
        dlg->show();
        // Xvfb has no window manager to activate a new window.
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
        dlg->OnKeypadButton();
        CAmountKeypadDlg *keypad = dlg->Keypad();
        QVERIFY(keypad);
        QVERIFY(QTest::qWaitForWindowExposed(keypad));
        QTest::qWait(100);
        dlg->AmountEdit()->clear();

        QString expected;
        for (int round = 0; round < 6; ++round) {
            const int pressed = (round * 3 + 1) % 10;
            const int typed = (round * 7 + 2) % 10;
            Click(keypad->Button(kDigitButtons[pressed]));
            // Time for the window system to settle who has the keyboard.
            QTest::qWait(200);
            TypeDigit(typed);
            expected += QString::number(pressed) + QString::number(typed);
            QTRY_COMPARE_WITH_TIMEOUT(dlg->AmountEdit()->text(), expected, 1000);
            QVERIFY(dlg->AmountEdit()->hasFocus());
        }
    }
};

ORV_WIDGET_TEST_MAIN(TestKeypadFocus)
#include "tst_keypadfocus.moc"
