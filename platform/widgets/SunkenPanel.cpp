#include "platform/widgets/SunkenPanel.h"

#include <QFrame>
#include <QPainter>
#include <QStyleOption>

namespace platform {

namespace {

void paintEdge(QPainter& painter, const QRect& rect, const QPalette& palette)
{
    const int x = rect.x();
    const int y = rect.y();
    const int w = rect.width();
    const int h = rect.height();
    if (w < 2 || h < 2)
        return;
    // The outer ring: dark above and left, light below and right, each line stopping where
    // the other begins, as the polylines do.
    painter.fillRect(x, y, 1, h - 1, palette.dark().color());
    painter.fillRect(x, y, w - 1, 1, palette.dark().color());
    painter.fillRect(x, y + h - 1, w, 1, palette.light().color());
    painter.fillRect(x + w - 1, y, 1, h, palette.light().color());
    if (w <= 4 || h <= 4)
        return;
    // The inner ring: shadow above and left, midlight below and right.
    painter.fillRect(x + 1, y + 1, 1, h - 3, palette.shadow().color());
    painter.fillRect(x + 1, y + 1, w - 3, 1, palette.shadow().color());
    painter.fillRect(x + 1, y + h - 2, w - 2, 1, palette.midlight().color());
    painter.fillRect(x + w - 2, y + 1, 1, h - 2, palette.midlight().color());
}

} // namespace

bool SunkenPanel::PaintFrame(QFrame& frame)
{
    if (frame.devicePixelRatio() != 1.0)
        return false;
    QPainter painter(&frame);
    QStyleOption option;
    option.initFrom(&frame);
    paintEdge(painter, frame.frameRect(), option.palette);
    return true;
}

} // namespace platform
