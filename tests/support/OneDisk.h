#pragma once

#include "platform/drives/DriveTable.h"

#include <QList>
#include <QString>

#include <memory>

// A drive table of one ext4 disk mounted at `mountPoint`, for a program started in
// `processFolder`: the window sees the test's folder as a drive of its own.
inline std::unique_ptr<platform::DriveTable> oneDiskAt(const QString& mountPoint, const QString& processFolder)
{
    platform::MountEntry drive;
    drive.mountPoint = mountPoint;
    drive.device = "/dev/fake1";
    drive.fileSystemType = "ext4";
    return std::make_unique<platform::DriveTable>(QList<platform::MountEntry> {drive}, processFolder);
}
