// The query dialog as the user meets it: its controls, the boxes it fills,
// and the rules of its amount boxes and of the mouse wheel.
#include "app/Globals.h"
#include "controls/DialogUnits.h"
#include "query/CAmountEdit.h"
#include "query/CQueryDlg.h"
#include "records/CRecordListCtrl.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>

namespace {

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
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(widget, QString(c));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

QLabel *LabelOf(const QWidget *dialog, const QWidget *field)
{
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        if (label->buddy() == field)
            return label;
    }
    return nullptr;
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
    void Focus(QWidget *widget, Qt::FocusReason reason = Qt::TabFocusReason);

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void controlsAndLabels();
    void startingValues();
    void rangeClicksRefillTheCategoryBox();
    void comboBoxesKeepTypedText();
    void amountBoxesTakeDigitsOnly_data();
    void amountBoxesTakeDigitsOnly();
    void amountBoxesRefusePasteOfOtherText();
    void loneZeroGivesWayToTypedDigit();
    void fromBoxFocusRules();
    void toBoxFocusRules();
    void wheelStepsAmountBoxWithFocus_data();
    void wheelStepsAmountBoxWithFocus();
    void wheelStepsBothPickers();
    void wheelOverAPickerStepsBoth();
};

void TestQueryDialog::initTestCase()
{
    m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{
        {QStringLiteral("爸爸"), QStringLiteral("1")}, {QStringLiteral("妈妈"), QStringLiteral("2")},
        {QStringLiteral("小明"), QStringLiteral("3")}});
    m_prompter = std::make_unique<ScriptedPrompter>();
    SetPrompter(m_prompter.get());
}

void TestQueryDialog::init()
{
    m_prompter->clear();
    m_dlg = std::make_unique<CQueryDlg>();
}

void TestQueryDialog::cleanup()
{
    m_dlg.reset();
    QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->texts().join(u'|')));
}

void TestQueryDialog::Focus(QWidget *widget, Qt::FocusReason reason)
{
    if (!m_dlg->isVisible()) {
        m_dlg->show();
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    }
    widget->setFocus(reason);
    QTRY_VERIFY(widget->hasFocus());
}

void TestQueryDialog::controlsAndLabels()
{
    QCOMPARE(m_dlg->objectName(), QStringLiteral("138"));
    QCOMPARE(m_dlg->windowTitle(), QStringLiteral("综合查询统计"));
    const CDialogUnits du(m_dlg->font());
    QCOMPARE(m_dlg->size(), du.Size(207, 211));

    const QStringList radios = {QStringLiteral("收支余"), QStringLiteral("收入"), QStringLiteral("支出"),
                                QStringLiteral("借贷"), QStringLiteral("精确查询"), QStringLiteral("模糊查询")};
    const QStringList radioIds = {"1034", "1035", "1036", "1037", "1098", "1099"};
    for (qsizetype i = 0; i < radios.size(); ++i) {
        auto *radio = m_dlg->findChild<QRadioButton *>(radioIds[i]);
        QVERIFY2(radio, qPrintable(radioIds[i]));
        QCOMPARE(radio->text(), radios[i]);
    }
    QStringList groups;
    for (QGroupBox *box : m_dlg->findChildren<QGroupBox *>())
        groups.append(box->title());
    QCOMPARE(groups, (QStringList{QStringLiteral("范围"), QStringLiteral("查询方式"), QStringLiteral("设置查询条件")}));

    // Every field is found by the words beside it.
    const struct
    {
        const char *id;
        const char16_t *label;
    } fields[] = {{"1038", u"日   期："}, {"1039", u"至"},       {"1051", u"金   额："}, {"1052", u"至"},
                  {"1082", u"名   目："}, {"1020", u"备   注："}, {"1086", u"记录人："}};
    for (const auto &field : fields) {
        auto *widget = m_dlg->findChild<QWidget *>(QString::fromLatin1(field.id));
        QVERIFY2(widget, field.id);
        QLabel *label = LabelOf(m_dlg.get(), widget);
        QVERIFY2(label, field.id);
        QCOMPARE(label->text(), QString::fromUtf16(field.label));
    }
    QVERIFY(qobject_cast<QDateEdit *>(m_dlg->findChild<QWidget *>("1038")));
    QVERIFY(qobject_cast<CAmountEdit *>(m_dlg->findChild<QWidget *>("1052")));
    QVERIFY(m_dlg->CategoryBox()->isEditable());
    QVERIFY(m_dlg->RemarkBox()->isEditable());
    QVERIFY(m_dlg->UserBox()->isEditable());

    auto *query = m_dlg->findChild<QPushButton *>("1");
    auto *exit = m_dlg->findChild<QPushButton *>("2");
    QVERIFY(query && exit);
    QCOMPARE(query->text(), QStringLiteral("查询(&Q)"));
    QCOMPARE(exit->text(), QStringLiteral("退出(&X)"));
    QVERIFY(query->isDefault());

    // "退出(&X)" ends the dialog; a query does not.
    m_dlg->show();
    exit->click();
    QVERIFY(!m_dlg->isVisible());
    QCOMPARE(m_dlg->result(), int(QDialog::Rejected));
}

