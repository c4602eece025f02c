#include "platform/drives/DriveReadiness.h"

#include "platform/names/NativePath.h"

#include <sys/stat.h>

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
    struct stat info { };
    return ::stat(NativePath::Encode(mountPoint).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace platform
