#pragma once

#include "platform/drives/MountFilter.h"
#include "platform/runtime/BackgroundCall.h"

#include <QHash>
#include <QList>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

namespace platform {

// The drives of the machine (see MountFilter for what counts as one), finding the drive a
// text names, whether a drive is ready, and each drive's current folder.
//
// Nothing here may freeze the window, yet both reading the mount table and looking at a
// mount point can hang for minutes on a network mount whose server is gone. Both therefore
// run on a worker thread and the table waits only a short while: an answer that does not
// come in time is "not ready", or, for the mount table, the drives read last time.
class DriveTable {
public:
    using ReadinessProbe = std::function<bool(const QString& mountPoint)>;
    using MountReader = std::function<QList<MountEntry>()>;

    static constexpr std::chrono::milliseconds ReadyPatience {300};
    static constexpr std::chrono::milliseconds MountTablePatience {500};

    // The machine's drives, from its mount table.
    DriveTable();

    // A given mount table, for tests and tools. The process folder (the current folder of
    // the drive holding it) defaults to the process's own; the probe that decides whether a
    // mount point is ready defaults to looking at it on disk.
    explicit DriveTable(QList<MountEntry> mounts, QString processFolder = {}, ReadinessProbe probe = {});

    // A mount table that the given function reads afresh at every Refresh, so that a test
    // can mount and unmount drives. The function runs on the calling thread.
    explicit DriveTable(MountReader reader, QString processFolder = {}, ReadinessProbe probe = {});

    const QList<DriveEntry>& Drives() const { return m_drives; }

    // Reads the mount table again (a given table is filtered again).
    void Refresh();

    // The drive whose text ("/home [本地磁盘]") this is; error 68 for any other text.
    DriveEntry FindByText(const QString& text) const;

    // The drive with the longest mount point that contains the path; the folder need not
    // exist. Error 68 when the text is not an absolute path.
    DriveEntry DriveForPath(const QString& absolutePath) const;

    // A drive's text selects that drive, an absolute path the drive holding it; free text is
    // no drive (error 68).
    DriveEntry Resolve(const QString& textOrPath) const;

    static bool IsAbsolute(const QString& path);

    // Whether the drive answers; a drive that does not answer within ReadyPatience is not
    // ready. While an earlier look at the same drive still hangs, no second one is started.
    bool IsReady(const DriveEntry& drive) const;

    // The folder the directory list last showed on the drive; at first the process's current
    // folder on its own drive and the mount point on every other. Kept in memory only.
    QString CurrentFolder(const DriveEntry& drive) const;
    void SetCurrentFolder(const DriveEntry& drive, const QString& folder);

    // The folder the program was started in, where the lists begin.
    const QString& ProcessFolder() const { return m_processFolder; }

private:
    QList<MountEntry> readSystemTable();
    static QString processCurrentFolder();
    static bool isReadyOnDisk(const QString& mountPoint);

    bool m_systemTable {false};
    MountReader m_reader;
    QList<MountEntry> m_mounts;
    QList<DriveEntry> m_drives;
    QString m_processFolder;
    ReadinessProbe m_probe;
    QHash<QString, QString> m_currentFolders;
    std::optional<BackgroundCall<QList<MountEntry>>> m_pendingRead;
    mutable QHash<QString, BackgroundCall<bool>> m_pendingProbes;
};

} // namespace platform
