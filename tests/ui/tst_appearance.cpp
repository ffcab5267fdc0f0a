// Each user's list colour: what the colour file gives, what the colour
// command stores; and the About box with its link.

#include "support/ScriptedPrompter.h"
#include "support/TestBook.h"

#include "app/Globals.h"
#include "controls/CHyperLink.h"
#include "mainwnd/CAboutDlg.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "settings/UserColorFile.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
const QColor kDefault(115, 151, 234);
} // namespace

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
    static QColor ListColour() { return RecordList().Window()->palette().color(QPalette::Base); }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>();
        m_prompter.clear();
    }

    void cleanup()
    {
        m_dlg.reset();
        m_book.reset();
    }

    void colourFileGivesTheListColour_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("a colour") << QByteArray("10\r\n200\r\n30\r\n") << QColor(10, 200, 30);
        QTest::newRow("300 wraps") << QByteArray("300\r\n0\r\n0\r\n") << QColor(44, 0, 0);
        QTest::newRow("-1 is 255") << QByteArray("-1\r\n0\r\n0\r\n") << QColor(255, 0, 0);
        QTest::newRow("blanks and trailing text") << QByteArray("  12abc\r\n+7\r\n9 \r\n") << QColor(12, 7, 9);
        QTest::newRow("line feeds only") << QByteArray("1\n2\n3\n") << QColor(1, 2, 3);
        QTest::newRow("black") << QByteArray("0\r\n0\r\n0\r\n") << kDefault;
        QTest::newRow("256 is black") << QByteArray("256\r\n0\r\n512\r\n") << kDefault;
        QTest::newRow("empty") << QByteArray("") << kDefault;
        QTest::newRow("not numbers") << QByteArray("red\r\ngreen\r\nblue\r\n") << kDefault;
        QTest::newRow("missing") << QByteArray() << kDefault;
    }

    void colourFileGivesTheListColour()
    {
        QFETCH(QByteArray, content);
        QFETCH(QColor, colour);
        if (!content.isNull())
            m_book->writeFile(QStringLiteral("user/爸爸.ini"), content);
        CLedgerDlg &dlg = Window();
        dlg.LoadUserColor();
        dlg.SwitchToIncome();
        QCOMPARE(ListColour(), colour);
        // Reading never rewrites the file; without a usable one the default is written.
        QCOMPARE(ColourFile(), colour == kDefault ? QByteArray("115\r\n151\r\n234\r\n") : content);
    }

    void directLoginKeepsTheDefaultColour()
    {
        m_book->writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        Window().SwitchToLoan();
        QCOMPARE(ListColour(), kDefault);
        QCOMPARE(ColourFile(), QByteArray("10\r\n20\r\n30\r\n"));
    }

    void colourCommandStoresAndRedraws()
    {
        CLedgerDlg &dlg = Window();
        // On the start screen: stored, and the next list takes it.
        m_prompter.colors.enqueue(QColor(20, 30, 40));
        dlg.MenuCommand(32806)->trigger();
        QCOMPARE(ColourFile(), QByteArray("20\r\n30\r\n40\r\n"));
        dlg.SwitchToPayout();
        QCOMPARE(ListColour(), QColor(20, 30, 40));

        // In a list: the list is made anew in the new colour; the dialog
        // always starts from the default colour, not the one in use.
        QPointer<QWidget> oldList = RecordList().Window();
        m_prompter.colors.enqueue(QColor(250, 240, 200));
        dlg.MenuCommand(32806)->trigger();
        QCOMPARE(m_prompter.colorRequests, (QList<QColor>{kDefault, kDefault}));
        QVERIFY(oldList.isNull());
        QCOMPARE(g_nModule, 2);
        QCOMPARE(ListColour(), QColor(250, 240, 200));
        QCOMPARE(ColourFile(), QByteArray("250\r\n240\r\n200\r\n"));

        // Black cannot be stored.
        m_prompter.colors.enqueue(QColor(0, 0, 0));
        dlg.OnSetBackColor();
        QCOMPARE(ColourFile(), QByteArray("115\r\n151\r\n234\r\n"));

        // Cancel writes back the colour in use, as the list shows it.
        m_book->writeFile(QStringLiteral("user/爸爸.ini"), "300\r\n0\r\n0\r\n");
        dlg.LoadUserColor();
        dlg.SwitchToQuery();
        m_prompter.colors.enqueue(QColor());
        dlg.OnSetBackColor();
        QCOMPARE(ColourFile(), QByteArray("44\r\n0\r\n0\r\n"));
        QCOMPARE(ListColour(), QColor(44, 0, 0));
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
        m_book->directLogin(name);
        m_dlg = std::make_unique<CLedgerDlg>();
        const QStringList before = QDir(m_book->dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        m_dlg->LoadUserColor();
        QCOMPARE(m_dlg->m_crBack, kDefault);
        m_prompter.colors.enqueue(QColor(9, 9, 9));
        m_dlg->OnSetBackColor();
        QCOMPARE(m_dlg->m_crBack, QColor(9, 9, 9));
        QCOMPARE(QDir(m_book->dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(QDir(m_book->path(QStringLiteral("user"))).entryList(QDir::Files), QStringList());
    }

    void aboutBoxIsWhiteWithItsLink()
    {
        CAboutDlg about;
        const QImage shot = about.grab().toImage();
        QCOMPARE(QColor(shot.pixel(3, 3)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(shot.width() - 3, shot.height() - 3)), QColor(Qt::white));
        CHyperLink *link = about.HomePageLink();
        QVERIFY(link->GetLinkTarget().startsWith(QStringLiteral("https://")));
        QCOMPARE(link->CurrentTextColour(), QColor(0, 0, 238));
        // The line's label names the link for a screen reader.
        bool labelled = false;
        for (QLabel *label : about.findChildren<QLabel *>())
            labelled = labelled || label->buddy() == link;
        QVERIFY(labelled);
        about.findChild<QPushButton *>(QStringLiteral("1"))->click();
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
