// The link of the About box: its colours, underline modes, tool tip and
// cursor, and what a click does when the target opens and when it does not.

#include "support/ScriptedPrompter.h"

#include "controls/CHyperLink.h"

#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace

class TestHyperLink : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    std::unique_ptr<QWidget> m_page;
    CHyperLink *m_link = nullptr;
    QList<QUrl> m_opened;
    bool m_openWorks = true;

    // A white page with one link on it, shown, the pointer far away.
    CHyperLink &Link(const QString &text, const QString &target = QString())
    {
        m_page = std::make_unique<QWidget>();
        m_page->resize(400, 200);
        m_link = new CHyperLink(text, m_page.get());
        m_link->move(50, 50);
        if (!target.isNull())
            m_link->SetLinkTarget(target);
        m_page->show();
        if (!QTest::qWaitForWindowExposed(m_page.get()))
            qWarning("page not exposed");
        QCursor::setPos(m_page->mapToGlobal(QPoint(390, 190)));
        return *m_link;
    }

    void Hover(CHyperLink &link)
    {
        const QPoint inside = link.rect().center();
        QCursor::setPos(link.mapToGlobal(inside));
        QTest::mouseMove(&link, inside);
    }

    void Leave()
    {
        QCursor::setPos(m_page->mapToGlobal(QPoint(390, 190)));
        QTest::mouseMove(m_page.get(), QPoint(390, 190));
    }

