// The add and modify dialogs on a real book: what they store, what they
// refuse, the amount field's keys, the mouse wheel, and the amount keypad
// beside them.
#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "records/CAddRecordDlg.h"
#include "records/CAmountKeypadDlg.h"
#include "records/CModifyRecordDlg.h"
#include "support/ScriptedPrompter.h"
#include "records/EntryStore.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

using orv::RecordKind;

namespace {

// One wheel event over a widget of the dialog.
void Wheel(QWidget *over, int delta)
{
    const QPointF at(over->width() / 2.0, over->height() / 2.0);
    QWheelEvent event(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &event);
}

QString LabelOf(QWidget *field)
{
    for (QLabel *label : field->window()->findChildren<QLabel *>())
        if (label->buddy() == field)
            return label->text();
    return {};
}

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

class TstEntryDialogs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;

    // An add dialog on screen with the keyboard in it.
    std::unique_ptr<CAddRecordDlg> Add(RecordKind kind)
    {
        auto dlg = std::make_unique<CAddRecordDlg>(kind);
        dlg->show();
        if (!QTest::qWaitForWindowActive(dlg.get()))
            qWarning("add dialog not active");
        return dlg;
    }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>();
        m_prompter = std::make_unique<ScriptedPrompter>();
        g_strCurUser = QStringLiteral("爸爸");
    }

    void cleanup()
    {
        m_prompter.reset();
        m_book.reset();
    }

    void eachKindOffersItsOwnCategories()
    {
        QStringList seen;
        for (RecordKind kind : {RecordKind::Income, RecordKind::Payout, RecordKind::Loan}) {
            auto dlg = Add(kind);
            seen.append(dlg->windowTitle() + u' ' + dlg->ItemsBox()->currentText());
            // Every field is named by its label.
            QCOMPARE((QStringList{LabelOf(dlg->DatePicker()), LabelOf(dlg->ItemsBox()), LabelOf(dlg->AmountEdit()),
                                  LabelOf(dlg->RemarkEdit())}),
                     (QStringList{"日期：", "名目：", "金额：", "备注："}));
        }
        QCOMPARE(seen, (QStringList{"添加收入记录 工资", "添加支出记录 餐饮", "添加借贷记录 借出"}));
    }

    void addTwiceInARow()
    {
        auto dlg = Add(RecordKind::Payout);
        // Ready to type: today, the amount 0 selected.
        QCOMPARE(dlg->DatePicker()->date(), QDate::currentDate());
        QCOMPARE(dlg->AmountEdit()->selectedText(), QStringLiteral("0"));
        QVERIFY(dlg->AmountEdit()->hasFocus());
        dlg->DatePicker()->setDate(QDate(2023, 11, 5));
        dlg->ItemsBox()->setCurrentIndex(2); // 交通
        QTest::keyClicks(dlg->AmountEdit(), QStringLiteral("30"));
        dlg->RemarkEdit()->setText(QStringLiteral("地铁"));
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        QVERIFY(m_prompter->shown.isEmpty());

        // Ready for the next: date and category kept, amount and remark empty.
        QVERIFY(dlg->isVisible());
        QCOMPARE(dlg->DatePicker()->date(), QDate(2023, 11, 5));
        QCOMPARE(dlg->ItemsBox()->currentText(), QStringLiteral("交通"));
        QCOMPARE(dlg->AmountEdit()->text(), QString());
        QCOMPARE(dlg->RemarkEdit()->text(), QString());
        QVERIFY(dlg->AmountEdit()->hasFocus());
        QTest::keyClicks(dlg->AmountEdit(), QStringLiteral("8.5"));
        QTest::keyClick(dlg->AmountEdit(), Qt::Key_Return); // the default button
        QCOMPARE(m_book->rows(QStringLiteral("PAYOUT")),
                 (QList<QStringList>{{"1", "2023-11-05", "交通", "30.00", "地铁", "爸爸"}, {"2", "2023-11-05", "交通", "8.50", "", "爸爸"}}));
    }

    void addRefusals_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("remark");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        const QString longText(128, QChar(u'长'));
        QTest::newRow("empty") << "" << "餐饮" << "" << "金额一项不能为空!" << "1019";
        QTest::newRow("zero") << "0" << "餐饮" << "" << "金额必须大于零!" << "1019";
        QTest::newRow("two points") << "1.2.5" << "餐饮" << "" << "金额必须是一个数字!" << "1019";
        QTest::newRow("long category") << "5" << longText << "" << "名目太长了，最多只能有255个字节（约127个汉字）!" << "1018";
        QTest::newRow("long remark") << "5" << "餐饮" << longText << "备注太长了，最多只能有255个字节（约127个汉字）!" << "1020";
    }

    void addRefusals()
    {
        QFETCH(QString, amount);
        QFETCH(QString, items);
        QFETCH(QString, remark);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        auto dlg = Add(RecordKind::Payout);
        dlg->AmountEdit()->setText(amount);
        dlg->ItemsBox()->setEditText(items);
        dlg->RemarkEdit()->setText(remark);
        dlg->OnAdd();
        // One clear message, nothing stored, the field at fault ready to mend.
        QCOMPARE(m_prompter->texts(), QStringList{message});
        QCOMPARE(m_prompter->shown[0].caption, QStringLiteral("注意"));
        QCOMPARE(m_book->count(QStringLiteral("PAYOUT")), 0);
        QVERIFY(dlg->isVisible());
        QCOMPARE(dlg->AmountEdit()->text(), amount);
        QWidget *focus = QApplication::focusWidget();
        QCOMPARE(focus->objectName().isEmpty() ? focus->parentWidget()->objectName() : focus->objectName(), focused);
    }

    void typedCategoryAndQuotesStoreExactly()
    {
        auto dlg = Add(RecordKind::Income);
        const QString typed = QStringLiteral("Tom's \"gift\"");
        const QString remark = QStringLiteral("it's 100% ok'); DROP TABLE INCOME; --");
        dlg->AmountEdit()->setText(QStringLiteral("66"));
        dlg->RemarkEdit()->setText(remark);
        // Typed into the box and confirmed with Enter there: the default button adds.
        dlg->ItemsBox()->setEditText(QString());
        QTest::keyClicks(dlg->ItemsBox()->lineEdit(), typed);
        QTest::keyClick(dlg->ItemsBox()->lineEdit(), Qt::Key_Return);
        // An empty category box stores an empty category.
        dlg->ItemsBox()->setEditText(QString());
        dlg->AmountEdit()->setText(QStringLiteral("1"));
        dlg->OnAdd();
        QVERIFY(m_prompter->shown.isEmpty());
        const QList<QStringList> rows = m_book->rows(QStringLiteral("INCOME"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].mid(2, 3), (QStringList{typed, "66.00", remark}));
        QCOMPARE(rows[1][2], QString());
        // The typed category is not added to the category table or the box.
        QCOMPARE(m_book->count(QStringLiteral("INCOME_ITEMS")), 7);
        QCOMPARE(dlg->ItemsBox()->count(), 7);
    }

    void amountKeepsOnlyDigitsAndPoints()
    {
        auto dlg = Add(RecordKind::Income);
        QLineEdit *amount = dlg->AmountEdit();
        amount->clear();
        QTest::keyClicks(amount, QStringLiteral("1a-2 x.5e"));
        QCOMPARE(amount->text(), QStringLiteral("12.5"));
        QTest::keyClick(amount, Qt::Key_Backspace);
        QTest::keyClick(amount, Qt::Key_Home);
        QTest::keyClick(amount, Qt::Key_Delete);
        QCOMPARE(amount->text(), QStringLiteral("2."));
        // Other fields take any text.
        QTest::keyClicks(dlg->RemarkEdit(), QStringLiteral("a-b"));
        QCOMPARE(dlg->RemarkEdit()->text(), QStringLiteral("a-b"));
    }

    void wheelStepsTheDateAnywhere()
    {
        auto dlg = Add(RecordKind::Income);
        dlg->DatePicker()->setDate(QDate(2024, 3, 30));
        dlg->DatePicker()->setCurrentSection(QDateTimeEdit::DaySection);
        dlg->RemarkEdit()->setFocus();
        dlg->AmountEdit()->clear();
        const QString category = dlg->ItemsBox()->currentText();
        // Over the remark: the day steps; the empty amount shows 0 but does
        // not step (it has not the keyboard).
        Wheel(dlg->RemarkEdit(), 120);
        QCOMPARE(dlg->DatePicker()->date(), QDate(2024, 3, 31));
        QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("0"));
        // Over the category box: the box keeps its category.
        Wheel(dlg->ItemsBox(), -240);
        QCOMPARE(dlg->DatePicker()->date(), QDate(2024, 3, 29));
        QCOMPARE(dlg->ItemsBox()->currentText(), category);
        // A touchpad's small steps add up to notches; sideways scrolling does nothing.
        for (int i = 0; i < 3; ++i)
            Wheel(dlg.get(), 40);
        Wheel(dlg.get(), 0);
        QCOMPARE(dlg->DatePicker()->date(), QDate(2024, 3, 30));
        // The day wraps within its month, as the picker's arrows do.
        Wheel(dlg->DatePicker(), 240);
        QCOMPARE(dlg->DatePicker()->date(), QDate(2024, 3, 1));
    }

    void wheelOverAmount()
    {
        auto dlg = Add(RecordKind::Income);
        QLineEdit *amount = dlg->AmountEdit();
        QCOMPARE(amount->text(), QStringLiteral("0"));
        Wheel(amount, -120);
        QCOMPARE(amount->text(), QStringLiteral("0")); // never below 0 from 0
        Wheel(amount, 120);
        Wheel(dlg->RemarkEdit(), 120); // wherever the mouse is
        QCOMPARE(amount->text(), QStringLiteral("2"));
        amount->setText(QStringLiteral("0.5"));
        Wheel(amount, -120);
        QCOMPARE(amount->text(), QStringLiteral("-0.5"));
        Wheel(amount, -120);
        QCOMPARE(amount->text(), QStringLiteral("-0.5")); // nor further from below 0
        amount->clear();
        Wheel(amount, 120);
        QCOMPARE(amount->text(), QStringLiteral("1")); // empty counts as 0
        // -0.5 from the wheel is refused by the check.
        amount->setText(QStringLiteral("-0.5"));
        dlg->OnAdd();
        QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("金额必须大于零!")});
    }

    void modifyKeepsACategoryTheBoxNoLongerOffers()
    {
        // Letter case counts: the entry's "bus" is not the box's "Bus".
        m_book->exec(QStringLiteral("INSERT INTO \"PAYOUT_ITEMS\" (\"items\") VALUES ('Bus')"));
        CModifyRecordDlg dlg(RecordKind::Payout);
        dlg.m_strItems = QStringLiteral("bus");
        dlg.show();
        QCOMPARE(dlg.ItemsBox()->currentIndex(), -1);
        QCOMPARE(dlg.ItemsBox()->currentText(), QStringLiteral("bus"));
    }

    void modifyRefusesWithoutTouchingTheBook()
    {
        const qint32 id = m_book->add(RecordKind::Loan, QDate(2022, 1, 1), QStringLiteral("借出"), 300.0);
        CModifyRecordDlg dlg(RecordKind::Loan);
        dlg.m_nId = id;
        dlg.m_tDate = QDate(2022, 1, 1);
        dlg.m_dMoney = 300.0;
        dlg.show();
        // Not a number: refused outright (the old amount is not stored with a new date).
        dlg.DatePicker()->setDate(QDate(2023, 5, 5));
        for (const char *typed : {"3..5", "", "0"}) {
            dlg.AmountEdit()->setText(QString::fromLatin1(typed));
            dlg.OnModify();
        }
        QCOMPARE(m_prompter->texts(), (QStringList{"金额必须是一个数字!", "金额一项不能为空!", "金额必须大于零!"}));
        QVERIFY(dlg.isVisible());
        QCOMPARE(m_book->rows(QStringLiteral("ON_LOAD"))[0].mid(1, 3), (QStringList{"2022-01-01", "借出", "300.00"}));

        // The entry went away meanwhile: said so, nothing claimed as done,
        // and the dialog closes on an entry that is no more.
        m_book->exec(QStringLiteral("DELETE FROM \"ON_LOAD\""));
        m_prompter->clear();
        dlg.AmountEdit()->setText(QStringLiteral("5"));
        dlg.OnModify();
        QCOMPARE(m_prompter->texts(), QStringList{orv::EntryStore::changedElsewhereMessage()});
        QVERIFY(!dlg.isVisible());
        QCOMPARE(m_book->count(QStringLiteral("ON_LOAD")), 0);
    }

    void exitAndEscapeEndWithZeroAndCloseTheKeypad()
    {
        CModifyRecordDlg modify(RecordKind::Income);
        modify.show();
        modify.OnKeypadButton();
        QVERIFY(modify.Keypad());
        QTest::mouseClick(modify.ExitButton(), Qt::LeftButton);
        QCOMPARE(modify.result(), 0);
        QVERIFY(!modify.isVisible() && !modify.Keypad());

        auto add = Add(RecordKind::Income);
        add->OnKeypadButton();
        QTest::keyClick(add->AmountEdit(), Qt::Key_Escape);
        QCOMPARE(add->result(), 0);
        QVERIFY(!add->isVisible() && !add->Keypad());
        QCOMPARE(m_book->count(QStringLiteral("INCOME")), 0);
    }

    // -- the amount keypad ------------------------------------------------

    void opensBesideTheDialog()
    {
        auto dlg = Add(RecordKind::Payout);
        // Where the dialog was moved to is where the keypad opens beside it.
        dlg->move(80, 70);
        QCoreApplication::processEvents();
        dlg->OnKeypadButton();
        CAmountKeypadDlg *keypad = dlg->Keypad();
        QVERIFY(keypad && keypad->isVisible());
        QCOMPARE(keypad->y(), dlg->mapToGlobal(QPoint(0, 0)).y() + 50);
        QVERIFY(keypad->x() > dlg->frameGeometry().right());

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
        dlg->move(200, 200);
        QCoreApplication::processEvents();
        QCOMPARE(keypad->pos(), opened);
    }

    void typesDigitsPointAndBackspace()
    {
        auto dlg = Add(RecordKind::Payout);
        dlg->AmountEdit()->clear();
        dlg->OnKeypadButton();
        CAmountKeypadDlg *keypad = dlg->Keypad();
        Press(keypad, {1099, 1108, 1103, 1105, 1106, 1107, 1102, 1104, 1100, 1101, 1098});
        QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("1.578946230"));
        // Codes outside the keypad's are ignored.
        dlg->OnKeypadKey(10);
        dlg->OnKeypadKey(-1);
        QCoreApplication::processEvents();
        QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("1.578946230"));

        // Backspace deletes before the caret.
        dlg->AmountEdit()->setText(QStringLiteral("1234"));
        dlg->AmountEdit()->setCursorPosition(2);
        Press(keypad, {1013});
        QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("134"));
        Press(keypad, {1013, 1013, 1108});
        QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral(".34"));
        // Over the selected text, like the keyboard (the 0 shown at start).
        dlg->AmountEdit()->setText(QStringLiteral("0"));
        dlg->AmountEdit()->selectAll();
        Press(keypad, {1106});
        QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("8"));

        // Stored as typed; the keypad stays open for the next entry.
        dlg->AmountEdit()->clear();
        Press(keypad, {1100, 1105, 1108, 1103, 1098}); // 27.50
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        QVERIFY(m_prompter->shown.isEmpty());
        QCOMPARE(m_book->rows(QStringLiteral("PAYOUT")).value(0).value(3), QStringLiteral("27.50"));
        QVERIFY(dlg->Keypad() && dlg->Keypad()->isVisible());
    }

    void keyboardStaysWithAmount()
    {
        auto dlg = Add(RecordKind::Payout);
        dlg->RemarkEdit()->setFocus();
        dlg->OnKeypadButton();
        CAmountKeypadDlg *keypad = dlg->Keypad();
        QTRY_COMPARE(QApplication::activeWindow(), dlg.get());
        QVERIFY(dlg->AmountEdit()->hasFocus());
        // The keypad never takes the keyboard, not even when asked to; a
        // press brings it back to the amount, so typing goes on there.
        keypad->activateWindow();
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), dlg.get());
        dlg->RemarkEdit()->setFocus();
        dlg->AmountEdit()->clear();
        Press(keypad, {1104});
        QTRY_COMPARE(QApplication::activeWindow(), dlg.get());
        QTest::keyClicks(dlg->AmountEdit(), QStringLiteral("7"));
        QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("67"));
    }

    void buttonTogglesAndEscapeOnlyHides()
    {
        auto dlg = Add(RecordKind::Payout);
        QToolButton *button = dlg->KeypadButton();
        QTest::mouseClick(button, Qt::LeftButton);
        QPointer<CAmountKeypadDlg> keypad = dlg->Keypad();
        QVERIFY(keypad);
        QCOMPARE(button->toolTip(), QStringLiteral("关闭小键盘"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!keypad); // closed and freed
        QCOMPARE(button->toolTip(), QStringLiteral("打开小键盘"));

        // Esc hides it, yet it is still counted open: the next press closes it,
        // the one after that opens a new one.
        QTest::mouseClick(button, Qt::LeftButton);
        keypad = dlg->Keypad();
        QTest::keyClick(keypad, Qt::Key_Escape);
        QVERIFY(keypad && !keypad->isVisible());
        QVERIFY(dlg->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!keypad);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(dlg->Keypad() && dlg->Keypad()->isVisible());
    }

    void dragByBackground()
    {
        auto dlg = Add(RecordKind::Payout);
        dlg->OnKeypadButton();
        CAmountKeypadDlg *keypad = dlg->Keypad();
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
        dlg->AmountEdit()->clear();
        Press(keypad, {1107});
        QCOMPARE(keypad->pos(), start + QPoint(30, 25));
        QCOMPARE(dlg->AmountEdit()->text(), QStringLiteral("9"));
    }
};

ORV_WIDGET_TEST_MAIN(TstEntryDialogs)
#include "tst_entrydialogs.moc"
