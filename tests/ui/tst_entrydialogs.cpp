// The add and modify dialogs on a real book: what they store, what they
// refuse, the amount field's keys and the mouse wheel.
#include "app/Globals.h"
#include "records/CAddRecordDlg.h"
#include "records/CModifyRecordDlg.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using orv::RecordKind;

Q_DECLARE_METATYPE(orv::RecordKind)
Q_DECLARE_METATYPE(orv::EntryValues)

namespace {

// One wheel event over a widget of the dialog.
void Wheel(QWidget *over, int delta)
{
    const QPointF at(over->width() / 2.0, over->height() / 2.0);
    QWheelEvent event(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &event);
}

QLabel *LabelFor(QWidget *dialog, QWidget *field)
{
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        if (label->buddy() == field)
            return label;
    }
    return nullptr;
}

} // namespace

class TstEntryDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void titlesAndControls_data();
    void titlesAndControls();
    void addStartsReady();
    void addTwiceInARow();
    void addRefusals_data();
    void addRefusals();
    void typedCategoryAndQuotesStoreExactly();
    void amountStoredWithTwoDecimals_data();
    void amountStoredWithTwoDecimals();
    void keyFilter();
    void wheelSteps();
    void wheelOverAmount();
    void modifyPrefill();
    void modifyShowsDeletedCategoryAsText();
    void modifyStoresAndCloses();
    void modifyRefusesWithoutTouchingTheBook();
    void exitEndsWithZero();

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
};

void TstEntryDialogs::init()
{
    qRegisterMetaType<orv::RecordKind>();
    qRegisterMetaType<orv::EntryValues>();
    m_book = std::make_unique<TestBook>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    g_strCurUser = QStringLiteral("爸爸");
}

void TstEntryDialogs::cleanup()
{
    m_prompter.reset();
    m_book.reset();
}

void TstEntryDialogs::titlesAndControls_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("addTitle");
    QTest::addColumn<QString>("modifyTitle");
    QTest::addColumn<QString>("firstItem");
    QTest::newRow("income") << 1 << "添加收入记录" << "修改收入记录" << "工资";
    QTest::newRow("expense") << 2 << "添加支出记录" << "修改支出记录" << "餐饮";
    QTest::newRow("loans") << 5 << "添加借贷记录" << "修改借贷记录" << "借出";
}

void TstEntryDialogs::titlesAndControls()
{
    QFETCH(int, kind);
    QFETCH(QString, addTitle);
    QFETCH(QString, modifyTitle);
    QFETCH(QString, firstItem);
    CAddRecordDlg add{RecordKind(kind)};
    add.show();
    QCOMPARE(add.windowTitle(), addTitle);
    QCOMPARE(add.ItemsBox()->itemText(0), firstItem);
    QCOMPARE(add.ItemsBox()->currentText(), firstItem);
    CModifyRecordDlg modify{RecordKind(kind)};
    modify.show();
    QCOMPARE(modify.windowTitle(), modifyTitle);

    // Every control by its id, every field named by its label.
    for (const char *id : {"1017", "1018", "1019", "1020", "1095", "1023", "2"})
        QVERIFY2(add.findChild<QWidget *>(QString::fromLatin1(id)), id);
    QVERIFY(modify.findChild<QPushButton *>(QStringLiteral("1024")));
    QCOMPARE(add.findChild<QPushButton *>(QStringLiteral("1023"))->text(), QStringLiteral("添加(&A)"));
    QCOMPARE(modify.findChild<QPushButton *>(QStringLiteral("1024"))->text(), QStringLiteral("修改(&M)"));
    QCOMPARE(add.findChild<QPushButton *>(QStringLiteral("2"))->text(), QStringLiteral("退出(&X)"));
    const std::pair<QWidget *, const char16_t *> fields[] = {{add.DatePicker(), u"日期："},
                                                             {add.ItemsBox(), u"名目："},
                                                             {add.AmountEdit(), u"金额："},
                                                             {add.RemarkEdit(), u"备注："}};
    for (const auto &[field, text] : fields) {
        QLabel *label = LabelFor(&add, field);
        QVERIFY(label);
        QCOMPARE(label->text(), QString::fromUtf16(text));
    }
    QVERIFY(add.OkButton()->isDefault());
}

