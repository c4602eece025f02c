#include "platform/drives/DriveTable.h"
#include "platform/runtime/Error.h"
#include "support/ErrorOf.h"

#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>

using platform::DriveEntry;
using platform::DriveKind;
using platform::DriveTable;
using platform::Error;
using platform::ErrorCode;
using platform::MountEntry;
using platform::MountFilter;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(MountEntry)
Q_DECLARE_METATYPE(DriveKind)

namespace {

MountEntry mount(const QString& mountPoint, const QByteArray& device, const QByteArray& type)
{
    MountEntry entry;
    entry.mountPoint = mountPoint;
    entry.device = device;
    entry.fileSystemType = type;
    return entry;
}

MountEntry readOnly(MountEntry entry)
{
    entry.readOnly = true;
    return entry;
}

// A desktop's mount table: a root with a separate /home, a USB stick, a network share, and
// the usual pseudo file systems.
QList<MountEntry> desktopMounts()
{
    MountEntry stick = mount(u"/media/ana/STICK"_s, "/dev/sdb1", "vfat");
    stick.label = u"STICK"_s;
    return {mount(u"/"_s, "/dev/sda2", "ext4"), mount(u"/proc"_s, "proc", "proc"),
        mount(u"/home"_s, "/dev/sda3", "ext4"), mount(u"/boot/efi"_s, "/dev/sda1", "vfat"), stick,
        mount(u"/mnt/share"_s, "server:/export", "nfs4"), mount(u"/tmp"_s, "tmpfs", "tmpfs")};
}

QStringList mountPoints(const QList<DriveEntry>& drives)
{
    QStringList points;
    for (const DriveEntry& drive : drives)
        points.append(drive.mountPoint);
    return points;
}

ErrorCode errorOf(const std::function<void()>& call)
{
    return codeRaisedBy(call, ErrorCode::InvalidProcedureCall);
}

} // namespace

