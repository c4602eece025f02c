#pragma once

#include "platform/drives/DriveEntry.h"

#include <QIcon>

namespace platform {

// The icons of the drive, directory and file lists.
//
// On a desktop that sets an icon theme of its own, the theme's icons are used, so that the
// lists look like the file manager next to them. Without one (no theme, or only hicolor, the
// freedesktop fallback theme, which carries applications' own icons and none of these), the
// lists draw small pictures of their own. The style's standard pictures are not used: loading
// them makes Qt's image reader load every image-format plugin of the system to ask whether
// it reads PNG, which cost start-up about ten milliseconds, a tenth of it.
class ListIcons {
public:
    static QIcon Drive(DriveKind kind);
    static QIcon OpenFolder();
    static QIcon ClosedFolder();
    static QIcon TextFile();
};

} // namespace platform