void TstEntryDialogs::addStartsReady()
{
    CAddRecordDlg dlg(RecordKind::Income);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QCOMPARE(dlg.DatePicker()->date(), QDate::currentDate());
    QCOMPARE(dlg.AmountEdit()->text(), QStringLiteral("0"));
    QCOMPARE(dlg.AmountEdit()->selectedText(), QStringLiteral("0"));
    QVERIFY(dlg.AmountEdit()->hasFocus());
    // Typing replaces the selected 0.
    QTest::keyClicks(dlg.AmountEdit(), QStringLiteral("25"));
    QCOMPARE(dlg.AmountEdit()->text(), QStringLiteral("25"));
}

void TstEntryDialogs::addTwiceInARow()
{
    CAddRecordDlg dlg(RecordKind::Payout);
    QSignalSpy added(&dlg, &CAddRecordDlg::EntryAdded);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.DatePicker()->setDate(QDate(2023, 11, 5));
    dlg.ItemsBox()->setCurrentIndex(2); // 交通
    dlg.AmountEdit()->setText(QStringLiteral("30"));
    dlg.RemarkEdit()->setText(QStringLiteral("地铁"));
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    QCOMPARE(added.size(), 1);
    QVERIFY(m_prompter->shown.isEmpty());

    // Ready for the next one.
    QCOMPARE(dlg.DatePicker()->date(), QDate(2023, 11, 5));
    QCOMPARE(dlg.ItemsBox()->currentText(), QStringLiteral("交通"));
    QCOMPARE(dlg.AmountEdit()->text(), QString());
    QCOMPARE(dlg.RemarkEdit()->text(), QString());
    QVERIFY(dlg.AmountEdit()->hasFocus());
    QVERIFY(dlg.isVisible());

    QTest::keyClicks(dlg.AmountEdit(), QStringLiteral("8.5"));
    QTest::keyClick(dlg.AmountEdit(), Qt::Key_Return); // the default button
    QCOMPARE(added.size(), 2);

    const QList<QStringList> rows = m_book->rows(QStringLiteral("PAYOUT"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].mid(1), QStringList({QStringLiteral("2023-11-05"), QStringLiteral("交通"), QStringLiteral("30"),
                                          QStringLiteral("地铁"), QStringLiteral("爸爸")}));
    QCOMPARE(rows[1].mid(1), QStringList({QStringLiteral("2023-11-05"), QStringLiteral("交通"),
                                          QStringLiteral("8.5"), QString(), QStringLiteral("爸爸")}));
    // The signal carries the entry as stored.
    QCOMPARE(added[1][0].value<RecordKind>(), RecordKind::Payout);
    QCOMPARE(added[1][1].toInt(), rows[1][0].toInt());
    const auto values = added[1][2].value<orv::EntryValues>();
    QCOMPARE(values.money, 8.5);
    QCOMPARE(values.user, QStringLiteral("爸爸"));
    QCOMPARE(values.date, QDate(2023, 11, 5));
}

void TstEntryDialogs::addRefusals_data()
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
    QTest::newRow("long category") << "5" << longText << "" << "名目太长了，最多只能有255个字节（约127个汉字）!"
                                   << "1018";
    QTest::newRow("long remark") << "5" << "餐饮" << longText << "备注太长了，最多只能有255个字节（约127个汉字）!"
                                 << "1020";
}

