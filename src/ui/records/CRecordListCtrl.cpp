#include "records/CRecordListCtrl.h"

#include "app/Globals.h"
#include "app/PlainText.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

CRecordListCtrl &RecordList()
{
    static CRecordListCtrl list;
    return list;
}

QStringList ListCaptions(ListColumns columns)
{
    if (columns == ListColumns::Records)
        return {QStringLiteral("序号"), QStringLiteral("日期"), QStringLiteral("名目"), QStringLiteral("金额（元）"),
                QStringLiteral("备注"), QStringLiteral("记录人")};
    return {QStringLiteral("类别"), QStringLiteral("日期"), QStringLiteral("名目"), QStringLiteral("金额（元）"),
            QStringLiteral("备注"), QStringLiteral("记录人")};
}

QList<int> ListWidths(ListColumns columns)
{
    if (columns == ListColumns::Records)
        return {43, 120, 100, 100, 210, 80};
    return {78, 100, 80, 90, 262, 70};
}

CRecordListView::CRecordListView(QWidget *parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("1"));
    setAccessibleName(QStringLiteral("记录列表"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
}

void CRecordListView::focusInEvent(QFocusEvent *event)
{
    // Qt puts the current row on the first row when the list gets the focus;
    // here the current row is the row the user last clicked or moved to
    // (the commands act on it), so a list nobody touched has none.
    const bool hadCurrent = currentIndex().isValid();
    QTableView::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid() && selectionModel() && !selectionModel()->hasSelection())
        selectionModel()->clearCurrentIndex();
}

bool CRecordListView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    // A cell cut short by its column shows its whole text as a tip.
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect cell = visualRect(index);
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    if (index.isValid() && !text.isEmpty() && fontMetrics().horizontalAdvance(text) > cell.width() - margins)
        QToolTip::showText(help->globalPos(), PlainToolTip(text), viewport(), cell);
    else
        QToolTip::hideText();
    return true;
}

CRecordListCtrl::CRecordListCtrl() = default;

CRecordListCtrl::~CRecordListCtrl()
{
    DestroyListWindow();
}

CRecordListView *CRecordListCtrl::Window() const
{
    return m_pWindow.data();
}

CRecordListView *CRecordListCtrl::CreateListWindow(QWidget *parent, const QRect &rect, ListColumns columns,
                                                   const QColor &back)
{
    DestroyListWindow();
    m_model.ClearRowColors();
    m_model.SetColumns(ListCaptions(columns), columns == ListColumns::Records);
    m_model.Clear();

    auto *view = new CRecordListView(parent);
    QPalette pal = view->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, back);
        pal.setColor(group, QPalette::AlternateBase, back);
        pal.setColor(group, QPalette::Text, Qt::black);
    }
    // The selection stays visible while another window has the focus.
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    view->setPalette(pal);
    view->setModel(&m_model);
    const QList<int> widths = ListWidths(columns);
    for (int c = 0; c < widths.size(); ++c)
        view->setColumnWidth(c, widths[c]);
    view->setGeometry(rect);
    connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this, &CRecordListCtrl::OnColumnClick);
    connect(view, &QWidget::customContextMenuRequested, this, &CRecordListCtrl::OnRClick);
    connect(view, &QAbstractItemView::doubleClicked, this, &CRecordListCtrl::OnDblClick);
    view->show();
    m_pWindow = view;
    return view;
}

void CRecordListCtrl::DestroyListWindow()
{
    if (m_pWindow) {
        m_pWindow->setModel(nullptr);
        delete m_pWindow.data();
    }
    m_pWindow = nullptr;
}

QString CRecordListCtrl::GetColumnCaption(int column) const
{
    return m_model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

int CRecordListCtrl::GetSelectionMark() const
{
    if (!m_pWindow)
        return -1;
    const QModelIndex current = m_pWindow->currentIndex();
    return current.isValid() ? current.row() : -1;
}

QList<int> CRecordListCtrl::GetSelectedRows() const
{
    QList<int> rows;
    if (!m_pWindow || !m_pWindow->selectionModel())
        return rows;
    for (const QModelIndex &index : m_pWindow->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CRecordListCtrl::SelectRow(int row)
{
    if (!m_pWindow || row < 0 || row >= GetItemCount())
        return;
    const QModelIndex index = m_model.index(row, 0);
    m_pWindow->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_pWindow->scrollTo(index);
}

void CRecordListCtrl::EnsureVisible(int row)
{
    if (!m_pWindow || row < 0 || row >= GetItemCount())
        return;
    // Right after a fill the view has not measured its rows yet; scrolling
    // then would stop at the old range.
    m_pWindow->doItemsLayout();
    m_pWindow->scrollTo(m_model.index(row, 0));
}

void CRecordListCtrl::ClearSelection()
{
    if (m_pWindow && m_pWindow->selectionModel()) {
        m_pWindow->selectionModel()->clear();
    }
}

void CRecordListCtrl::SetFocus()
{
    if (m_pWindow)
        m_pWindow->setFocus();
}

void CRecordListCtrl::SetRowColor(int row, const QColor &color)
{
    m_model.SetRowColor(row, color);
}

void CRecordListCtrl::ShowEntries(orv::EntryList entries)
{
    m_model.SetEntries(std::move(entries));
}

void CRecordListCtrl::OnColumnClick(int column)
{
    if (g_nModule != 1 && g_nModule != 2 && g_nModule != 3 && g_nModule != 5)
        return;
    // One direction for all columns: every click flips it, even on column 0.
    m_bAscending = !m_bAscending;
    if (column <= 0 || column >= orv::kEntryColumnCount)
        return;
    ClearSelection();
    m_model.SortEntryRuns(orv::EntryColumn(column), m_bAscending ? orv::SortOrder::Ascending : orv::SortOrder::Descending);
}

void CRecordListCtrl::FillContextMenu(QMenu *menu)
{
    auto item = [&](const QString &text, const char *id, void (CRecordListCtrl::*command)()) {
        QAction *action = menu->addAction(text, this, command);
        action->setObjectName(QString::fromLatin1(id));
    };
    if (g_nModule == 3) {
        menu->setTitle(QStringLiteral("查询右键菜单"));
        item(QStringLiteral("查询(&Q)..."), "32800", &CRecordListCtrl::AddRequested);
        menu->addSeparator();
        item(QStringLiteral("导出Excel表(&E)..."), "32801", &CRecordListCtrl::ExportRequested);
    } else {
        menu->setTitle(QStringLiteral("右键菜单"));
        item(QStringLiteral("添加记录(&A)..."), "32797", &CRecordListCtrl::AddRequested);
        item(QStringLiteral("修改记录(&M)..."), "32798", &CRecordListCtrl::ModifyRequested);
        menu->addSeparator();
        item(QStringLiteral("删除记录(&D)"), "32799", &CRecordListCtrl::DeleteRequested);
        menu->addSeparator();
        item(QStringLiteral("导出Excel表(&E)..."), "32805", &CRecordListCtrl::ExportRequested);
    }
}

void CRecordListCtrl::OnRClick(const QPoint &pos)
{
    if (!m_pWindow)
        return;
    QMenu menu(m_pWindow);
    FillContextMenu(&menu);
    menu.exec(m_pWindow->viewport()->mapToGlobal(pos));
}

void CRecordListCtrl::OnDblClick(const QModelIndex &)
{
    if (GetSelectionMark() == -1)
        return;
    Q_EMIT ModifyRequested();
}
