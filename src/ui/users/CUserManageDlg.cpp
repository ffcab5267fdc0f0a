#include "users/CUserManageDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/FileMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "controls/DialogUnits.h"
#include "mainwnd/CLedgerDlg.h"
#include "store/BookConnection.h"
#include "users/CAddUserDlg.h"
#include "users/CDeleteUserDlg.h"
#include "users/CModifyUserDlg.h"
#include "users/UserFiles.h"
#include "users/UserStore.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor kListBack(156, 211, 157);

} // namespace

CUserManageDlg::CUserManageDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("159"));
    setWindowTitle(QStringLiteral("管理用户"));
    setFont(DialogFont());
    const CDialogUnits du(font());

    m_pUserList = new QTableWidget(0, 1, this);
    m_pUserList->setObjectName(QStringLiteral("1075"));
    m_pUserList->setAccessibleName(QStringLiteral("用户列表"));

    auto button = [this](int id, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::number(id));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *addButton = button(1, QStringLiteral("添加(&A)..."));
    addButton->setDefault(true);
    QPushButton *modifyButton = button(1012, QStringLiteral("修改(&M)..."));
    QPushButton *deleteButton = button(1013, QStringLiteral("删除(&D)..."));
    QPushButton *leaveButton = button(2, QStringLiteral("退出(&C)"));
    connect(addButton, &QPushButton::clicked, this, &CUserManageDlg::accept);
    connect(modifyButton, &QPushButton::clicked, this, &CUserManageDlg::OnModifyUser);
    connect(deleteButton, &QPushButton::clicked, this, &CUserManageDlg::OnDeleteUser);
    connect(leaveButton, &QPushButton::clicked, this, &CUserManageDlg::reject);
    // A double click on a user is the quick way to change it.
    connect(m_pUserList, &QTableWidget::cellDoubleClicked, this, &CUserManageDlg::OnModifyUser);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(du.Y(4));
    buttons->addWidget(addButton);
    buttons->addWidget(modifyButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch(1);
    buttons->addWidget(leaveButton);

    auto *top = new QHBoxLayout(this);
    top->setContentsMargins(du.X(7), du.Y(7), du.X(7), du.Y(7));
    top->setSpacing(du.X(7));
    top->addWidget(m_pUserList);
    top->addLayout(buttons);

    OnInitDialog();
    resize(QSize(sizeHint().width(), du.Y(120)).expandedTo(sizeHint()));
}

void CUserManageDlg::OnInitDialog()
{
    QTableWidget *list = m_pUserList;
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, kListBack);
    pal.setColor(QPalette::Text, Qt::black);
    // The selection stays visible while the buttons have the focus.
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    list->setPalette(pal);
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setSectionsMovable(true);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setStretchLastSection(false);
    auto *caption = new QTableWidgetItem(QStringLiteral("用  户  名"));
    caption->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->setHorizontalHeaderItem(0, caption);
    list->setColumnWidth(0, 139);
    // Rows as close as a report list sets them, not Qt's roomy table rows.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    // The list is as wide as its column, with room for a scroll bar.
    list->setFixedWidth(139 + 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width());
    FillUserList();
}

void CUserManageDlg::FillUserList()
{
    m_pUserList->setRowCount(0);
    m_nUserCount = 0;
    const auto conn = OpenBook(this);
    if (!conn)
        return;
    auto names = orv::UserStore::names(*conn);
    if (!CheckDb(this, names))
        return;
    m_pUserList->setRowCount(int(names->size()));
    for (int row = 0; row < names->size(); ++row) {
        auto *item = new QTableWidgetItem(names->at(row));
        item->setBackground(kListBack);
        item->setForeground(Qt::black);
        m_pUserList->setItem(row, 0, item);
    }
    m_nUserCount = int(names->size());
}

int CUserManageDlg::GetSelectionMark() const
{
    const QModelIndex current = m_pUserList->currentIndex();
    if (!current.isValid() || !m_pUserList->selectionModel()->isRowSelected(current.row(), QModelIndex()))
        return -1;
    return current.row();
}

void CUserManageDlg::SelectUser(const QString &name)
{
    for (int row = 0; row < m_pUserList->rowCount(); ++row) {
        if (m_pUserList->item(row, 0)->text() == name) {
            m_pUserList->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            m_pUserList->scrollToItem(m_pUserList->item(row, 0));
            return;
        }
    }
}

void CUserManageDlg::accept()
{
    CAddUserDlg dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    AppBook().announce(orv::BookChange::Users);
    FillUserList();
    SelectUser(dlg.UserName());
    m_pUserList->setFocus();
}

void CUserManageDlg::OnModifyUser()
{
    const int row = GetSelectionMark();
    if (row < 0) {
        ShowAttention(this, QStringLiteral("请选择您要修改的行!"));
        return;
    }
    CModifyUserDlg dlg(m_pUserList->item(row, 0)->text(), this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    AppBook().announce(orv::BookChange::Users);
    FillUserList();
    SelectUser(dlg.UserName());
    m_pUserList->setFocus();
    if (CLedgerDlg *ledger = LedgerWindow())
        ledger->SetTitle();
}

void CUserManageDlg::OnDeleteUser()
{
    const int row = GetSelectionMark();
    if (row < 0) {
        ShowAttention(this, QStringLiteral("请选择您要删除的行!"));
        m_pUserList->setFocus();
        return;
    }
    if (m_nUserCount == 1) {
        ShowAttention(this, orv::UserStore::lastUserMessage());
        m_pUserList->setFocus();
        return;
    }
    const QString name = m_pUserList->item(row, 0)->text();
    const bool current = name == g_strCurUser;
    const QString question = current ? QStringLiteral("真的要删除当前正在使用的用户“ %1 ”吗？").arg(name)
                                     : QStringLiteral("真的要删除用户“ %1 ”吗？").arg(name);
    if (!AskAttention(this, question, MsgIcon::Exclamation)) {
        m_pUserList->setFocus();
        return;
    }
    CDeleteUserDlg dlg(name, this);
    if (dlg.exec() != QDialog::Accepted) {
        m_pUserList->setFocus();
        return;
    }
    bool deleted = false;
    {
        if (const auto conn = OpenBook(this))
            deleted = CheckDb(this, orv::UserStore::remove(*conn, name));
    }
    if (deleted) {
        AppBook().announce(orv::BookChange::Users);
        ShowFileProblems(this,
                         QStringLiteral("用户“%1”已删除，但其背景色文件或直接登录的设置没能随之删除或更新。").arg(name),
                         orv::UserFiles::forget(g_strAppDir, name));
        if (current) {
            // Nobody is logged in any more: back to the login of a new run.
            done(0);
            if (CLedgerDlg *ledger = LedgerWindow())
                ledger->LogOffAndRestart();
            return;
        }
    }
    FillUserList();
    m_pUserList->setFocus();
}
