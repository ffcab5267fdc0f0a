#include "mainwnd/CColorToolBar.h"

#include "controls/Pictures.h"

#include <QAction>
#include <QIcon>
#include <QToolButton>

namespace {

struct ButtonSpec
{
    int id;
    const char16_t *string; // prompt, line feed, tip
    const char *picture;
};

const ButtonSpec kButtons[] = {
    {32787, u"收入记录\n收入记录", ":/res/toolbar/income.svg"},
    {32788, u"支出记录\n支出记录", ":/res/toolbar/payout.svg"},
    {0, nullptr, nullptr},
    {32789, u"查询备份\n查询备份", ":/res/toolbar/query.svg"},
    {32793, u"开始界面\n开始界面", ":/res/toolbar/start.svg"},
    {0, nullptr, nullptr},
    {32791, u"借贷情况\n借贷情况", ":/res/toolbar/loan.svg"},
};

} // namespace

CColorToolBar::CColorToolBar(QWidget *parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("59392")); // 0xE800, the standard toolbar id
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(66, 66));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setContentsMargins(4, 4, 0, 0);
}

QString CColorToolBar::TipText(int commandId)
{
    for (const ButtonSpec &spec : kButtons) {
        if (spec.id == commandId && spec.string) {
            const QString text = QString::fromUtf16(spec.string);
            const qsizetype feed = text.indexOf(u'\n');
            return (feed < 0 ? text : text.mid(feed + 1)).left(80);
        }
    }
    return {};
}

bool CColorToolBar::LoadToolBar()
{
    clear();
    m_buttons.clear();
    for (const ButtonSpec &spec : kButtons) {
        if (spec.id == 0) {
            addSeparator();
            continue;
        }
        const QString prompt = QString::fromUtf16(spec.string).section(u'\n', 0, 0);
        // Every state shows the same picture: the pressed module button must
        // not look greyed out because it cannot be pressed again.
        const QPixmap picture = Picture(QString::fromLatin1(spec.picture), iconSize());
        QIcon icon;
        if (!picture.isNull()) {
            icon.addPixmap(picture, QIcon::Normal, QIcon::Off);
            icon.addPixmap(picture, QIcon::Normal, QIcon::On);
            icon.addPixmap(picture, QIcon::Active, QIcon::Off);
            icon.addPixmap(picture, QIcon::Active, QIcon::On);
            icon.addPixmap(picture, QIcon::Disabled, QIcon::On);
            icon.addPixmap(picture, QIcon::Disabled, QIcon::Off);
        }
        QAction *action = addAction(icon, prompt);
        action->setObjectName(QString::number(spec.id));
        action->setToolTip(TipText(spec.id));
        action->setStatusTip(prompt);
        action->setCheckable(true);
        const int id = spec.id;
        connect(action, &QAction::triggered, this, [this, id] { Q_EMIT Command(id); });
        if (auto *button = qobject_cast<QToolButton *>(widgetForAction(action))) {
            button->setObjectName(QString::number(spec.id));
            button->setAccessibleName(prompt);
        }
        m_buttons.append(action);
    }
    return m_buttons.size() == 5;
}

QAction *CColorToolBar::Button(int commandId) const
{
    for (QAction *action : m_buttons) {
        if (action->objectName() == QString::number(commandId))
            return action;
    }
    return nullptr;
}

void CColorToolBar::ShowPressed(int commandId)
{
    for (QAction *action : m_buttons) {
        const bool pressed = action->objectName() == QString::number(commandId);
        action->setChecked(pressed);
        action->setEnabled(!pressed);
    }
}
