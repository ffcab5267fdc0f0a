#include "app/CLoginDlg.h"

#include "app/DbMessages.h"
#include "app/Globals.h"
#include "app/ProcessControl.h"
#include "app/Prompter.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"
#include "store/BookConnection.h"
#include "security/PasswordHash.h"
#include "users/UserStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *PictureLabel(const QString &resource, QSize size)
{
    auto *label = new QLabel;
    label->setPixmap(Picture(resource, size));
    label->setFixedSize(size);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

CLoginDlg::CLoginDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("141"));
    setWindowTitle(QStringLiteral("登录"));
    setWindowIcon(AppIcon());
    setFont(DialogFont());
    // White dialog, blue captions: the fixed look of the login.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    m_pUserBox = new QComboBox(this);
    m_pUserBox->setObjectName(QStringLiteral("1050"));
    m_pUserBox->setEditable(false);
    m_pUserBox->setMinimumWidth(170);
    m_pPasswordEdit = new QLineEdit(this);
    m_pPasswordEdit->setObjectName(QStringLiteral("1048"));
    m_pPasswordEdit->setEchoMode(QLineEdit::Password);

    auto blueLabel = [this](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text, this);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, QColor(0, 0, 255));
        label->setPalette(p);
        label->setBuddy(buddy);
        return label;
    };

    auto *okButton = new QPushButton(QStringLiteral("登录(&L)"), this);
    okButton->setObjectName(QStringLiteral("1"));
    okButton->setDefault(true);
    auto *quitButton = new QPushButton(QStringLiteral("退出(&X)"), this);
    quitButton->setObjectName(QStringLiteral("2"));
    connect(okButton, &QPushButton::clicked, this, &CLoginDlg::accept);
    connect(quitButton, &QPushButton::clicked, this, &CLoginDlg::reject);

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(10);
    fields->addWidget(PictureLabel(QStringLiteral(":/res/icons/login-user.svg"), {32, 32}), 0, 0);
    fields->addWidget(blueLabel(QStringLiteral("用户名："), m_pUserBox), 0, 1);
    fields->addWidget(m_pUserBox, 0, 2);
    fields->addWidget(PictureLabel(QStringLiteral(":/res/icons/login-key.svg"), {32, 32}), 1, 0);
    fields->addWidget(blueLabel(QStringLiteral("密   码："), m_pPasswordEdit), 1, 1);
    fields->addWidget(m_pPasswordEdit, 1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(quitButton);

    auto *side = new QVBoxLayout;
    side->addWidget(PictureLabel(QStringLiteral(":/res/pictures/login-side.svg"), {96, 128}));

    auto *body = new QVBoxLayout;
    body->addLayout(fields);
    body->addStretch();
    body->addLayout(buttons);

    auto *row = new QHBoxLayout;
    row->addLayout(side);
    row->addSpacing(12);
    row->addLayout(body);

    auto *top = new QVBoxLayout(this);
    top->addWidget(PictureLabel(QStringLiteral(":/res/pictures/login-banner.svg"), {360, 64}), 0, Qt::AlignHCenter);
    top->addLayout(row);
    top->addWidget(PictureLabel(QStringLiteral(":/res/pictures/login-footer.svg"), {360, 12}), 0, Qt::AlignHCenter);
    setLayout(top);

    FillUserList();
    m_pPasswordEdit->setFocus();
}

void CLoginDlg::FillUserList()
{
    const auto conn = OpenBook(this);
    if (!conn)
        return;
    auto names = orv::UserStore::names(*conn);
    if (!CheckDb(this, names))
        return;
    m_pUserBox->addItems(*names);
    if (m_pUserBox->count() > 0)
        m_pUserBox->setCurrentIndex(0);
}

bool CLoginDlg::ReadUserCode()
{
    g_strCurUser = m_pUserBox->currentText();
    const auto conn = OpenBook(this);
    if (!conn)
        return false;
    auto code = orv::UserStore::passwordOf(*conn, g_strCurUser);
    if (!CheckDb(this, code))
        return false;
    if (!code->has_value()) {
        ShowAttention(this, QStringLiteral("帐本中没有这个用户，无法登录!\n请退出后检查帐本文件。"));
        return false;
    }
    g_strUserCode = **code;
    return true;
}

void CLoginDlg::accept()
{
    if (m_pUserBox->count() == 0) {
        ShowAttention(this, QStringLiteral("帐本中还没有任何用户，无法登录!"));
        return;
    }
    if (!ReadUserCode())
        return;
    const QString typed = m_pPasswordEdit->text();
    if (!orv::PasswordHash::matches(typed, g_strUserCode)) {
        ShowMessage(this, QStringLiteral("请输入正确的密码!"), QStringLiteral("密码错误"), MsgIcon::Exclamation);
        return;
    }
    if (orv::PasswordHash::needsRehash(g_strUserCode))
        KeepPasswordHashed(typed);
    QDialog::accept();
}

void CLoginDlg::KeepPasswordHashed(const QString &typed)
{
    // The password was right, so its hash can take its place in the book.
    // A failure costs nothing but another try at the next login.
    const auto conn = OpenBook(this);
    if (!conn)
        return;
    const orv::DbStatus stored = orv::UserStore::modify(*conn, g_strCurUser, g_strCurUser, typed);
    if (!stored.ok())
        ShowMessage(this,
                    QStringLiteral("密码正确，但无法把帐本中未加密的密码改为加密保存，下次登录时会再试。\n\n（%1）")
                        .arg(stored.error().message),
                    QString(), MsgIcon::Exclamation);
}

void CLoginDlg::reject()
{
    TerminateProcess(0);
}
