#include "items/CItemEditDlg.h"

#include "app/AppBook.h"
#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "controls/DialogUnits.h"
#include "items/CategoryStore.h"
#include "model/RecordKind.h"
#include "store/BookConnection.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The kinds by their names in these captions: "收入记录", "支出记录", "借贷情况".
QString KindCaptionWord(int kind)
{
    switch (kind) {
    case 1: return QStringLiteral("支出记录");
    case 2: return QStringLiteral("借贷情况");
    default: return QStringLiteral("收入记录");
    }
}

} // namespace

CItemEditDlg::CItemEditDlg(int kind, bool modify, const QString &oldItem, QWidget *parent)
    : QDialog(parent)
    , m_nItemKind(kind)
    , m_bModify(modify)
    , m_strOldItem(oldItem)
{
    setObjectName(QStringLiteral("140"));
    setWindowTitle(QStringLiteral("添加收入名目"));
    setFont(DialogFont());
    const CDialogUnits du(font());

    m_pNameEdit = new QLineEdit(this);
    m_pNameEdit->setObjectName(QStringLiteral("1046"));
    auto *label = new QLabel(QStringLiteral("名目名称："), this);
    label->setBuddy(m_pNameEdit);

    m_pOkButton = new QPushButton(QStringLiteral("添加(&A)"), this);
    m_pOkButton->setObjectName(QStringLiteral("1"));
    m_pOkButton->setDefault(true);
    m_pOkButton->setAutoDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("取消(&C)"), this);
    cancelButton->setObjectName(QStringLiteral("2"));
    cancelButton->setAutoDefault(false);
    connect(m_pOkButton, &QPushButton::clicked, this, &CItemEditDlg::accept);
    connect(cancelButton, &QPushButton::clicked, this, &CItemEditDlg::reject);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(du.X(7), du.Y(5), du.X(7), du.Y(5));
    grid->setHorizontalSpacing(du.X(4));
    grid->setVerticalSpacing(du.Y(3));
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_pNameEdit, 0, 1);
    grid->addWidget(m_pOkButton, 0, 2);
    grid->addWidget(cancelButton, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    resize(du.Size(193, 37).expandedTo(sizeHint()));
    OnInitDialog();
}

void CItemEditDlg::OnInitDialog()
{
    const QString word = KindCaptionWord(m_nItemKind);
    if (m_bModify) {
        setWindowTitle(QStringLiteral("修改") + word + QStringLiteral("名目"));
        m_pOkButton->setText(QStringLiteral("修改(&M)"));
        m_strItem = m_strOldItem;
        m_pNameEdit->setText(m_strItem);
        m_pNameEdit->selectAll();
    } else {
        setWindowTitle(QStringLiteral("添加") + word + QStringLiteral("名目"));
    }
    m_pNameEdit->setFocus();
}

void CItemEditDlg::accept()
{
    // Blanks around a name are invisible in every list that shows it; they
    // would only make two names that look alike differ.
    m_strItem = m_pNameEdit->text().trimmed();
    if (auto problem = orv::CategoryStore::nameProblem(m_strItem)) {
        ShowAttention(this, *problem);
        m_pNameEdit->setFocus();
        return;
    }
    const auto kind = orv::kindFromItemsIndex(m_nItemKind);
    if (!kind)
        return;
    if (m_bModify) {
        if (!CheckDb(this, AppBook().renameCategory(*kind, m_strOldItem, m_strItem)))
            return;
        QDialog::accept();
        return;
    }
    if (!CheckDb(this, AppBook().addCategory(*kind, m_strItem)))
        return;
    Q_EMIT ItemAdded(m_nItemKind);
    // Ready for the next name.
    m_pNameEdit->clear();
    m_pNameEdit->setFocus();
}

void CItemEditDlg::reject()
{
    done(0);
}