void TestQueryDialog::startingValues()
{
    const QDate today = QDate::currentDate();
    QCOMPARE(m_dlg->DateFromPicker()->date(), QDate(today.year(), today.month(), 1));
    QCOMPARE(m_dlg->DateToPicker()->date(), today);
    QCOMPARE(m_dlg->MoneyFromEdit()->text(), QStringLiteral("0"));
    QCOMPARE(m_dlg->MoneyToEdit()->text(), QStringLiteral("无限"));
    QVERIFY(m_dlg->findChild<QRadioButton *>("1034")->isChecked());
    QVERIFY(m_dlg->findChild<QRadioButton *>("1098")->isChecked());
    QCOMPARE(Items(m_dlg->CategoryBox()), QStringList{QStringLiteral("选择全部")});
    QCOMPARE(Items(m_dlg->RemarkBox()), QStringList{QStringLiteral("选择全部")});
    QCOMPARE(Items(m_dlg->UserBox()), (QStringList{QStringLiteral("选择全部"), QStringLiteral("爸爸"),
                                                   QStringLiteral("妈妈"), QStringLiteral("小明")}));
    for (QComboBox *box : {m_dlg->CategoryBox(), m_dlg->RemarkBox(), m_dlg->UserBox()})
        QCOMPARE(box->currentText(), QStringLiteral("选择全部"));

    const orv::QueryCriteria criteria = m_dlg->Criteria();
    QCOMPARE(criteria.range, orv::QueryRange::IncomePayout);
    QCOMPARE(criteria.match, orv::MatchMode::Exact);
    QCOMPARE(criteria.upperAmount().value(), 99999999.0);
    QCOMPARE(criteria.category, orv::kSelectAll);
}

void TestQueryDialog::rangeClicksRefillTheCategoryBox()
{
    const QStringList income = {QStringLiteral("选择全部"), QStringLiteral("工资"), QStringLiteral("奖金"),
                                QStringLiteral("兼职"), QStringLiteral("投资收益"), QStringLiteral("礼金"),
                                QStringLiteral("报销"), QStringLiteral("其他")};
    auto click = [&](const char *id) { QTest::mouseClick(m_dlg->findChild<QRadioButton *>(id), Qt::LeftButton); };
    m_dlg->show();

    m_dlg->CategoryBox()->setEditText(QStringLiteral("typed"));
    click("1035");
    QCOMPARE(Items(m_dlg->CategoryBox()), income);
    QCOMPARE(m_dlg->CategoryBox()->currentText(), QStringLiteral("选择全部"));
    m_dlg->CategoryBox()->setCurrentIndex(3);
    click("1035"); // again: filled anew, not twice
    QCOMPARE(Items(m_dlg->CategoryBox()), income);
    QCOMPARE(m_dlg->CategoryBox()->currentIndex(), 0);

    click("1037");
    QCOMPARE(Items(m_dlg->CategoryBox()), (QStringList{QStringLiteral("选择全部"), QStringLiteral("借出"),
                                                       QStringLiteral("借入"), QStringLiteral("还入"),
                                                       QStringLiteral("还出")}));
    click("1036");
    QCOMPARE(Items(m_dlg->CategoryBox()).size(), 13);
    QCOMPARE(Items(m_dlg->CategoryBox()).at(1), QStringLiteral("餐饮"));
    QCOMPARE(m_dlg->Criteria().range, orv::QueryRange::Payout);

    click("1034");
    QCOMPARE(Items(m_dlg->CategoryBox()), QStringList{QStringLiteral("选择全部")});
    QCOMPARE(m_dlg->Criteria().range, orv::QueryRange::IncomePayout);
}

