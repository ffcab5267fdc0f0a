#include "items/CSetItemsDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"
#include "items/CItemEditDlg.h"
#include "store/BookConnection.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

CSetItemsDlg::CSetItemsDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("139"));
    setWindowTitle(QStringLiteral("设置名目"));
    setWindowIcon(PictureIcon(QStringLiteral(":/res/icons/items.svg")));
    setFont(DialogFont());
    const CDialogUnits du(font());

    auto button = [this](int id, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::number(id));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *addButton = button(1011, QStringLiteral("添加(&A)..."));
    addButton->setDefault(true);
    QPushButton *modifyButton = button(1012, QStringLiteral("修改(&M)..."));
    QPushButton *deleteButton = button(1013, QStringLiteral("删除(&D)"));
    QPushButton *exitButton = button(2, QStringLiteral("退出(&X)"));
    QPushButton *upButton = button(1103, QStringLiteral("↑"));
    QPushButton *downButton = button(1105, QStringLiteral("↓"));
    // The arrows alone do not say what they move; the tooltips (read out
    // as the buttons' descriptions) do.
    upButton->setToolTip(QStringLiteral("把选中的名目上移一位"));
    downButton->setToolTip(QStringLiteral("把选中的名目下移一位"));

    auto *icon = new QLabel(this);
    icon->setPixmap(Picture(QStringLiteral(":/res/icons/items.svg"), QSize(32, 32)));
    icon->setFixedSize(32, 32);
    // Until its picture exists the kind box takes the whole top row.
    const bool hasIcon = !icon->pixmap().isNull();
    icon->setVisible(hasIcon);

    auto *kindGroup = new QGroupBox(QStringLiteral("选择类别"), this);
    m_pKindBox = new QComboBox(kindGroup);
    m_pKindBox->setObjectName(QStringLiteral("1045"));
    m_pKindBox->setEditable(false);
    m_pKindBox->setAccessibleName(QStringLiteral("选择类别"));
    auto *kindLayout = new QHBoxLayout(kindGroup);
    kindLayout->setContentsMargins(du.X(6), du.Y(3), du.X(6), du.Y(5));
    kindLayout->addWidget(m_pKindBox);

    m_pItemList = new QListWidget(this);
    m_pItemList->setObjectName(QStringLiteral("1043"));
    m_pItemList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pItemList->setSortingEnabled(false);
    m_pItemList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pItemList->setAccessibleName(QStringLiteral("名目列表"));

    auto *moves = new QHBoxLayout;
    moves->setSpacing(du.X(2));
    moves->addWidget(upButton);
    moves->addWidget(downButton);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(du.Y(4));
    buttons->addWidget(addButton);
    buttons->addWidget(modifyButton);
    buttons->addWidget(deleteButton);
    buttons->addSpacing(du.Y(8));
    buttons->addLayout(moves);
    buttons->addStretch(1);
    buttons->addWidget(exitButton);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(du.X(7), du.Y(7), du.X(7), du.Y(7));
    grid->setHorizontalSpacing(du.X(6));
    grid->setVerticalSpacing(du.Y(6));
    if (hasIcon) {
        grid->addWidget(icon, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(kindGroup, 0, 1, 1, 2);
    } else {
        grid->addWidget(kindGroup, 0, 0, 1, 3);
    }
    grid->addWidget(m_pItemList, 1, 0, 1, 2);
    grid->addLayout(buttons, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    for (QPushButton *b : {upButton, downButton})
        b->setFixedWidth((addButton->sizeHint().width() - du.X(2)) / 2);

    connect(addButton, &QPushButton::clicked, this, &CSetItemsDlg::OnAddItem);
    connect(modifyButton, &QPushButton::clicked, this, &CSetItemsDlg::OnModifyItem);
    connect(deleteButton, &QPushButton::clicked, this, &CSetItemsDlg::OnDeleteItem);
    connect(upButton, &QPushButton::clicked, this, &CSetItemsDlg::OnMoveUp);
    connect(downButton, &QPushButton::clicked, this, &CSetItemsDlg::OnMoveDown);
    connect(exitButton, &QPushButton::clicked, this, &CSetItemsDlg::reject);
    // A double click on a category is the quick way to rename it.
    connect(m_pItemList, &QListWidget::itemDoubleClicked, this, &CSetItemsDlg::OnModifyItem);

    resize(du.Size(163, 163).expandedTo(sizeHint()));
    OnInitDialog();
}

void CSetItemsDlg::OnInitDialog()
{
    m_pKindBox->addItems({QStringLiteral("收入记录"), QStringLiteral("支出记录"), QStringLiteral("借贷记录")});
    m_pKindBox->setCurrentIndex(0);
    FillItems(0);
    connect(m_pKindBox, &QComboBox::currentIndexChanged, this, &CSetItemsDlg::OnKindChanged);
}

int CSetItemsDlg::CurrentKind() const
{
    return m_pKindBox->currentIndex();
}

void CSetItemsDlg::OnKindChanged(int index)
{
    FillItems(index);
}

void CSetItemsDlg::FillIncomeItems()
{
    FillItems(0);
}

void CSetItemsDlg::FillPayoutItems()
{
    FillItems(1);
}

void CSetItemsDlg::FillLoanItems()
{
    FillItems(2);
}

void CSetItemsDlg::FillItems(int kind)
{
    m_pItemList->clear();
    m_rows.clear();
    const auto recordKind = orv::kindFromItemsIndex(kind);
    if (!recordKind)
        return;
    auto rows = AppBook().categoryRows(*recordKind);
    if (!CheckDb(this, rows))
        return;
    m_rows = *rows;
    for (const orv::CategoryRow &row : std::as_const(m_rows))
        m_pItemList->addItem(row.text);
}

void CSetItemsDlg::SelectRow(int row)
{
    if (row < 0 || row >= m_pItemList->count())
        return;
    m_pItemList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    m_pItemList->scrollToItem(m_pItemList->item(row));
}

void CSetItemsDlg::SelectLastItem()
{
    SelectRow(m_pItemList->count() - 1);
}

int CSetItemsDlg::SelectedRow() const
{
    const int row = m_pItemList->currentRow();
    if (row < 0 || !m_pItemList->item(row)->isSelected())
        return -1;
    return row;
}

CItemEditDlg *CSetItemsDlg::MakeEditDlg(bool modify, const QString &oldItem)
{
    auto *dlg = new CItemEditDlg(CurrentKind(), modify, oldItem, this);
    connect(dlg, &CItemEditDlg::ItemAdded, this, [this](int kind) {
        FillItems(kind);
        SelectLastItem();
    });
    return dlg;
}

void CSetItemsDlg::OnAddItem()
{
    std::unique_ptr<CItemEditDlg> dlg(MakeEditDlg(false, QString()));
    dlg->exec();
}

void CSetItemsDlg::OnModifyItem()
{
    const int s = SelectedRow();
    if (s < 0) {
        ShowAttention(this, QStringLiteral("请选择要修改的行!"));
        return;
    }
    std::unique_ptr<CItemEditDlg> dlg(MakeEditDlg(true, m_pItemList->item(s)->text()));
    dlg->exec();
    // Read again even after a cancel: a rename that found its category gone
    // must not leave the stale list on screen.
    FillItems(CurrentKind());
    m_pItemList->setFocus();
    SelectRow(qMin(s, m_pItemList->count() - 1));
}

void CSetItemsDlg::OnDeleteItem()
{
    const int s = SelectedRow();
    if (s < 0) {
        ShowAttention(this, QStringLiteral("请选择要删除的行!"));
        return;
    }
    const QString t = m_pItemList->item(s)->text();
    if (!AskAttention(this, QStringLiteral("真的要删除 “") + t + QStringLiteral("” 名目吗？"), MsgIcon::Exclamation))
        return;
    const auto kind = orv::kindFromItemsIndex(CurrentKind());
    if (!kind)
        return;
    CheckDb(this, AppBook().removeCategory(*kind, t));
    FillItems(CurrentKind());
    m_pItemList->setFocus();
    SelectRow(s > 0 ? qMin(s - 1, m_pItemList->count() - 1) : 0);
}

void CSetItemsDlg::OnMoveUp()
{
    MoveSelected(-1);
}

void CSetItemsDlg::OnMoveDown()
{
    MoveSelected(+1);
}

void CSetItemsDlg::MoveSelected(int step)
{
    const int s = SelectedRow();
    if (s < 0 || s >= m_rows.size())
        return;
    const int n = s + step;
    if (n < 0 || n >= m_rows.size())
        return;
    const auto kind = orv::kindFromItemsIndex(CurrentKind());
    if (!kind)
        return;
    bool moved = false;
    moved = CheckDb(this, AppBook().swapCategories(*kind, m_rows.at(s), m_rows.at(n)));
    FillItems(CurrentKind());
    m_pItemList->setFocus();
    SelectRow(moved ? n : qMin(s, m_pItemList->count() - 1));
}
