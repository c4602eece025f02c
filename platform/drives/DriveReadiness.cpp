#include "platform/drives/DriveReadiness.h"

#include "platform/files/FolderPath.h"

namespace platform {

DriveReadiness::DriveReadiness(Probe probe)
    : m_probe(std::move(probe))
{
}

bool DriveReadiness::IsReady(const QString& mountPoint) const
{
    auto pending = m_pending.find(mountPoint);
    if (pending == m_pending.end() || pending->Finished()) {
        pending = m_pending.insert(
            mountPoint, BackgroundCall<bool>([probe = m_probe, mountPoint] { return probe(mountPoint); }));
    }
    std::optional<bool> ready = pending->WaitFor(Patience);
    if (!ready)
        return false;
    m_pending.erase(pending);
    return *ready;
}

bool DriveReadiness::OnDisk(const QString& mountPoint)
{
    return FolderPath::IsFolder(mountPoint);
}

} // namespace platform
