// Texts the book cannot keep as typed — a NUL inside, a byte-order mark
// (U+FEFF, or its swapped U+FFFE) at the start — pasted into any field
// whose text is stored or searched for: refused with one clear message,
// and the book is left as it was. Never stored cut, swapped or emptied,
// never a criterion that matches every row.

#include "support/WidgetTestMain.h"
#include "app/Globals.h"
#include "items/CItemEditDlg.h"
#include "items/CSetItemsDlg.h"
#include "mainwnd/CLedgerDlg.h"
#include "query/CQueryDlg.h"
#include "records/CAddRecordDlg.h"
#include "records/CRecordListCtrl.h"
#include "model/TextForms.h"
#include "support/NextModal.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "users/CAddUserDlg.h"
#include "users/CModifyUserDlg.h"
#include "users/CUserManageDlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

using orv::RecordKind;

namespace {

const QString kDad = QStringLiteral("爸爸");

void Click(QWidget *dlg, int id)
{
    QTest::mouseClick(dlg->findChild<QPushButton *>(QString::number(id)), Qt::LeftButton);
}

} // namespace

class TestInvisibleTexts : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    // Where the query module's list lives without the main window.
    QWidget m_host;

    // Types text into the field of this path and presses the button that
    // stores it or searches for it.
    void TypeInto(const QString &path, const QString &text)
    {
        if (path.startsWith(QLatin1String("entry"))) {
            CAddRecordDlg dlg(RecordKind::Payout);
            dlg.show();
            dlg.AmountEdit()->setText(QStringLiteral("12.5"));
            dlg.ItemsBox()->setEditText(path == QLatin1String("entry category") ? text : QStringLiteral("餐饮"));
            dlg.RemarkEdit()->setText(path == QLatin1String("entry remark") ? text : QString());
            QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
        } else if (path == QLatin1String("category")) {
            CSetItemsDlg dlg;
            dlg.show();
            bool seen = false;
            WithNextModal<CItemEditDlg>(seen, [&](CItemEditDlg *edit) {
                edit->NameEdit()->setText(text);
                QTest::mouseClick(edit->OkButton(), Qt::LeftButton);
            });
            Click(&dlg, 1011);
            QVERIFY(seen);
        } else if (path == QLatin1String("new user") || path == QLatin1String("new user's password")) {
            CUserManageDlg dlg;
            dlg.show();
            bool seen = false;
            WithNextModal<CAddUserDlg>(seen, [&](CAddUserDlg *add) {
                const bool name = path == QLatin1String("new user");
                add->NameEdit()->setText(name ? text : QStringLiteral("奶奶"));
                add->PasswordEdit()->setText(name ? QStringLiteral("pw") : text);
                add->ConfirmEdit()->setText(name ? QStringLiteral("pw") : text);
                Click(add, 1);
            });
            Click(&dlg, 1);
            QVERIFY(seen);
        } else if (path == QLatin1String("renamed user") || path == QLatin1String("new password")) {
            CUserManageDlg dlg;
            dlg.show();
            QTableWidget *list = dlg.UserList();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0, 0)).center());
            bool seen = false;
            WithNextModal<CModifyUserDlg>(seen, [&](CModifyUserDlg *modify) {
                const bool name = path == QLatin1String("renamed user");
                modify->NameEdit()->setText(name ? text : kDad);
                modify->OldPasswordEdit()->setText(QStringLiteral("pw"));
                modify->NewPasswordEdit()->setText(name ? QStringLiteral("pw") : text);
                modify->ConfirmEdit()->setText(name ? QStringLiteral("pw") : text);
                Click(modify, 1);
            });
            Click(&dlg, 1012);
            QVERIFY(seen);
        } else {
            CQueryDlg dlg;
            dlg.show();
            dlg.DateFromPicker()->setDate(QDate(2000, 1, 1));
            dlg.findChild<QRadioButton *>("1036")->click();
            QComboBox *box = path == QLatin1String("query category") ? dlg.CategoryBox()
                             : path == QLatin1String("query remark") ? dlg.RemarkBox()
                                                                      : dlg.UserBox();
            box->setEditText(text);
            dlg.findChild<QPushButton *>("1")->click();
        }
    }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>(QList<QPair<QString, QString>>{{kDad, QStringLiteral("pw")}});
        m_prompter = std::make_unique<ScriptedPrompter>();
        g_strCurUser = kDad;
        g_nModule = 3;
        RecordList().CreateListWindow(&m_host, QRect(0, 0, 700, 400), ListColumns::Query, QColor(115, 151, 234));
        m_book->add(RecordKind::Payout, QDate(2024, 1, 1), QStringLiteral("餐饮"), 30, QStringLiteral("午饭"));
        m_book->add(RecordKind::Payout, QDate(2024, 1, 2), QStringLiteral("交通"), 5, QStringLiteral("地铁"));
    }

    void cleanup()
    {
        m_prompter.reset();
        m_book.reset();
        g_nModule = 0;
    }

    void refusedWhereverTyped_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        const QList<QPair<const char *, QString>> texts = {
            {"NUL inside", QStringLiteral("午") + QChar(0) + QStringLiteral("饭")},
            {"U+FEFF first", QChar(0xFEFF) + QStringLiteral("午饭")},
            {"U+FFFE first", QChar(0xFFFE) + QStringLiteral("午饭")},
            {"U+FFFE alone", QString(QChar(0xFFFE))},
        };
        for (const char *path : {"entry category", "entry remark", "category", "new user", "new user's password",
                                 "renamed user", "new password", "query category", "query remark", "query user"}) {
            for (const auto &[name, text] : texts)
                QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(path), QLatin1String(name))))
                    << QString::fromLatin1(path) << text;
        }
    }
    void refusedWhereverTyped()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        const QString before = m_book->contents();
        const int listed = RecordList().GetItemCount();
        TypeInto(path, text);
        QVERIFY2(m_prompter->texts().contains(orv::unstorableTextMessage()), qPrintable(m_prompter->texts().join(u'|')));
        QCOMPARE(m_book->contents(), before);
        // A refused query shows no result.
        QCOMPARE(RecordList().GetItemCount(), listed);
    }

    // The same characters inside a text, where they are ordinary: stored
    // and found exactly.
    void elsewhereInATextTheyAreKept()
    {
        const QString remark = QStringLiteral("午饭") + QChar(0xFEFF) + QStringLiteral("！");
        TypeInto(QStringLiteral("entry remark"), remark);
        QVERIFY2(m_prompter->shown.isEmpty(), qPrintable(m_prompter->texts().join(u'|')));
        QCOMPARE(m_book->rows(QStringLiteral("PAYOUT")).last().at(4), remark);
    }
};

ORV_WIDGET_TEST_MAIN(TestInvisibleTexts)
#include "tst_invisibletexts.moc"