void TstEntryDialogs::addRefusals()
{
    QFETCH(QString, amount);
    QFETCH(QString, items);
    QFETCH(QString, remark);
    QFETCH(QString, message);
    QFETCH(QString, focused);
    CAddRecordDlg dlg(RecordKind::Payout);
    QSignalSpy added(&dlg, &CAddRecordDlg::EntryAdded);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.AmountEdit()->setText(amount);
    dlg.ItemsBox()->setEditText(items);
    dlg.RemarkEdit()->setText(remark);
    dlg.OnAdd();
    // One clear message per problem, and nothing stored.
    QCOMPARE(m_prompter->shown.size(), 1);
    QCOMPARE(m_prompter->shown[0].text, message);
    QCOMPARE(m_prompter->shown[0].caption, QStringLiteral("注意"));
    QCOMPARE(m_prompter->shown[0].icon, MsgIcon::Exclamation);
    QCOMPARE(m_prompter->shown[0].buttons, MsgButtons::Ok);
    QCOMPARE(added.size(), 0);
    QCOMPARE(m_book->count(QStringLiteral("PAYOUT")), 0);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.AmountEdit()->text(), amount);
    QCOMPARE(QApplication::focusWidget()->objectName().isEmpty() ? QApplication::focusWidget()->parentWidget()->objectName()
                                                                 : QApplication::focusWidget()->objectName(),
             focused);
}

void TstEntryDialogs::typedCategoryAndQuotesStoreExactly()
{
    CAddRecordDlg dlg(RecordKind::Income);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    const QString typed = QStringLiteral("Tom's \"gift\"");
    const QString remark = QStringLiteral("it's 100% ok'); DROP TABLE INCOME; --");
    dlg.AmountEdit()->setText(QStringLiteral("66"));
    dlg.RemarkEdit()->setText(remark);
    // Typed into the box and confirmed with Enter there: the default button adds.
    dlg.ItemsBox()->setEditText(QString());
    QTest::keyClicks(dlg.ItemsBox()->lineEdit(), typed);
    QTest::keyClick(dlg.ItemsBox()->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_book->count(QStringLiteral("INCOME")), 1);
    // An empty category box stores an empty category.
    dlg.ItemsBox()->setEditText(QString());
    dlg.AmountEdit()->setText(QStringLiteral("1"));
    dlg.OnAdd();
    QVERIFY(m_prompter->shown.isEmpty());
    const QList<QStringList> rows = m_book->rows(QStringLiteral("INCOME"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][2], typed);
    QCOMPARE(rows[0][4], remark);
    QCOMPARE(rows[1][2], QString());
    // The typed category is not added to the category table or the box.
    QCOMPARE(m_book->count(QStringLiteral("INCOME_ITEMS")), 7);
    QCOMPARE(dlg.ItemsBox()->count(), 7);
}

void TstEntryDialogs::amountStoredWithTwoDecimals_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("stored");
    QTest::newRow("12.5") << "12.5" << 12.5;
    QTest::newRow("1234.567") << "1234.567" << 1234.57;
    QTest::newRow("0.125") << "0.125" << 0.13;
    QTest::newRow("100") << "100" << 100.0;
}

void TstEntryDialogs::amountStoredWithTwoDecimals()
{
    QFETCH(QString, typed);
    QFETCH(double, stored);
    CAddRecordDlg dlg(RecordKind::Loan);
    dlg.show();
    dlg.AmountEdit()->setText(typed);
    dlg.OnAdd();
    const QList<QStringList> rows = m_book->rows(QStringLiteral("ON_LOAD"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][3].toDouble(), stored);
    QCOMPARE(QString::asprintf("%.2f", rows[0][3].toDouble()), QString::asprintf("%.2f", stored));
}

