// Each user's list colour: what the colour file gives, what the colour
// command stores, and the fixed colours of the login dialog and About box.

#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include "app/CLoginDlg.h"
#include "app/Globals.h"
#include "controls/CHyperLink.h"
#include "mainwnd/CAboutDlg.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "settings/GbkText.h"
#include "settings/UserColorFile.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

class TestAppearance : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestBook> m_book;
    std::unique_ptr<CLedgerDlg> m_dlg;
    ScriptedPrompter m_prompter;

    // The main window of user 爸爸, logged in directly (no colour read).
    CLedgerDlg &Window()
    {
        m_book->directLogin(QStringLiteral("爸爸"));
        m_dlg = std::make_unique<CLedgerDlg>();
        return *m_dlg;
    }

    QByteArray ColourFile() const { return m_book->readFile(QStringLiteral("user/爸爸.ini")); }
    QColor ListColour() const { return RecordList().Window()->palette().color(QPalette::Base); }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>();
        m_prompter.clear();
        m_prompter.colors.clear();
    }

    void cleanup()
    {
        m_dlg.reset();
        m_book.reset();
    }

    void colourFileGivesTheListColour_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QByteArray>("afterwards");
        const QByteArray fallback("115\r\n151\r\n234\r\n");
        QTest::newRow("a colour") << true << QByteArray("10\r\n200\r\n30\r\n") << QColor(10, 200, 30)
                                  << QByteArray("10\r\n200\r\n30\r\n");
        QTest::newRow("300 wraps, file untouched") << true << QByteArray("300\r\n0\r\n0\r\n") << QColor(44, 0, 0)
                                                   << QByteArray("300\r\n0\r\n0\r\n");
        QTest::newRow("-1 is 255") << true << QByteArray("-1\r\n0\r\n0\r\n") << QColor(255, 0, 0)
                                   << QByteArray("-1\r\n0\r\n0\r\n");
        QTest::newRow("blanks and trailing text") << true << QByteArray("  12abc\r\n+7\r\n9 \r\n") << QColor(12, 7, 9)
                                                  << QByteArray("  12abc\r\n+7\r\n9 \r\n");
        QTest::newRow("line feeds only") << true << QByteArray("1\n2\n3\n") << QColor(1, 2, 3) << QByteArray("1\n2\n3\n");
        QTest::newRow("black") << true << QByteArray("0\r\n0\r\n0\r\n") << QColor(115, 151, 234) << fallback;
        QTest::newRow("256 is black") << true << QByteArray("256\r\n0\r\n512\r\n") << QColor(115, 151, 234) << fallback;
        QTest::newRow("empty") << true << QByteArray() << QColor(115, 151, 234) << fallback;
        QTest::newRow("not numbers") << true << QByteArray("red\r\ngreen\r\nblue\r\n") << QColor(115, 151, 234)
                                     << fallback;
        QTest::newRow("missing") << false << QByteArray() << QColor(115, 151, 234) << fallback;
    }

    void colourFileGivesTheListColour()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, content);
        QFETCH(QColor, colour);
        QFETCH(QByteArray, afterwards);
        if (exists)
            m_book->writeFile(QStringLiteral("user/爸爸.ini"), content);
        CLedgerDlg &dlg = Window();
        QCOMPARE(dlg.m_crBack, QColor(115, 151, 234));
        dlg.LoadUserColor();
        QCOMPARE(dlg.m_crBack, colour);
        QCOMPARE(ColourFile(), afterwards);
        dlg.SwitchToIncome();
        QCOMPARE(ListColour(), colour);
    }

    void theReadValuesAreKeptAsRead()
    {
        m_book->writeFile(QStringLiteral("user/爸爸.ini"), "300\r\n-1\r\n7\r\n");
        CLedgerDlg &dlg = Window();
        dlg.LoadUserColor();
        QCOMPARE(dlg.m_nRed, 300);
        QCOMPARE(dlg.m_nGreen, -1);
        QCOMPARE(dlg.m_nBlue, 7);
        QCOMPARE(dlg.m_crBack, QColor(44, 255, 7));
    }

    void directLoginKeepsTheDefaultColour()
    {
        m_book->writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        CLedgerDlg &dlg = Window();
        dlg.SwitchToLoan();
        QCOMPARE(ListColour(), QColor(115, 151, 234));
        QCOMPARE(ColourFile(), QByteArray("10\r\n20\r\n30\r\n"));
    }

    void choosingAColourStoresItAndRedrawsTheList()
    {
        CLedgerDlg &dlg = Window();
        dlg.SwitchToPayout();
        QPointer<QWidget> oldList = RecordList().Window();
        m_prompter.colors.enqueue(QColor(250, 240, 200));
        dlg.MenuCommand(32806)->trigger();
        QCOMPARE(m_prompter.colorRequests, (QList<QColor>{QColor(115, 151, 234)}));
        QCOMPARE(dlg.m_crBack, QColor(250, 240, 200));
        QCOMPARE(ColourFile(), QByteArray("250\r\n240\r\n200\r\n"));
        QCOMPARE(g_nModule, 2);
        QVERIFY(oldList.isNull());
        QCOMPARE(ListColour(), QColor(250, 240, 200));

        // The dialog always starts from the default colour, not the one in use.
        m_prompter.colors.enqueue(QColor(1, 2, 3));
        dlg.OnSetBackColor();
        QCOMPARE(m_prompter.colorRequests.last(), QColor(115, 151, 234));
        QCOMPARE(ColourFile(), QByteArray("1\r\n2\r\n3\r\n"));
    }

    void cancelRewritesTheColourInUse()
    {
        m_book->writeFile(QStringLiteral("user/爸爸.ini"), "300\r\n0\r\n0\r\n");
        CLedgerDlg &dlg = Window();
        dlg.LoadUserColor();
        dlg.SwitchToQuery();
        m_prompter.colors.enqueue(QColor()); // Cancel
        dlg.OnSetBackColor();
        QCOMPARE(dlg.m_crBack, QColor(44, 0, 0));
        QCOMPARE(ColourFile(), QByteArray("44\r\n0\r\n0\r\n"));
        QCOMPARE(g_nModule, 3);
        QCOMPARE(ListColour(), QColor(44, 0, 0));
    }

    void blackCannotBeStored()
    {
        CLedgerDlg &dlg = Window();
        m_prompter.colors.enqueue(QColor(0, 0, 0));
        dlg.OnSetBackColor();
        QCOMPARE(dlg.m_crBack, QColor(115, 151, 234));
        QCOMPARE(ColourFile(), QByteArray("115\r\n151\r\n234\r\n"));
    }

    void onTheStartScreenTheListTakesTheColourLater()
    {
        CLedgerDlg &dlg = Window();
        m_prompter.colors.enqueue(QColor(20, 30, 40));
        dlg.OnSetBackColor();
        QCOMPARE(g_nModule, 0);
        QVERIFY(!RecordList().Window());
        QCOMPARE(ColourFile(), QByteArray("20\r\n30\r\n40\r\n"));
        dlg.SwitchToIncome();
        QCOMPARE(ListColour(), QColor(20, 30, 40));
    }

    void aNameThatIsNoFileNameGetsNoFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << QStringLiteral("../爸爸");
        QTest::newRow("parent") << QStringLiteral("..");
        QTest::newRow("backslash") << QStringLiteral("a\\b");
        QTest::newRow("empty") << QString();
    }

    void aNameThatIsNoFileNameGetsNoFile()
    {
        QFETCH(QString, name);
        QVERIFY(!orv::UserColorFile::isSafeUserName(name));
        m_book->directLogin(name);
        m_dlg = std::make_unique<CLedgerDlg>();
        const QStringList before = QDir(m_book->dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const QStringList usersBefore = QDir(m_book->path(QStringLiteral("user"))).entryList(QDir::Files);
        m_dlg->LoadUserColor();
        QCOMPARE(m_dlg->m_crBack, QColor(115, 151, 234));
        m_prompter.colors.enqueue(QColor(9, 9, 9));
        m_dlg->OnSetBackColor();
        QCOMPARE(m_dlg->m_crBack, QColor(9, 9, 9));
        QCOMPARE(QDir(m_book->dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(QDir(m_book->path(QStringLiteral("user"))).entryList(QDir::Files), usersBefore);
        QVERIFY(!QFile::exists(QDir(m_book->dir()).filePath(QStringLiteral("爸爸.ini"))));
    }

    void colourFileIsGbkWithCrLf()
    {
        const QString name = QStringLiteral("奶奶");
        const orv::UserColorFile file(m_book->dir(), name);
        QVERIFY(file.save({1, 22, 233}));
        QFile raw(m_book->path(QStringLiteral("user/") + name + QStringLiteral(".ini")));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QCOMPARE(raw.readAll(), QByteArray("1\r\n22\r\n233\r\n"));
        // The same name finds the file again.
        QCOMPARE(file.load(), (orv::RgbValues{1, 22, 233}));
    }

    void loginDialogIsWhiteWithBlueLabels()
    {
        CLoginDlg login;
        QCOMPARE(login.palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(login.palette().color(QPalette::WindowText), QColor(Qt::black));
        QVERIFY(login.autoFillBackground());
        int blue = 0;
        for (QLabel *label : login.findChildren<QLabel *>()) {
            if (label->text().isEmpty())
                continue; // pictures
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QVERIFY(label->buddy());
            ++blue;
        }
        QCOMPARE(blue, 2);
        const QImage shot = login.grab().toImage();
        QCOMPARE(QColor(shot.pixel(2, shot.height() / 2)), QColor(Qt::white));
    }

    void aboutBoxIsWhiteWithBlackText()
    {
        CAboutDlg about;
        QCOMPARE(about.objectName(), QStringLiteral("100"));
        QCOMPARE(about.windowTitle(), QStringLiteral("关于 Orvendal"));
        QCOMPARE(about.palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(about.palette().color(QPalette::WindowText), QColor(Qt::black));
        const QImage shot = about.grab().toImage();
        QCOMPARE(QColor(shot.pixel(3, 3)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(shot.width() - 3, shot.height() - 3)), QColor(Qt::white));

        bool named = false;
        for (QLabel *label : about.findChildren<QLabel *>()) {
            if (label->text().contains(QStringLiteral("Orvendal")) && label->text().contains(QStringLiteral("2.5.1")))
                named = true;
        }
        QVERIFY(named);
        auto *icon = about.findChild<QLabel *>(QStringLiteral("128"));
        QVERIFY(icon && !icon->pixmap().isNull());
        auto *ok = about.findChild<QPushButton *>(QStringLiteral("1"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("确定"));
        QVERIFY(ok->isDefault());
        CHyperLink *link = about.HomePageLink();
        QCOMPARE(link->GetLinkTarget(), CAboutDlg::HomePage());
        QVERIFY(link->GetLinkTarget().startsWith(QStringLiteral("https://")));
        QCOMPARE(link->CurrentTextColour(), QColor(0, 0, 238));
        // The line's label names the link for a screen reader.
        bool labelled = false;
        for (QLabel *label : about.findChildren<QLabel *>())
            labelled = labelled || label->buddy() == link;
        QVERIFY(labelled);
        ok->click();
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
