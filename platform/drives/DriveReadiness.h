#pragma once

#include <QString>

#include <functional>

namespace platform {

// Whether a drive answers. Looking at a mount point can hang for minutes on a network mount
// whose server is gone, so the look runs through the hang guard (GuardedCall), charged to the
// drive: a drive that answers late, as a disk spinning up or a slow server does, is waited for
// and is ready; one that goes the deadline without answering is not ready, and while that look
// is still out, asking again answers "not ready" at once instead of starting a second one.
class DriveReadiness {
public:
    // Decides whether a mount point is ready. It runs on a thread of its own and may outlive the
    // table, so it must own whatever it reads.
    using Probe = std::function<bool(const QString& mountPoint)>;

    explicit DriveReadiness(Probe probe);

    bool IsReady(const QString& mountPoint) const;

    // The probe the program uses: the mount point is a folder on disk.
    static bool OnDisk(const QString& mountPoint);

private:
    Probe m_probe;
};

} // namespace platform
