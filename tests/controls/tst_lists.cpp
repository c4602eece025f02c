#include "platform/controls/DirListBox.h"
#include "platform/controls/DriveListBox.h"
#include "platform/controls/FileListBox.h"
#include "platform/controls/Window.h"
#include "platform/drives/DriveTable.h"
#include "platform/itemviews/NameListModel.h"
#include "platform/runtime/Error.h"
#include "support/FakeDrives.h"
#include "support/Files.h"

#include <QListView>
#include <QSignalSpy>
#include <QtTest>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(platform::ErrorCode)

namespace {

// Stands for "no error": no list operation raises it.
constexpr ErrorCode None = ErrorCode::Overflow;

// Shows the list's window on the offscreen screen, so that clicks and keys reach the list.
void showFocused(Window& form, Control& list, QSize size)
{
    list.Move(0, 0, size.width(), size.height());
    form.Show();
    QVERIFY(QTest::qWaitForWindowExposed(form.widget()));
    list.widget()->setFocus();
}

QListView* viewOf(Control& list)
{
    return qobject_cast<QListView*>(list.widget());
}

QVariant shown(Control& list, int row, int role = Qt::DisplayRole)
{
    return viewOf(list)->model()->index(row, 0).data(role);
}

} // namespace

// The drive, directory and file lists: what they show and their rules.
class ListsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Change is raised at once for the user's choice and for an assignment that changes the
    // drive, never for the drive already chosen; a drive not ready changes nothing.
    void choosingADriveRaisesChangeOnlyForAnotherDrive()
    {
        NoteFolder folder;
        QList<MountEntry> mounts;
        for (const QString& name : {u"a"_s, u"b"_s, u"c"_s})
            mounts.append(disk(folder.makeFolder(name), "/dev/fake" + name.toLatin1()));
        DriveTable drives = fakeDrives(mounts, folder.path() + u"/a"_s, unready({folder.path() + u"/c"_s}));
        Window form(300, 300);
        DriveListBox list(form, drives);
        const auto textOf = [&](const QString& name) { return drives.DriveForPath(folder.path() + u'/' + name).text; };
        QStringList seen;
        connect(&list, &DriveListBox::Change, this, [&] { seen << list.Drive(); });
        showFocused(form, list, {250, 24});
        QTest::keyClick(list.widget(), Qt::Key_Down);
        list.SetDrive(folder.path() + u"/a/not/yet/there"_s); // a path's drive; the path need not exist
        list.SetDrive(list.Drive());
        QCOMPARE(codeRaisedBy([&] { list.SetDrive(u"no drive"_s); }, None), ErrorCode::DeviceUnavailable);
        QCOMPARE(codeRaisedBy([&] { list.SetDrive(textOf(u"c"_s)); }, None), ErrorCode::DeviceUnavailable);
        QCOMPARE(seen, (QStringList {textOf(u"b"_s), textOf(u"a"_s)}));
    }

    void dirListShowsTheChainFromTheRootThenTheSubfolders()
    {
        NoteFolder folder;
        const QString drive = folder.makeFolder(u"disk"_s);
        const QString current = folder.makeFolder(u"disk/a/b"_s);
        for (const QString& name : {u"x10"_s, u"x2"_s, u".hidden"_s, u"X1"_s})
            folder.makeFolder(u"disk/a/b/"_s + name);
        folder.write(u"disk/a/b/file.txt"_s, "text");
        DriveTable drives = fakeDrives({disk(drive, "/dev/fake1")}, current);
        Window form(300, 300);
        DirListBox list(form, drives);
        list.SetPath(current);
        QStringList rows;
        for (int row = 0; row < list.EntryCount(); ++row)
            rows << QStringLiteral("%1 %2 %3")
                        .arg(shown(list, row, NameListModel::LevelRole).toInt())
                        .arg(shown(list, row).toString(), list.EntryPath(row));
        QCOMPARE(rows,
            (QStringList {"0 " + drive + ' ' + drive, "1 a " + drive + "/a", "2 b " + current,
                "3 X1 " + current + "/X1", "3 x2 " + current + "/x2", "3 x10 " + current + "/x10"}));
        QCOMPARE(viewOf(list)->currentIndex().row(), 2);
        const auto icon = [&](int row) { return shown(list, row, Qt::DecorationRole).value<QIcon>().cacheKey(); };
        QVERIFY(icon(0) == icon(2) && icon(2) != icon(3));
        QSignalSpy changes(&list, &DirListBox::Change);
        folder.makeFolder(u"disk/a/b/new"_s);
        list.SetPath(current + u'/'); // the folder shown: read again, and no change
        QCOMPARE(list.EntryCount(), 7);
        QCOMPARE(changes.count(), 0);
    }

    void dirListPathErrorsChangeNothing_data()
    {
        QTest::addColumn<QString>("path"); // under the test's folder when it starts with a slash
        QTest::addColumn<ErrorCode>("error");
        QTest::newRow("missing folder") << u"/disk/missing"_s << ErrorCode::PathNotFound;
        QTest::newRow("a file") << u"/disk/file.txt"_s << ErrorCode::PathNotFound;
        QTest::newRow("folder on an unready drive") << u"/offline/sub"_s << ErrorCode::DeviceUnavailable;
        QTest::newRow("relative text") << u"no/slash"_s << ErrorCode::PathNotFound;
    }
    void dirListPathErrorsChangeNothing()
    {
        QFETCH(QString, path);
        QFETCH(ErrorCode, error);
        NoteFolder folder;
        const QString drive = folder.makeFolder(u"disk"_s);
        const QString offline = folder.makeFolder(u"offline"_s);
        folder.makeFolder(u"offline/sub"_s);
        folder.write(u"disk/file.txt"_s, "text");
        DriveTable drives
            = fakeDrives({disk(drive, "/dev/fake1"), disk(offline, "/dev/fake2")}, drive, unready({offline}));
        Window form(300, 300);
        DirListBox list(form, drives);
        list.SetPath(drive);
        QSignalSpy changes(&list, &DirListBox::Change);
        const QString text = path.startsWith(u'/') ? folder.path() + path : path;
        QCOMPARE(codeRaisedBy([&] { list.SetPath(text); }, None), error);
        QCOMPARE(list.Path(), drive);
        QCOMPARE(changes.count(), 0);
    }

    // The file list is a snapshot of the folder's regular files that match the pattern, hidden
    // ones left out, in natural order, read again only when Path or the pattern is assigned;
    // a folder that is missing is error 76 and changes nothing.
    void fileListIsASnapshotOfMatchingFilesInNaturalOrder()
    {
        NoteFolder folder;
        for (const QString& name : {u"b10.txt"_s, u"B2.TXT"_s, u"a.txt"_s, u".hidden.txt"_s, u"notes.md"_s})
            folder.write(name, "text");
        folder.makeFolder(u"folder.txt"_s);
        Window form(300, 300);
        FileListBox list(form);
        list.SetPattern(u"*.txt"_s);
        list.SetPath(folder.path() + u'/');
        QCOMPARE(list.Path(), folder.path());
        QCOMPARE(list.Names(), (QStringList {u"a.txt"_s, u"B2.TXT"_s, u"b10.txt"_s}));
        list.SetListIndex(1);
        folder.write(u"c.txt"_s, "text");
        QCOMPARE(list.ListCount(), std::int16_t {3});
        list.SetPath(folder.path());
        QCOMPARE(list.ListCount(), std::int16_t {4});
        QCOMPARE(list.ListIndex(), std::int16_t {-1});
        list.SetPattern(u"*.*"_s);
        QCOMPARE(list.ListCount(), std::int16_t {5});
        list.SetListIndex(0);
        QCOMPARE(codeRaisedBy([&] { list.SetPath(folder.path() + u"/missing"_s); }, None), ErrorCode::PathNotFound);
        QCOMPARE(list.Path(), folder.path()); // a folder that is missing changes nothing
        QCOMPARE(list.ListCount(), std::int16_t {5});
        QCOMPARE(list.ListIndex(), std::int16_t {0});
    }
};

QTEST_MAIN(ListsTest)
#include "tst_lists.moc"
