// The amount keypad beside an entry dialog: what its buttons type, where
// the keyboard goes, how it opens, closes, hides and moves.
#include "app/Globals.h"
#include "records/CAddRecordDlg.h"
#include "records/CAmountKeypadDlg.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <algorithm>

using orv::RecordKind;

namespace {

// Presses keypad buttons by their ids and lets the typed keys arrive.
void Press(CAmountKeypadDlg *keypad, std::initializer_list<int> ids)
{
    for (int id : ids) {
        QTest::mouseClick(keypad->Button(id), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
}

void SendMouse(QWidget *to, QEvent::Type type, const QPoint &at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), QPointF(to->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

} // namespace

class TstKeypad : public QObject
{
    Q_OBJECT

private:
    QLineEdit *Amount() const { return m_dlg->AmountEdit(); }

    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CAddRecordDlg> m_dlg;

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>();
        m_prompter = std::make_unique<ScriptedPrompter>();
        g_strCurUser = QStringLiteral("爸爸");
        m_dlg = std::make_unique<CAddRecordDlg>(RecordKind::Payout);
        m_dlg->move(60, 40);
        m_dlg->show();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    }

    void cleanup()
    {
        m_dlg.reset();
        m_prompter.reset();
        m_book.reset();
    }

    void opensBesideTheDialog()
    {
        // Where the dialog was moved to is where the keypad opens beside it.
        m_dlg->move(80, 70);
        QCoreApplication::processEvents();
        m_dlg->OnKeypadButton();
        CAmountKeypadDlg *keypad = m_dlg->Keypad();
        QVERIFY(keypad && keypad->isVisible());
        QCOMPARE(keypad->y(), m_dlg->mapToGlobal(QPoint(0, 0)).y() + 50);
        QVERIFY(keypad->x() > m_dlg->frameGeometry().right());

        // Twelve buttons in four rows of three, as on a calculator.
        QList<QPushButton *> buttons = keypad->findChildren<QPushButton *>();
        std::sort(buttons.begin(), buttons.end(), [](QPushButton *a, QPushButton *b) {
            return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
        });
        QStringList rows;
        for (qsizetype i = 0; i < buttons.size(); i += 3) {
            QVERIFY(keypad->rect().contains(buttons[i + 2]->geometry()));
            rows.append(buttons[i]->text() + buttons[i + 1]->text() + buttons[i + 2]->text());
        }
        QCOMPARE(rows, (QStringList{"789", "456", "123", "0.←"}));

        // It stays where it opened when the dialog moves on.
        const QPoint opened = keypad->pos();
        m_dlg->move(200, 200);
        QCoreApplication::processEvents();
        QCOMPARE(keypad->pos(), opened);
    }

    void typesDigitsPointAndBackspace()
    {
        Amount()->clear();
        m_dlg->OnKeypadButton();
        CAmountKeypadDlg *keypad = m_dlg->Keypad();
        Press(keypad, {1099, 1108, 1103, 1105, 1106, 1107, 1102, 1104, 1100, 1101, 1098});
        QCOMPARE(Amount()->text(), QStringLiteral("1.578946230"));
        // Codes outside the keypad's are ignored.
        m_dlg->OnKeypadKey(10);
        m_dlg->OnKeypadKey(-1);
        QCoreApplication::processEvents();
        QCOMPARE(Amount()->text(), QStringLiteral("1.578946230"));

        // Backspace deletes before the caret.
        Amount()->setText(QStringLiteral("1234"));
        Amount()->setCursorPosition(2);
        Press(keypad, {1013});
        QCOMPARE(Amount()->text(), QStringLiteral("134"));
        Press(keypad, {1013, 1013, 1108});
        QCOMPARE(Amount()->text(), QStringLiteral(".34"));
        // Over the selected text, like the keyboard (the 0 shown at start).
        Amount()->setText(QStringLiteral("0"));
        Amount()->selectAll();
        Press(keypad, {1106});
        QCOMPARE(Amount()->text(), QStringLiteral("8"));

        // Stored as typed; the keypad stays open for the next entry.
        Amount()->clear();
        Press(keypad, {1100, 1105, 1108, 1103, 1098}); // 27.50
        QTest::mouseClick(m_dlg->OkButton(), Qt::LeftButton);
        QVERIFY(m_prompter->shown.isEmpty());
        QCOMPARE(m_book->rows(QStringLiteral("PAYOUT")).value(0).value(3), QStringLiteral("27.5"));
        QVERIFY(m_dlg->Keypad() && m_dlg->Keypad()->isVisible());
    }

    void keyboardStaysWithAmount()
    {
        m_dlg->RemarkEdit()->setFocus();
        m_dlg->OnKeypadButton();
        CAmountKeypadDlg *keypad = m_dlg->Keypad();
        QTRY_COMPARE(QApplication::activeWindow(), m_dlg.get());
        QVERIFY(Amount()->hasFocus());
        // Even after the keypad became the active window, a press brings the
        // keyboard back, so that typing goes on where the keypad left off.
        keypad->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), keypad);
        m_dlg->RemarkEdit()->setFocus();
        Amount()->clear();
        Press(keypad, {1104});
        QTRY_COMPARE(QApplication::activeWindow(), m_dlg.get());
        QTest::keyClicks(Amount(), QStringLiteral("7"));
        QCOMPARE(Amount()->text(), QStringLiteral("67"));
    }

