#include "platform/drives/CurrentFolders.h"

#include "platform/files/FolderPath.h"

namespace platform {

CurrentFolders::CurrentFolders(QString processFolder)
    : m_processFolder(std::move(processFolder))
{
}

QString CurrentFolders::Of(const DriveEntry& drive, const std::optional<DriveEntry>& processDrive) const
{
    auto remembered = m_remembered.constFind(drive.mountPoint);
    if (remembered != m_remembered.constEnd())
        return *remembered;
    if (processDrive && processDrive->mountPoint == drive.mountPoint)
        return m_processFolder;
    return drive.mountPoint;
}

void CurrentFolders::Remember(const DriveEntry& drive, const QString& folder)
{
    m_remembered.insert(drive.mountPoint, folder);
}

QString CurrentFolders::OfProcess()
{
    return FolderPath::Current();
}

} // namespace platform
