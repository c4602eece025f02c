#include "platform/controls/FileListBox.h"
#include "platform/controls/Window.h"
#include "platform/names/NativePath.h"
#include "platform/runtime/Error.h"
#include "support/ListBoxFixture.h"

#include <QDir>
#include <QFile>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>
#include <utility>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(platform::ErrorCode)

// The file list: what it lists, its snapshot, its selection rules and its keys.
class FileListBoxTest : public QObject, private ScratchFolder {
    Q_OBJECT

private:
    QList<QByteArray> m_rawFiles;

    // A file whose name is the given bytes, as an archive from another system leaves them.
    // Qt cannot name such a file to remove it, so the test removes it itself.
    void touchBytes(const QByteArray& relative)
    {
        const QByteArray path = QFile::encodeName(root()) + '/' + relative;
        FILE* raw = std::fopen(path.constData(), "w");
        QVERIFY(raw != nullptr);
        std::fclose(raw);
        m_rawFiles.append(path);
    }

private Q_SLOTS:
    void init() { makeScratch(); }
    void cleanup()
    {
        for (const QByteArray& path : std::exchange(m_rawFiles, {}))
            ::unlink(path.constData());
        dropScratch();
    }

    void fileListShowsMatchingVisibleFilesInNaturalOrder()
    {
        for (const QString& name : {u"b10.txt"_s, u"B2.TXT"_s, u"a.txt"_s, u".hidden.txt"_s, u"notes.md"_s})
            touch(name);
        make(u"folder.txt"_s);
        Window form(300, 300);
        FileListBox list(form);
        list.SetPattern(u"*.txt"_s);
        list.SetPath(root());
        QCOMPARE(list.Names(), (QStringList {u"a.txt"_s, u"B2.TXT"_s, u"b10.txt"_s}));
        QCOMPARE(list.ListCount(), std::int16_t {3});
        QCOMPARE(list.List(1), u"B2.TXT"_s);
        QCOMPARE(list.ListIndex(), std::int16_t {-1});
    }

    void fileListIsASnapshotReadAgainOnlyWhenPathIsAssigned()
    {
        touch(u"a.txt"_s);
        Window form(300, 300);
        FileListBox list(form);
        list.SetPath(root() + u"/"_s);
        QCOMPARE(list.Path(), root());
        list.SetListIndex(0);
        touch(u"b.txt"_s);
        QCOMPARE(list.ListCount(), std::int16_t {1});
        list.SetPath(root());
        QCOMPARE(list.ListCount(), std::int16_t {2});
        QCOMPARE(list.ListIndex(), std::int16_t {-1}); // a new snapshot has nothing selected
    }

    void fileListKeepsEverythingWhenTheFolderIsMissing()
    {
        touch(u"a.txt"_s);
        Window form(300, 300);
        FileListBox list(form);
        list.SetPath(root());
        list.SetListIndex(0);
        QCOMPARE(errorOf([&] { list.SetPath(root() + u"/missing"_s); }), ErrorCode::PathNotFound);
        QCOMPARE(list.Path(), root());
        QCOMPARE(list.ListCount(), std::int16_t {1});
        QCOMPARE(list.ListIndex(), std::int16_t {0});
    }

    void listIndexOutsideTheListIsError380AndKeepsTheSelection_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("below none") << -2;
        QTest::newRow("one past the end") << 3;
        QTest::newRow("largest 16-bit") << 32767;
        QTest::newRow("beyond 16 bits") << 70000;
    }
    void listIndexOutsideTheListIsError380AndKeepsTheSelection()
    {
        QFETCH(int, index);
        for (const QString& name : {u"1.txt"_s, u"2.txt"_s, u"3.txt"_s})
            touch(name);
        Window form(300, 300);
        FileListBox list(form);
        list.SetPath(root());
        list.SetListIndex(1);
        QCOMPARE(errorOf([&] { list.SetListIndex(index); }), ErrorCode::InvalidPropertyValue);
        QCOMPARE(list.ListIndex(), std::int16_t {1});
        list.SetListIndex(-1);
        QCOMPARE(list.ListIndex(), std::int16_t {-1});
    }

    void listOfAnIndexOutsideTheListIsError5_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("nothing selected") << -1;
        QTest::newRow("one past the end") << 2;
        QTest::newRow("far below") << -32768;
    }
    void listOfAnIndexOutsideTheListIsError5()
    {
        QFETCH(int, index);
        touch(u"1.txt"_s);
        touch(u"2.txt"_s);
        Window form(300, 300);
        FileListBox list(form);
        list.SetPath(root());
        QCOMPARE(errorOf([&] { list.List(index); }), ErrorCode::InvalidProcedureCall);
    }

    void doubleClickAndEnterOnAnEntryRaiseDblClick()
    {
        touch(u"a.txt"_s);
        touch(u"b.txt"_s);
        Window form(300, 300);
        FileListBox list(form);
        list.Move(0, 0, 200, 200);
        list.SetPath(root());
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.widget()));
        QListView* view = viewOf(list);
        QSignalSpy dblClicks(&list, &FileListBox::DblClick);

        doubleClick(view->viewport(), centreOf(view, 1));
        QCOMPARE(dblClicks.count(), 1);
        QCOMPARE(list.ListIndex(), std::int16_t {1});

        view->setFocus();
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(list.ListIndex(), std::int16_t {0});
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(dblClicks.count(), 2);
    }

    void enterWithNothingSelectedOpensNothing()
    {
        touch(u"a.txt"_s);
        Window form(300, 300);
        FileListBox list(form);
        list.Move(0, 0, 200, 200);
        list.SetPath(root());
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.widget()));
        QSignalSpy dblClicks(&list, &FileListBox::DblClick);
        viewOf(list)->setFocus();
        QTest::keyClick(viewOf(list), Qt::Key_Return);
        QCOMPARE(dblClicks.count(), 0);
        QCOMPARE(list.ListIndex(), std::int16_t {-1});
    }

    // A name from an archive made on Chinese Windows is GBK; the list shows it as Chinese,
    // without the invisible marker that keeps it apart internally (some fonts draw that as a
    // box), and it still leads back to its file.
    void legacyNamesShowReadablyAndStillLeadToTheirFiles()
    {
        touchBytes("\xd6\xd0\xce\xc4.txt"); // 中文.txt in GBK
        touchBytes("bad\xff.txt");
        Window form(300, 300);
        FileListBox list(form);
        list.SetPath(root());
        QCOMPARE(list.ListCount(), std::int16_t {2});
        QCOMPARE(shown(viewOf(list), 0), u"bad\uFFFD.txt"_s);
        QCOMPARE(shown(viewOf(list), 1), u"中文.txt"_s);
        QCOMPARE(NativePath::Encode(list.List(1)), QByteArray("\xd6\xd0\xce\xc4.txt"));
        QCOMPARE(NativePath::Encode(list.List(0)), QByteArray("bad\xff.txt"));
    }

    void patternChangeReadsTheFolderAgain()
    {
        touch(u"a.txt"_s);
        touch(u"b.md"_s);
        Window form(300, 300);
        FileListBox list(form);
        list.SetPattern(u"*.txt"_s);
        list.SetPath(root());
        QCOMPARE(list.ListCount(), std::int16_t {1});
        list.SetPattern(u"*.*"_s);
        QCOMPARE(list.ListCount(), std::int16_t {2});
    }
};

QTEST_MAIN(FileListBoxTest)
#include "tst_filelistbox.moc"