void TstEntryDialogs::keyFilter()
{
    CAddRecordDlg dlg(RecordKind::Income);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QLineEdit *amount = dlg.AmountEdit();
    amount->clear();
    // Letters, the minus sign and blanks cannot be typed; digits, points and
    // the editing keys can.
    QTest::keyClicks(amount, QStringLiteral("1a-2 x.5e"));
    QCOMPARE(amount->text(), QStringLiteral("12.5"));
    QTest::keyClick(amount, Qt::Key_Backspace);
    QCOMPARE(amount->text(), QStringLiteral("12."));
    QTest::keyClick(amount, Qt::Key_Home);
    QTest::keyClick(amount, Qt::Key_Delete);
    QCOMPARE(amount->text(), QStringLiteral("2."));
    // A second point can be typed; the check then refuses the text.
    QTest::keyClicks(amount, QStringLiteral(".."));
    QCOMPARE(amount->text(), QStringLiteral("..2."));
    // Other fields take any text.
    QTest::keyClicks(dlg.RemarkEdit(), QStringLiteral("a-b"));
    QCOMPARE(dlg.RemarkEdit()->text(), QStringLiteral("a-b"));
}

void TstEntryDialogs::wheelSteps()
{
    CAddRecordDlg dlg(RecordKind::Income);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.DatePicker()->setDate(QDate(2024, 3, 30));
    dlg.DatePicker()->setCurrentSection(QDateTimeEdit::DaySection);
    dlg.RemarkEdit()->setFocus();
    dlg.AmountEdit()->clear();

    // Over the remark: the date's day steps, the empty amount shows 0 but
    // does not change (it has not the focus).
    Wheel(dlg.RemarkEdit(), 120);
    QCOMPARE(dlg.DatePicker()->date(), QDate(2024, 3, 31));
    QCOMPARE(dlg.AmountEdit()->text(), QStringLiteral("0"));
    // Over the category box: the box keeps its category, the date steps.
    const QString category = dlg.ItemsBox()->currentText();
    Wheel(dlg.ItemsBox(), -120);
    Wheel(dlg.ItemsBox(), -120);
    QCOMPARE(dlg.DatePicker()->date(), QDate(2024, 3, 29));
    QCOMPARE(dlg.ItemsBox()->currentText(), category);
    // Over the dialog itself and the date picker: one step per notch.
    Wheel(&dlg, 240);
    QCOMPARE(dlg.DatePicker()->date(), QDate(2024, 3, 31));
    Wheel(dlg.DatePicker(), -120);
    QCOMPARE(dlg.DatePicker()->date(), QDate(2024, 3, 30));
    // A touchpad's small steps add up to notches; sideways scrolling does nothing.
    for (int i = 0; i < 3; ++i)
        Wheel(&dlg, 40);
    QCOMPARE(dlg.DatePicker()->date(), QDate(2024, 3, 31));
    Wheel(&dlg, 0);
    QCOMPARE(dlg.DatePicker()->date(), QDate(2024, 3, 31));
    // The day wraps within its month, as the picker's arrows do.
    Wheel(&dlg, 120);
    QCOMPARE(dlg.DatePicker()->date(), QDate(2024, 3, 1));
    QCOMPARE(dlg.AmountEdit()->text(), QStringLiteral("0"));
}

void TstEntryDialogs::wheelOverAmount()
{
    CAddRecordDlg dlg(RecordKind::Income);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QLineEdit *amount = dlg.AmountEdit();
    QVERIFY(amount->hasFocus());
    QCOMPARE(amount->text(), QStringLiteral("0"));
    Wheel(amount, -120);
    QCOMPARE(amount->text(), QStringLiteral("0")); // never decreasing from 0
    Wheel(amount, 120);
    Wheel(&dlg, 120);
    QCOMPARE(amount->text(), QStringLiteral("2"));
    amount->setText(QStringLiteral("0.5"));
    Wheel(amount, -120);
    QCOMPARE(amount->text(), QStringLiteral("-0.5"));
    Wheel(amount, -120);
    QCOMPARE(amount->text(), QStringLiteral("-0.5")); // nor from below 0
    amount->clear();
    Wheel(amount, 120);
    QCOMPARE(amount->text(), QStringLiteral("1")); // empty counts as 0
    amount->setText(QStringLiteral("12.5"));
    Wheel(dlg.RemarkEdit(), 120); // wherever the mouse is
    QCOMPARE(amount->text(), QStringLiteral("13.5"));
    // -0.5 from the wheel is refused by the check.
    amount->setText(QStringLiteral("0.5"));
    Wheel(amount, -120);
    dlg.OnAdd();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("金额必须大于零!"));
}