    void buttonTogglesAndEscapeOnlyHides()
    {
        QToolButton *button = m_dlg->KeypadButton();
        QTest::mouseClick(button, Qt::LeftButton);
        QPointer<CAmountKeypadDlg> keypad = m_dlg->Keypad();
        QVERIFY(keypad);
        QCOMPARE(button->toolTip(), QStringLiteral("关闭小键盘"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!keypad); // closed and freed
        QCOMPARE(button->toolTip(), QStringLiteral("打开小键盘"));

        // Esc hides it, yet it is still counted open: the next press closes it,
        // the one after that opens a new one.
        QTest::mouseClick(button, Qt::LeftButton);
        keypad = m_dlg->Keypad();
        keypad->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), keypad.data());
        QTest::keyClick(keypad, Qt::Key_Escape);
        QVERIFY(keypad && !keypad->isVisible());
        QVERIFY(m_dlg->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!keypad);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(m_dlg->Keypad() && m_dlg->Keypad()->isVisible());
    }

    void dragByBackground()
    {
        m_dlg->OnKeypadButton();
        CAmountKeypadDlg *keypad = m_dlg->Keypad();
        const QPoint start = keypad->pos();
        // The gap between the first two buttons of the top row.
        const QPoint gap((keypad->Button(1105)->geometry().right() + keypad->Button(1106)->x()) / 2,
                         keypad->Button(1105)->geometry().center().y());
        QVERIFY(!keypad->childAt(gap));
        SendMouse(keypad, QEvent::MouseButtonPress, gap, Qt::LeftButton, Qt::LeftButton);
        SendMouse(keypad, QEvent::MouseMove, gap + QPoint(30, 25), Qt::NoButton, Qt::LeftButton);
        SendMouse(keypad, QEvent::MouseButtonRelease, gap + QPoint(30, 25), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(keypad->pos(), start + QPoint(30, 25));
        // Moving without the button does not drag, nor does a button's own click.
        SendMouse(keypad, QEvent::MouseMove, gap + QPoint(90, 90), Qt::NoButton, Qt::NoButton);
        Amount()->clear();
        Press(keypad, {1107});
        QCOMPARE(keypad->pos(), start + QPoint(30, 25));
        QCOMPARE(Amount()->text(), QStringLiteral("9"));
    }
};

QTEST_MAIN(TstKeypad)
#include "tst_keypad.moc"
