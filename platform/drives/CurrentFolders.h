#pragma once

#include "platform/drives/DriveEntry.h"

#include <QHash>
#include <QString>
#include <optional>

namespace platform {

// The current folder of each drive: the folder the directory list last showed on it, kept in
// memory only. Until the list has shown one, a drive's current folder is the process folder
// (the folder the program was started in) on the drive holding it, and the mount point on
// every other.
class CurrentFolders {
public:
    explicit CurrentFolders(QString processFolder);

    const QString& ProcessFolder() const { return m_processFolder; }

    // `processDrive` is the drive holding the process folder, if any drive does.
    QString Of(const DriveEntry& drive, const std::optional<DriveEntry>& processDrive) const;
    void Remember(const DriveEntry& drive, const QString& folder);

    // The process's current folder as bytes, decoded like every other name, so that a folder
    // whose name is not UTF-8 reads the same here as in the lists and is found again.
    static QString OfProcess();

private:
    QString m_processFolder;
    QHash<QString, QString> m_remembered;
};

} // namespace platform
