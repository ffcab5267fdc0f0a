#include "mainwnd/CAboutDlg.h"

#include "controls/CHyperLink.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"

#include <QLabel>
#include <QPushButton>

QString CAboutDlg::HomePage()
{
    return QStringLiteral("https://orvendal.example.org");
}

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QStringLiteral("关于 Orvendal"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    // White ground, black text: the fixed look of this box.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);

    const CDialogUnits du(font());
    auto text = [this, &du](const QString &caption, int x, int y, int cx, int cy) {
        auto *label = new QLabel(caption, this);
        label->setGeometry(du.Rect(x, y, cx, cy));
        return label;
    };

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("128"));
    icon->setPixmap(AppIcon().pixmap(32, 32));
    icon->setAccessibleName(QStringLiteral("Orvendal"));
    icon->setGeometry(du.X(11), du.Y(12), 32, 32);

    QLabel *name = text(QStringLiteral("Orvendal  2.5.1 版"), 44, 10, 140, 10);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    text(QStringLiteral("家庭帐务：收入、支出和借贷，一家人记在一本帐上。"), 44, 24, 170, 9);
    text(QStringLiteral("版权所有 (C) Orvendal 开发组"), 44, 36, 170, 9);

    QLabel *home = text(QStringLiteral("主页："), 44, 50, 24, 9);
    m_pLink = new CHyperLink(HomePage(), this);
    m_pLink->setObjectName(QStringLiteral("1040"));
    m_pLink->setAccessibleName(QStringLiteral("Orvendal 主页"));
    m_pLink->setGeometry(du.Rect(68, 50, 120, 9));
    m_pLink->SetTipText(QStringLiteral("打开 Orvendal 主页"));
    m_pLink->SetLinkTarget(HomePage());
    home->setBuddy(m_pLink);

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(du.Rect(196, 8, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(du.Size(256, 68));
    ok->setFocus();
}
