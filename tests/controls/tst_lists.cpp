#include "platform/controls/DirListBox.h"
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
