#include "analysis/CAnalysisPage.h"

#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLegend>
#include <QScrollBar>
#include <QSplitter>
#include <QToolTip>
#include <QTreeWidget>

CAnalysisPage::CAnalysisPage(orv::AnalysisChart chart, QWidget *parent)
    : QWidget(parent)
    , m_chart(chart)
{
    const QString title = orv::chartTitle(chart);
    setObjectName(QStringLiteral("analysis-page-%1").arg(int(chart)));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    m_pSplitter = splitter;
    layout->addWidget(splitter);

    m_pView = new QChartView(splitter);
    m_pView->setObjectName(QStringLiteral("chart"));
    m_pView->setAccessibleName(title + QStringLiteral("图"));
    m_pView->setRenderHint(QPainter::Antialiasing);
    m_pView->setMouseTracking(true);
    m_pView->setChart(new QChart);

    m_pFigures = new QTreeWidget(splitter);
    m_pFigures->setObjectName(QStringLiteral("figures"));
    m_pFigures->setAccessibleName(title + QStringLiteral("的数字"));
    m_pFigures->setRootIsDecorated(false);
    m_pFigures->setUniformRowHeights(true);
    m_pFigures->setAllColumnsShowFocus(true);
    m_pFigures->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pFigures->header()->setStretchLastSection(false);
    m_pFigures->installEventFilter(this);
    connect(m_pFigures, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { Open(RowCriteria(item)); });

    splitter->addWidget(m_pView);
    splitter->addWidget(m_pFigures);
    // Growing the window widens the chart; the table keeps what it needs.
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setChildrenCollapsible(false);
    connect(splitter, &QSplitter::splitterMoved, this, [this] { m_bSplitByUser = true; });
}

QChart *CAnalysisPage::Chart() const
{
    return m_pView->chart();
}

void CAnalysisPage::SetListColor(const QColor &color)
{
    QPalette palette = m_pFigures->palette();
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::AlternateBase, color.lighter(108));
    palette.setColor(QPalette::Text, Qt::black);
    m_pFigures->setPalette(palette);
}

std::optional<orv::QueryCriteria> CAnalysisPage::RowCriteria(const QTreeWidgetItem *row) const
{
    const auto found = m_rowCriteria.constFind(row);
    if (found == m_rowCriteria.constEnd())
        return std::nullopt;
    return *found;
}

QChart *CAnalysisPage::NewChart(const QString &name, const QString &period, const QString &remark)
{
    QToolTip::hideText();
    QChart *old = m_pView->chart();
    auto *chart = new QChart;
    // The name in bold over the period, so that a saved picture says what it shows.
    QString under = period.toHtmlEscaped();
    if (!remark.isEmpty())
        under += QStringLiteral("（%1）").arg(remark.toHtmlEscaped());
    chart->setTitle(QStringLiteral("<b>%1</b><br><span style=\"font-size:small\">%2</span>")
                        .arg(name.toHtmlEscaped(), under));
    QFont titleFont = chart->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.1);
    chart->setTitleFont(titleFont);
    // Drawn at once: a period change shows the new figures, not a film of them.
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(6, 6, 6, 6));
    m_pView->setChart(chart);
    // The view hands the old chart back to us rather than deleting it.
    delete old;
    return chart;
}

void CAnalysisPage::SetCaptions(const QStringList &captions)
{
    m_pFigures->setColumnCount(int(captions.size()));
    m_pFigures->setHeaderLabels(captions);
    for (int c = 1; c < captions.size(); ++c)
        m_pFigures->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
}

QTreeWidgetItem *CAnalysisPage::AddRow(QTreeWidgetItem *parent, const QStringList &texts,
                                       const std::optional<orv::QueryCriteria> &criteria, bool emphasised)
{
    auto *item = parent ? new QTreeWidgetItem(parent, texts) : new QTreeWidgetItem(m_pFigures, texts);
    for (int c = 1; c < texts.size(); ++c)
        item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    if (emphasised) {
        QFont bold = m_pFigures->font();
        bold.setBold(true);
        for (int c = 0; c < texts.size(); ++c)
            item->setFont(c, bold);
    }
    if (criteria) {
        m_rowCriteria.insert(item, *criteria);
        item->setToolTip(0, QStringLiteral("点击在“查询统计”中查看这些记录"));
    }
    return item;
}

void CAnalysisPage::ClearRows()
{
    m_rowCriteria.clear();
    m_pFigures->clear();
}

void CAnalysisPage::ShowTip(const QString &text)
{
    m_strLastTip = text;
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(QCursor::pos(), text, m_pView);
}

void CAnalysisPage::Open(const std::optional<orv::QueryCriteria> &criteria)
{
    if (!criteria)
        return;
    QToolTip::hideText();
    Q_EMIT DrillDown(*criteria);
}

void CAnalysisPage::CompactLegend(QChart *chart)
{
    QLegend *legend = chart->legend();
    legend->setAlignment(Qt::AlignRight);
    QFont small = legend->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    legend->setFont(small);
    legend->setMarkerShape(QLegend::MarkerShapeCircle);
}

void CAnalysisPage::FitFigures()
{
    for (int c = 0; c < m_pFigures->columnCount(); ++c)
        m_pFigures->resizeColumnToContents(c);
    const int total = m_pSplitter->width();
    if (m_bSplitByUser || total <= 0)
        return;
    int wanted = m_pFigures->header()->length() + 2 * m_pFigures->frameWidth() +
                 m_pFigures->verticalScrollBar()->sizeHint().width() + 6;
    wanted = qBound(total / 4, wanted, total / 2);
    m_pSplitter->setSizes({total - wanted, wanted});
}

void CAnalysisPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_bSplitByUser)
        FitFigures();
}

QString CAnalysisPage::Yuan(orv::FenSum fen)
{
    return orv::fenText(fen) + QStringLiteral("元");
}

bool CAnalysisPage::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a row leads where a click on it does.
    if (watched == m_pFigures && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_pFigures->currentItem()) {
            Open(RowCriteria(m_pFigures->currentItem()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
