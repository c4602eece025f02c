#pragma once

#include "platform/drives/CurrentFolders.h"
#include "platform/drives/DriveEntry.h"
#include "platform/drives/DriveReadiness.h"
#include "platform/drives/MountSource.h"

#include <QList>
#include <QString>
#include <memory>

namespace platform {

// The drives of the machine (MountFilter says what counts as one), read from a mount source:
// finding the drive a path or a drive's text names, whether a drive is ready, and each
// drive's current folder.
//
// The program builds it from SystemMounts, the folder it was started in
// (CurrentFolders::OfProcess) and DriveReadiness::OnDisk; tests give a table and a probe of
// their own.
class DriveTable {
public:
    DriveTable(std::unique_ptr<MountSource> mounts, QString processFolder, DriveReadiness::Probe probe);

    const QList<DriveEntry>& Drives() const { return m_drives; }

    // Reads the mount table again.
    void Refresh();

    // The drive with the longest mount point that contains the path; the folder need not
    // exist. Error 68 when the text is not an absolute path.
    DriveEntry DriveForPath(const QString& absolutePath) const;

    // A drive's text ("/home [本地磁盘]") selects that drive, an absolute path the drive
    // holding it; free text is no drive (error 68).
    DriveEntry Resolve(const QString& textOrPath) const;

    static bool IsAbsolute(const QString& path);

    // Whether the drive answers (DriveReadiness).
    bool IsReady(const DriveEntry& drive) const;

    QString CurrentFolder(const DriveEntry& drive) const;
    void SetCurrentFolder(const DriveEntry& drive, const QString& folder);

    // The folder the program was started in, where the lists begin.
    const QString& ProcessFolder() const { return m_folders.ProcessFolder(); }

private:
    std::unique_ptr<MountSource> m_mounts;
    QList<DriveEntry> m_drives;
    DriveReadiness m_readiness;
    CurrentFolders m_folders;
};

} // namespace platform
