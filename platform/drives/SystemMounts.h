#pragma once

#include "platform/drives/MountSource.h"
#include "platform/hang/MountTable.h"

namespace platform {

// The machine's mount table, from the kernel's list of mounts (MountTable), with what deciding
// on drives needs: a volume's label from /dev/disk/by-label, removable media from sysfs,
// read-only from the mount's options, a btrfs subvolume from its options or root. Nothing here
// asks a mounted file system for its status, so a share that stopped answering holds nothing
// up: the list is whole and current every time it is read, a stick inserted meanwhile
// included.
class SystemMounts final : public MountSource {
public:
    QList<MountEntry> Read() override;

    // The entries of the mounts given, their labels and removable flags read from the machine.
    static QList<MountEntry> EntriesOf(const QList<MountRecord>& mounts);
};

} // namespace platform
