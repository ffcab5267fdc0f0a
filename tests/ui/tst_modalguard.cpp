// The guard that keeps a widget test from hanging on a modal window no step
// expected: it closes the window and names it in the test's failure.

#include "support/WidgetTestMain.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestModalGuard : public QObject
{
    Q_OBJECT

    QStringList m_reports;

private Q_SLOTS:
    void init()
    {
        m_reports.clear();
        ModalGuard::SetReporter([this](const QString &report) { m_reports << report; });
    }

    void cleanup() { ModalGuard::SetReporter(nullptr); }

    void aStrayBoxIsClosedAndNamed()
    {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("注意"), QStringLiteral("没有人回答的问题"),
                        QMessageBox::Yes | QMessageBox::No);
        QElapsedTimer clock;
        clock.start();
        box.exec();
        QVERIFY(clock.elapsed() < ModalGuard::kGraceMs + 2000);
        QCOMPARE(m_reports.size(), 1);
        QVERIFY2(m_reports[0].contains(QStringLiteral("注意")), qPrintable(m_reports[0]));
        QVERIFY2(m_reports[0].contains(QStringLiteral("没有人回答的问题")), qPrintable(m_reports[0]));
    }

    void aStrayMenuIsClosedAndNamed()
    {
        QMenu menu;
        menu.addAction(QStringLiteral("导出Excel表(&E)..."));
        menu.exec(QPoint(10, 10));
        QCOMPARE(m_reports.size(), 1);
        QVERIFY(m_reports[0].contains(QStringLiteral("导出Excel表")));
    }

    void anExpectedDialogIsLeftToItsStep()
    {
        QDialog dialog;
        dialog.setWindowTitle(QStringLiteral("添加收入记录"));
        QTimer::singleShot(0, &dialog, [&dialog] {
            const ModalGuard::Expect expected(&dialog);
            QTest::qWait(ModalGuard::kGraceMs + 500);
            dialog.accept();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(m_reports.isEmpty());
    }
};

ORV_WIDGET_TEST_MAIN(TestModalGuard)
#include "tst_modalguard.moc"
