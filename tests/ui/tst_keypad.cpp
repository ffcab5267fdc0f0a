// The amount keypad beside an entry dialog: what its buttons type, where
// the keyboard goes, how it opens, closes, hides and moves.
#include "app/Globals.h"
#include "controls/Pictures.h"
#include "records/CAddRecordDlg.h"
#include "records/CAmountKeypadDlg.h"
#include "records/CModifyRecordDlg.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using orv::RecordKind;

namespace {

// Presses keypad buttons by their ids and lets the typed keys arrive.
void Press(CAmountKeypadDlg *keypad, std::initializer_list<int> ids)
{
    for (int id : ids) {
        QPushButton *button = keypad->Button(id);
        QVERIFY2(button, qPrintable(QString::number(id)));
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
}

void SendMouse(QWidget *to, QEvent::Type type, const QPoint &local, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(to->mapToGlobal(local)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

} // namespace

class TstKeypad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void layoutAndPlace();
    void typesDigitsAndPoint();
    void backspaceDeletesBeforeCaret();
    void keyboardStaysWithAmount();
    void buttonToggles();
    void escapeOnlyHides();
    void dragByBackground();
    void typedAmountIsStored();

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CAddRecordDlg> m_dlg;
};

void TstKeypad::init()
{
    m_book = std::make_unique<TestBook>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    g_strCurUser = QStringLiteral("爸爸");
    m_dlg = std::make_unique<CAddRecordDlg>(RecordKind::Payout);
    m_dlg->move(60, 40);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
}

void TstKeypad::cleanup()
{
    m_dlg.reset();
    m_prompter.reset();
    m_book.reset();
}

void TstKeypad::layoutAndPlace()
{
    // Moving the dialog is recorded for the next opening.
    m_dlg->move(80, 70);
    QCoreApplication::processEvents();
    QCOMPARE(m_dlg->m_nPosX, m_dlg->mapToGlobal(QPoint(0, 0)).x());
    m_dlg->OnKeypadButton();
    QCOMPARE(QPoint(m_dlg->m_nPosX, m_dlg->m_nPosY), m_dlg->mapToGlobal(QPoint(0, 0)));
    CAmountKeypadDlg *keypad = m_dlg->Keypad();
    QVERIFY(keypad);
    QVERIFY(keypad->isVisible());
    QCOMPARE(keypad->objectName(), QStringLiteral("164"));
    QVERIFY(keypad->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(keypad->width() >= 128 && keypad->height() >= 136);
    // Beside the dialog, never over it, 50 pixels below its top.
    QCOMPARE(keypad->y(), m_dlg->m_nPosY + 50);
    QVERIFY(keypad->x() >= m_dlg->m_nPosX + 308);
    QVERIFY(keypad->x() > m_dlg->frameGeometry().right());

    // Twelve buttons in three columns and four rows, 7 8 9 on top, 0 . ← below.
    const int rows[4][3] = {{1105, 1106, 1107}, {1102, 1103, 1104}, {1099, 1100, 1101}, {1098, 1108, 1013}};
    const QString texts[4][3] = {{"7", "8", "9"}, {"4", "5", "6"}, {"1", "2", "3"}, {"0", ".", "←"}};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            QPushButton *b = keypad->Button(rows[r][c]);
            QVERIFY(b);
            QCOMPARE(b->text(), texts[r][c]);
            QVERIFY(keypad->rect().contains(b->geometry()));
            if (c > 0)
                QVERIFY(b->x() > keypad->Button(rows[r][c - 1])->geometry().right());
            if (r > 0)
                QVERIFY(b->y() > keypad->Button(rows[r - 1][c])->geometry().bottom());
        }
    }
    QCOMPARE(keypad->findChildren<QPushButton *>().size(), 12);
    // It stays where it opened when the dialog moves on.
    const QPoint opened = keypad->pos();
    m_dlg->move(200, 200);
    QCoreApplication::processEvents();
    QCOMPARE(keypad->pos(), opened);
}

void TstKeypad::typesDigitsAndPoint()
{
    m_dlg->AmountEdit()->clear();
    m_dlg->OnKeypadButton();
    Press(m_dlg->Keypad(), {1099, 1108, 1103}); // 1 . 5
    QCOMPARE(m_dlg->AmountEdit()->text(), QStringLiteral("1.5"));
    Press(m_dlg->Keypad(), {1105, 1106, 1107, 1102, 1104, 1100, 1101, 1098});
    QCOMPARE(m_dlg->AmountEdit()->text(), QStringLiteral("1.578946230"));
    // Codes outside the keypad's are ignored.
    m_dlg->OnKeypadKey(10);
    m_dlg->OnKeypadKey(-1);
    QCoreApplication::processEvents();
    QCOMPARE(m_dlg->AmountEdit()->text(), QStringLiteral("1.578946230"));
    // The keypad types over the selected text like the keyboard (the 0 shown at start).
    m_dlg->AmountEdit()->setText(QStringLiteral("0"));
    m_dlg->AmountEdit()->selectAll();
    Press(m_dlg->Keypad(), {1106});
    QCOMPARE(m_dlg->AmountEdit()->text(), QStringLiteral("8"));
}

void TstKeypad::backspaceDeletesBeforeCaret()
{
    QLineEdit *amount = m_dlg->AmountEdit();
    amount->setText(QStringLiteral("1234"));
    amount->setCursorPosition(2);
    m_dlg->OnKeypadButton();
    Press(m_dlg->Keypad(), {1013});
    QCOMPARE(amount->text(), QStringLiteral("134"));
    QCOMPARE(amount->cursorPosition(), 1);
    Press(m_dlg->Keypad(), {1013, 1013});
    QCOMPARE(amount->text(), QStringLiteral("34"));
    Press(m_dlg->Keypad(), {1108});
    QCOMPARE(amount->text(), QStringLiteral(".34"));
}

void TstKeypad::keyboardStaysWithAmount()
{
    m_dlg->RemarkEdit()->setFocus();
    m_dlg->OnKeypadButton();
    CAmountKeypadDlg *keypad = m_dlg->Keypad();
    // Opening the keypad leaves the keyboard with the dialog's amount field.
    QTRY_COMPARE(QApplication::activeWindow(), m_dlg.get());
    QVERIFY(m_dlg->AmountEdit()->hasFocus());
    // Even after the keypad became the active window, a press brings the
    // keyboard back.
    keypad->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), keypad);
    m_dlg->RemarkEdit()->setFocus();
    m_dlg->AmountEdit()->clear();
    Press(keypad, {1104});
    QTRY_COMPARE(QApplication::activeWindow(), m_dlg.get());
    QVERIFY(m_dlg->AmountEdit()->hasFocus());
    QCOMPARE(m_dlg->AmountEdit()->text(), QStringLiteral("6"));
    // So the keyboard goes on where the keypad left off.
    QTest::keyClicks(m_dlg->AmountEdit(), QStringLiteral("7"));
    QCOMPARE(m_dlg->AmountEdit()->text(), QStringLiteral("67"));
    for (QPushButton *b : keypad->findChildren<QPushButton *>())
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
}

