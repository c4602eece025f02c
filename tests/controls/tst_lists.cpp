#include "platform/controls/DirListBox.h"
#include "platform/controls/DriveListBox.h"
#include "platform/controls/FileListBox.h"
#include "platform/controls/Window.h"
#include "platform/drives/DriveTable.h"
#include "platform/itemviews/ListIcons.h"
#include "platform/itemviews/NameListModel.h"
#include "support/FakeDrives.h"
#include "support/Files.h"

#include <QComboBox>
#include <QListView>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QtTest>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

namespace {

// Stands for "no error": no list operation raises it.
constexpr ErrorCode None = ErrorCode::Overflow;

QVariant shown(Control& list, int row, int role = Qt::DisplayRole)
{
    return qobject_cast<QListView*>(list.widget())->model()->index(row, 0).data(role);
}

} // namespace

// The directory and file lists: what they show and their rules.
class ListsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
        QCOMPARE(qobject_cast<QListView*>(list.widget())->currentIndex().row(), 2);
        QSignalSpy changes(&list, &DirListBox::Change);
        folder.makeFolder(u"disk/a/b/new"_s);
        list.SetPath(current + u'/'); // the folder shown: read again, and no change
        QCOMPARE(list.EntryCount(), 7);
        QCOMPARE(changes.count(), 0);
        // A folder removed since it was listed does not open, and leaves the list.
        QCOMPARE(list.EntryPath(5), current + u"/x2"_s);
        QVERIFY(QDir(current + u"/x2"_s).removeRecursively());
        auto* view = qobject_cast<QListView*>(list.widget());
        view->setCurrentIndex(view->model()->index(5, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(list.Path(), current);
        QCOMPARE(list.EntryCount(), 6);
        // The drive's folder removed since: choosing the drive shows the nearest folder above it.
        QVERIFY(QDir(current).removeRecursively());
        list.SetPath(drives.Resolve(drive).text);
        QCOMPARE(list.Path(), drive + u"/a"_s);
    }

    // Typing finds a name as the arrow keys would go to it: the selection moves, nothing opens,
    // and the directory list stays in its folder. Names as a Chinese user keeps them: 读书笔记 is
    // found by the initials of its pinyin.
    void typingFindsANameAndOpensNothing()
    {
        NoteFolder folder;
        const QString drive = folder.makeFolder(u"disk"_s);
        const QStringList names {u"Budget 2026"_s, u"会议纪要"_s, u"读书笔记"_s, u"张三"_s};
        for (const QString& name : names) {
            folder.makeFolder(u"disk/"_s + name);
            folder.write(u"disk/"_s + name + u".txt"_s, "text");
        }
        DriveTable drives = fakeDrives({disk(drive, "/dev/fake1")}, drive);
        Window form(300, 300);
        DirListBox dirs(form, drives);
        dirs.SetPath(drive);
        FileListBox files(form);
        files.SetPath(drive);
        QSignalSpy changes(&dirs, &DirListBox::Change);
        QSignalSpy opened(&files, &FileListBox::DblClick);
        auto* dirView = qobject_cast<QListView*>(dirs.widget());
        QTest::keyClicks(dirView, u"dsbj"_s);
        QCOMPARE(dirs.EntryPath(dirView->currentIndex().row()), drive + u"/读书笔记"_s);
        QCOMPARE(dirs.Path(), drive);
        QTest::keyClicks(files.widget(), u"dsbj"_s);
        QCOMPARE(files.List(files.ListIndex()), u"读书笔记.txt"_s);
        QTest::keyClick(files.widget(), Qt::Key_Down);
        QCOMPARE(files.List(files.ListIndex()), u"会议纪要.txt"_s);
        QCOMPARE(changes.count() + opened.count(), 0);
    }

    // The popup reads the drives again, so a stick inserted a moment ago is there; the selected
    // drive that has gone stays. Each row shows its kind's icon, and the popup is as wide as the
    // widest text: cut short, the entries of two sticks deep in /run/media could look alike.
    void theDrivePopupShowsTheDrivesOfNowWholeWithTheirKinds()
    {
        // A desktop theme that lacks the drive icons: the list draws its own.
        QIcon::setThemeName(u"vellumry-no-such-theme"_s);
        auto owned = std::make_unique<FakeMounts>(
            QList<MountEntry> {disk(u"/home"_s, "/dev/sda3"), disk(u"/mnt/share"_s, "server:/docs", "nfs")});
        FakeMounts& mounts = *owned;
        DriveTable drives(std::move(owned), u"/home/ana"_s, unready({}));
        // A style that drops the list below the box, where Qt keeps it as wide as the box.
        const std::unique_ptr<QStyle> dropDown(QStyleFactory::create(u"Windows"_s));
        Window form(300, 300);
        DriveListBox list(form, drives);
        list.widget()->setStyle(dropDown.get());
        list.Move(0, 0, 100, 25);
        form.Show();
        mounts.mounts = {disk(u"/mnt/share"_s, "server:/docs", "nfs"),
            disk(u"/run/media/ana/NOTES OF THE WHOLE YEAR 2024"_s, "/dev/sdb1", "vfat")};
        auto* combo = qobject_cast<QComboBox*>(list.widget());
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(combo->view()->isVisible());
        const std::pair<QString, DriveKind> rows[] {{u"/ [本地磁盘]"_s, DriveKind::Local},
            {u"/mnt/share [网络驱动器]"_s, DriveKind::Network},
            {u"/run/media/ana/NOTES OF THE WHOLE YEAR 2024 [可移动磁盘]"_s, DriveKind::Removable},
            {u"/home [本地磁盘]"_s, DriveKind::Local}};
        QCOMPARE(combo->count(), 4);
        QList<QImage> icons;
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(combo->itemText(row), rows[row].first);
            icons << combo->itemIcon(row).pixmap(16).toImage();
            QCOMPARE(icons[row], ListIcons::Drive(rows[row].second).pixmap(16).toImage());
        }
        QVERIFY(icons[0] != icons[1] && icons[1] != icons[2] && icons[2] != icons[0]); // one look per kind
        QCOMPARE(list.Drive(), u"/home [本地磁盘]"_s);
        QVERIFY(combo->view()->viewport()->width() >= combo->view()->sizeHintForColumn(0));
        QVERIFY(combo->view()->sizeHintForColumn(0) > list.widget()->width());
        QIcon::setThemeName({});
    }

    // The file list is a snapshot of the folder's regular files that match the pattern, hidden
    // ones left out, in the order of names, read again only when Path or the pattern is assigned;
    // a folder that is missing is error 76 and changes nothing.
    void fileListIsASnapshotOfMatchingFilesInTheLocalesOrder()
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