void TstEntryDialogs::modifyPrefill()
{
    CModifyRecordDlg dlg(RecordKind::Payout);
    dlg.m_nId = 7;
    dlg.m_tDate = QDate(2021, 2, 3);
    dlg.m_strItems = QStringLiteral("交通");
    dlg.m_dMoney = 12.5;
    dlg.m_strRemark = QStringLiteral("出租车");
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QCOMPARE(dlg.DatePicker()->date(), QDate(2021, 2, 3));
    QCOMPARE(dlg.ItemsBox()->currentIndex(), 2);
    QCOMPARE(dlg.ItemsBox()->currentText(), QStringLiteral("交通"));
    QCOMPARE(dlg.AmountEdit()->text(), QStringLiteral("12.5"));
    QCOMPARE(dlg.AmountEdit()->selectedText(), QStringLiteral("12.5"));
    QVERIFY(dlg.AmountEdit()->hasFocus());
    QCOMPARE(dlg.RemarkEdit()->text(), QStringLiteral("出租车"));
}

void TstEntryDialogs::modifyShowsDeletedCategoryAsText()
{
    m_book->exec(QStringLiteral("DELETE FROM \"PAYOUT_ITEMS\" WHERE \"items\" = '交通'"));
    CModifyRecordDlg dlg(RecordKind::Payout);
    dlg.m_strItems = QStringLiteral("交通");
    dlg.m_dMoney = 100.0;
    dlg.show();
    QCOMPARE(dlg.ItemsBox()->currentIndex(), -1);
    QCOMPARE(dlg.ItemsBox()->currentText(), QStringLiteral("交通"));
    QCOMPARE(dlg.ItemsBox()->findText(QStringLiteral("交通")), -1);
    QCOMPARE(dlg.AmountEdit()->text(), QStringLiteral("100"));
    // Letter case counts: "Bus" is not "bus".
    m_book->exec(QStringLiteral("INSERT INTO \"PAYOUT_ITEMS\" (\"items\") VALUES ('Bus')"));
    CModifyRecordDlg other(RecordKind::Payout);
    other.m_strItems = QStringLiteral("bus");
    other.show();
    QCOMPARE(other.ItemsBox()->currentIndex(), -1);
    QCOMPARE(other.ItemsBox()->currentText(), QStringLiteral("bus"));
}

void TstEntryDialogs::modifyStoresAndCloses()
{
    const qint32 id = m_book->add(RecordKind::Income, QDate(2022, 1, 1), QStringLiteral("工资"), 5000.0,
                                  QStringLiteral("一月"), QStringLiteral("爸爸"));
    const qint32 other = m_book->add(RecordKind::Income, QDate(2022, 1, 2), QStringLiteral("奖金"), 10.0);
    CModifyRecordDlg dlg(RecordKind::Income);
    dlg.m_nId = id;
    dlg.m_tDate = QDate(2022, 1, 1);
    dlg.m_strItems = QStringLiteral("工资");
    dlg.m_dMoney = 5000.0;
    dlg.m_strRemark = QStringLiteral("一月");
    dlg.show();
    dlg.DatePicker()->setDate(QDate(2022, 1, 31));
    dlg.ItemsBox()->setEditText(QStringLiteral("O'Neil's 稿费"));
    dlg.AmountEdit()->setText(QStringLiteral("5200.456"));
    dlg.RemarkEdit()->setText(QStringLiteral("\"一月\" 补发"));
    dlg.OnKeypadButton();
    QVERIFY(dlg.Keypad());
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    QCOMPARE(dlg.result(), CModifyRecordDlg::kUpdated);
    QVERIFY(!dlg.isVisible());
    QVERIFY(!dlg.Keypad()); // a successful modify closes the keypad
    QVERIFY(!dlg.m_bKeypadShown);
    const QList<QStringList> rows = m_book->rows(QStringLiteral("INCOME"));
    QCOMPARE(rows[0], QStringList({QString::number(id), QStringLiteral("2022-01-31"), QStringLiteral("O'Neil's 稿费"),
                                   QStringLiteral("5200.46"), QStringLiteral("\"一月\" 补发"), QStringLiteral("爸爸")}));
    QCOMPARE(rows[1][0].toInt(), other);
    QCOMPARE(rows[1][3], QStringLiteral("10"));
    QCOMPARE(dlg.Values().money, 5200.46);
    QCOMPARE(dlg.Values().items, QStringLiteral("O'Neil's 稿费"));
}

