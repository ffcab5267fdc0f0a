// The link of the About box: its colours and underline as the pointer comes
// and goes, what a click opens, and what the user is told when it fails.

#include "support/ScriptedPrompter.h"

#include "controls/CHyperLink.h"

#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kHome = QStringLiteral("https://orvendal.example.org");
const QColor kLinkBlue(0, 0, 238), kHoverRed(255, 0, 0), kVisitedPurple(85, 26, 139);

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
    void init() { m_prompter.clear(); }

    void cleanup()
    {
        CHyperLink::SetOpener(nullptr);
        m_page.reset();
    }

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

        // Underline always, then never, whatever the pointer does.
        link.SetUnderlineMode(1);
        QVERIFY(link.IsUnderlined());
        link.SetUnderlineMode(0);
        Hover(link);
        QVERIFY(link.IsMouseOver() && !link.IsUnderlined());
        Leave();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsMouseOver(), 2000);

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
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        CHyperLink &link = Link(QString(), kHome + QStringLiteral("/start"));
        // An empty text shows the target, which the tip names as well.
        QCOMPARE(link.text(), kHome + QStringLiteral("/start"));
        QCOMPARE(link.toolTip(), link.text());
        Hover(link);
        QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
        link.setFocus();
        QTest::keyClick(&link, Qt::Key_Return);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.urls, QList<QUrl>(2, QUrl(kHome + QStringLiteral("/start"))));
        QVERIFY(link.IsVisited());
        QCOMPARE(link.CurrentTextColour(), kVisitedPurple);
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void aFailedOpenWarnsAndStaysUnvisited()
    {
        bool works = false;
        QList<QUrl> opened;
        CHyperLink::SetOpener([&](const QUrl &url) {
            opened.append(url);
            return works;
        });
        CHyperLink &link = Link(QStringLiteral("主页"), kHome);
        QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Unable to open hyperlink:\n\nThere is no application "
                                                                "associated\nwith the given filename extension.")});
        QCOMPARE(m_prompter.shown.last().icon, MsgIcon::Exclamation);
        QVERIFY(!link.IsVisited());

        // A missing file is not handed to the desktop at all.
        QTemporaryDir dir;
        const QString missing = QDir(dir.path()).filePath(QStringLiteral("说明.txt"));
        CHyperLink &local = Link(QStringLiteral("说明"), missing);
        opened.clear();
        QVERIFY(!local.Open());
        QVERIFY(opened.isEmpty());
        QCOMPARE(m_prompter.lastText(), QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not found."));
        QFile file(missing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        works = true;
        QVERIFY(local.Open());
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(missing)});
    }

    void aCentredLinkStaysCentredWhenFitted()
    {
        QWidget page;
        CHyperLink link(QStringLiteral("主页"), &page);
        link.setAlignment(Qt::AlignCenter);
        link.setGeometry(0, 0, 300, 40);
        link.SetLinkTarget(kHome);
        QVERIFY(link.width() < 300);
        QVERIFY(qAbs(link.geometry().center().x() - 150) <= 1);
        QVERIFY(qAbs(link.geometry().center().y() - 20) <= 1);
    }

    void targetsAndErrorTexts()
    {
        QCOMPARE(CHyperLink::TargetUrl(QStringLiteral("www.example.org")), QUrl(QStringLiteral("http://www.example.org")));
        QCOMPARE(CHyperLink::TargetUrl(kHome + QStringLiteral("/a?b=1")), QUrl(kHome + QStringLiteral("/a?b=1")));
        QCOMPARE(CHyperLink::TargetUrl(QStringLiteral("帮助.html")),
                 QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("帮助.html"))));
        QStringList texts;
        for (int code : {0, 3, 26, 32, 99, -4})
            texts.append(CHyperLink::ErrorText(code));
        QCOMPARE(texts, (QStringList{QStringLiteral("The operating system is out\nof memory or resources."),
                                     QStringLiteral("The specified path was not found."),
                                     QStringLiteral("A sharing violation occurred. "),
                                     QStringLiteral("The specified dynamic-link library was not found."),
                                     QStringLiteral("Unknown Error (99) occurred."),
                                     QStringLiteral("Unknown Error (-4) occurred.")}));
    }
};

QTEST_MAIN(TestHyperLink)
#include "tst_hyperlink.moc"
