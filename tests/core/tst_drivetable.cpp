#include "platform/drives/DriveTable.h"
#include "platform/drives/SystemMounts.h"
#include "platform/hang/MountTable.h"
#include "support/FakeDrives.h"
#include "support/Files.h"

#include <QTest>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(MountEntry)

namespace {

// A desktop's drives: a root with a separate /home, a USB stick and a network share.
DriveTable desktop(const QString& processFolder)
{
    MountEntry stick = disk(u"/media/ana/STICK"_s, "/dev/sdb1", "vfat");
    stick.label = u"STICK"_s;
    return fakeDrives({disk(u"/"_s, "/dev/sda2"), disk(u"/home"_s, "/dev/sda3"), stick,
                          disk(u"/mnt/share"_s, "server:/export", "nfs4")},
        processFolder);
}

QString textsOf(const DriveTable& table)
{
    QStringList texts;
    for (const DriveEntry& drive : table.Drives())
        texts.append(drive.text + u'|' + QString::number(static_cast<int>(drive.kind)));
    return texts.join(u", ");
}

} // namespace

// The drive list offers the file systems that hold the user's files, each as what it is, and
// hides the system's own; a drive's text or a path finds its drive.
class tst_drivetable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void offersDrivesAsWhatTheyAre_data()
    {
        QTest::addColumn<QList<MountEntry>>("mounts");
        QTest::addColumn<QString>("drives"); // text|kind: 0 local, 1 removable, 2 network
        auto row = [](const char* name, const MountEntry& mount, const QString& drives) {
            QTest::newRow(name) << QList<MountEntry> {disk(u"/"_s, "/dev/sda2"), mount} << u"/ [本地磁盘]|0"_s + drives;
        };
        row("home", disk(u"/home"_s, "/dev/sda3"), u", /home [本地磁盘]|0"_s);
        row("zfs dataset", disk(u"/tank"_s, "tank", "zfs"), u", /tank [本地磁盘]|0"_s);
        row("usb stick", disk(u"/media/a/U"_s, "/dev/sdb1", "vfat"), u", /media/a/U [可移动磁盘]|1"_s);
        row("usb stick under /run/media", disk(u"/run/media/a/U"_s, "/dev/sdb1", "vfat"),
            u", /run/media/a/U [可移动磁盘]|1"_s);
        row("removable card", {.mountPoint = u"/mnt/c"_s, .device = "/dev/mmcblk0p1", .removable = true},
            u", /mnt/c [可移动磁盘]|1"_s);
        row("nfs", disk(u"/net/d"_s, "server:/docs", "nfs"), u", /net/d [网络驱动器]|2"_s);
        row("proc", disk(u"/proc"_s, "proc", "proc"), {});
        row("read-only loop image", {.mountPoint = u"/mnt/ro"_s, .device = "/dev/loop4", .readOnly = true}, {});
        row("efi partition", disk(u"/boot/efi"_s, "/dev/nvme0n1p1", "vfat"), {});
        row("runtime folder", disk(u"/run/user/1000"_s, "/dev/sda9"), {});
        row("overlay root", disk(u"/"_s, "overlay", "overlay"), {});
        row("label", {.mountPoint = u"/mnt/b"_s, .device = "/dev/sdd1", .label = u"备份"_s}, u", /mnt/b [备份]|0"_s);
        QTest::newRow("no root mounted, numbers by value") << QList<MountEntry> {disk(u"/m/d10"_s, "/dev/sdb"),
            disk(u"/m/d9"_s, "/dev/sdc")} << u"/ [本地磁盘]|0, /m/d9 [本地磁盘]|0, /m/d10 [本地磁盘]|0"_s;
        // Of one device (and btrfs subvolume) mounted at several places only the shortest stays.
        QTest::newRow("bind mounts") << QList<MountEntry> {disk(u"/d/p"_s, "/dev/sdc1"), disk(u"/d"_s, "/dev/sdc1"),
            {.mountPoint = u"/"_s, .device = "/dev/sda3", .subvolume = "/@"},
            {.mountPoint = u"/home"_s, .device = "/dev/sda3", .subvolume = "/@home"},
            {.mountPoint = u"/srv/h"_s, .device = "/dev/sda3", .subvolume = "/@home"}, disk(u"/x"_s, "/dev/sdc1")}
                                     << u"/ [本地磁盘]|0, /d [本地磁盘]|0, /home [本地磁盘]|0"_s;
    }
    void offersDrivesAsWhatTheyAre()
    {
        QFETCH(QList<MountEntry>, mounts);
        QFETCH(QString, drives);
        QCOMPARE(textsOf(fakeDrives(mounts, u"/"_s)), drives);
    }

    void textOrPathNamesADrive_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mountPoint"); // empty: no drive, error 68
        QTest::newRow("folder on home") << u"/home/ana/notes"_s << u"/home"_s;
        QTest::newRow("name that only starts alike") << u"/homework"_s << u"/"_s;
        QTest::newRow("dot dot leaves home") << u"/home/../mnt/share/a"_s << u"/mnt/share"_s;
        QTest::newRow("drive text") << u"/media/ana/STICK [STICK]"_s << u"/media/ana/STICK"_s;
        QTest::newRow("relative path") << u"home/ana"_s << QString();
    }
    void textOrPathNamesADrive()
    {
        QFETCH(QString, text);
        QFETCH(QString, mountPoint);
        const DriveTable table = desktop(u"/"_s);
        QString found;
        const ErrorCode error = codeRaisedBy([&] { found = table.Resolve(text).mountPoint; }, ErrorCode::Overflow);
        QCOMPARE(found, mountPoint);
        QCOMPARE(error, mountPoint.isEmpty() ? ErrorCode::DeviceUnavailable : ErrorCode::Overflow);
    }

    void currentFolderStartsAtTheProcessFolderOnItsDrive()
    {
        DriveTable table = desktop(u"/home/ana/notes"_s);
        const DriveEntry share = table.Resolve(u"/mnt/share"_s);
        QCOMPARE(table.CurrentFolder(table.Resolve(u"/home"_s)), u"/home/ana/notes"_s);
        QCOMPARE(table.CurrentFolder(share), u"/mnt/share"_s);
        table.SetCurrentFolder(share, u"/mnt/share/2024"_s);
        table.Refresh();
        QCOMPARE(table.CurrentFolder(share), u"/mnt/share/2024"_s);
    }

    // The mount table is the kernel's list, read as it stands: escaped mount points, the
    // options that say read-only, the btrfs subvolume that tells a bind mount from another file
    // system on the same device.
    void readsTheKernelsMountList_data()
    {
        QTest::addColumn<QByteArray>("mountinfo");
        QTest::addColumn<QString>("drives");
        const QByteArray root = "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n";
        QTest::newRow("a share whose name has a space")
            << root + "40 22 0:50 / /mnt/my\\040notes rw shared:9 - nfs4 nas:/export rw,vers=4.2\n"
            << u"/ [本地磁盘]|0, /mnt/my notes [网络驱动器]|2"_s;
        QTest::newRow("btrfs subvolumes, one bound twice")
            << QByteArray("22 1 0:30 /@ / rw - btrfs /dev/sda3 rw,subvol=/@\n"
                          "30 22 0:30 /@home /home rw - btrfs /dev/sda3 rw,subvol=/@home\n"
                          "31 22 0:30 /@home /srv/h rw - btrfs /dev/sda3 rw,subvol=/@home\n")
            << u"/ [本地磁盘]|0, /home [本地磁盘]|0"_s;
        QTest::newRow("a read-only image and the kernel's own") << root
                + "50 22 7:4 / /mnt/img ro,relatime - ext4 /dev/loop4 ro\n"
                  "51 22 0:5 / /proc rw - proc proc rw\n" << u"/ [本地磁盘]|0"_s;
    }
    void readsTheKernelsMountList()
    {
        QFETCH(QByteArray, mountinfo);
        QFETCH(QString, drives);
        QCOMPARE(textsOf(fakeDrives(SystemMounts::EntriesOf(MountTable::Parse(mountinfo)), u"/"_s)), drives);
    }

    void thisMachineHasItsRootAsAReadyDrive()
    {
        const DriveTable table(std::make_unique<SystemMounts>(), CurrentFolders::OfProcess(), &DriveReadiness::OnDisk);
        QCOMPARE(table.Drives().front().mountPoint, u"/"_s);
        QVERIFY(table.IsReady(table.Drives().front()));
        QVERIFY(!DriveReadiness(&DriveReadiness::OnDisk).IsReady(u"/nonexistent/vellumry"_s));
    }
};

QTEST_GUILESS_MAIN(tst_drivetable)
#include "tst_drivetable.moc"
