#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// One line of the system's mount table, as much of it as deciding on drives needs. Every
// field has a default, so that a table can be written with designated initializers.
struct MountEntry {
    QString mountPoint {};
    QByteArray device {};
    QByteArray fileSystemType {};
    QString label {};
    QByteArray subvolume {};
    bool readOnly {false};
    bool removable {false};
};

} // namespace platform
