#pragma once

#include <QString>

namespace platform {

enum class DriveKind {
    Local,
    Removable,
    Network,
};

// A drive as the drive list shows it: the mount point and the text "‹mount point› [‹label›]".
struct DriveEntry {
    QString mountPoint;
    QString text;
    DriveKind kind {DriveKind::Local};

    bool operator==(const DriveEntry&) const = default;
};

} // namespace platform
