#include "platform/drives/SystemMounts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace platform {

namespace {

// Linux reports a disk as removable in sysfs (/sys/class/block/sdb1 is a partition of sdb,
// whose "removable" says so). Many USB disks claim not to be, so MountFilter counts mounts
// under the places desktops mount media at as removable too. Device nodes and sysfs are the
// kernel's own, and answer whatever a mount does.
bool isRemovableDevice(const QString& node)
{
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

// The device node a mount's source names (/dev/mapper/x and /dev/disk/by-uuid/y are links).
QString deviceNode(const QByteArray& source)
{
    if (!source.startsWith("/dev/"))
        return {};
    return QFileInfo(QString::fromUtf8(source)).canonicalFilePath();
}

// udev writes a label's bytes that cannot stand in a file name as \xNN.
QString labelOf(const QString& linkName)
{
    QByteArray name = linkName.toUtf8();
    QByteArray label;
    for (qsizetype at = 0; at < name.size(); ++at) {
        bool hex = false;
        if (name[at] == '\\' && at + 3 < name.size() && name[at + 1] == 'x') {
            const int value = name.mid(at + 2, 2).toInt(&hex, 16);
            if (hex) {
                label.append(char(value));
                at += 3;
                continue;
            }
        }
        label.append(name[at]);
    }
    return QString::fromUtf8(label);
}

// The label of every labelled device node.
QHash<QString, QString> labels()
{
    QHash<QString, QString> byNode;
    const QDir folder(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        byNode.insert(link.canonicalFilePath(), labelOf(link.fileName()));
    return byNode;
}

bool hasOption(const QByteArray& options, const QByteArray& option)
{
    return options.split(',').contains(option);
}

// Only btrfs holds several file systems (subvolumes) in one device; mounts of one device and
// subvolume are the same files bound in several places.
QByteArray subvolumeOf(const MountRecord& mount)
{
    if (mount.type != "btrfs")
        return {};
    QByteArray id;
    for (const QByteArray& option : QByteArray(mount.superOptions + ',' + mount.mountOptions).split(',')) {
        if (option.startsWith("subvol="))
            return option.mid(7);
        if (option.startsWith("subvolid="))
            id = option.mid(9);
    }
    return id.isEmpty() ? mount.root : id;
}

} // namespace

QList<MountEntry> SystemMounts::Read()
{
    return EntriesOf(MountTable::Read());
}

QList<MountEntry> SystemMounts::EntriesOf(const QList<MountRecord>& mounts)
{
    const QHash<QString, QString> labelOfNode = labels();
    QList<MountEntry> entries;
    for (const MountRecord& mount : mounts) {
        const QString node = deviceNode(mount.source);
        MountEntry entry;
        entry.mountPoint = mount.mountPoint;
        entry.device = mount.source;
        entry.fileSystemType = mount.type;
        entry.label = node.isEmpty() ? QString() : labelOfNode.value(node);
        entry.subvolume = subvolumeOf(mount);
        entry.readOnly = hasOption(mount.mountOptions, "ro") || hasOption(mount.superOptions, "ro");
        entry.removable = isRemovableDevice(node);
        entries.append(entry);
    }
    return entries;
}

} // namespace platform
