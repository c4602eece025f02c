#include "platform/drives/SystemMounts.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace platform {

namespace {

// Linux reports a disk as removable in sysfs (/sys/class/block/sdb1 is a partition of sdb,
// whose "removable" says so). Many USB disks claim not to be, so MountFilter counts mounts
// under the places desktops mount media at as removable too.
bool isRemovableDevice(const QByteArray& device)
{
    if (!device.startsWith("/dev/"))
        return false;
    QString node = QFileInfo(QString::fromUtf8(device)).canonicalFilePath();
    if (node.isEmpty())
        return false;
    QString block = QStringLiteral("/sys/class/block/") + QFileInfo(node).fileName();
    QString disk = block;
    if (QFile::exists(block + QStringLiteral("/partition")))
        disk = QFileInfo(block).canonicalFilePath() + QStringLiteral("/..");
    QFile flag(disk + QStringLiteral("/removable"));
    if (!flag.open(QIODevice::ReadOnly))
        return false;
    return flag.read(1) == "1";
}

} // namespace

// A read that is still hanging from last time is waited for again rather than joined by a
// second one.
QList<MountEntry> SystemMounts::Read()
{
    if (!m_pending || m_pending->Finished())
        m_pending.emplace(&SystemMounts::readNow);
    auto mounts = m_pending->WaitFor(Patience);
    if (!mounts)
        return m_last;
    m_pending.reset();
    m_last = *mounts;
    return m_last;
}

QList<MountEntry> SystemMounts::readNow()
{
    QList<MountEntry> mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        MountEntry mount;
        mount.mountPoint = volume.rootPath();
        mount.device = volume.device();
        mount.fileSystemType = volume.fileSystemType();
        mount.label = volume.name();
        mount.subvolume = volume.subvolume();
        mount.readOnly = volume.isReadOnly();
        mount.removable = isRemovableDevice(mount.device);
        mounts.append(mount);
    }
    return mounts;
}

} // namespace platform
