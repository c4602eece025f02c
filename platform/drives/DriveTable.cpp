#include "platform/drives/DriveTable.h"

#include "platform/drives/MountFilter.h"
#include "platform/hang/MountTable.h"
#include "platform/runtime/Error.h"

#include <QDir>

namespace platform {

DriveTable::DriveTable(std::unique_ptr<MountSource> mounts, QString processFolder, DriveReadiness::Probe probe)
    : m_mounts(std::move(mounts))
    , m_readiness(std::move(probe))
    , m_folders(std::move(processFolder))
{
    Refresh();
}

void DriveTable::Refresh()
{
    m_drives = MountFilter::Drives(m_mounts->Read());
}

bool DriveTable::IsAbsolute(const QString& path)
{
    return path.startsWith(u'/');
}

DriveEntry DriveTable::DriveForPath(const QString& absolutePath) const
{
    if (!IsAbsolute(absolutePath))
        throw Error(ErrorCode::DeviceUnavailable);
    // Lexical cleaning only: the folder need not exist, and ".." must not take the path out
    // of a mount point it names.
    const QString path = QDir::cleanPath(absolutePath);
    const DriveEntry* best = nullptr;
    for (const DriveEntry& drive : m_drives) {
        if (MountTable::Holds(QDir::cleanPath(drive.mountPoint), path)
            && (!best || drive.mountPoint.size() > best->mountPoint.size()))
            best = &drive;
    }
    if (!best)
        throw Error(ErrorCode::DeviceUnavailable);
    return *best;
}

DriveEntry DriveTable::Resolve(const QString& textOrPath) const
{
    for (const DriveEntry& drive : m_drives) {
        if (drive.text == textOrPath)
            return drive;
    }
    return DriveForPath(textOrPath);
}

bool DriveTable::IsReady(const DriveEntry& drive) const
{
    return m_readiness.IsReady(drive.mountPoint);
}

QString DriveTable::CurrentFolder(const DriveEntry& drive) const
{
    std::optional<DriveEntry> processDrive;
    try {
        processDrive = DriveForPath(ProcessFolder());
    } catch (const Error&) {
        // A process folder outside every drive leaves each drive at its mount point.
    }
    return m_folders.Of(drive, processDrive);
}

void DriveTable::SetCurrentFolder(const DriveEntry& drive, const QString& folder)
{
    m_folders.Remember(drive, folder);
}

} // namespace platform
