#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// One line of the system's mount table, as much of it as deciding on drives needs.
struct MountEntry {
    QString mountPoint;
    QByteArray device;
    QByteArray fileSystemType;
    QString label;
    QByteArray subvolume;
    bool readOnly {false};
    bool removable {false};
};

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

// Decides which mounted file systems are drives. A drive is a file system that holds user
// files: the root (always, even when it is a container's overlay), mounts of block devices
// and of network file systems. Left out are pseudo and memory file systems, places that only
// the system uses (/boot and its EFI partition, /snap, /etc files a container binds in,
// /run other than removable media), read-only loop images (snaps), and bind-mount duplicates:
// of several mounts of one device (and btrfs subvolume) only the shortest mount point stays.
class MountFilter {
public:
    // Drives of a mount table: the root first, then by mount point in natural order.
    static QList<DriveEntry> Drives(const QList<MountEntry>& mounts);

    // The machine's mount table through QStorageInfo, with removable media marked.
    static QList<MountEntry> SystemMounts();

    static bool IsDrive(const MountEntry& mount);
    static DriveKind KindOf(const MountEntry& mount);
    static QString TextOf(const MountEntry& mount);

private:
    static bool isNetworkType(const QByteArray& type);
    static bool isPseudoType(const QByteArray& type);
    static bool isSystemPlace(const QString& mountPoint);
    static QList<MountEntry> withoutDuplicates(const QList<MountEntry>& mounts);
};

} // namespace platform
