#include "platform/drives/DriveTable.h"

#include "platform/files/FolderPath.h"
#include "platform/names/NativePath.h"
#include "platform/runtime/Error.h"

#include <QDir>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// "/" and "C:/" end in their separator; every other mount point must be followed by one, so
// that /media/usb does not contain /media/usb2.
bool contains(const QString& mountPoint, const QString& cleanPath)
{
    QString folder = QDir::cleanPath(mountPoint);
    if (cleanPath == folder)
        return true;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return cleanPath.startsWith(folder);
}

} // namespace

DriveTable::DriveTable()
    : m_systemTable(true)
    , m_processFolder(processCurrentFolder())
    , m_probe(&DriveTable::isReadyOnDisk)
{
    Refresh();
}

DriveTable::DriveTable(QList<MountEntry> mounts, QString processFolder, ReadinessProbe probe)
    : DriveTable(
        MountReader([mounts = std::move(mounts)] { return mounts; }), std::move(processFolder), std::move(probe))
{
}

DriveTable::DriveTable(MountReader reader, QString processFolder, ReadinessProbe probe)
    : m_reader(std::move(reader))
    , m_processFolder(processFolder.isEmpty() ? processCurrentFolder() : std::move(processFolder))
    , m_probe(probe ? std::move(probe) : ReadinessProbe(&DriveTable::isReadyOnDisk))
{
    Refresh();
}

void DriveTable::Refresh()
{
    m_mounts = m_systemTable ? readSystemTable() : m_reader();
    m_drives = MountFilter::Drives(m_mounts);
}

// A read that is still hanging from last time is waited for again rather than joined by a
// second one; a read that does not finish in time leaves the drives read before.
QList<MountEntry> DriveTable::readSystemTable()
{
    if (!m_pendingRead || m_pendingRead->Finished())
        m_pendingRead.emplace(&MountFilter::SystemMounts);
    auto mounts = m_pendingRead->WaitFor(MountTablePatience);
    if (!mounts)
        return m_mounts;
    m_pendingRead.reset();
    return *mounts;
}

DriveEntry DriveTable::FindByText(const QString& text) const
{
    for (const DriveEntry& drive : m_drives) {
        if (drive.text == text)
            return drive;
    }
    throw Error(ErrorCode::DeviceUnavailable);
}

bool DriveTable::IsAbsolute(const QString& path)
{
#ifdef Q_OS_WIN
    // A leading colon is one of Qt's resource paths, which no drive holds.
    return QDir::isAbsolutePath(path) && !path.startsWith(u':');
#else
    return path.startsWith(u'/');
#endif
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
        if (contains(drive.mountPoint, path) && (!best || drive.mountPoint.size() > best->mountPoint.size()))
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
    auto pending = m_pendingProbes.find(drive.mountPoint);
    if (pending == m_pendingProbes.end() || pending->Finished()) {
        ReadinessProbe probe = m_probe;
        QString mountPoint = drive.mountPoint;
        pending = m_pendingProbes.insert(
            drive.mountPoint, BackgroundCall<bool>([probe, mountPoint] { return probe(mountPoint); }));
    }
    std::optional<bool> ready = pending->WaitFor(ReadyPatience);
    if (!ready)
        return false;
    m_pendingProbes.erase(pending);
    return *ready;
}

QString DriveTable::CurrentFolder(const DriveEntry& drive) const
{
    auto remembered = m_currentFolders.constFind(drive.mountPoint);
    if (remembered != m_currentFolders.constEnd())
        return *remembered;
    try {
        if (DriveForPath(m_processFolder).mountPoint == drive.mountPoint)
            return m_processFolder;
    } catch (const Error&) {
        // A process folder outside every drive leaves each drive at its mount point.
    }
    return drive.mountPoint;
}

void DriveTable::SetCurrentFolder(const DriveEntry& drive, const QString& folder)
{
    m_currentFolders.insert(drive.mountPoint, folder);
}

// The current folder as bytes, decoded like every other name, so that a folder whose name is
// not UTF-8 is still found again.
QString DriveTable::processCurrentFolder()
{
    return FolderPath::Current();
}

bool DriveTable::isReadyOnDisk(const QString& mountPoint)
{
    return FolderPath::IsFolder(mountPoint);
}

} // namespace platform
