#include "platform/drives/DriveReadiness.h"

#include "platform/files/FolderPath.h"
#include "platform/hang/GuardedCall.h"
#include "platform/runtime/Error.h"

namespace platform {

DriveReadiness::DriveReadiness(Probe probe)
    : m_probe(std::move(probe))
{
}

bool DriveReadiness::IsReady(const QString& mountPoint) const
{
    try {
        return GuardedCall(Charge::To(mountPoint)).Run<bool>([probe = m_probe, mountPoint] {
            return probe(mountPoint);
        });
    } catch (const Error&) {
        return false;
    }
}

bool DriveReadiness::OnDisk(const QString& mountPoint)
{
    return FolderPath::IsFolder(mountPoint);
}

} // namespace platform