void TstKeypad::buttonToggles()
{
    QToolButton *button = m_dlg->KeypadButton();
    QCOMPARE(button->objectName(), QStringLiteral("1095"));
    // The button shows the picture of the keypad's state (or, without the
    // pictures, still a sign on it).
    auto shows = [button](const char *resource) {
        const QPixmap expected = Picture(QString::fromLatin1(resource), QSize(22, 20));
        if (expected.isNull())
            return button->icon().pixmap(QSize(22, 20)).isNull() && !button->text().isEmpty();
        return button->icon().pixmap(QSize(22, 20)).toImage() == expected.toImage();
    };
    QVERIFY(shows(":/res/pictures/keypad-closed.svg"));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(m_dlg->m_bKeypadShown);
    QPointer<CAmountKeypadDlg> first = m_dlg->Keypad();
    QVERIFY(first);
    QVERIFY(shows(":/res/pictures/keypad-open.svg"));
    QCOMPARE(button->toolTip(), QStringLiteral("关闭小键盘"));

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!m_dlg->m_bKeypadShown);
    QVERIFY(!first); // closed and freed
    QVERIFY(shows(":/res/pictures/keypad-closed.svg"));
    QVERIFY(m_dlg->AmountEdit()->hasFocus());
    QCOMPARE(button->toolTip(), QStringLiteral("打开小键盘"));

    // Each opening makes a new keypad.
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(m_dlg->Keypad());
    QVERIFY(m_dlg->Keypad()->isVisible());
}

void TstKeypad::escapeOnlyHides()
{
    m_dlg->OnKeypadButton();
    QPointer<CAmountKeypadDlg> keypad = m_dlg->Keypad();
    keypad->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), keypad.data());
    QTest::keyClick(keypad, Qt::Key_Escape);
    // Hidden, yet still counted open: the next press closes it, the one after
    // that opens a new one.
    QVERIFY(keypad);
    QVERIFY(!keypad->isVisible());
    QVERIFY(m_dlg->isVisible());
    QVERIFY(m_dlg->m_bKeypadShown);
    m_dlg->OnKeypadButton();
    QVERIFY(!keypad);
    QVERIFY(!m_dlg->m_bKeypadShown);
    m_dlg->OnKeypadButton();
    QVERIFY(m_dlg->Keypad());
    QVERIFY(m_dlg->Keypad()->isVisible());
}

void TstKeypad::dragByBackground()
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
    QCOMPARE(keypad->pos(), start + QPoint(30, 25));
    SendMouse(keypad, QEvent::MouseButtonRelease, gap + QPoint(30, 25), Qt::LeftButton, Qt::NoButton);
    // Moving without the button does not drag.
    SendMouse(keypad, QEvent::MouseMove, gap + QPoint(90, 90), Qt::NoButton, Qt::NoButton);
    QCOMPARE(keypad->pos(), start + QPoint(30, 25));
    // A button's own click types, it does not drag.
    m_dlg->AmountEdit()->clear();
    Press(keypad, {1107});
    QCOMPARE(keypad->pos(), start + QPoint(30, 25));
    QCOMPARE(m_dlg->AmountEdit()->text(), QStringLiteral("9"));
}

void TstKeypad::typedAmountIsStored()
{
    m_dlg->AmountEdit()->clear();
    m_dlg->OnKeypadButton();
    Press(m_dlg->Keypad(), {1100, 1105, 1108, 1103, 1098}); // 27.50
    QTest::mouseClick(m_dlg->OkButton(), Qt::LeftButton);
    QCOMPARE(m_prompter->shown.size(), 0);
    QCOMPARE(m_book->rows(QStringLiteral("PAYOUT")).value(0).value(3), QStringLiteral("27.5"));
    // The keypad stays open for the next entry.
    QVERIFY(m_dlg->Keypad());
    QVERIFY(m_dlg->Keypad()->isVisible());
    QCOMPARE(m_dlg->AmountEdit()->text(), QString());
}

QTEST_MAIN(TstKeypad)
#include "tst_keypad.moc"
