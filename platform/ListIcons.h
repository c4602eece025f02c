#pragma once

#include "platform/MountFilter.h"

#include <QIcon>

class QStyle;

namespace platform {

// The icons of the drive, directory and file lists. The desktop's icon theme is asked first,
// so that the lists look like the file manager next to them; where there is no theme (or it
// lacks the name), the style's own pictures stand in.
class ListIcons {
public:
    static QIcon Drive(DriveKind kind, const QStyle& style);
    static QIcon OpenFolder(const QStyle& style);
    static QIcon ClosedFolder(const QStyle& style);
    static QIcon TextFile(const QStyle& style);
};

} // namespace platform
