// Each user's list colour: what the colour file gives, what the colour
// command stores; the About box, and its link: colours as the pointer comes
// and goes, what a click opens, and what the user is told when it fails.

#include "support/WidgetTestMain.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedPrompter.h"
#include "support/UrlCatcher.h"
#include "support/TestBook.h"

#include "app/Globals.h"
#include "controls/CHyperLink.h"
#include "mainwnd/CAboutDlg.h"
#include "mainwnd/CLedgerDlg.h"
#include "records/CRecordListCtrl.h"
#include "settings/UserColorFile.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>

namespace {
const QColor kDefault(115, 151, 234);
const QString kHome = QStringLiteral("https://orvendal.example.org");
const QColor kLinkBlue(0, 0, 238), kHoverRed(255, 0, 0), kVisitedPurple(85, 26, 139);

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

    std::unique_ptr<QWidget> m_page;

    // A page with one link on it, shown, the pointer far away.
    CHyperLink &Link(const QString &text, const QString &target = QString())
    {
        m_page = std::make_unique<QWidget>();
        m_page->resize(400, 200);
        auto *link = new CHyperLink(text, m_page.get());
        link->move(50, 50);
        if (!target.isNull())
            link->SetLinkTarget(target);
        m_page->show();
        if (!QTest::qWaitForWindowExposed(m_page.get()))
            qWarning("page not exposed");
        Leave();
        return *link;
    }

    static void Hover(CHyperLink &link)
    {
        QCursor::setPos(link.mapToGlobal(link.rect().center()));
        QTest::mouseMove(&link, link.rect().center());
    }

    void Leave()
    {
        QCursor::setPos(m_page->mapToGlobal(QPoint(390, 190)));
        QTest::mouseMove(m_page.get(), QPoint(390, 190));
    }

private Q_SLOTS:
    void init()
    {
        m_book = std::make_unique<TestBook>();
        m_prompter.clear();
    }