void TestQueryDialog::comboBoxesKeepTypedText()
{
    Focus(m_dlg->RemarkBox());
    m_dlg->RemarkBox()->lineEdit()->selectAll();
    Type(m_dlg->RemarkBox(), QStringLiteral("选"));
    // No completion to "选择全部", and nothing typed joins the list.
    QCOMPARE(m_dlg->RemarkBox()->currentText(), QStringLiteral("选"));
    QTest::keyClick(m_dlg->RemarkBox(), Qt::Key_Return);
    QCOMPARE(Items(m_dlg->RemarkBox()), QStringList{QStringLiteral("选择全部")});
    QCOMPARE(m_dlg->Criteria().remark, QStringLiteral("选"));
    // Enter in a box runs the query (the book is empty: the three rows of an empty result).
    QCOMPARE(RecordList().m_nQueryKind, 0);
    QCOMPARE(RecordList().GetItemCount(), 3);
    QCOMPARE(RecordList().GetItemText(0, 4), QStringLiteral("选"));
    QVERIFY(m_dlg->isVisible());
}

void TestQueryDialog::amountBoxesTakeDigitsOnly_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits") << "1250" << "1250";
    QTest::newRow("letters") << "1a2b" << "12";
    QTest::newRow("decimal point") << "12.5" << "125";
    QTest::newRow("signs") << "-3+4" << "34";
    QTest::newRow("spaces") << "1 000" << "1000";
    QTest::newRow("chinese") << "五3" << "3";
}

void TestQueryDialog::amountBoxesTakeDigitsOnly()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    for (CAmountEdit *edit : {m_dlg->MoneyFromEdit(), m_dlg->MoneyToEdit()}) {
        Focus(edit);
        edit->clear();
        Type(edit, typed);
        QCOMPARE(edit->text(), shown);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), shown.chopped(1));
    }
}

void TestQueryDialog::amountBoxesRefusePasteOfOtherText()
{
    CAmountEdit *edit = m_dlg->MoneyFromEdit();
    Focus(edit);
    edit->setText(QStringLiteral("12"));
    edit->end(false);
    QApplication::clipboard()->setText(QStringLiteral("3"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("12"));

    // Other ways in (the context menu's paste, a drop) keep to digits.
    QApplication::clipboard()->setText(QStringLiteral("1.5"));
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("12"));
    edit->insert(QStringLiteral("-"));
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QApplication::clipboard()->setText(QStringLiteral("34"));
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("1234"));
}

void TestQueryDialog::loneZeroGivesWayToTypedDigit()
{
    CAmountEdit *edit = m_dlg->MoneyFromEdit();
    Focus(edit);
    QCOMPARE(edit->text(), QStringLiteral("0"));
    QTest::keyClicks(edit, QStringLiteral("50"));
    QCOMPARE(edit->text(), QStringLiteral("50"));
    edit->setText(QStringLiteral("0"));
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_0);
    QCOMPARE(edit->text(), QStringLiteral("0"));
}

void TestQueryDialog::fromBoxFocusRules()
{
    CAmountEdit *from = m_dlg->MoneyFromEdit();
    from->setText(QStringLiteral("25"));
    Focus(from, Qt::TabFocusReason);
    // Entering by keyboard: the caret at the start, nothing selected.
    QCOMPARE(from->cursorPosition(), 0);
    QVERIFY(!from->hasSelectedText());

    from->clear();
    Focus(m_dlg->MoneyToEdit());
    QCOMPARE(from->text(), QStringLiteral("0"));
    QCOMPARE(m_dlg->m_strMoneyFrom, QStringLiteral("0"));

    Focus(from);
    from->setText(QStringLiteral("7"));
    Focus(m_dlg->UserBox());
    QCOMPARE(from->text(), QStringLiteral("7"));
}

