#include "controls/Pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

// The pictures are compiled into the widgets library, a static library:
// its resources must be registered by hand before the first use.
static void InitPictureResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(orvendal);
        return true;
    }();
    Q_UNUSED(done);
}

QPixmap Picture(const QString &resource, QSize size)
{
    InitPictureResources();
    QSvgRenderer renderer(resource);
    if (!renderer.isValid() || size.isEmpty())
        return {};
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon PictureIcon(const QString &resource)
{
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(Picture(resource, QSize(side, side)));
    return icon;
}

QIcon AppIcon()
{
    static const QIcon icon = PictureIcon(QStringLiteral(":/res/icons/app.svg"));
    return icon;
}