    void cleanup()
    {
        m_page.reset();
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

    void aColourThatCannotBeStoredIsReported()
    {
        CLedgerDlg &dlg = Window();
        m_book->writeFile(QStringLiteral("user/爸爸.ini"), "10\r\n20\r\n30\r\n");
        m_prompter.colors.enqueue(QColor(20, 30, 40));
        {
            const FileSizeLimit diskFull;
            dlg.MenuCommand(32806)->trigger();
        }
        QCOMPARE(ColourFile(), QByteArray("10\r\n20\r\n30\r\n"));
        QCOMPARE(dlg.m_crBack, QColor(20, 30, 40)); // used for now, only not kept
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY2(m_prompter.lastText().startsWith(QStringLiteral("无法保存背景色，下次登录时仍将使用原来的颜色!")),
                 qPrintable(m_prompter.lastText()));
        QVERIFY(m_prompter.lastText().contains(qt_error_string(EFBIG)));
        QCOMPARE(m_prompter.shown.last().icon, MsgIcon::Exclamation);
    }

    void aNameThatIsNoFileNameGetsNoFile()
    {
        for (const QString &name : {QStringLiteral("../爸爸"), QString()}) {
            m_book->directLogin(name);
            m_dlg = std::make_unique<CLedgerDlg>();
            const QStringList before = QDir(m_book->dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            m_dlg->LoadUserColor();
            QCOMPARE(m_dlg->m_crBack, kDefault);
            m_prompter.colors.enqueue(QColor(9, 9, 9));
            m_dlg->OnSetBackColor();
            QCOMPARE(m_dlg->m_crBack, QColor(9, 9, 9)); // used, only not kept, and the user is told
            QVERIFY2(m_prompter.lastText().startsWith(QStringLiteral("无法保存背景色")), qPrintable(m_prompter.lastText()));
            QCOMPARE(QDir(m_book->dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
            QCOMPARE(QDir(m_book->path(QStringLiteral("user"))).entryList(QDir::Files), QStringList());
        }
    }

    void aboutBoxIsWhiteWithItsLink()
    {
        CAboutDlg about;
        const QImage shot = about.grab().toImage();
        QCOMPARE(QColor(shot.pixel(3, 3)), QColor(Qt::white));
        // The line's label names the link for a screen reader.
        bool labelled = false;
        for (QLabel *label : about.findChildren<QLabel *>())
            labelled = labelled || label->buddy() == about.HomePageLink();
        QVERIFY(labelled);
        QCOMPARE(about.HomePageLink()->CurrentTextColour(), kLinkBlue);
        about.findChild<QPushButton *>(QStringLiteral("1"))->click();
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }


    // The colour command in each list module: the list is made anew in the
    // new colour and keeps showing that module's rows.
    void colourCommandInEveryModule_data()
    {
        QTest::addColumn<int>("module");
        QTest::newRow("income") << 1;
        QTest::newRow("expense") << 2;
        QTest::newRow("query") << 3;
        QTest::newRow("loans") << 5;
    }

    void colourCommandInEveryModule()
    {
        QFETCH(int, module);
        m_book->add(orv::RecordKind::Income, QDate(2024, 1, 5), QStringLiteral("工资"), 100);
        m_book->add(orv::RecordKind::Payout, QDate(2024, 1, 6), QStringLiteral("餐饮"), 20);
        m_book->add(orv::RecordKind::Payout, QDate(2024, 1, 7), QStringLiteral("交通"), 3);
        m_book->add(orv::RecordKind::Loan, QDate(2024, 1, 8), QStringLiteral("借出"), 50);
        CLedgerDlg &dlg = Window();
        dlg.SwitchToModule(module);
        QStringList before;
        for (int row = 0; row < RecordList().GetItemCount(); ++row)
            before << RecordList().GetItemText(row, 2);
        QPointer<QWidget> oldList = RecordList().Window();
        m_prompter.colors.enqueue(QColor(250, 240, 200));
        dlg.MenuCommand(32806)->trigger();
        QVERIFY(oldList.isNull());
        QCOMPARE(g_nModule, module);
        QCOMPARE(ListColour(), QColor(250, 240, 200));
        QStringList after;
        for (int row = 0; row < RecordList().GetItemCount(); ++row)
            after << RecordList().GetItemText(row, 2);
        QCOMPARE(after, before);
        QVERIFY(!after.isEmpty());
    }

    // -- the link -------------------------------------------------------------

    void hoverAndVisitColourAndUnderline()
    {
        CHyperLink &link = Link(QStringLiteral("Orvendal 主页"), kHome);
        QCOMPARE(link.CurrentTextColour(), kLinkBlue);
        QVERIFY(!link.IsUnderlined());
        Hover(link);
        QCOMPARE(link.CurrentTextColour(), kHoverRed);
        QVERIFY(link.IsUnderlined());
        // The link's own check of the pointer notices it has gone.
        Leave();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsUnderlined(), 2000);
        QCOMPARE(link.CurrentTextColour(), kLinkBlue);

        // What is painted is the colour of the moment.
        link.MarkVisited();
        const QImage shot = link.grab().toImage();
        bool visitedInk = false;
        for (int y = 0; y < shot.height() && !visitedInk; ++y)
            for (int x = 0; x < shot.width() && !visitedInk; ++x)
                visitedInk = QColor(shot.pixel(x, y)) == kVisitedPurple;
        QVERIFY(visitedInk);
    }

    void clickOpensTheTargetOnTheDesktop()
    {
        UrlCatcher catcher;
        CHyperLink &link = Link(QString(), kHome + QStringLiteral("/start"));
        // An empty text shows the target, which the tip names as well.
        QCOMPARE(link.text(), kHome + QStringLiteral("/start"));
        QCOMPARE(link.toolTip(), link.text());
        QVERIFY(link.width() <= link.fontMetrics().horizontalAdvance(link.text()) + 10); // fitted to its text
        QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
        link.setFocus();
        QTest::keyClick(&link, Qt::Key_Return);
        QCOMPARE(catcher.urls(), QList<QUrl>(2, QUrl(kHome + QStringLiteral("/start"))));
        QVERIFY(link.IsVisited());
        QCOMPARE(link.CurrentTextColour(), kVisitedPurple);
        QVERIFY(m_prompter.shown.isEmpty());
    }

    // The desktop's opener is asked and listened to: one that finds no
    // program (no browser) leaves the link unvisited and says so.
    void openingIsJudgedByTheOpener_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("lingers");
        QTest::addColumn<bool>("opened");
        QTest::newRow("no browser") << 3 << false << false;
        QTest::newRow("opener failed") << 4 << false << false;
        QTest::newRow("opened") << 0 << false << true;
        QTest::newRow("browser kept in front") << 0 << true << true;
    }

    void openingIsJudgedByTheOpener()
    {
        QFETCH(int, exitCode);
        QFETCH(bool, lingers);
        QFETCH(bool, opened);
        UrlCatcher catcher(exitCode, lingers);
        CAboutDlg about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        CHyperLink &link = *about.HomePageLink();
        QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
        QCOMPARE(catcher.urls(), QList<QUrl>{CHyperLink::TargetUrl(link.GetLinkTarget())});
        QCOMPARE(link.IsVisited(), opened);
        if (opened) {
            QVERIFY(m_prompter.shown.isEmpty());
            return;
        }
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Unable to open hyperlink:\n\nThere is no application "
                                                                "associated\nwith the given filename extension.")});
        QCOMPARE(m_prompter.shown.last().icon, MsgIcon::Exclamation);
        QCOMPARE(link.CurrentTextColour(), kLinkBlue);
    }

    void aMissingFileIsNotHandedOn()
    {
        UrlCatcher catcher;
        QTemporaryDir dir;
        const QString missing = QDir(dir.path()).filePath(QStringLiteral("说明.txt"));
        CHyperLink &local = Link(QStringLiteral("说明"), missing);
        QVERIFY(!local.Open());
        QVERIFY(catcher.urls().isEmpty());
        QCOMPARE(m_prompter.lastText(), QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not found."));
        QVERIFY(!local.IsVisited());
        QFile file(missing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(local.Open());
        QCOMPARE(catcher.urls(), QList<QUrl>{QUrl::fromLocalFile(missing)});
        QVERIFY(local.IsVisited());
    }
};

ORV_WIDGET_TEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
