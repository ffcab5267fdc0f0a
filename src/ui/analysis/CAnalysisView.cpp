#include "analysis/CAnalysisView.h"

#include "analysis/CLoansPage.h"
#include "analysis/CMembersPage.h"
#include "analysis/CPeriodBar.h"
#include "analysis/CSharesPage.h"
#include "analysis/CTrendPage.h"
#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "store/BookConnection.h"

#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kHint = QStringLiteral("把鼠标停在柱形、扇区或点上可看到数字；点击它们或表格中的一行，"
                                     "可在“查询统计”中看到这些记录和同样的合计。");

} // namespace

CAnalysisView::CAnalysisView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("analysis"));
    setAccessibleName(QStringLiteral("财务分析"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    m_pPeriodBar = new CPeriodBar(this);
    layout->addWidget(m_pPeriodBar);

    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QStringLiteral("charts"));
    m_pTabs->setDocumentMode(true);
    m_pages = {new CTrendPage, new CSharesPage(orv::RecordKind::Payout), new CSharesPage(orv::RecordKind::Income),
               new CMembersPage, new CLoansPage};
    for (CAnalysisPage *page : m_pages) {
        m_pTabs->addTab(page, orv::chartTitle(page->ChartKind()));
        connect(page, &CAnalysisPage::DrillDown, this, &CAnalysisView::DrillDown);
    }
    layout->addWidget(m_pTabs, 1);

    m_pNote = new QLabel(kHint, this);
    m_pNote->setObjectName(QStringLiteral("note"));
    m_pNote->setWordWrap(true);
    layout->addWidget(m_pNote);

    connect(m_pPeriodBar, &CPeriodBar::PeriodChosen, this, &CAnalysisView::SetPeriod);
    connect(m_pTabs, &QTabWidget::currentChanged, this, [this] { ShowCurrent(Voice::Tell); });
    FollowBook();
}

void CAnalysisView::Refresh()
{
    Read(Voice::Tell);
}

void CAnalysisView::SetPeriod(const orv::AnalysisPeriod &period)
{
    m_period = period;
    Read(Voice::Tell);
}

void CAnalysisView::SetCurrentChart(orv::AnalysisChart chart)
{
    m_pTabs->setCurrentIndex(int(chart));
}

orv::AnalysisChart CAnalysisView::CurrentChart() const
{
    return orv::AnalysisChart(qBound(0, m_pTabs->currentIndex(), int(m_pages.size()) - 1));
}

void CAnalysisView::SetListColor(const QColor &color)
{
    for (CAnalysisPage *page : m_pages)
        page->SetListColor(color);
}

QString CAnalysisView::Note() const
{
    return m_pNote->text();
}

bool CAnalysisView::Failed(Voice voice, const orv::DbError &error)
{
    if (voice == Voice::Tell) {
        ShowDbError(this, error);
        m_pNote->setText(kHint);
    } else {
        // Met while following the book: said in place, not in a box that
        // would come again at every change.
        m_pNote->setText(QStringLiteral("帐本有了变动，但图表没能重新计算（%1）。图表上仍是之前的数字；"
                                        "请稍后重新进入“财务分析”再看。")
                             .arg(error.message.isEmpty() ? QStringLiteral("帐本打不开") : error.message));
    }
    return false;
}

bool CAnalysisView::Read(Voice voice)
{
    orv::DbError error;
    const orv::BookConnection *conn = AppBook().connection(&error);
    if (!conn)
        return Failed(voice, error);
    auto span = orv::Analysis::readSpan(*conn);
    if (!span)
        return Failed(voice, span.error());
    m_report = orv::AnalysisReport(m_period, *span);
    m_bRead = true;
    m_pPeriodBar->SetPeriod(m_period, m_report.dates());
    return ShowCurrent(voice);
}

bool CAnalysisView::ShowCurrent(Voice voice)
{
    if (!m_bRead)
        return Read(voice);
    const orv::AnalysisChart chart = CurrentChart();
    if (!m_report.has(chart)) {
        orv::DbError error;
        const orv::BookConnection *conn = AppBook().connection(&error);
        if (!conn)
            return Failed(voice, error);
        if (const orv::DbStatus done = m_report.compute(*conn, chart); !done)
            return Failed(voice, done.error());
    }
    Page(chart)->Show(m_report);
    m_pNote->setText(kHint);
    return true;
}

bool CAnalysisView::ComputeAll()
{
    if (!m_bRead && !Read(Voice::Tell))
        return false;
    orv::DbError error;
    const orv::BookConnection *conn = AppBook().connection(&error);
    if (!conn)
        return Failed(Voice::Tell, error);
    if (const orv::DbStatus done = m_report.computeAll(*conn); !done)
        return Failed(Voice::Tell, done.error());
    return true;
}

void CAnalysisView::FollowBook()
{
    orv::Book &book = AppBook();
    connect(&book, &orv::Book::changedElsewhere, this, &CAnalysisView::OnBookMoved);
    connect(&book, &orv::Book::changed, this, &CAnalysisView::OnBookMoved);
    connect(&book, &orv::Book::entryAdded, this, &CAnalysisView::OnBookMoved);
    connect(&book, &orv::Book::entryChanged, this, &CAnalysisView::OnBookMoved);
    connect(&book, &orv::Book::entriesRemoved, this, &CAnalysisView::OnBookMoved);
}

void CAnalysisView::OnBookMoved()
{
    // Hidden, it is read afresh when the module is entered again. On
    // screen, a burst of changes is read once, after the burst.
    if (!isVisible() || m_bRefreshPending)
        return;
    m_bRefreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_bRefreshPending = false;
        if (isVisible() && !AppBook().isOffline())
            Read(Voice::Quiet);
    });
}
