#pragma once

#include "platform/drives/MountSource.h"
#include "platform/runtime/BackgroundCall.h"

#include <chrono>
#include <optional>

namespace platform {

// The machine's mount table through QStorageInfo, with removable media marked.
//
// Reading it can hang for minutes while a network mount whose server is gone is mounted, so
// it is read on a worker thread and waited for only a short while: a read that does not
// finish in time answers with the mounts read last time.
class SystemMounts final : public MountSource {
public:
    static constexpr std::chrono::milliseconds Patience {500};

    QList<MountEntry> Read() override;

private:
    static QList<MountEntry> readNow();

    std::optional<BackgroundCall<QList<MountEntry>>> m_pending;
    QList<MountEntry> m_last;
};

} // namespace platform