private Q_SLOTS:
    void init()
    {
        m_opened.clear();
        m_openWorks = true;
        m_prompter.clear();
        CHyperLink::SetOpener([this](const QUrl &url) {
            m_opened.append(url);
            return m_openWorks;
        });
    }

    void cleanup()
    {
        CHyperLink::SetOpener(nullptr);
        m_page.reset();
        m_link = nullptr;
    }

    void coloursFollowHoverAndVisits()
    {
        CHyperLink &link = Link(QStringLiteral("Orvendal 主页"), QStringLiteral("https://orvendal.example.org"));
        QCOMPARE(link.CurrentTextColour(), QColor(0, 0, 238));
        Hover(link);
        QVERIFY(link.IsMouseOver());
        QCOMPARE(link.CurrentTextColour(), QColor(255, 0, 0));
        Leave();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsMouseOver(), 1000);
        link.MarkVisited();
        QCOMPARE(link.CurrentTextColour(), QColor(85, 26, 139));
        link.MarkVisited(false);
        QCOMPARE(link.CurrentTextColour(), QColor(0, 0, 238));

        // What is painted is the colour of the moment.
        link.MarkVisited();
        const QImage shot = link.grab().toImage();
        bool visitedInk = false;
        for (int y = 0; y < shot.height() && !visitedInk; ++y)
            for (int x = 0; x < shot.width() && !visitedInk; ++x)
                visitedInk = QColor(shot.pixel(x, y)) == QColor(85, 26, 139);
        QVERIFY(visitedInk);
    }

    void underlineOnlyWhileHovered()
    {
        CHyperLink &link = Link(QStringLiteral("主页"), QStringLiteral("https://orvendal.example.org"));
        QCOMPARE(link.GetUnderlineMode(), -1);
        QVERIFY(!link.IsUnderlined());
        Hover(link);
        QVERIFY(link.IsUnderlined());
        // The link's own check of the pointer takes the underline away.
        Leave();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsUnderlined(), 2000);
        QVERIFY(!link.IsMouseOver());
    }

    void underlineAlwaysOrNever()
    {
        CHyperLink &link = Link(QStringLiteral("主页"), QStringLiteral("https://orvendal.example.org"));
        link.SetUnderlineMode(1);
        QVERIFY(link.IsUnderlined());
        Hover(link);
        Leave();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsMouseOver(), 1000);
        QVERIFY(link.IsUnderlined());

        link.SetUnderlineMode(0);
        QVERIFY(!link.IsUnderlined());
        Hover(link);
        QVERIFY(link.IsMouseOver());
        QVERIFY(!link.IsUnderlined());
        Leave();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsMouseOver(), 1000);
        link.SetUnderlineMode(-1);
        QVERIFY(!link.IsUnderlined());
    }

    void tipCursorAndSize()
    {
        CHyperLink &link = Link(QString(), QStringLiteral("https://orvendal.example.org"));
        // An empty text shows the target; the tip names the target.
        QCOMPARE(link.text(), QStringLiteral("https://orvendal.example.org"));
        QCOMPARE(link.toolTip(), QStringLiteral("https://orvendal.example.org"));
        QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(link.width() >= link.fontMetrics().horizontalAdvance(link.text()));
        QVERIFY(link.width() <= link.fontMetrics().horizontalAdvance(link.text()) + 10);
        // A tip text replaces the target from the next target on.
        link.SetTipText(QStringLiteral("打开主页"));
        QCOMPARE(link.toolTip(), QStringLiteral("https://orvendal.example.org"));
        link.SetLinkTarget(QStringLiteral("https://orvendal.example.org/help"));
        QCOMPARE(link.toolTip(), QStringLiteral("打开主页"));
        QCOMPARE(link.GetLinkTarget(), QStringLiteral("https://orvendal.example.org/help"));
        // A target given as the text alone.
        CHyperLink &plain = Link(QStringLiteral("https://orvendal.example.org/x"));
        QCOMPARE(plain.GetLinkTarget(), QStringLiteral("https://orvendal.example.org/x"));
    }

    void aCentredLinkStaysCentredWhenFitted()
    {
        QWidget page;
        page.resize(300, 100);
        CHyperLink link(QStringLiteral("主页"), &page);
        link.setAlignment(Qt::AlignCenter);
        link.setGeometry(0, 0, 300, 40);
        link.SetLinkTarget(QStringLiteral("https://orvendal.example.org"));
        QVERIFY(link.width() < 300);
        QVERIFY(qAbs(link.geometry().center().x() - 150) <= 1);
        QVERIFY(qAbs(link.geometry().center().y() - 20) <= 1);
    }

    void clickOpensAndMarksVisited()
    {
        CHyperLink &link = Link(QStringLiteral("主页"), QStringLiteral("https://orvendal.example.org"));
        Hover(link);
        QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
        QCOMPARE(m_opened, (QList<QUrl>{QUrl(QStringLiteral("https://orvendal.example.org"))}));
        QVERIFY(link.IsVisited());
        QVERIFY(!link.IsMouseOver());
        QCOMPARE(link.CurrentTextColour(), QColor(85, 26, 139));
        QVERIFY(m_prompter.shown.isEmpty());
        // Over it again: the hover colour.
        QTest::mouseMove(&link, link.rect().center() + QPoint(1, 0));
        QCOMPARE(link.CurrentTextColour(), QColor(255, 0, 0));
        // The keyboard opens it as well.
        link.setFocus();
        QTest::keyClick(&link, Qt::Key_Return);
        QCOMPARE(m_opened.size(), 2);
    }

    void theDesktopOpensWebAddresses()
    {
        CHyperLink::SetOpener(nullptr);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        CHyperLink &link = Link(QStringLiteral("主页"), QStringLiteral("https://orvendal.example.org/start"));
        QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.urls, (QList<QUrl>{QUrl(QStringLiteral("https://orvendal.example.org/start"))}));
        QVERIFY(link.IsVisited());
    }

    void aFailedOpenWarnsAndStaysUnvisited()
    {
        m_openWorks = false;
        CHyperLink &link = Link(QStringLiteral("主页"), QStringLiteral("https://orvendal.example.org"));
        QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
        QCOMPARE(m_prompter.shown.size(), 1);
        QCOMPARE(m_prompter.lastText(), QStringLiteral("Unable to open hyperlink:\n\nThere is no application "
                                                       "associated\nwith the given filename extension."));
        QCOMPARE(m_prompter.shown.last().icon, MsgIcon::Exclamation);
        QCOMPARE(m_prompter.shown.last().buttons, MsgButtons::Ok);
        QVERIFY(!link.IsVisited());
        QCOMPARE(link.CurrentTextColour(), QColor(0, 0, 238));
    }

    void aMissingFileIsNotFound()
    {
        QTemporaryDir dir;
        const QString missing = QDir(dir.path()).filePath(QStringLiteral("说明.txt"));
        CHyperLink &link = Link(QStringLiteral("说明"), missing);
        QVERIFY(!link.Open());
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(m_prompter.lastText(), QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not found."));
        QVERIFY(!link.IsVisited());

        // Once it is there, it opens as a local file.
        QFile file(missing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(link.Open());
        QCOMPARE(m_opened, (QList<QUrl>{QUrl::fromLocalFile(missing)}));
        QVERIFY(link.IsVisited());
    }

    void targetsBecomeAddresses_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("web") << QStringLiteral("https://orvendal.example.org/a?b=1")
                             << QUrl(QStringLiteral("https://orvendal.example.org/a?b=1"));
        QTest::newRow("www") << QStringLiteral("www.example.org") << QUrl(QStringLiteral("http://www.example.org"));
        QTest::newRow("mail") << QStringLiteral("mailto:family@example.org")
                              << QUrl(QStringLiteral("mailto:family@example.org"));
        QTest::newRow("file path") << QStringLiteral("/tmp/帮助.html") << QUrl::fromLocalFile(QStringLiteral("/tmp/帮助.html"));
        QTest::newRow("relative") << QStringLiteral("帮助.html")
                                  << QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("帮助.html")));
    }

    void targetsBecomeAddresses()
    {
        QFETCH(QString, target);
        QFETCH(QUrl, url);
        QCOMPARE(CHyperLink::TargetUrl(target), url);
    }

    void errorTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << QStringLiteral("The operating system is out\nof memory or resources.");
        QTest::newRow("2") << 2 << QStringLiteral("The specified file was not found.");
        QTest::newRow("3") << 3 << QStringLiteral("The specified path was not found.");
        QTest::newRow("5") << 5 << QStringLiteral("The operating system denied\naccess to the specified file.");
        QTest::newRow("8") << 8 << QStringLiteral("There was not enough memory to complete the operation.");
        QTest::newRow("11") << 11 << QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
        QTest::newRow("26") << 26 << QStringLiteral("A sharing violation occurred. ");
        QTest::newRow("27") << 27 << QStringLiteral("The filename association is\nincomplete or invalid.");
        QTest::newRow("28") << 28
                            << QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
        QTest::newRow("29") << 29 << QStringLiteral("The DDE transaction failed.");
        QTest::newRow("30") << 30
                            << QStringLiteral("The DDE transaction could not\nbe completed because other DDE "
                                              "transactions\nwere being processed.");
        QTest::newRow("31") << 31
                            << QStringLiteral("There is no application associated\nwith the given filename extension.");
        QTest::newRow("32") << 32 << QStringLiteral("The specified dynamic-link library was not found.");
        QTest::newRow("other") << 99 << QStringLiteral("Unknown Error (99) occurred.");
        QTest::newRow("negative") << -4 << QStringLiteral("Unknown Error (-4) occurred.");
    }

    void errorTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(CHyperLink::ErrorText(code), text);
    }
};

QTEST_MAIN(TestHyperLink)
#include "tst_hyperlink.moc"
