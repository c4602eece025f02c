#include "platform/drives/MountFilter.h"

#include "platform/names/NameOrder.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <string_view>

namespace platform {

namespace {

const QString Root = QStringLiteral("/");

template<std::size_t N> bool isOneOf(const QByteArray& type, const std::array<std::string_view, N>& names)
{
    std::string_view value(type.constData(), static_cast<std::size_t>(type.size()));
    return std::find(names.begin(), names.end(), value) != names.end();
}

bool isUnder(const QString& mountPoint, const QString& place)
{
    return mountPoint == place || mountPoint.startsWith(place + u'/');
}

// File systems that hold files of their own without a block device behind them.
bool isDevicelessLocalType(const QByteArray& type)
{
    static constexpr std::array<std::string_view, 6> Types {"zfs", "bcachefs", "virtiofs", "9p", "drvfs", "apfs"};
    return isOneOf(type, Types);
}

} // namespace

bool MountFilter::isNetworkType(const QByteArray& type)
{
    static constexpr std::array<std::string_view, 20> Types {"nfs", "nfs4", "cifs", "smb3", "smbfs", "afs", "ceph",
        "glusterfs", "lustre", "afpfs", "webdav", "davfs", "ncpfs", "fuse.sshfs", "fuse.rclone", "fuse.davfs",
        "fuse.glusterfs", "fuse.s3fs", "fuse.smbnetfs", "fuse.curlftpfs"};
    return isOneOf(type, Types);
}

bool MountFilter::isPseudoType(const QByteArray& type)
{
    static constexpr std::array<std::string_view, 33> Types {"proc", "sysfs", "tmpfs", "devtmpfs", "devpts", "cgroup",
        "cgroup2", "overlay", "squashfs", "securityfs", "debugfs", "tracefs", "pstore", "bpf", "mqueue", "hugetlbfs",
        "configfs", "fusectl", "autofs", "binfmt_misc", "efivarfs", "ramfs", "nsfs", "rpc_pipefs", "selinuxfs",
        "rootfs", "devfs", "nullfs", "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "fuse.snapfuse", "aufs"};
    return isOneOf(type, Types);
}

bool MountFilter::isSystemPlace(const QString& mountPoint)
{
    static const std::array<QString, 10> Places {QStringLiteral("/boot"), QStringLiteral("/snap"),
        QStringLiteral("/var/snap"), QStringLiteral("/var/lib/docker"), QStringLiteral("/etc"), QStringLiteral("/proc"),
        QStringLiteral("/sys"), QStringLiteral("/dev"), QStringLiteral("/System/Volumes"),
        QStringLiteral("/private/var/vm")};
    for (const QString& place : Places) {
        if (isUnder(mountPoint, place))
            return true;
    }
    return isUnder(mountPoint, QStringLiteral("/run")) && !isUnder(mountPoint, QStringLiteral("/run/media"));
}

bool MountFilter::IsDrive(const MountEntry& mount)
{
    if (mount.mountPoint == Root)
        return true;
    if (isPseudoType(mount.fileSystemType) || isSystemPlace(mount.mountPoint))
        return false;
    if (isNetworkType(mount.fileSystemType))
        return true;
    if (mount.device.startsWith("/dev/loop") && mount.readOnly)
        return false;
    return mount.device.startsWith("/dev/") || isDevicelessLocalType(mount.fileSystemType);
}

DriveKind MountFilter::KindOf(const MountEntry& mount)
{
    if (isNetworkType(mount.fileSystemType))
        return DriveKind::Network;
    if (mount.removable || isUnder(mount.mountPoint, QStringLiteral("/media"))
        || isUnder(mount.mountPoint, QStringLiteral("/run/media"))
        || isUnder(mount.mountPoint, QStringLiteral("/Volumes")))
        return DriveKind::Removable;
    return DriveKind::Local;
}

QString MountFilter::TextOf(const MountEntry& mount)
{
    QString label = mount.label.trimmed();
    if (label.isEmpty()) {
        switch (KindOf(mount)) {
        case DriveKind::Local:
            label = QStringLiteral("本地磁盘");
            break;
        case DriveKind::Removable:
            label = QStringLiteral("可移动磁盘");
            break;
        case DriveKind::Network:
            label = QStringLiteral("网络驱动器");
            break;
        }
    }
    return mount.mountPoint + QStringLiteral(" [") + label + u']';
}

// A later mount on the same place hides the earlier one, so per mount point the last entry
// is the one the folder shows. Then, per device and subvolume, the shortest mount point is
// the drive and the others are the same files bound somewhere else.
QList<MountEntry> MountFilter::withoutDuplicates(const QList<MountEntry>& mounts)
{
    QHash<QString, qsizetype> lastAt;
    for (qsizetype index = 0; index < mounts.size(); ++index)
        lastAt.insert(mounts[index].mountPoint, index);
    QHash<QByteArray, qsizetype> byDevice;
    QList<MountEntry> kept;
    for (qsizetype index = 0; index < mounts.size(); ++index) {
        const MountEntry& mount = mounts[index];
        if (lastAt.value(mount.mountPoint) != index || !IsDrive(mount))
            continue;
        QByteArray identity = mount.device + '\0' + mount.subvolume;
        auto found = byDevice.constFind(identity);
        if (found == byDevice.constEnd()) {
            byDevice.insert(identity, kept.size());
            kept.append(mount);
            continue;
        }
        MountEntry& earlier = kept[*found];
        if (mount.mountPoint.size() < earlier.mountPoint.size())
            earlier = mount;
    }
    return kept;
}

QList<DriveEntry> MountFilter::Drives(const QList<MountEntry>& mounts)
{
    QList<MountEntry> kept = withoutDuplicates(mounts);
    bool hasRoot = std::any_of(kept.begin(), kept.end(), [](const MountEntry& m) { return m.mountPoint == Root; });
    if (!hasRoot) {
        MountEntry root;
        root.mountPoint = Root;
        kept.prepend(root);
    }
    QList<DriveEntry> drives;
    for (const MountEntry& mount : kept)
        drives.append(DriveEntry {mount.mountPoint, TextOf(mount), KindOf(mount)});
    const NameOrder order;
    std::sort(drives.begin(), drives.end(), [&](const DriveEntry& a, const DriveEntry& b) {
        if ((a.mountPoint == Root) != (b.mountPoint == Root))
            return a.mountPoint == Root;
        return order.Less(a.mountPoint, b.mountPoint);
    });
    return drives;
}

} // namespace platform
