// The query dialog as the user meets it: what it starts with, the boxes it
// fills, and the rules of its amount boxes and of the mouse wheel.
#include "support/WidgetTestMain.h"
#include "query/CAmountEdit.h"
#include "query/CQueryDlg.h"
#include "records/CRecordListCtrl.h"
#include "store/BookSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>

namespace {

const QString kAll = QStringLiteral("选择全部");

QStringList Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

// A wheel turn with the pointer over a widget.
void Wheel(QWidget *target, int delta)
{
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// Typing, as a keyboard or an input method delivers each character.
void Type(QWidget *widget, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class TestQueryDialog final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<CQueryDlg> m_dlg;

    // The dialog on screen and active, with the focus in one widget.
    void Focus(QWidget *widget, Qt::FocusReason reason = Qt::TabFocusReason)
    {
        if (!m_dlg->isVisible()) {
            m_dlg->show();
            m_dlg->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
        }
        widget->setFocus(reason);
        QTRY_VERIFY(widget->hasFocus());
    }
    QRadioButton *Radio(const char *id) const { return m_dlg->findChild<QRadioButton *>(id); }

private Q_SLOTS:
    void initTestCase()
    {
        m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{
            {QStringLiteral("爸爸"), QStringLiteral("1")}, {QStringLiteral("妈妈"), QStringLiteral("2")}});
        m_prompter = std::make_unique<ScriptedPrompter>();
        SetPrompter(m_prompter.get());
    }
    void init()
    {
        m_prompter->clear();
        m_dlg = std::make_unique<CQueryDlg>();
    }
    void cleanup()
    {
        m_dlg.reset();
        QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->texts().join(u'|')));
    }

    void startingValuesAndRangeClicks()
    {
        const QDate today = QDate::currentDate();
        QCOMPARE(m_dlg->DateFromPicker()->date(), QDate(today.year(), today.month(), 1));
        QCOMPARE(m_dlg->DateToPicker()->date(), today);
        QCOMPARE((QStringList{m_dlg->MoneyFromEdit()->text(), m_dlg->MoneyToEdit()->text(),
                              m_dlg->CategoryBox()->currentText(), m_dlg->RemarkBox()->currentText()}),
                 (QStringList{"0", "无限", kAll, kAll}));
        QCOMPARE(Items(m_dlg->UserBox()), (QStringList{kAll, "爸爸", "妈妈"}));
        QCOMPARE(m_dlg->Criteria().upperAmount().value(), 99999999.0);

        // Each range click fills the category box anew from the book and selects "选择全部".
        const QStringList income = QStringList{kAll} + orv::BookSchema::defaultCategories(orv::RecordKind::Income);
        m_dlg->show();
        for (int click = 0; click < 2; ++click) { // the second click fills it anew, not twice
            m_dlg->CategoryBox()->setCurrentIndex(3);
            QTest::mouseClick(Radio("1035"), Qt::LeftButton);
            QCOMPARE(Items(m_dlg->CategoryBox()), income);
            QCOMPARE(m_dlg->CategoryBox()->currentIndex(), 0);
        }
        QTest::mouseClick(Radio("1037"), Qt::LeftButton);
        QCOMPARE(Items(m_dlg->CategoryBox()),
                 QStringList{kAll} + orv::BookSchema::defaultCategories(orv::RecordKind::Loan));
        QCOMPARE(m_dlg->Criteria().range, orv::QueryRange::Loan);
        QTest::mouseClick(Radio("1034"), Qt::LeftButton);
        QCOMPARE(Items(m_dlg->CategoryBox()), QStringList{kAll});
    }

    void comboBoxesKeepTypedTextAndEnterQueries()
    {
        Focus(m_dlg->RemarkBox());
        m_dlg->RemarkBox()->lineEdit()->selectAll();
        Type(m_dlg->RemarkBox(), QStringLiteral("选"));
        // No completion to "选择全部", and nothing typed joins the list.
        QCOMPARE(m_dlg->RemarkBox()->currentText(), QStringLiteral("选"));
        QTest::keyClick(m_dlg->RemarkBox(), Qt::Key_Return);
        QCOMPARE(Items(m_dlg->RemarkBox()), QStringList{kAll});
        // Enter runs the query (the book is empty: the three rows of an empty
        // result) and the dialog stays for the next one.
        QCOMPARE(RecordList().m_nQueryKind, 0);
        QCOMPARE(RecordList().GetItemCount(), 3);
        QCOMPARE(RecordList().GetItemText(0, 4), QStringLiteral("选"));
        QVERIFY(m_dlg->isVisible());
    }

    void amountBoxesTakeDigitsOnly_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letters") << "" << "1a2b" << "12";
        QTest::newRow("decimal point") << "" << "12.5" << "125";
        QTest::newRow("signs and space") << "" << "-3+ 4" << "34";
        QTest::newRow("chinese") << "" << "五3" << "3";
        QTest::newRow("a lone 0 gives way to a digit") << "0" << "50" << "50";
        QTest::newRow("but not to another 0") << "0" << "0" << "0";
    }
    void amountBoxesTakeDigitsOnly()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        for (CAmountEdit *edit : {m_dlg->MoneyFromEdit(), m_dlg->MoneyToEdit()}) {
            Focus(edit);
            edit->setText(before);
            edit->end(false);
            Type(edit, typed);
            QCOMPARE(edit->text(), shown);
            QTest::keyClick(edit, Qt::Key_Backspace);
            QCOMPARE(edit->text(), shown.chopped(1));
        }
    }

    void amountBoxPaste()
    {
        CAmountEdit *edit = m_dlg->MoneyFromEdit();
        Focus(edit);
        // Paste keys are refused; other ways in (the context menu, a drop) keep to digits.
        edit->setText(QStringLiteral("12"));
        edit->end(false);
        QApplication::clipboard()->setText(QStringLiteral("3"));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QApplication::clipboard()->setText(QStringLiteral("1.5"));
        edit->paste();
        edit->insert(QStringLiteral("-"));
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QApplication::clipboard()->setText(QStringLiteral("34"));
        edit->paste();
        QCOMPARE(edit->text(), QStringLiteral("1234"));
    }

    void amountBoxFocusRules()
    {
        CAmountEdit *from = m_dlg->MoneyFromEdit();
        CAmountEdit *to = m_dlg->MoneyToEdit();
        from->setText(QStringLiteral("25"));
        Focus(from);
        // Entering by keyboard: the caret at the start, nothing selected.
        QCOMPARE(from->cursorPosition(), 0);
        QVERIFY(!from->hasSelectedText());
        from->clear();
        // Entering the to-box empties "无限"; leaving the from-box empty puts 0 back.
        Focus(to);
        QCOMPARE(from->text(), QStringLiteral("0"));
        QCOMPARE(m_dlg->m_strMoneyFrom, QStringLiteral("0"));
        QCOMPARE(to->text(), QString());
        QTest::keyClicks(to, QStringLiteral("500"));
        Focus(from);
        QCOMPARE(to->text(), QStringLiteral("500"));
        QCOMPARE(m_dlg->Criteria().upperAmount().value(), 500.0);

        Focus(to, Qt::BacktabFocusReason);
        QCOMPARE(to->text(), QStringLiteral("500"));
        QCOMPARE(to->cursorPosition(), 0);
        to->clear();
        Focus(m_dlg->RemarkBox());
        QCOMPARE(to->text(), QStringLiteral("无限"));
        QCOMPARE(m_dlg->m_strMoneyTo, QStringLiteral("无限"));
        Focus(to, Qt::MouseFocusReason); // a click empties "无限" too
        QCOMPARE(to->text(), QString());
    }

    void wheelStepsAmountBoxWithFocus_data()
    {
        QTest::addColumn<bool>("toBox");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("after");
        QTest::newRow("from: backward stops at 0") << false << "0" << -120 << "0";
        QTest::newRow("from: empty counts as 0") << false << "" << 120 << "1";
        QTest::newRow("to: 无限 forward becomes 1") << true << "无限" << 120 << "1";
        QTest::newRow("to: 无限 backward stays") << true << "无限" << -120 << "无限";
        QTest::newRow("to: backward stops at 1") << true << "1" << -120 << "1";
        QTest::newRow("to: a small turn still steps") << true << "7" << 15 << "8";
    }
    void wheelStepsAmountBoxWithFocus()
    {
        QFETCH(bool, toBox);
        QFETCH(QString, before);
        QFETCH(int, delta);
        QFETCH(QString, after);
        CAmountEdit *edit = toBox ? m_dlg->MoneyToEdit() : m_dlg->MoneyFromEdit();
        Focus(edit);
        edit->setText(before); // after entering, which empties "无限"
        Wheel(edit, delta);
        QCOMPARE(edit->text(), after);
    }

    void wheelElsewhereStepsBothPickers()
    {
        // Over any control: both pickers step, an amount box without the focus does not.
        Focus(m_dlg->UserBox());
        const QDate from = m_dlg->DateFromPicker()->date();
        const QDate to = m_dlg->DateToPicker()->date();
        Wheel(Radio("1099"), 120);
        QVERIFY(m_dlg->DateFromPicker()->date() > from);
        QVERIFY(m_dlg->DateToPicker()->date() > to);
        Wheel(m_dlg->MoneyFromEdit(), -120);
        QCOMPARE(m_dlg->DateFromPicker()->date(), from);
        QCOMPARE(m_dlg->DateToPicker()->date(), to);
        QCOMPARE(m_dlg->MoneyFromEdit()->text(), QStringLiteral("0"));

        // Over a picker too: both pickers, not only the one under the pointer.
        Wheel(m_dlg->DateFromPicker(), -120);
        QVERIFY(m_dlg->DateFromPicker()->date() < from);
        QVERIFY(m_dlg->DateToPicker()->date() < to);
    }
};

ORV_WIDGET_TEST_MAIN(TestQueryDialog)
#include "tst_querydialog.moc"
