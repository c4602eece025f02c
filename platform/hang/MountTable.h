#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace platform {

// One mount as the kernel lists it in /proc/self/mountinfo.
struct MountRecord {
    QString mountPoint; // decoded as every path is (NativePath)
    QByteArray root; // the folder of the file system that is mounted there
    QByteArray type; // "ext4", "nfs4", "fuse.sshfs"
    QByteArray source; // the device or the server's export
    QByteArray mountOptions; // of this mount: "rw,nosuid,relatime"
    QByteArray superOptions; // of the file system: "rw,subvol=/@home"
};

// The process's mount table as the kernel keeps it. Reading it takes the kernel's own list and
// asks no file system anything, so it never hangs, also while a mount is dead; asking each
// mount for its status, as a look at free space does, would.
//
// A call that may hang is charged to the drive it waits on (see StuckLedger), and MountPointOf
// says which that is: the mount holding the path, found from the text of the path alone, never
// by asking the disk, which for a dead share would hang the asking too.
class MountTable {
public:
    // The mounts of a mountinfo text, in its order.
    static QList<MountRecord> Parse(QByteArrayView mountinfo);
    // The process's mounts now.
    static QList<MountRecord> Read();

    // The mount point holding the path: the longest that holds it lexically. The table is read
    // again only when the kernel says it changed. "/" when the path is not absolute.
    static QString MountPointOf(const QString& path);

    // Whether the folder at mountPoint holds the clean path lexically: "/" holds every
    // absolute path, /media/usb holds /media/usb/a but not /media/usb2.
    static bool Holds(const QString& mountPoint, const QString& cleanPath);
};

} // namespace platform
