#include "platform/itemviews/ListIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace platform {

namespace {

enum class Picture {
    ClosedFolder,
    OpenFolder,
    HardDisk,
    RemovableDisk,
    NetworkDisk,
    TextFile,
};

// Outlines on the half pixel, so that at 16 pixels every edge is one crisp pixel wide.
void drawShape(QPainter& painter, const QPolygonF& shape, const QColor& fill, const QColor& outline)
{
    painter.setPen(QPen(outline, 1.0));
    painter.setBrush(fill);
    painter.drawPolygon(shape);
}

void drawDisk(QPainter& painter, const QRectF& body, const QColor& fill)
{
    painter.setPen(QPen(QColor(0x5F, 0x66, 0x6E), 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, 1.5, 1.5);
    painter.setPen(QPen(QColor(0x7D, 0x85, 0x8E), 1.0));
    painter.drawLine(QPointF(body.left() + 2, body.center().y()), QPointF(body.left() + 7, body.center().y()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3F, 0xA3, 0x4D));
    painter.drawEllipse(QPointF(body.right() - 2.5, body.center().y()), 1.0, 1.0);
}

// Each picture is drawn on a grid of 16 by 16 units.
void draw(QPainter& painter, Picture picture)
{
    const QColor folderFill(0xE9, 0xBC, 0x4F);
    const QColor folderLight(0xF5, 0xD3, 0x7A);
    const QColor folderEdge(0xA8, 0x7C, 0x1E);
    switch (picture) {
    case Picture::ClosedFolder:
        drawShape(painter, QPolygonF({{1.5, 2.5}, {6, 2.5}, {7.5, 4.5}, {14.5, 4.5}, {14.5, 13.5}, {1.5, 13.5}}),
            folderFill, folderEdge);
        painter.setPen(QPen(folderLight, 1.0));
        painter.drawLine(QPointF(2.5, 6.5), QPointF(13.5, 6.5));
        return;
    case Picture::OpenFolder:
        drawShape(painter, QPolygonF({{1.5, 2.5}, {6, 2.5}, {7.5, 4.5}, {13.5, 4.5}, {13.5, 13.5}, {1.5, 13.5}}),
            folderFill.darker(115), folderEdge);
        drawShape(painter, QPolygonF({{1.5, 13.5}, {4, 7.5}, {15.5, 7.5}, {13.5, 13.5}}), folderLight, folderEdge);
        return;
    case Picture::HardDisk:
        drawDisk(painter, QRectF(1.5, 5.5, 13, 6), QColor(0xC3, 0xC8, 0xCE));
        return;
    case Picture::RemovableDisk:
        drawShape(painter, QPolygonF({{11.5, 6.5}, {14.5, 6.5}, {14.5, 10.5}, {11.5, 10.5}}), QColor(0xDD, 0xDF, 0xE2),
            QColor(0x5F, 0x66, 0x6E));
        drawDisk(painter, QRectF(1.5, 5.5, 10, 6), QColor(0x9F, 0xB9, 0xD6));
        return;
    case Picture::NetworkDisk:
        drawDisk(painter, QRectF(1.5, 2.5, 13, 6), QColor(0xC3, 0xC8, 0xCE));
        painter.setPen(QPen(QColor(0x3D, 0x6F, 0xB8), 1.0));
        painter.drawLine(QPointF(8.5, 8.5), QPointF(8.5, 12.5));
        painter.drawLine(QPointF(2.5, 13.5), QPointF(14.5, 13.5));
        return;
    case Picture::TextFile:
        drawShape(painter, QPolygonF({{3.5, 1.5}, {10, 1.5}, {12.5, 4}, {12.5, 14.5}, {3.5, 14.5}}), Qt::white,
            QColor(0x80, 0x80, 0x80));
        painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.0));
        painter.drawPolyline(QPolygonF({{10, 1.5}, {10, 4}, {12.5, 4}}));
        painter.setPen(QPen(QColor(0xA8, 0xA8, 0xA8), 1.0));
        for (double y : {6.5, 8.5, 10.5, 12.5})
            painter.drawLine(QPointF(5.5, y), QPointF(10.5, y));
        return;
    }
}

// The list views show 16-pixel icons; the 32-pixel drawing serves a screen scaled by two.
QIcon drawn(Picture picture)
{
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter, picture);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

bool desktopHasIconTheme()
{
    const QString theme = QIcon::themeName();
    return !theme.isEmpty() && theme != QLatin1String("hicolor");
}

QIcon themed(const QString& name, Picture picture)
{
    if (desktopHasIconTheme()) {
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull() && !icon.availableSizes().isEmpty())
            return icon;
    }
    return drawn(picture);
}

} // namespace

QIcon ListIcons::Drive(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Removable:
        return themed(QStringLiteral("drive-removable-media"), Picture::RemovableDisk);
    case DriveKind::Network:
        return themed(QStringLiteral("folder-remote"), Picture::NetworkDisk);
    case DriveKind::Local:
        break;
    }
    return themed(QStringLiteral("drive-harddisk"), Picture::HardDisk);
}

QIcon ListIcons::OpenFolder()
{
    return themed(QStringLiteral("folder-open"), Picture::OpenFolder);
}

QIcon ListIcons::ClosedFolder()
{
    return themed(QStringLiteral("folder"), Picture::ClosedFolder);
}

QIcon ListIcons::TextFile()
{
    return themed(QStringLiteral("text-x-generic"), Picture::TextFile);
}

} // namespace platform