void TstEntryDialogs::modifyRefusesWithoutTouchingTheBook()
{
    const qint32 id = m_book->add(RecordKind::Loan, QDate(2022, 1, 1), QStringLiteral("借出"), 300.0,
                                  QStringLiteral("小王"));
    CModifyRecordDlg dlg(RecordKind::Loan);
    dlg.m_nId = id;
    dlg.m_tDate = QDate(2022, 1, 1);
    dlg.m_strItems = QStringLiteral("借出");
    dlg.m_dMoney = 300.0;
    dlg.m_strRemark = QStringLiteral("小王");
    dlg.show();
    // Not a number: refused outright (the old amount is not stored with a new date).
    dlg.DatePicker()->setDate(QDate(2023, 5, 5));
    dlg.AmountEdit()->setText(QStringLiteral("3..5"));
    dlg.OnModify();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("金额必须是一个数字!")}));
    dlg.AmountEdit()->clear();
    dlg.OnModify();
    dlg.AmountEdit()->setText(QStringLiteral("0"));
    dlg.OnModify();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("金额必须是一个数字!"), QStringLiteral("金额一项不能为空!"),
                                               QStringLiteral("金额必须大于零!")}));
    QVERIFY(dlg.isVisible());
    QCOMPARE(m_book->rows(QStringLiteral("ON_LOAD"))[0][1], QStringLiteral("2022-01-01"));
    QCOMPARE(m_book->rows(QStringLiteral("ON_LOAD"))[0][3], QStringLiteral("300"));

    // The entry went away meanwhile: said so, nothing claimed as done.
    m_book->exec(QStringLiteral("DELETE FROM \"ON_LOAD\""));
    m_prompter->clear();
    dlg.AmountEdit()->setText(QStringLiteral("5"));
    dlg.OnModify();
    QCOMPARE(m_prompter->texts(), QStringList({QStringLiteral("这条记录已经不在帐本中了，可能已被删除!")}));
    QVERIFY(dlg.isVisible());
    QCOMPARE(m_book->count(QStringLiteral("ON_LOAD")), 0);
}

void TstEntryDialogs::exitEndsWithZero()
{
    CModifyRecordDlg modify(RecordKind::Income);
    modify.show();
    modify.OnKeypadButton();
    QVERIFY(modify.Keypad());
    QTest::mouseClick(modify.ExitButton(), Qt::LeftButton);
    QCOMPARE(modify.result(), 0);
    QVERIFY(!modify.isVisible());
    QVERIFY(!modify.Keypad());

    CAddRecordDlg add(RecordKind::Income);
    add.show();
    QVERIFY(QTest::qWaitForWindowActive(&add));
    add.OnKeypadButton();
    QTest::keyClick(add.AmountEdit(), Qt::Key_Escape);
    QCOMPARE(add.result(), 0);
    QVERIFY(!add.isVisible());
    QVERIFY(!add.Keypad());
    QCOMPARE(m_book->count(QStringLiteral("INCOME")), 0);
}

QTEST_MAIN(TstEntryDialogs)
#include "tst_entrydialogs.moc"
