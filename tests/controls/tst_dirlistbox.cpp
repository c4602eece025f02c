#include "platform/controls/DirListBox.h"
#include "platform/controls/Window.h"
#include "platform/drives/DriveTable.h"
#include "platform/runtime/Error.h"
#include "support/ListBoxFixture.h"

#include <QDir>
#include <QFile>
#include <QListView>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(platform::ErrorCode)

// The directory list: the indented chain and sub-folders, its Path rules and its keys.
class DirListBoxTest : public QObject, private ScratchFolder {
    Q_OBJECT

private Q_SLOTS:
    void init() { makeScratch(); }
    void cleanup() { dropScratch(); }

    void dirListShowsTheChainThenVisibleSubfoldersIndented()
    {
        const QString drive = make(u"disk"_s);
        const QString folder = make(u"disk/a/b"_s);
        for (const QString& name : {u"x10"_s, u"x2"_s, u".hidden"_s, u"X1"_s})
            make(u"disk/a/b/"_s + name);
        touch(u"disk/a/b/file.txt"_s);
        DriveTable drives = fakeDrives(QList<MountEntry> {disk(drive, "/dev/fake1")}, folder);
        Window form(300, 300);
        DirListBox list(form, drives);
        list.SetPath(folder);

        QStringList paths;
        QList<int> levels;
        for (int row = 0; row < list.EntryCount(); ++row) {
            paths.append(list.EntryPath(row));
            levels.append(list.EntryLevel(row));
        }
        QCOMPARE(paths,
            (QStringList {drive, drive + u"/a"_s, folder, folder + u"/X1"_s, folder + u"/x2"_s, folder + u"/x10"_s}));
        QCOMPARE(levels, (QList<int> {0, 1, 2, 3, 3, 3}));
        QListView* view = viewOf(list);
        QCOMPARE(shown(view, 0), drive); // the drive's root shows its whole mount point
        QCOMPARE(shown(view, 1), u"a"_s);
        QCOMPARE(view->currentIndex().row(), 2); // the current folder is the one selected
        // The chain has open folders, the sub-folders closed ones.
        const auto icon = [&](int row) { return view->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>(); };
        QCOMPARE(icon(0).cacheKey(), icon(2).cacheKey());
        QVERIFY(icon(2).cacheKey() != icon(3).cacheKey());
        QVERIFY(!icon(3).isNull());
    }

    void dirListPathErrorsChangeNothing_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<ErrorCode>("error");
        QTest::newRow("missing folder") << u"/disk/missing"_s << ErrorCode::PathNotFound;
        QTest::newRow("a file") << u"/disk/file.txt"_s << ErrorCode::PathNotFound;
        QTest::newRow("folder on an unready drive") << u"/offline/sub"_s << ErrorCode::DeviceUnavailable;
        QTest::newRow("the unready drive itself") << u"drive:offline"_s << ErrorCode::DeviceUnavailable;
        QTest::newRow("relative text") << u"no/slash"_s << ErrorCode::PathNotFound;
        QTest::newRow("empty text") << QString() << ErrorCode::PathNotFound;
    }
    void dirListPathErrorsChangeNothing()
    {
        QFETCH(QString, relative);
        QFETCH(ErrorCode, error);
        const QString drive = make(u"disk"_s);
        const QString offline = make(u"offline/sub"_s).chopped(4);
        touch(u"disk/file.txt"_s);
        DriveTable drives = fakeDrives(
            QList<MountEntry> {disk(drive, "/dev/fake1"), disk(offline, "/dev/fake2")}, drive, unready({offline}));
        Window form(300, 300);
        DirListBox list(form, drives);
        list.SetPath(drive);
        QSignalSpy changes(&list, &DirListBox::Change);
        QString text = relative.startsWith(u'/') ? root() + relative : relative;
        if (relative == u"drive:offline"_s)
            text = drives.DriveForPath(offline).text;
        QCOMPARE(errorOf([&] { list.SetPath(text); }), error);
        QCOMPARE(list.Path(), drive);
        QCOMPARE(changes.count(), 0);
    }

    void bareDriveMeansItsCurrentFolderOrTheNearestThatStillExists()
    {
        const QString first = make(u"one"_s);
        const QString second = make(u"two"_s);
        make(u"two/deep/er"_s);
        DriveTable drives
            = fakeDrives(QList<MountEntry> {disk(first, "/dev/fake1"), disk(second, "/dev/fake2")}, first);
        const QString secondText = drives.DriveForPath(second).text;
        Window form(300, 300);
        DirListBox list(form, drives);
        list.SetPath(secondText);
        QCOMPARE(list.Path(), second); // a drive not visited yet starts at its mount point
        list.SetPath(second + u"/deep/er"_s);
        list.SetPath(first);
        list.SetPath(secondText);
        QCOMPARE(list.Path(), second + u"/deep/er"_s);

        list.SetPath(first);
        QVERIFY(QDir(second + u"/deep"_s).removeRecursively());
        list.SetPath(secondText);
        QCOMPARE(list.Path(), second);
    }

    void dirListOpensByDoubleClickEnterAndBackspaceButNotBySingleClick()
    {
        const QString drive = make(u"disk"_s);
        make(u"disk/a"_s);
        make(u"disk/b/c"_s);
        DriveTable drives = fakeDrives(QList<MountEntry> {disk(drive, "/dev/fake1")}, drive);
        Window form(300, 300);
        DirListBox list(form, drives);
        list.Move(0, 0, 200, 200);
        list.SetPath(drive);
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.widget()));
        QListView* view = viewOf(list);
        QSignalSpy changes(&list, &DirListBox::Change);
        QString pathSeenByHandler;
        connect(&list, &DirListBox::Change, this, [&] { pathSeenByHandler = list.Path(); });

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(view, 1)); // "a"
        QCOMPARE(list.Path(), drive);
        QCOMPARE(changes.count(), 0);

        doubleClick(view->viewport(), centreOf(view, 2)); // "b"
        QCOMPARE(list.Path(), drive + u"/b"_s);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(pathSeenByHandler, drive + u"/b"_s);

        view->setFocus();
        QCOMPARE(view->currentIndex().row(), 1); // "b", now the current folder
        QTest::keyClick(view, Qt::Key_Down); // "c"
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(list.Path(), drive + u"/b/c"_s);
        QCOMPARE(changes.count(), 2);

        QTest::keyClick(view, Qt::Key_Backspace);
        QCOMPARE(list.Path(), drive + u"/b"_s);
        QCOMPARE(changes.count(), 3);
    }

    void assigningTheShownFolderReadsItAgainWithoutChange()
    {
        const QString drive = make(u"disk"_s);
        DriveTable drives = fakeDrives(QList<MountEntry> {disk(drive, "/dev/fake1")}, drive);
        Window form(300, 300);
        DirListBox list(form, drives);
        list.SetPath(drive);
        QSignalSpy changes(&list, &DirListBox::Change);
        make(u"disk/new"_s);
        list.SetPath(drive + u"/"_s);
        QCOMPARE(list.EntryCount(), 2);
        QCOMPARE(changes.count(), 0);
    }

    void dirListTakesAnyHeightGiven()
    {
        DriveTable drives = fakeDrives(QList<MountEntry> {}, root());
        Window form(300, 300);
        DirListBox list(form, drives);
        list.SetHeight(0);
        QCOMPARE(list.Height(), 0.0f);
        list.SetHeight(123.5f);
        QCOMPARE(list.Height(), 123.5f);
    }
};

QTEST_MAIN(DirListBoxTest)
#include "tst_dirlistbox.moc"
