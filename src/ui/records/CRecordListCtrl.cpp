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

#include <algorithm>

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
    // Scrolled by whole rows, so that the top row is never cut, not even at
    // the end (Qt's own per-row mode aligns the last row with the bottom
    // there and cuts the top one): positions are kept to multiples of a row.
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CRecordListView::SnapToWholeRow);
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

void CRecordListView::updateGeometries()
{
    QTableView::updateGeometries();
    const int row = verticalHeader()->defaultSectionSize();
    QScrollBar *bar = verticalScrollBar();
    if (row <= 0)
        return;
    bar->setSingleStep(row);
    bar->setPageStep(std::max(row, viewport()->height() / row * row));
    // The end lies a whole row further when the last one would not fit whole;
    // the space below it stays empty.
    const int end = (bar->maximum() + row - 1) / row * row;
    if (end != bar->maximum())
        bar->setMaximum(end);
    SnapToWholeRow(bar->value());
}

void CRecordListView::SnapToWholeRow(int value)
{
    const int row = verticalHeader()->defaultSectionSize();
    if (row <= 0 || value % row == 0)
        return;
    // Up to the next whole row: a row scrolled into view from below stays in
    // view. The end may not have been moved to a whole row yet.
    QScrollBar *bar = verticalScrollBar();
    const int snapped = (value + row - 1) / row * row;
    if (snapped > bar->maximum())
        bar->setMaximum(snapped);
    bar->setValue(snapped);
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
    connect(&m_model, &QAbstractItemModel::modelReset, view, [this] { FitNumberColumns(0, GetItemCount() - 1); });
    connect(&m_model, &QAbstractItemModel::rowsInserted, view,
            [this](const QModelIndex &, int first, int last) { FitNumberColumns(first, last); });
    connect(&m_model, &QAbstractItemModel::dataChanged, view,
            [this](const QModelIndex &from, const QModelIndex &to) {
                if (from.column() <= int(orv::EntryColumn::Money))
                    FitNumberColumns(from.row(), to.row());
            });
    view->show();
    m_pWindow = view;
    return view;
}

void CRecordListCtrl::FitNumberColumns(int firstRow, int lastRow)
{
    if (!m_pWindow || lastRow < firstRow)
        return;
    // Ids of a book that has seen a hundred thousand entries no longer fit
    // the narrow 序号 column, and "399…" names no entry.
    WidenColumn(int(orv::EntryColumn::Id), m_model.WidestIdText(firstRow, lastRow));
    WidenColumn(int(orv::EntryColumn::Money), m_model.WidestAmountText(firstRow, lastRow));
}

void CRecordListCtrl::WidenColumn(int column, const QString &widest)
{
    if (widest.isEmpty())
        return;
    constexpr int kRemark = int(orv::EntryColumn::Remark);
    // Text plus the cell's margins on both sides, measured as the date column is.
    CRecordListView *view = m_pWindow;
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view);
    const int wanted = view->fontMetrics().horizontalAdvance(widest) + 2 * margin + 12;
    const int extra = wanted - view->columnWidth(column);
    if (extra <= 0)
        return;
    view->setColumnWidth(column, wanted);
    // The remark column, the widest, gives up that much while it stays wide
    // enough for a remark.
    const int remarkWidth = view->columnWidth(kRemark);
    view->setColumnWidth(kRemark, std::max(remarkWidth - extra, std::min(remarkWidth, 160)));
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

void CRecordListCtrl::ReloadKeepingView(const std::function<void()> &refill)
{
    // Entry rows are found again by kind and id; other rows by their place.
    struct Spot
    {
        qint64 id = 0;
        int row = -1;
        bool entry = false;
    };
    auto spotOf = [this](int row) {
        const orv::Entry *entry = m_model.EntryAt(row);
        return entry ? Spot{entry->id, row, true} : Spot{0, row, false};
    };
    auto rowOf = [this](const Spot &spot) {
        if (!spot.entry)
            return spot.row < GetItemCount() ? spot.row : -1;
        // Near the old place first: the same id can head two blocks of a query list.
        const int found = m_model.RowOfId(spot.id);
        return found;
    };
    QList<Spot> selected;
    for (int row : GetSelectedRows())
        selected.append(spotOf(row));
    const int mark = GetSelectionMark();
    const Spot current = mark >= 0 ? spotOf(mark) : Spot{};
    const int scroll = m_pWindow ? m_pWindow->verticalScrollBar()->value() : 0;
    const int sortColumn = m_model.SortColumn();
    const orv::SortOrder order = m_model.SortedOrder();

    refill();

    if (sortColumn > 0)
        m_model.SortEntryRuns(orv::EntryColumn(sortColumn), order);
    if (!m_pWindow || !m_pWindow->selectionModel())
        return;
    QItemSelectionModel *selection = m_pWindow->selectionModel();
    selection->clear();
    QItemSelection rows;
    for (const Spot &spot : selected) {
        const int row = rowOf(spot);
        if (row >= 0)
            rows.select(m_model.index(row, 0), m_model.index(row, m_model.columnCount() - 1));
    }
    selection->select(rows, QItemSelectionModel::Select);
    if (mark >= 0) {
        const int row = rowOf(current);
        if (row >= 0)
            selection->setCurrentIndex(m_model.index(row, 0), QItemSelectionModel::NoUpdate);
    }
    m_pWindow->doItemsLayout();
    m_pWindow->verticalScrollBar()->setValue(scroll);
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
    // The new order is shown from its beginning, as a fresh fill is.
    if (m_pWindow)
        m_pWindow->scrollToTop();
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
