// What the family typed is shown as typed: a category "<s>工资</s>" is not
// struck through, "<!--" hides nothing after it, "[*]" stays in a title.

#include "support/WidgetTestMain.h"

#include "app/Globals.h"
#include "items/CSetItemsDlg.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "support/TestBook.h"
#include "users/CDeleteUserDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

using orv::RecordKind;

namespace {

// The words a label puts on the screen: its text as it is, or what the
// markup it was read as leaves of it.
QString ShownText(const QString &text, Qt::TextFormat format)
{
    const bool rich = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    if (!rich)
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

QString ShownTitle(QWidget *window)
{
    window->winId(); // the platform window carries the title as drawn
    return window->windowHandle()->title();
}

} // namespace

class TestPlainText : public QObject
{
    Q_OBJECT

    static void TypedTexts()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("struck through") << QStringLiteral("<s>工资</s>");
        QTest::newRow("comment start") << QStringLiteral("<!--工资");
        QTest::newRow("bold and entity") << QStringLiteral("<b>奖金</b> &amp; 红包");
        QTest::newRow("modified mark") << QStringLiteral("外快[*]");
    }

private Q_SLOTS:
    void messageBoxShowsTheCategoryAsTyped_data() { TypedTexts(); }
    void titlesShowTheUserAsTyped_data() { TypedTexts(); }
    void listTipShowsTheRemarkAsTyped_data() { TypedTexts(); }

    // The real message box, as the family meets it when deleting a category.
    void messageBoxShowsTheCategoryAsTyped()
    {
        QFETCH(QString, typed);
        TestBook book;
        book.exec(QStringLiteral("DELETE FROM \"INCOME_ITEMS\""));
        book.exec(QStringLiteral("INSERT INTO \"INCOME_ITEMS\" (\"items\") VALUES ('%1')").arg(QString(typed).replace(u'\'', "''")));
        CSetItemsDlg dlg;
        dlg.show();
        dlg.ItemList()->setCurrentRow(0);
        QString shown;
        QString title;
        bool came = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            came = box != nullptr;
            if (!box)
                return;
            auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            shown = ShownText(label->text(), label->textFormat());
            title = ShownTitle(box);
            box->button(QMessageBox::No)->click();
        });
        dlg.OnDeleteItem();
        QVERIFY(came);
        QCOMPARE(shown, QStringLiteral("真的要删除 “") + typed + QStringLiteral("” 名目吗？"));
        QCOMPARE(title, QStringLiteral("注意"));
        QCOMPARE(dlg.ItemList()->count(), 1); // answered No
    }

    void titlesShowTheUserAsTyped()
    {
        QFETCH(QString, typed);
        const QString user = QStringLiteral("爸爸") + typed;
        TestBook book({{user, QStringLiteral("pw")}});
        book.directLogin(user);
        {
            CLedgerDlg window;
            QCOMPARE(ShownTitle(&window), QStringLiteral("KestruneV2.5.1  —  当前用户：") + user);
        }
        CDeleteUserDlg dlg(user);
        QCOMPARE(ShownTitle(&dlg), QStringLiteral("删除用户：") + user);
    }

    // A remark too long for its column shows whole in the cell's tool tip.
    void listTipShowsTheRemarkAsTyped()
    {
        QFETCH(QString, typed);
        const QString remark = typed + QStringLiteral("，这是一条很长很长的备注，长得一栏放不下，只能在提示里看全");
        TestBook book;
        book.directLogin(QStringLiteral("爸爸"));
        book.add(RecordKind::Income, QDate(2024, 3, 1), typed, 12.5, remark);
        CLedgerDlg window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.SwitchToIncome();
        CRecordListView *view = RecordList().Window();
        QVERIFY(view);
        auto tipAt = [view](int column) {
            const QRect cell = view->visualRect(view->model()->index(0, column));
            QHelpEvent help(QEvent::ToolTip, cell.center(), view->viewport()->mapToGlobal(cell.center()));
            QToolTip::hideText();
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000))
                return QStringLiteral("(a tip that would not go)");
            QApplication::sendEvent(view->viewport(), &help);
            return QToolTip::isVisible() ? ShownText(QToolTip::text(), Qt::AutoText) : QString();
        };
        QCOMPARE(tipAt(4), remark);
        QCOMPARE(tipAt(0), QString()); // an id that fits needs no tip
        QToolTip::hideText();
    }
};

ORV_WIDGET_TEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
