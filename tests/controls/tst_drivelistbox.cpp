#include "platform/controls/DriveListBox.h"
#include "platform/controls/Window.h"
#include "platform/drives/DriveTable.h"
#include "platform/runtime/Error.h"
#include "support/ListBoxFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(platform::ErrorCode)

namespace {

// A mount table the test can change while the lists run, as plugging in a stick would.
struct MountTable {
    MountList mounts = std::make_shared<QList<MountEntry>>();
};

} // namespace

// The drive list: icons per kind, the mount table read again, choosing and assigning drives.
class DriveListBoxTest : public QObject, private ScratchFolder {
    Q_OBJECT

private Q_SLOTS:
    void init() { makeScratch(); }
    void cleanup() { dropScratch(); }

    void eachKindOfDriveHasItsOwnIcon()
    {
        MountEntry stick = disk(make(u"stick"_s), "/dev/sdz1");
        stick.removable = true;
        MountEntry share = disk(make(u"share"_s), "server:/export");
        share.fileSystemType = "nfs4";
        DriveTable drives = fakeDrives(QList<MountEntry> {stick, share}, root());
        Window form(300, 300);
        DriveListBox list(form, drives);
        auto* combo = qobject_cast<QComboBox*>(list.widget());
        QCOMPARE(combo->count(), 3); // the root, the share and the stick
        QSet<qint64> icons;
        for (int row = 0; row < combo->count(); ++row) {
            QVERIFY(!combo->itemIcon(row).isNull());
            icons.insert(combo->itemIcon(row).cacheKey());
        }
        QCOMPARE(icons.size(), 3);
    }

    void openingThePopupShowsADriveMountedSince()
    {
        MountTable table;
        table.mounts->append(disk(make(u"disk"_s), "/dev/fake1"));
        DriveTable drives = fakeDrives(table.mounts, root() + u"/disk"_s);
        Window form(300, 300);
        DriveListBox list(form, drives);
        list.Move(0, 0, 250, 24);
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.widget()));
        auto* combo = qobject_cast<QComboBox*>(list.widget());
        const QString selected = list.Drive();
        QCOMPARE(combo->count(), 2);

        MountEntry stick = disk(make(u"stick"_s), "/dev/sdz1");
        stick.label = u"U盘"_s;
        table.mounts->append(stick);
        QSignalSpy changes(&list, &DriveListBox::Change);
        combo->showPopup();
        QCOMPARE(combo->count(), 3);
        QVERIFY(combo->findText(root() + u"/stick [U盘]"_s) >= 0);
        QCOMPARE(list.Drive(), selected);
        QCOMPARE(combo->currentText(), selected);
        combo->hidePopup();
        QCOMPARE(changes.count(), 0);
    }

    void aSelectedDriveThatGoesAwayStaysListedUntilAnotherIsChosen()
    {
        MountTable table;
        table.mounts->append(disk(make(u"disk"_s), "/dev/fake1"));
        table.mounts->append(disk(make(u"stick"_s), "/dev/sdz1"));
        DriveTable drives = fakeDrives(table.mounts, root() + u"/stick"_s);
        Window form(300, 300);
        DriveListBox list(form, drives);
        const QString stick = list.Drive();
        table.mounts->removeLast();
        list.Refresh();
        QCOMPARE(list.Drive(), stick);
        auto* combo = qobject_cast<QComboBox*>(list.widget());
        QCOMPARE(combo->currentText(), stick);
        list.SetDrive(root() + u"/disk"_s);
        list.Refresh();
        QCOMPARE(combo->findText(stick), -1);
    }

    void arrowKeyChoosesTheNextDriveAndRaisesChangeAtOnce()
    {
        const QString first = make(u"a"_s);
        const QString second = make(u"b"_s);
        DriveTable drives
            = fakeDrives(QList<MountEntry> {disk(first, "/dev/fake1"), disk(second, "/dev/fake2")}, first);
        Window form(300, 300);
        DriveListBox list(form, drives);
        list.Move(0, 0, 250, 24);
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.widget()));
        QString driveSeenByHandler;
        int changes = 0;
        connect(&list, &DriveListBox::Change, this, [&] {
            ++changes;
            driveSeenByHandler = list.Drive();
        });
        list.widget()->setFocus();
        QTest::keyClick(list.widget(), Qt::Key_Down);
        QCOMPARE(changes, 1);
        QCOMPARE(driveSeenByHandler, drives.DriveForPath(second).text);
    }

    void assigningADriveRaisesChangeOnlyWhenTheDriveChanges()
    {
        const QString first = make(u"a"_s);
        const QString second = make(u"b/deep"_s).chopped(5);
        const QString offline = make(u"c"_s);
        DriveTable drives = fakeDrives(
            QList<MountEntry> {disk(first, "/dev/fake1"), disk(second, "/dev/fake2"), disk(offline, "/dev/fake3")},
            first, unready({offline}));
        Window form(300, 300);
        DriveListBox list(form, drives);
        QSignalSpy changes(&list, &DriveListBox::Change);
        list.SetDrive(first + u"/not/yet/there"_s); // the drive holding a path, which need not exist
        QCOMPARE(changes.count(), 0);
        list.SetDrive(second + u"/deep"_s);
        QCOMPARE(list.Drive(), drives.DriveForPath(second).text);
        QCOMPARE(changes.count(), 1);
        list.SetDrive(list.Drive());
        QCOMPARE(changes.count(), 1);

        QCOMPARE(errorOf([&] { list.SetDrive(u"no drive"_s); }), ErrorCode::DeviceUnavailable);
        QCOMPARE(errorOf([&] { list.SetDrive(offline); }), ErrorCode::DeviceUnavailable);
        QCOMPARE(list.Drive(), drives.DriveForPath(second).text);
        QCOMPARE(changes.count(), 1);
    }
};

QTEST_MAIN(DriveListBoxTest)
#include "tst_drivelistbox.moc"
