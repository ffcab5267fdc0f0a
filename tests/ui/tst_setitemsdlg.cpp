// The category dialog and its name dialog, as a user drives them: real
// widgets on the offscreen platform over a real book in a temp folder.

#include "support/WidgetTestMain.h"
#include "items/CItemEditDlg.h"
#include "items/CSetItemsDlg.h"
#include "mainwnd/CLedgerDlg.h"
#include "settings/ProgramSettings.h"
#include "store/BookSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/NextModal.h"
#include "support/TestBook.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

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

void Click(QWidget *dlg, int id)
{
    QTest::mouseClick(dlg->findChild<QPushButton *>(QString::number(id)), Qt::LeftButton);
}

} // namespace

class TestSetItemsDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theSettingsMenuOpensItWithIncomeFirst()
    {
        TestBook book;
        QVERIFY(orv::ProgramSettings(book.dir()).save(true, QStringLiteral("爸爸")));
        CLedgerDlg ledger;
        QStringList shown;
        QWidget *parent = nullptr;
        bool seen = false;
        WithNextModal<CSetItemsDlg>(seen, [&](CSetItemsDlg *dlg) {
            parent = dlg->parentWidget();
            shown = ListTexts(*dlg);
            dlg->KindBox()->setCurrentIndex(2);
            shown += ListTexts(*dlg);
        });
        ledger.MenuCommand(32782)->trigger();
        QVERIFY(seen);
        QCOMPARE(parent, &ledger);
        QCOMPARE(shown, orv::BookSchema::defaultCategories(RecordKind::Income) +
                            orv::BookSchema::defaultCategories(RecordKind::Loan));
    }

    void addingTwiceKeepsTheNameDialogOpen()
    {
        TestBook book;
        ScriptedPrompter prompter;
        CSetItemsDlg dlg;
        dlg.show();
        QString caption;
        bool openAndEmptied = true;
        QList<int> selected;
        bool seen = false;
        WithNextModal<CItemEditDlg>(seen, [&](CItemEditDlg *edit) {
            caption = edit->windowTitle();
            for (int i = 0; i < 2; ++i) {
                edit->NameEdit()->insert(QStringLiteral("年终奖"));
                QTest::mouseClick(edit->OkButton(), Qt::LeftButton);
                openAndEmptied = openAndEmptied && edit->isVisible() && edit->NameEdit()->text().isEmpty() &&
                                 edit->focusWidget() == edit->NameEdit();
                selected << dlg.SelectedRow();
            }
            Click(edit, 2);
        });
        Click(&dlg, 1011);
        QVERIFY(seen);
        QCOMPARE(caption, QStringLiteral("添加收入记录名目"));
        QVERIFY(openAndEmptied);
        // Duplicates are allowed; each new name is selected at the end.
        const QStringList expected = orv::BookSchema::defaultCategories(RecordKind::Income) + QStringList{"年终奖", "年终奖"};
        QCOMPARE(ListTexts(dlg), expected);
        QCOMPARE(TableTexts(book, RecordKind::Income), expected);
        QCOMPARE(selected, (QList<int>{int(expected.size()) - 2, int(expected.size()) - 1}));
        QVERIFY(prompter.shown.isEmpty());

        // An empty name is refused with a word of why; nothing is stored.
        CItemEditDlg edit(2, false, QString(), &dlg);
        edit.NameEdit()->setText(QStringLiteral("   "));
        edit.accept();
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("名目不能为空!")});
        QCOMPARE(prompter.shown.first().caption, QStringLiteral("注意"));
        QCOMPARE(TableTexts(book, RecordKind::Loan), orv::BookSchema::defaultCategories(RecordKind::Loan));
    }

    void renamingKeepsThePlaceTheSelectionAndTheEntries()
    {
        TestBook book;
        ScriptedPrompter prompter;
        SetCategories(book, RecordKind::Income, {"X", "Y", "Z"});
        book.add(RecordKind::Income, QDate(2009, 3, 7), QStringLiteral("Y"), 10.0);
        CSetItemsDlg dlg;
        dlg.show();
        Click(&dlg, 1012);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("请选择要修改的行!")});

        dlg.ItemList()->setCurrentRow(1);
        QStringList seenTexts;
        bool seen = false;
        WithNextModal<CItemEditDlg>(seen, [&](CItemEditDlg *edit) {
            seenTexts << edit->windowTitle() << edit->NameEdit()->selectedText();
            edit->NameEdit()->setText(QStringLiteral("W"));
            QTest::mouseClick(edit->OkButton(), Qt::LeftButton);
            seenTexts << (edit->isVisible() ? QStringLiteral("open") : QStringLiteral("closed"));
        });
        Click(&dlg, 1012);
        QVERIFY(seen);
        QCOMPARE(seenTexts, (QStringList{"修改收入记录名目", "Y", "closed"}));
        QCOMPARE(ListTexts(dlg), (QStringList{"X", "W", "Z"}));
        QCOMPARE(TableTexts(book, RecordKind::Income), ListTexts(dlg));
        QCOMPARE(dlg.SelectedRow(), 1);
        QCOMPARE(book.rows(QStringLiteral("INCOME")).first().at(2), QStringLiteral("Y"));
    }

    void deletingAsksAndMovesTheSelectionUp()
    {
        TestBook book;
        ScriptedPrompter prompter;
        SetCategories(book, RecordKind::Payout, {"a", "b", "c", "d", "e"});
        CSetItemsDlg dlg;
        dlg.KindBox()->setCurrentIndex(1);
        Click(&dlg, 1013);
        QCOMPARE(prompter.lastText(), QStringLiteral("请选择要删除的行!"));

        // No: nothing goes.
        dlg.ItemList()->setCurrentRow(3);
        prompter.answers.enqueue(MsgResult::No);
        Click(&dlg, 1013);
        QCOMPARE(prompter.lastText(), QStringLiteral("真的要删除 “d” 名目吗？"));
        QCOMPARE(prompter.shown.last().buttons, MsgButtons::YesNo);
        QCOMPARE(ListTexts(dlg).size(), 5);

        // A middle one goes; the one above is selected.
        Click(&dlg, 1013);
        QCOMPARE(ListTexts(dlg), (QStringList{"a", "b", "c", "e"}));
        QCOMPARE(TableTexts(book, RecordKind::Payout), ListTexts(dlg));
        QCOMPARE(dlg.SelectedRow(), 2);

        // The first goes; the new first is selected.
        dlg.ItemList()->setCurrentRow(0);
        Click(&dlg, 1013);
        QCOMPARE(ListTexts(dlg), (QStringList{"b", "c", "e"}));
        QCOMPARE(dlg.SelectedRow(), 0);
    }

    void movingKeepsTheSelectionOnTheMovedCategory()
    {
        TestBook book;
        ScriptedPrompter prompter;
        SetCategories(book, RecordKind::Income, {"x", "temp", "z"});
        CSetItemsDlg dlg;
        // Without a selection nothing happens.
        Click(&dlg, 1103);
        Click(&dlg, 1105);
        QCOMPARE(ListTexts(dlg), (QStringList{"x", "temp", "z"}));

        // Each step: up, up past the first, down, down, down past the last.
        const QList<QPair<int, QStringList>> steps = {{1103, {"temp", "x", "z"}}, {1103, {"temp", "x", "z"}},
                                                      {1105, {"x", "temp", "z"}}, {1105, {"x", "z", "temp"}},
                                                      {1105, {"x", "z", "temp"}}};
        dlg.ItemList()->setCurrentRow(1);
        for (const auto &[button, order] : steps) {
            Click(&dlg, button);
            QCOMPARE(ListTexts(dlg), order);
            QCOMPARE(TableTexts(book, RecordKind::Income), order);
            QCOMPARE(dlg.ItemList()->currentItem()->text(), QStringLiteral("temp"));
        }
        QVERIFY(prompter.shown.isEmpty());
    }

    void aMoveThatFailsHalfwayChangesNothing()
    {
        TestBook book;
        ScriptedPrompter prompter;
        SetCategories(book, RecordKind::Income, {"工资", "奖金", "其他"});
        if (TestBook::onServer()) {
            book.exec(QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                                     "$$ BEGIN RAISE EXCEPTION 'disk said no'; END $$"));
            book.exec(QStringLiteral("CREATE TRIGGER \"refuse\" BEFORE UPDATE ON \"INCOME_ITEMS\" FOR EACH ROW "
                                     "WHEN (OLD.\"items\" = '奖金') EXECUTE FUNCTION refuse()"));
        } else {
            book.exec(QStringLiteral("CREATE TRIGGER \"refuse\" BEFORE UPDATE ON \"INCOME_ITEMS\" "
                                     "WHEN OLD.\"items\" = '奖金' BEGIN SELECT RAISE(ABORT, 'disk said no'); END"));
        }
        CSetItemsDlg dlg;
        dlg.ItemList()->setCurrentRow(0);
        Click(&dlg, 1105);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.first().icon, MsgIcon::Stop);
        QVERIFY(prompter.shown.first().text.contains(QStringLiteral("disk said no")));
        QCOMPARE(ListTexts(dlg), (QStringList{"工资", "奖金", "其他"}));
        QCOMPARE(TableTexts(book, RecordKind::Income), ListTexts(dlg));
        QCOMPARE(dlg.SelectedRow(), 0);
    }

    void aBookThatWillNotOpenIsSaidSo()
    {
        ORV_FILE_BOOK_ONLY();
        TestBook book;
        ScriptedPrompter prompter;
        QFile::remove(book.bookPath());
        CSetItemsDlg dlg;
        QCOMPARE(prompter.lastText().section(u'\n', 0, 0), QStringLiteral("不能打开数据库"));
        QVERIFY(prompter.lastText().contains(QStringLiteral("找不到帐本文件")));
        QCOMPARE(dlg.ItemList()->count(), 0);
    }
};

ORV_WIDGET_TEST_MAIN(TestSetItemsDlg)
#include "tst_setitemsdlg.moc"
