#pragma once

#include "platform/runtime/BackgroundCall.h"

#include <QHash>
#include <QString>
#include <chrono>
#include <functional>

namespace platform {

// Whether a drive answers. Looking at a mount point can hang for minutes on a network mount
// whose server is gone, so the look runs on a worker thread and a drive that does not answer
// within Patience is not ready. While an earlier look at the same drive still hangs, no
// second one is started.
class DriveReadiness {
public:
    // Decides whether a mount point is ready. It runs on a worker thread and may outlive the
    // table, so it must own whatever it reads.
    using Probe = std::function<bool(const QString& mountPoint)>;

    static constexpr std::chrono::milliseconds Patience {300};

    explicit DriveReadiness(Probe probe);

    bool IsReady(const QString& mountPoint) const;

    // The probe the program uses: the mount point is a folder on disk.
    static bool OnDisk(const QString& mountPoint);

private:
    Probe m_probe;
    mutable QHash<QString, BackgroundCall<bool>> m_pending;
};

} // namespace platform
