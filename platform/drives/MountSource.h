#pragma once

#include "platform/drives/MountEntry.h"

#include <QList>

namespace platform {

// Where the drive table reads its mount table from: the machine's own (SystemMounts) in the
// program, a table of the test's making in tests.
class MountSource {
public:
    virtual ~MountSource() = default;

    // The mount table as it stands now. Called on the window's thread, so it must not hang.
    virtual QList<MountEntry> Read() = 0;
};

} // namespace platform