void TestQueryDialog::toBoxFocusRules()
{
    CAmountEdit *to = m_dlg->MoneyToEdit();
    Focus(to);
    QCOMPARE(to->text(), QString());
    QTest::keyClicks(to, QStringLiteral("500"));
    Focus(m_dlg->MoneyFromEdit());
    QCOMPARE(to->text(), QStringLiteral("500"));
    QCOMPARE(m_dlg->Criteria().upperAmount().value(), 500.0);

    Focus(to, Qt::BacktabFocusReason);
    QCOMPARE(to->text(), QStringLiteral("500"));
    QCOMPARE(to->cursorPosition(), 0);
    to->clear();
    Focus(m_dlg->RemarkBox());
    QCOMPARE(to->text(), QStringLiteral("无限"));
    QCOMPARE(m_dlg->m_strMoneyTo, QStringLiteral("无限"));

    // A click into the box empties "无限" too, and the caret stays where the click put it.
    Focus(to, Qt::MouseFocusReason);
    QCOMPARE(to->text(), QString());
}

void TestQueryDialog::wheelStepsAmountBoxWithFocus_data()
{
    QTest::addColumn<bool>("toBox");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QString>("after");
    QTest::newRow("from: forward") << false << "0" << 120 << "1";
    QTest::newRow("from: backward") << false << "5" << -120 << "4";
    QTest::newRow("from: backward stops at 0") << false << "0" << -120 << "0";
    QTest::newRow("from: backward from 1") << false << "1" << -120 << "0";
    QTest::newRow("from: empty counts as 0") << false << "" << 120 << "1";
    QTest::newRow("to: 无限 forward becomes 1") << true << "无限" << 120 << "1";
    QTest::newRow("to: 无限 backward stays") << true << "无限" << -120 << "无限";
    QTest::newRow("to: backward stops at 1") << true << "1" << -120 << "1";
    QTest::newRow("to: backward from 2") << true << "2" << -120 << "1";
    QTest::newRow("to: forward") << true << "99" << 120 << "100";
    QTest::newRow("to: a small turn still steps") << true << "7" << 15 << "8";
}

void TestQueryDialog::wheelStepsAmountBoxWithFocus()
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

    // The box without the focus is left alone.
    CAmountEdit *other = toBox ? m_dlg->MoneyFromEdit() : m_dlg->MoneyToEdit();
    const QString otherText = other->text();
    Wheel(other, delta);
    QCOMPARE(other->text(), otherText);
}

void TestQueryDialog::wheelStepsBothPickers()
{
    Focus(m_dlg->UserBox());
    const QDate from = m_dlg->DateFromPicker()->date();
    const QDate to = m_dlg->DateToPicker()->date();
    Wheel(m_dlg->findChild<QRadioButton *>("1099"), 120);
    QVERIFY(m_dlg->DateFromPicker()->date() > from);
    QVERIFY(m_dlg->DateToPicker()->date() > to);
    Wheel(m_dlg->MoneyFromEdit(), -120);
    QCOMPARE(m_dlg->DateFromPicker()->date(), from);
    QCOMPARE(m_dlg->DateToPicker()->date(), to);
    QCOMPARE(m_dlg->MoneyFromEdit()->text(), QStringLiteral("0"));
}

void TestQueryDialog::wheelOverAPickerStepsBoth()
{
    Focus(m_dlg->DateToPicker());
    m_dlg->DateToPicker()->setCurrentSection(QDateTimeEdit::DaySection);
    m_dlg->DateFromPicker()->setCurrentSection(QDateTimeEdit::MonthSection);
    m_dlg->DateFromPicker()->setDate(QDate(2009, 5, 1));
    m_dlg->DateToPicker()->setDate(QDate(2009, 5, 31));
    Wheel(m_dlg->DateFromPicker(), -120);
    QCOMPARE(m_dlg->DateFromPicker()->date(), QDate(2009, 4, 1));
    QCOMPARE(m_dlg->DateToPicker()->date(), QDate(2009, 5, 30));
    Wheel(m_dlg->DateToPicker(), 120);
    Wheel(m_dlg->DateToPicker(), 120);
    QCOMPARE(m_dlg->DateFromPicker()->date(), QDate(2009, 6, 1));
    QCOMPARE(m_dlg->DateToPicker()->date(), QDate(2009, 5, 1)); // a day wraps within its month
}

QTEST_MAIN(TestQueryDialog)
#include "tst_querydialog.moc"
