#include "mainwnd/CColorToolBar.h"

#include "controls/Pictures.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>
#include <QToolButton>

#include <algorithm>

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
    {32813, u"财务分析\n财务分析", ":/res/toolbar/analysis.svg"},
    {32793, u"开始界面\n开始界面", ":/res/toolbar/start.svg"},
    {0, nullptr, nullptr},
    {32791, u"借贷情况\n借贷情况", ":/res/toolbar/loan.svg"},
};

constexpr int kButtonSide = 66;

const ButtonSpec *SpecOf(int commandId)
{
    for (const ButtonSpec &spec : kButtons) {
        if (spec.id == commandId && spec.string)
            return &spec;
    }
    return nullptr;
}

} // namespace

CColorToolBar::CColorToolBar(QWidget *parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("59392")); // 0xE800, the standard toolbar id
    setAccessibleName(QStringLiteral("模块工具栏"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(kButtonSide, kButtonSide));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Borders of 4 pixels at the left and the top, none at the right and the bottom.
    setContentsMargins(4, 4, 0, 0);
}

QString CColorToolBar::TipText(int commandId)
{
    const ButtonSpec *spec = SpecOf(commandId);
    if (!spec)
        return {};
    const QString text = QString::fromUtf16(spec->string);
    const qsizetype feed = text.indexOf(u'\n');
    return (feed < 0 ? text : text.mid(feed + 1)).left(80);
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
        QAction *action = addAction(prompt);
        action->setObjectName(QString::number(spec.id));
        action->setToolTip(TipText(spec.id));
        action->setStatusTip(prompt);
        action->setCheckable(true);
        const int id = spec.id;
        connect(action, &QAction::triggered, this, [this, id] { Q_EMIT Command(id); });
        if (auto *button = qobject_cast<QToolButton *>(widgetForAction(action))) {
            button->setObjectName(QString::number(spec.id));
            button->setAccessibleName(prompt);
            button->setMinimumSize(kButtonSide, kButtonSide);
        }
        m_buttons.append(action);
    }
    LoadColorImages(kButtonSide);
    // Buttons and borders fit above the separator strip at y = 80.
    setFixedHeight(std::min(sizeHint().height(), 80));
    return m_buttons.size() == 6;
}

QImage CColorToolBar::MaskedImage(const QImage &image)
{
    if (image.isNull())
        return image;
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = masked.pixel(0, masked.height() - 1);
    // A picture drawn on a transparent ground needs no mask.
    if (qAlpha(mask) == 0)
        return masked;
    for (int y = 0; y < masked.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if (line[x] == mask)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return masked;
}

bool CColorToolBar::LoadColorImages(int buttonWidth)
{
    bool all = true;
    for (QAction *action : m_buttons) {
        const ButtonSpec *spec = SpecOf(action->objectName().toInt());
        const QPixmap drawn = Picture(QString::fromLatin1(spec->picture), QSize(buttonWidth, buttonWidth));
        auto *button = qobject_cast<QToolButton *>(widgetForAction(action));
        if (drawn.isNull()) {
            // Without its picture the button shows its prompt and still works.
            all = false;
            if (button)
                button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            continue;
        }
        QPixmap picture = QPixmap::fromImage(MaskedImage(drawn.toImage()));
        picture.setDevicePixelRatio(drawn.devicePixelRatio());
        // Every state shows the same picture: the pressed module button must
        // not look greyed out because it cannot be pressed again.
        QIcon icon;
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Disabled, QIcon::Selected}) {
            icon.addPixmap(picture, mode, QIcon::Off);
            icon.addPixmap(picture, mode, QIcon::On);
        }
        action->setIcon(icon);
        if (button)
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    return all;
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
