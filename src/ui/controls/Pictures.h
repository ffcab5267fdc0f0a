#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's pictures are SVG drawings in the resources (":/res/...").
// Rendered at the size each place needs, so they stay sharp on any screen.
QPixmap Picture(const QString &resource, QSize size);
QIcon PictureIcon(const QString &resource);
// The program icon.
QIcon AppIcon();
