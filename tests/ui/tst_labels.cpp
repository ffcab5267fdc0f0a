// Every input field of every dialog is named by the label the user reads
// beside it, so that screen readers (and tools driving the program through
// the accessibility bus) find it by those words.

#include "support/WidgetTestMain.h"
#include "analysis/CAnalysisView.h"
#include "app/CLoginDlg.h"
#include "import/CImportCsvDlg.h"
#include "items/CItemEditDlg.h"
#include "items/CSetItemsDlg.h"
#include "query/CQueryDlg.h"
#include "records/CAddRecordDlg.h"
#include "records/CModifyRecordDlg.h"
#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"
#include "users/CAddUserDlg.h"
#include "users/CDeleteUserDlg.h"
#include "users/CModifyUserDlg.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <memory>

class TestLabels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFieldHasTheLabelBesideIt_data()
    {
        QTest::addColumn<std::function<QDialog *()>>("make");
        using Make = std::function<QDialog *()>;
        QTest::newRow("login") << Make([] { return new CLoginDlg; });
        QTest::newRow("add entry") << Make([] { return new CAddRecordDlg(orv::RecordKind::Income); });
        QTest::newRow("modify entry") << Make([] { return new CModifyRecordDlg(orv::RecordKind::Loan); });
        QTest::newRow("query") << Make([] { return new CQueryDlg; });
        QTest::newRow("categories") << Make([] { return new CSetItemsDlg; });
        QTest::newRow("category name") << Make([] { return new CItemEditDlg(0, false, QString()); });
        QTest::newRow("add user") << Make([] { return new CAddUserDlg; });
        QTest::newRow("modify user") << Make([] { return new CModifyUserDlg(QStringLiteral("爸爸")); });
        QTest::newRow("delete user") << Make([] { return new CDeleteUserDlg(QStringLiteral("爸爸")); });
        // The analysis module's period fields, every kind of period shown in turn.
        for (int kind = 0; kind < 3; ++kind) {
            QTest::newRow(qPrintable(QStringLiteral("analysis period %1").arg(kind))) << Make([kind] {
                auto *dlg = new QDialog;
                auto *view = new CAnalysisView(dlg);
                view->SetPeriod(orv::AnalysisPeriod::around(orv::PeriodKind(kind), QDate(2024, 2, 29)));
                return dlg;
            });
        }
        QTest::newRow("CSV import") << Make([] {
            return new CImportCsvDlg(QStringLiteral("a.csv"), "类别,日期,金额\n收入,2024-1-1,1\n", {}, orv::RecordKind::Income);
        });
    }

    void everyFieldHasTheLabelBesideIt()
    {
        QFETCH(std::function<QDialog *()>, make);
        TestBook book;
        ScriptedPrompter prompter;
        std::unique_ptr<QDialog> dlg(make());
        dlg->show();
        QHash<QWidget *, QString> named;
        for (QLabel *label : dlg->findChildren<QLabel *>()) {
            if (label->buddy())
                named.insert(label->buddy(), label->text());
        }
        QList<QWidget *> fields;
        for (QWidget *w : dlg->findChildren<QWidget *>()) {
            const bool field = qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) ||
                               qobject_cast<QAbstractSpinBox *>(w);
            // The line edit inside an editable combo box or spin box is named through its owner.
            if (field && !qobject_cast<QComboBox *>(w->parentWidget()) &&
                !qobject_cast<QAbstractSpinBox *>(w->parentWidget()) && w->isVisible())
                fields.append(w);
        }
        QVERIFY(!fields.isEmpty());
        for (QWidget *field : fields) {
            // The label beside it, or else the titled frame it sits alone in.
            QString label = named.value(field);
            if (label.isEmpty()) {
                if (auto *frame = qobject_cast<QGroupBox *>(field->parentWidget()))
                    label = frame->title();
            }
            QVERIFY2(!label.isEmpty(), qPrintable(field->objectName() + QStringLiteral(" has no label")));
            // Screen readers learn it from the field's "labelled by" relation
            // (an edit also takes the label's words as its name).
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(field);
            QVERIFY(face);
            label.remove(u'&');
            QStringList labels;
            for (const auto &[other, relation] : face->relations(QAccessible::Label))
                labels.append(other->text(QAccessible::Name));
            if (labels.isEmpty())
                labels.append(face->text(QAccessible::Name)); // a frame's title names its only field
            QVERIFY2(labels.contains(label), qPrintable(field->objectName() + u' ' + labels.join(u'|')));
        }
    }
};

ORV_WIDGET_TEST_MAIN(TestLabels)
#include "tst_labels.moc"
