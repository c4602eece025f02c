#pragma once

#include "platform/drives/DriveEntry.h"
#include "platform/drives/MountEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// Decides which mounted file systems are drives. A drive is a file system that holds user
// files: the root (always, even when it is a container's overlay), mounts of block devices
// and of network file systems. Left out are pseudo and memory file systems, places that only
// the system uses (/boot and its EFI partition, /snap, /etc files a container binds in,
// /run other than removable media), read-only loop images (snaps), and bind-mount duplicates:
// of several mounts of one device (and btrfs subvolume) only the shortest mount point stays.
// A pure function of the table it is given: reading the machine's table is SystemMounts' work.
class MountFilter {
public:
    // Drives of a mount table: the root first, then by mount point in the order of the user's
    // locale.
    static QList<DriveEntry> Drives(const QList<MountEntry>& mounts);

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
