#include "platform/ListIcons.h"

#include <QStyle>

namespace platform {

QIcon ListIcons::Drive(DriveKind kind, const QStyle& style)
{
    switch (kind) {
    case DriveKind::Removable:
        return QIcon::fromTheme(QStringLiteral("drive-removable-media"), style.standardIcon(QStyle::SP_DriveFDIcon));
    case DriveKind::Network:
        return QIcon::fromTheme(QStringLiteral("folder-remote"), style.standardIcon(QStyle::SP_DriveNetIcon));
    case DriveKind::Local:
        break;
    }
    return QIcon::fromTheme(QStringLiteral("drive-harddisk"), style.standardIcon(QStyle::SP_DriveHDIcon));
}

QIcon ListIcons::OpenFolder(const QStyle& style)
{
    return QIcon::fromTheme(QStringLiteral("folder-open"), style.standardIcon(QStyle::SP_DirOpenIcon));
}

QIcon ListIcons::ClosedFolder(const QStyle& style)
{
    return QIcon::fromTheme(QStringLiteral("folder"), style.standardIcon(QStyle::SP_DirClosedIcon));
}

QIcon ListIcons::TextFile(const QStyle& style)
{
    return QIcon::fromTheme(QStringLiteral("text-x-generic"), style.standardIcon(QStyle::SP_FileIcon));
}

} // namespace platform