class tst_drivetable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsOnlyFileSystemsThatHoldUserFiles_data()
    {
        QTest::addColumn<MountEntry>("entry");
        QTest::addColumn<bool>("isDrive");

        QTest::newRow("separate home") << mount(u"/home"_s, "/dev/sda3", "ext4") << true;
        QTest::newRow("usb stick") << mount(u"/media/ana/USB"_s, "/dev/sdb1", "vfat") << true;
        QTest::newRow("nfs share") << mount(u"/net/docs"_s, "server:/docs", "nfs") << true;
        QTest::newRow("samba share") << mount(u"/mnt/smb"_s, "//server/share", "cifs") << true;
        QTest::newRow("sshfs") << mount(u"/home/ana/remote"_s, "ana@host:", "fuse.sshfs") << true;
        QTest::newRow("zfs dataset") << mount(u"/tank"_s, "tank", "zfs") << true;
        QTest::newRow("writable disk image") << mount(u"/mnt/image"_s, "/dev/loop5", "ext4") << true;
        QTest::newRow("proc") << mount(u"/proc"_s, "proc", "proc") << false;
        QTest::newRow("sysfs") << mount(u"/sys"_s, "sysfs", "sysfs") << false;
        QTest::newRow("tmpfs") << mount(u"/tmp"_s, "tmpfs", "tmpfs") << false;
        QTest::newRow("devtmpfs") << mount(u"/dev"_s, "udev", "devtmpfs") << false;
        QTest::newRow("cgroup") << mount(u"/sys/fs/cgroup"_s, "cgroup2", "cgroup2") << false;
        QTest::newRow("container layer") << mount(u"/var/lib/docker/overlay2/x/merged"_s, "overlay", "overlay")
                                         << false;
        QTest::newRow("snap") << readOnly(mount(u"/snap/core/17"_s, "/dev/loop3", "squashfs")) << false;
        QTest::newRow("read-only loop image") << readOnly(mount(u"/mnt/ro"_s, "/dev/loop4", "ext4")) << false;
        QTest::newRow("boot") << mount(u"/boot"_s, "/dev/sda1", "ext4") << false;
        QTest::newRow("efi partition") << mount(u"/boot/efi"_s, "/dev/nvme0n1p1", "vfat") << false;
        QTest::newRow("file a container binds in") << mount(u"/etc/hosts"_s, "/dev/vda1", "ext4") << false;
        QTest::newRow("runtime folder") << mount(u"/run/user/1000"_s, "tmpfs", "tmpfs") << false;
        QTest::newRow("overlay root") << mount(u"/"_s, "overlay", "overlay") << true;
    }

    void keepsOnlyFileSystemsThatHoldUserFiles()
    {
        QFETCH(MountEntry, entry);
        QFETCH(bool, isDrive);
        QCOMPARE(MountFilter::IsDrive(entry), isDrive);
        DriveTable table({mount(u"/"_s, "/dev/sda2", "ext4"), entry}, u"/"_s);
        QCOMPARE(mountPoints(table.Drives()).contains(entry.mountPoint), isDrive);
    }

    // In a container the root is an overlay, which is no drive anywhere else; without it the
    // drive list would be empty.
    void rootIsAlwaysADrive()
    {
        DriveTable overlayRoot({mount(u"/"_s, "overlay", "overlay"), mount(u"/proc"_s, "proc", "proc")}, u"/"_s);
        QCOMPARE(mountPoints(overlayRoot.Drives()), (QStringList {u"/"_s}));
        DriveTable noRoot({mount(u"/home"_s, "/dev/sda3", "ext4")}, u"/"_s);
        QCOMPARE(mountPoints(noRoot.Drives()), (QStringList {u"/"_s, u"/home"_s}));
    }

    void bindMountDuplicatesKeepTheShortestMountPoint()
    {
        MountEntry subvolumeA = mount(u"/"_s, "/dev/sda2", "btrfs");
        subvolumeA.subvolume = "/@";
        MountEntry subvolumeB = mount(u"/home"_s, "/dev/sda2", "btrfs");
        subvolumeB.subvolume = "/@home";
        MountEntry boundHome = subvolumeB;
        boundHome.mountPoint = u"/srv/home-copy"_s;
        DriveTable table({mount(u"/data/photos"_s, "/dev/sdc1", "ext4"), mount(u"/data"_s, "/dev/sdc1", "ext4"),
                             subvolumeA, subvolumeB, boundHome, mount(u"/mnt/data-again"_s, "/dev/sdc1", "ext4")},
            u"/"_s);
        QCOMPARE(mountPoints(table.Drives()), (QStringList {u"/"_s, u"/data"_s, u"/home"_s}));
    }

    void textShowsTheLabelOrAWordForTheKind_data()
    {
        QTest::addColumn<MountEntry>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<DriveKind>("kind");

        MountEntry labelled = mount(u"/mnt/backup"_s, "/dev/sdd1", "ext4");
        labelled.label = u"备份"_s;
        MountEntry removable = mount(u"/mnt/card"_s, "/dev/mmcblk0p1", "exfat");
        removable.removable = true;
        QTest::newRow("label") << labelled << u"/mnt/backup [备份]"_s << DriveKind::Local;
        QTest::newRow("local") << mount(u"/home"_s, "/dev/sda3", "ext4") << u"/home [本地磁盘]"_s << DriveKind::Local;
        QTest::newRow("removable") << removable << u"/mnt/card [可移动磁盘]"_s << DriveKind::Removable;
        QTest::newRow("media folder") << mount(u"/media/ana/disk"_s, "/dev/sdb1", "vfat")
                                      << u"/media/ana/disk [可移动磁盘]"_s << DriveKind::Removable;
        QTest::newRow("network") << mount(u"/mnt/share"_s, "//nas/share", "cifs") << u"/mnt/share [网络驱动器]"_s
                                 << DriveKind::Network;
    }

    void textShowsTheLabelOrAWordForTheKind()
    {
        QFETCH(MountEntry, entry);
        QFETCH(QString, text);
        QFETCH(DriveKind, kind);
        QCOMPARE(MountFilter::TextOf(entry), text);
        QCOMPARE(MountFilter::KindOf(entry), kind);
    }

    void drivesListTheRootFirstThenByMountPoint()
    {
        DriveTable table(desktopMounts(), u"/"_s);
        QCOMPARE(
            mountPoints(table.Drives()), (QStringList {u"/"_s, u"/home"_s, u"/media/ana/STICK"_s, u"/mnt/share"_s}));
        QCOMPARE(table.Drives().front().text, u"/ [本地磁盘]"_s);
        QCOMPARE(table.Drives()[2].text, u"/media/ana/STICK [STICK]"_s);
    }

    void pathSelectsTheDriveWithTheLongestMountPoint_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("mountPoint");

        QTest::newRow("folder on home") << u"/home/ana/notes"_s << u"/home"_s;
        QTest::newRow("mount point itself") << u"/home"_s << u"/home"_s;
        QTest::newRow("trailing separator") << u"/home/"_s << u"/home"_s;
        QTest::newRow("missing folder") << u"/home/nobody/never/made"_s << u"/home"_s;
        QTest::newRow("name that only starts alike") << u"/homework"_s << u"/"_s;
        QTest::newRow("sibling of a mount point") << u"/media/ana/STICK2/x"_s << u"/"_s;
        QTest::newRow("dot dot leaves home") << u"/home/../mnt/share/a"_s << u"/mnt/share"_s;
        QTest::newRow("root") << u"/"_s << u"/"_s;
        QTest::newRow("doubled separators") << u"//home//ana"_s << u"/home"_s;
    }

    void pathSelectsTheDriveWithTheLongestMountPoint()
    {
        QFETCH(QString, path);
        QFETCH(QString, mountPoint);
        DriveTable table(desktopMounts(), u"/"_s);
        QCOMPARE(table.DriveForPath(path).mountPoint, mountPoint);
        QCOMPARE(table.Resolve(path).mountPoint, mountPoint);
    }

    void bareDriveTextSelectsThatDrive()
    {
        DriveTable table(desktopMounts(), u"/"_s);
        QCOMPARE(table.FindByText(u"/home [本地磁盘]"_s).mountPoint, u"/home"_s);
        QCOMPARE(table.Resolve(u"/mnt/share [网络驱动器]"_s).mountPoint, u"/mnt/share"_s);
    }

    void freeTextIsNoDrive_data()
    {
        QTest::addColumn<QString>("text");

        QTest::newRow("relative path") << u"home/ana"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("kind word") << u"本地磁盘"_s;
        QTest::newRow("windows drive") << u"C:"_s;
        QTest::newRow("drive text without its root") << u"home [本地磁盘]"_s;
        QTest::newRow("resource path") << u":/icons"_s;
    }

    void freeTextIsNoDrive()
    {
        QFETCH(QString, text);
        DriveTable table(desktopMounts(), u"/"_s);
        QCOMPARE(errorOf([&] { table.Resolve(text); }), ErrorCode::DeviceUnavailable);
        QCOMPARE(errorOf([&] { table.DriveForPath(text); }), ErrorCode::DeviceUnavailable);
        QCOMPARE(errorOf([&] { table.FindByText(text); }), ErrorCode::DeviceUnavailable);
    }

    void aPathIsNotADriveText()
    {
        DriveTable table(desktopMounts(), u"/"_s);
        QCOMPARE(errorOf([&] { table.FindByText(u"/home"_s); }), ErrorCode::DeviceUnavailable);
    }

    void currentFolderStartsAtTheProcessFolderOnItsDrive()
    {
        DriveTable table(desktopMounts(), u"/home/ana/notes"_s);
        DriveEntry home = table.DriveForPath(u"/home"_s);
        DriveEntry root = table.DriveForPath(u"/"_s);
        DriveEntry share = table.DriveForPath(u"/mnt/share"_s);
        QCOMPARE(table.CurrentFolder(home), u"/home/ana/notes"_s);
        QCOMPARE(table.CurrentFolder(root), u"/"_s);
        QCOMPARE(table.CurrentFolder(share), u"/mnt/share"_s);
        table.SetCurrentFolder(share, u"/mnt/share/2024"_s);
        table.SetCurrentFolder(home, u"/home/ana"_s);
        QCOMPARE(table.CurrentFolder(share), u"/mnt/share/2024"_s);
        QCOMPARE(table.CurrentFolder(home), u"/home/ana"_s);
        table.Refresh();
        QCOMPARE(table.CurrentFolder(share), u"/mnt/share/2024"_s);
    }

    void missingMountPointIsNotReady()
    {
        QTemporaryDir present;
        DriveTable table({mount(u"/"_s, "/dev/sda2", "ext4"), mount(present.path(), "/dev/sdb1", "ext4"),
                             mount(present.path() + u"/absent"_s, "/dev/sdc1", "ext4")},
            u"/"_s);
        QVERIFY(table.IsReady(table.DriveForPath(present.path())));
        QVERIFY(!table.IsReady(table.DriveForPath(present.path() + u"/absent"_s)));
    }

    // A network mount whose server has gone makes every look at it hang. The table must say
    // "not ready" instead of hanging with it, and must not pile up a new stuck look per ask.
    void hangingDriveAnswersNotReadyAndIsLookedAtOnce()
    {
        auto gate = std::make_shared<QSemaphore>();
        auto looks = std::make_shared<std::atomic<int>>(0);
        DriveTable table(desktopMounts(), u"/"_s, [gate, looks](const QString&) {
            ++*looks;
            gate->acquire();
            gate->release();
            return true;
        });
        DriveEntry share = table.DriveForPath(u"/mnt/share"_s);
        QVERIFY(!table.IsReady(share));
        QTRY_COMPARE(looks->load(), 1);
        QVERIFY(!table.IsReady(share));
        QCOMPARE(looks->load(), 1);
        gate->release();
        QTRY_VERIFY(table.IsReady(share));
    }

    void rootOfThisMachineIsADrive()
    {
        DriveTable table;
        QVERIFY(mountPoints(table.Drives()).contains(u"/"_s));
        QVERIFY(table.FindByText(table.Drives().front().text).mountPoint == u"/"_s);
        QVERIFY(table.IsReady(table.DriveForPath(u"/"_s)));
    }
};

QTEST_GUILESS_MAIN(tst_drivetable)
#include "tst_drivetable.moc"
