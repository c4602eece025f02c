#pragma once

#include "platform/drives/DriveTable.h"
#include "platform/drives/MountSource.h"

#include <QFileInfo>
#include <QSet>

// Drive tables of a test's making, whose drives are usually folders of the test.
inline platform::MountEntry disk(const QString& mountPoint, const QByteArray& device, const QByteArray& type = "ext4")
{
    return {.mountPoint = mountPoint, .device = device, .fileSystemType = type};
}

struct FakeMounts final : platform::MountSource {
    explicit FakeMounts(QList<platform::MountEntry> list)
        : mounts(std::move(list))
    {
    }
    QList<platform::MountEntry> Read() override { return mounts; }
    QList<platform::MountEntry> mounts;
};

// Mount points that answer "not ready"; every other one is ready when it is a folder. The
// probe runs on a worker thread, so it reads a copy taken when the table was made.
inline platform::DriveReadiness::Probe unready(const QSet<QString>& mountPoints)
{
    return [mountPoints](const QString& mountPoint) {
        return !mountPoints.contains(mountPoint) && QFileInfo(mountPoint).isDir();
    };
}

inline platform::DriveTable fakeDrives(QList<platform::MountEntry> mounts, const QString& processFolder,
    platform::DriveReadiness::Probe probe = &platform::DriveReadiness::OnDisk)
{
    return platform::DriveTable(std::make_unique<FakeMounts>(std::move(mounts)), processFolder, std::move(probe));
}
