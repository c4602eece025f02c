#pragma once

#include "platform/drives/DriveTable.h"
#include "platform/drives/MountSource.h"

#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>

// Drive tables of a test's making, whose drives are usually folders of the test.

inline platform::MountEntry disk(const QString& mountPoint, const QByteArray& device, const QByteArray& type = "ext4")
{
    platform::MountEntry entry;
    entry.mountPoint = mountPoint;
    entry.device = device;
    entry.fileSystemType = type;
    return entry;
}

// A mount table the test can change while the table is in use, as plugging in a stick would.
using MountList = std::shared_ptr<QList<platform::MountEntry>>;

class FakeMounts final : public platform::MountSource {
public:
    explicit FakeMounts(MountList mounts)
        : m_mounts(std::move(mounts))
    {
    }
    QList<platform::MountEntry> Read() override { return *m_mounts; }

private:
    MountList m_mounts;
};

// Mount points that answer "not ready"; every other one is ready when it is a folder. The
// probe runs on a worker thread, so it reads a copy taken when the table was made.
inline platform::DriveReadiness::Probe unready(const QSet<QString>& mountPoints)
{
    return [mountPoints](const QString& mountPoint) {
        return !mountPoints.contains(mountPoint) && QFileInfo(mountPoint).isDir();
    };
}

inline platform::DriveTable fakeDrives(MountList mounts, const QString& processFolder,
    platform::DriveReadiness::Probe probe = &platform::DriveReadiness::OnDisk)
{
    return platform::DriveTable(std::make_unique<FakeMounts>(std::move(mounts)), processFolder, std::move(probe));
}

inline platform::DriveTable fakeDrives(QList<platform::MountEntry> mounts, const QString& processFolder,
    platform::DriveReadiness::Probe probe = &platform::DriveReadiness::OnDisk)
{
    return fakeDrives(
        std::make_shared<QList<platform::MountEntry>>(std::move(mounts)), processFolder, std::move(probe));
}

// A drive table of one disk mounted at `mountPoint`, for a program started in
// `processFolder`: the window sees the test's folder as a drive of its own.
inline std::unique_ptr<platform::DriveTable> oneDiskAt(const QString& mountPoint, const QString& processFolder)
{
    return std::make_unique<platform::DriveTable>(fakeDrives({disk(mountPoint, "/dev/fake1")}, processFolder));
}
