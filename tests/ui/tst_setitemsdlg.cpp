// The category dialog and its name dialog, as a user drives them: real
// widgets on the offscreen platform over a real book in a temp folder.

#include "items/CItemEditDlg.h"
#include "items/CSetItemsDlg.h"
#include "mainwnd/CLedgerDlg.h"
#include "settings/ProgramSettings.h"
#include "store/BookSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using orv::RecordKind;

namespace {

QStringList ListTexts(const CSetItemsDlg &dlg)
{
    QStringList texts;
    for (int i = 0; i < dlg.ItemList()->count(); ++i)
        texts.append(dlg.ItemList()->item(i)->text());
    return texts;
}

QStringList TableTexts(const TestBook &book, RecordKind kind)
{
    QStringList texts;
    for (const QStringList &row : book.rows(orv::itemsTable(kind)))
        texts.append(row.first());
    return texts;
}

void SetCategories(const TestBook &book, RecordKind kind, const QStringList &names)
{
    book.exec(QStringLiteral("DELETE FROM \"%1\"").arg(orv::itemsTable(kind)));
    for (const QString &name : names)
        book.exec(QStringLiteral("INSERT INTO \"%1\" VALUES ('%2')").arg(orv::itemsTable(kind), name));
}

QPushButton *Button(QWidget *dlg, int id)
{
    return dlg->findChild<QPushButton *>(QString::number(id));
}

// Runs act on the modal dialog that the next step opens, then closes it if
// act left it open, so that a failed check can never hang the test.
void WithNextModal(std::function<void(CItemEditDlg *)> act, bool *seen)
{
    QTimer::singleShot(0, [act, seen] {
        auto *dlg = qobject_cast<CItemEditDlg *>(QApplication::activeModalWidget());
        *seen = dlg != nullptr;
        if (!dlg)
            return;
        act(dlg);
        if (dlg->isVisible())
            dlg->reject();
    });
}

} // namespace

class TestSetItemsDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheIncomeCategoriesFirst()
    {
        TestBook book;
        CSetItemsDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("设置名目"));
        QCOMPARE(dlg.objectName(), QStringLiteral("139"));
        QComboBox *kinds = dlg.findChild<QComboBox *>(QStringLiteral("1045"));
        QVERIFY(kinds);
        QCOMPARE(kinds->count(), 3);
        QCOMPARE(kinds->itemText(0), QStringLiteral("收入记录"));
        QCOMPARE(kinds->itemText(1), QStringLiteral("支出记录"));
        QCOMPARE(kinds->itemText(2), QStringLiteral("借贷记录"));
        QCOMPARE(kinds->currentIndex(), 0);
        QVERIFY(dlg.findChild<QListWidget *>(QStringLiteral("1043")));
        QCOMPARE(ListTexts(dlg), orv::BookSchema::defaultCategories(RecordKind::Income));
        QCOMPARE(dlg.ItemList()->currentRow(), -1);
        const QList<QPair<int, QString>> buttons = {{1011, QStringLiteral("添加(&A)...")}, {1012, QStringLiteral("修改(&M)...")},
                                                    {1013, QStringLiteral("删除(&D)")},    {2, QStringLiteral("退出(&X)")},
                                                    {1103, QStringLiteral("↑")},           {1105, QStringLiteral("↓")}};
        for (const auto &[id, text] : buttons) {
            QVERIFY2(Button(&dlg, id), qPrintable(QString::number(id)));
            QCOMPARE(Button(&dlg, id)->text(), text);
        }
        QVERIFY(Button(&dlg, 1011)->isDefault());
        QVERIFY(dlg.findChild<QGroupBox *>()->title() == QStringLiteral("选择类别"));
    }

    void theSettingsMenuOpensItOverTheMainWindow()
    {
        TestBook book;
        QVERIFY(orv::ProgramSettings(book.dir()).save(true, QStringLiteral("爸爸")));
        CLedgerDlg ledger;
        QAction *command = ledger.MenuCommand(32782);
        QVERIFY(command);
        QCOMPARE(command->text(), QStringLiteral("设置名目(&C)..."));
        QString title;
        QWidget *parent = nullptr;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<CSetItemsDlg *>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            title = dlg->windowTitle();
            parent = dlg->parentWidget();
            QTest::mouseClick(Button(dlg, 2), Qt::LeftButton);
        });
        command->trigger();
        QCOMPARE(title, QStringLiteral("设置名目"));
        QCOMPARE(parent, &ledger);
    }

    void theKindBoxSwitchesTheList()
    {
        TestBook book;
        CSetItemsDlg dlg;
        dlg.KindBox()->setCurrentIndex(2);
        QCOMPARE(ListTexts(dlg), orv::BookSchema::defaultCategories(RecordKind::Loan));
        dlg.KindBox()->setCurrentIndex(1);
        QCOMPARE(ListTexts(dlg), orv::BookSchema::defaultCategories(RecordKind::Payout));
    }

    void addingKeepsTheNameDialogOpenForTheNextName()
    {
        TestBook book;
        ScriptedPrompter prompter;
        CSetItemsDlg dlg;
        dlg.show();
        QStringList captions;
        bool openAfterEach = true;
        bool emptiedAndFocused = true;
        QStringList selected;
        bool seen = false;
        WithNextModal(
            [&](CItemEditDlg *edit) {
                captions << edit->windowTitle() << edit->OkButton()->text();
                for (const QString &name : {QStringLiteral("年终奖"), QStringLiteral("年终奖")}) {
                    edit->NameEdit()->insert(name);
                    QTest::mouseClick(edit->OkButton(), Qt::LeftButton);
                    openAfterEach = openAfterEach && edit->isVisible();
                    emptiedAndFocused = emptiedAndFocused && edit->NameEdit()->text().isEmpty() &&
                                        edit->focusWidget() == edit->NameEdit();
                    selected << dlg.ItemList()->currentItem()->text() << QString::number(dlg.ItemList()->currentRow());
                }
                QTest::mouseClick(edit->findChild<QPushButton *>(QStringLiteral("2")), Qt::LeftButton);
            },
            &seen);
        QTest::mouseClick(Button(&dlg, 1011), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(captions, (QStringList{QStringLiteral("添加收入记录名目"), QStringLiteral("添加(&A)")}));
        QVERIFY(openAfterEach);
        QVERIFY(emptiedAndFocused);
        const QStringList expected = orv::BookSchema::defaultCategories(RecordKind::Income)
                                     + QStringList{QStringLiteral("年终奖"), QStringLiteral("年终奖")};
        QCOMPARE(ListTexts(dlg), expected);
        QCOMPARE(TableTexts(book, RecordKind::Income), expected);
        QCOMPARE(selected, (QStringList{QStringLiteral("年终奖"), QString::number(expected.size() - 2),
                                        QStringLiteral("年终奖"), QString::number(expected.size() - 1)}));
        QVERIFY(prompter.shown.isEmpty());
    }

    void theNameDialogNamesItsKindAndRefusesAnEmptyName()
    {
        TestBook book;
        ScriptedPrompter prompter;
        CSetItemsDlg dlg;
        dlg.KindBox()->setCurrentIndex(2);
        CItemEditDlg edit(2, false, QString(), &dlg);
        QCOMPARE(edit.windowTitle(), QStringLiteral("添加借贷情况名目"));
        QCOMPARE(edit.NameEdit()->objectName(), QStringLiteral("1046"));
        // The box is named by its label for screen readers.
        QLabel *label = nullptr;
        for (QLabel *l : edit.findChildren<QLabel *>()) {
            if (l->buddy() == edit.NameEdit())
                label = l;
        }
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("名目名称："));
        edit.NameEdit()->setText(QStringLiteral("   "));
        edit.accept();
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.first().text, QStringLiteral("名目不能为空!"));
        QCOMPARE(prompter.shown.first().caption, QStringLiteral("注意"));
        QCOMPARE(prompter.shown.first().icon, MsgIcon::Exclamation);
        QCOMPARE(TableTexts(book, RecordKind::Loan), orv::BookSchema::defaultCategories(RecordKind::Loan));
        edit.NameEdit()->setText(QString(128, QChar(0x501F)));
        edit.accept();
        QVERIFY(prompter.lastText().startsWith(QStringLiteral("名目太长了")));
        QCOMPARE(TableTexts(book, RecordKind::Loan), orv::BookSchema::defaultCategories(RecordKind::Loan));
        QCOMPARE(CItemEditDlg(1, false, QString()).windowTitle(), QStringLiteral("添加支出记录名目"));
        QCOMPARE(CItemEditDlg(0, true, QStringLiteral("x")).windowTitle(), QStringLiteral("修改收入记录名目"));
        QCOMPARE(CItemEditDlg(1, true, QStringLiteral("x")).windowTitle(), QStringLiteral("修改支出记录名目"));
        QCOMPARE(CItemEditDlg(2, true, QStringLiteral("x")).windowTitle(), QStringLiteral("修改借贷情况名目"));
    }

    void renamingKeepsThePlaceTheSelectionAndTheEntries()
    {
        TestBook book;
        ScriptedPrompter prompter;
        SetCategories(book, RecordKind::Income, {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")});
        book.add(RecordKind::Income, QDate(2009, 3, 7), QStringLiteral("Y"), 10.0);
        CSetItemsDlg dlg;
        dlg.show();
        QTest::mouseClick(Button(&dlg, 1012), Qt::LeftButton);
        QCOMPARE(prompter.lastText(), QStringLiteral("请选择要修改的行!"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("注意"));

        dlg.ItemList()->setCurrentRow(1);
        QStringList seenTexts;
        bool seen = false;
        WithNextModal(
            [&](CItemEditDlg *edit) {
                seenTexts << edit->windowTitle() << edit->OkButton()->text() << edit->NameEdit()->text()
                          << edit->NameEdit()->selectedText();
                edit->NameEdit()->setText(QStringLiteral("W"));
                QTest::mouseClick(edit->OkButton(), Qt::LeftButton);
                seenTexts << (edit->isVisible() ? QStringLiteral("open") : QStringLiteral("closed"));
            },
            &seen);
        QTest::mouseClick(Button(&dlg, 1012), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(seenTexts, (QStringList{QStringLiteral("修改收入记录名目"), QStringLiteral("修改(&M)"), QStringLiteral("Y"),
                                         QStringLiteral("Y"), QStringLiteral("closed")}));
        QCOMPARE(ListTexts(dlg), (QStringList{QStringLiteral("X"), QStringLiteral("W"), QStringLiteral("Z")}));
        QCOMPARE(TableTexts(book, RecordKind::Income), ListTexts(dlg));
        QCOMPARE(dlg.SelectedRow(), 1);
        QCOMPARE(book.rows(QStringLiteral("INCOME")).first().at(2), QStringLiteral("Y"));
    }

    void deletingAsksAndMovesTheSelectionUp()
    {
        TestBook book;
        ScriptedPrompter prompter;
        SetCategories(book, RecordKind::Payout,
                      {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e")});
        CSetItemsDlg dlg;
        dlg.KindBox()->setCurrentIndex(1);
        QTest::mouseClick(Button(&dlg, 1013), Qt::LeftButton);
        QCOMPARE(prompter.lastText(), QStringLiteral("请选择要删除的行!"));

        // No: nothing goes.
        dlg.ItemList()->setCurrentRow(3);
        prompter.answers.enqueue(MsgResult::No);
        dlg.OnDeleteItem();
        QCOMPARE(prompter.shown.last().text, QStringLiteral("真的要删除 “d” 名目吗？"));
        QCOMPARE(prompter.shown.last().caption, QStringLiteral("注意"));
        QCOMPARE(prompter.shown.last().buttons, MsgButtons::YesNo);
        QCOMPARE(prompter.shown.last().icon, MsgIcon::Exclamation);
        QCOMPARE(ListTexts(dlg).size(), 5);

        // Entry 3 goes; entry 2 is selected.
        dlg.OnDeleteItem();
        QCOMPARE(ListTexts(dlg), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("e")}));
        QCOMPARE(TableTexts(book, RecordKind::Payout), ListTexts(dlg));
        QCOMPARE(dlg.SelectedRow(), 2);

        // The first goes; the new first is selected.
        dlg.ItemList()->setCurrentRow(0);
        dlg.OnDeleteItem();
        QCOMPARE(ListTexts(dlg), (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("e")}));
        QCOMPARE(dlg.SelectedRow(), 0);
        QCOMPARE(dlg.ItemList()->currentItem()->text(), QStringLiteral("b"));
    }

    void movingKeepsTheSelectionOnTheMovedCategory()
    {
        TestBook book;
        ScriptedPrompter prompter;
        SetCategories(book, RecordKind::Income, {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
        CSetItemsDlg dlg;
        // Without a selection nothing happens.
        QTest::mouseClick(Button(&dlg, 1103), Qt::LeftButton);
        QTest::mouseClick(Button(&dlg, 1105), Qt::LeftButton);
        QCOMPARE(ListTexts(dlg), (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}));

        dlg.ItemList()->setCurrentRow(1);
        QTest::mouseClick(Button(&dlg, 1103), Qt::LeftButton);
        QCOMPARE(ListTexts(dlg), (QStringList{QStringLiteral("y"), QStringLiteral("x"), QStringLiteral("z")}));
        QCOMPARE(dlg.SelectedRow(), 0);
        QCOMPARE(dlg.ItemList()->currentItem()->text(), QStringLiteral("y"));
        // The first cannot go further up.
        QTest::mouseClick(Button(&dlg, 1103), Qt::LeftButton);
        QCOMPARE(ListTexts(dlg), (QStringList{QStringLiteral("y"), QStringLiteral("x"), QStringLiteral("z")}));
        QCOMPARE(dlg.SelectedRow(), 0);

        QTest::mouseClick(Button(&dlg, 1105), Qt::LeftButton);
        QTest::mouseClick(Button(&dlg, 1105), Qt::LeftButton);
        QCOMPARE(ListTexts(dlg), (QStringList{QStringLiteral("x"), QStringLiteral("z"), QStringLiteral("y")}));
        QCOMPARE(dlg.SelectedRow(), 2);
        // The last cannot go further down.
        QTest::mouseClick(Button(&dlg, 1105), Qt::LeftButton);
        QCOMPARE(ListTexts(dlg), (QStringList{QStringLiteral("x"), QStringLiteral("z"), QStringLiteral("y")}));
        QCOMPARE(dlg.SelectedRow(), 2);
        QCOMPARE(TableTexts(book, RecordKind::Income), ListTexts(dlg));
        QVERIFY(prompter.shown.isEmpty());
    }

    void aMoveThatFailsHalfwayChangesNothing()
    {
        TestBook book;
        ScriptedPrompter prompter;
        SetCategories(book, RecordKind::Income, {QStringLiteral("工资"), QStringLiteral("奖金"), QStringLiteral("其他")});
        book.exec(QStringLiteral("CREATE TRIGGER \"refuse\" BEFORE UPDATE ON \"INCOME_ITEMS\" "
                                 "WHEN OLD.\"items\" = '奖金' BEGIN SELECT RAISE(ABORT, 'disk said no'); END"));
        CSetItemsDlg dlg;
        dlg.ItemList()->setCurrentRow(0);
        dlg.OnMoveDown();
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.first().icon, MsgIcon::Stop);
        QVERIFY(prompter.shown.first().text.contains(QStringLiteral("disk said no")));
        QCOMPARE(ListTexts(dlg), (QStringList{QStringLiteral("工资"), QStringLiteral("奖金"), QStringLiteral("其他")}));
        QCOMPARE(TableTexts(book, RecordKind::Income), ListTexts(dlg));
        QCOMPARE(dlg.SelectedRow(), 0);
    }

    void aBookThatWillNotOpenIsSaidSo()
    {
        TestBook book;
        ScriptedPrompter prompter;
        QFile::remove(book.bookPath());
        CSetItemsDlg dlg;
        QCOMPARE(prompter.lastText(), QStringLiteral("不能打开数据库"));
        QCOMPARE(dlg.ItemList()->count(), 0);
    }
};

QTEST_MAIN(TestSetItemsDlg)
#include "tst_setitemsdlg.moc"
