#include "platform/drives/CurrentFolders.h"

#include "platform/names/NativePath.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// Long enough for nearly every folder; a deeper one doubles it until it fits.
constexpr std::size_t FirstFolderBufferSize = 4096;

} // namespace

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
    std::vector<char> buffer(FirstFolderBufferSize);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return QStringLiteral("/");
        buffer.resize(buffer.size() * 2);
    }
    return NativePath::Decode(QByteArray(buffer.data()));
}

} // namespace platform
