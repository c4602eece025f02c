#include "app/frmMain.h"
#include "platform/controls/DirListBox.h"
#include "platform/controls/FileListBox.h"
#include "platform/controls/TextBoxArray.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/controls/VScrollBar.h"
#include "platform/controls/Window.h"
#include "platform/desktop/Application.h"
#include "platform/drives/DriveTable.h"
#include "platform/names/NativePath.h"
#include "support/FakeDrives.h"
#include "support/StandInEditor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <fcntl.h>
#include <ftw.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace NativePath = platform::NativePath;
using namespace Qt::Literals::StringLiterals;

namespace {

// Folders of this many entries must show up whole; sanitizers make each system call dearer,
// so the instrumented build uses a tenth of the sub-folders to keep the run short.
#ifdef __SANITIZE_ADDRESS__
constexpr int ManySubfolders = 10'000;
#else
constexpr int ManySubfolders = 100'000;
#endif

// Made with plain system calls on the exact bytes, since these names need not be UTF-8.
void makeFile(const QByteArray& path, const QByteArray& content = "text\n")
{
    int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY2(descriptor >= 0, path.constData());
    if (!content.isEmpty())
        QCOMPARE(::write(descriptor, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(descriptor);
}

void makeFolder(const QByteArray& path)
{
    QVERIFY2(::mkdir(path.constData(), 0755) == 0, path.constData());
}

int removeEntry(const char* path, const struct stat*, int type, struct FTW*)
{
    return type == FTW_DP ? ::rmdir(path) : ::unlink(path);
}

// Qt removes a tree by decoded names, which cannot reach names that are not UTF-8, so the
// tests' folders are removed by their bytes.
void removeTree(const QString& folder)
{
    ::nftw(QFile::encodeName(folder).constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// Folders of tens of thousands of entries take the disk long to make and remove; in memory
// they cost a fraction, and the program cannot tell the difference.
QString temporaryTemplate()
{
    const QFileInfo memory(u"/dev/shm"_s);
    const QString base = memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
    return base + u"/tst_hostile_names-XXXXXX"_s;
}

} // namespace

class HostileNamesTest : public QObject {
    Q_OBJECT

private:
    SavedSurroundings m_saved;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<app::frmMain> m_form;
    StandInEditor m_editor;

    QString work() const { return QDir(m_work->path()).canonicalPath(); }
    QString notes() const { return work() + u"/notes"_s; }
    QByteArray notesBytes() const { return QFile::encodeName(notes()); }
    app::frmMain& form() { return *m_form; }

    void start(const QString& folder)
    {
        m_form = std::make_unique<app::frmMain>(oneDiskAt(work(), folder));
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form->Me.widget()));
    }

    // Opens list entry `row` in the editor the way a double-click does, and returns the
    // arguments the editor received, as bytes.
    QList<QByteArray> openInEditor(int row)
    {
        const QString record = m_editor.nextRecord(work());
        form().FileList.SetListIndex(row);
        form().FileList_DblClick();
        return StandInEditor::argumentsOf(record);
    }

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void init()
    {
        m_work = std::make_unique<QTemporaryDir>(temporaryTemplate());
        QVERIFY(m_work->isValid());
        m_work->setAutoRemove(false);
        QVERIFY(QDir(work()).mkpath(u"notes"_s));
        StandInEditor::installAloneOnPath(work());
    }

    void cleanup()
    {
        m_form.reset();
        m_saved.restore();
        removeTree(m_work->path());
        m_work.reset();
    }

    // Archives made on Chinese Windows leave GBK names. "中文.txt" in GBK and in UTF-8 read the
    // same once decoded; each must still lead to its own file, in the preview and the editor.
    void gbkAndUtf8NamesThatReadAlikeEachOpenTheirOwnFile()
    {
        const QByteArray gbk = notesBytes() + "/\xd6\xd0\xce\xc4.txt";
        const QByteArray utf8 = notesBytes() + "/\xe4\xb8\xad\xe6\x96\x87.txt";
        makeFile(gbk, "from the gbk name\n");
        makeFile(utf8, "from the utf-8 name\n");
        start(notes());
        QCOMPARE(form().FileList.ListCount(), std::int16_t {2});
        for (int row = 0; row < 2; ++row) {
            const QString name = form().FileList.List(row);
            QCOMPARE(NativePath::ForDisplay(name), u"中文.txt"_s);
            const QByteArray onDisk = NativePath::Encode(notes() + u'/' + name);
            QVERIFY(onDisk == gbk || onDisk == utf8);
            const QString expected = onDisk == gbk ? u"from the gbk name"_s : u"from the utf-8 name"_s;
            QCOMPARE(form().txtPreview(row + 1).Text(), expected);
            QCOMPARE(openInEditor(row), QList<QByteArray> {onDisk});
        }
        QVERIFY(form().FileList.List(0) != form().FileList.List(1));
    }

    void namesThatAreNeitherUtf8NorGbkAreListedAndOpenedByTheirBytes()
    {
        const QByteArray raw = notesBytes() + "/bad\xff\x80name.txt";
        makeFile(raw, "raw bytes\n");
        start(notes());
        QCOMPARE(form().FileList.ListCount(), std::int16_t {1});
        QCOMPARE(NativePath::ForDisplay(form().FileList.List(0)), u"bad\uFFFD\uFFFDname.txt"_s);
        QCOMPARE(form().txtPreview(1).Text(), u"raw bytes"_s);
        QCOMPARE(openInEditor(0), QList<QByteArray> {raw});
    }

    void namesAShellWouldSplitOrRunArriveWholeAndNothingElseRuns_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("spaces and quotes") << QByteArray("my 'quoted' \"note\" .txt");
        QTest::newRow("semicolon") << QByteArray("a;touch MARKER;.txt");
        QTest::newRow("command substitution") << QByteArray("$(touch MARKER).txt");
        QTest::newRow("backquotes") << QByteArray("`touch MARKER`.txt");
        QTest::newRow("newline") << QByteArray("first\ntouch MARKER\n.txt");
        QTest::newRow("leading dash") << QByteArray("-rf --help.txt");
        QTest::newRow("255 bytes") << QByteArray(251, 'n') + ".txt";
        QTest::newRow("255 bytes of Chinese") << QByteArray("\xe4\xb8\xad").repeated(83) + "a.txt";
    }

    void namesAShellWouldSplitOrRunArriveWholeAndNothingElseRuns()
    {
        QFETCH(QByteArray, name);
        QVERIFY(name.size() <= 255);
        const QByteArray path = notesBytes() + '/' + name;
        makeFile(path, "whole\n");
        start(notes());
        QCOMPARE(form().FileList.ListCount(), std::int16_t {1});
        QCOMPARE(form().txtPreview(1).Text(), u"whole"_s);
        QCOMPARE(form().txtPreview(1).ToolTipText(), form().FileList.List(0));
        QCOMPARE(openInEditor(0), QList<QByteArray> {path});
        QVERIFY(!QFile::exists(work() + u"/MARKER"_s));
        QVERIFY(!QFile::exists(notes() + u"/MARKER"_s));
    }

    void aPathOfFourThousandBytesIsListedPreviewedAndOpened()
    {
        QByteArray folder = notesBytes();
        while (folder.size() < 3990 - 200)
            makeFolder(folder += '/' + QByteArray(199, 'd'));
        makeFolder(folder += '/' + QByteArray(3990 - folder.size() - 1, 'e'));
        QCOMPARE(folder.size(), 3990);
        const QByteArray file = folder + "/note.txt";
        QCOMPARE(file.size(), 3999);
        makeFile(file, "deep\n");
        start(QFile::decodeName(folder));
        QCOMPARE(form().DirList.Path(), QFile::decodeName(folder));
        QCOMPARE(form().FileList.ListCount(), std::int16_t {1});
        QCOMPARE(form().txtPreview(1).Text(), u"deep"_s);
        QCOMPARE(openInEditor(0), QList<QByteArray> {file});
    }

    // The list's count is a 16-bit value; a larger folder must not wrap it negative or leave
    // the previews and the scroll range out of step with the list.
    void aFolderOfFortyThousandNotesFillsTheListTo32767WithoutOverflow()
    {
        for (int i = 0; i < 40'000; ++i)
            makeFile(notesBytes() + "/n" + QByteArray::number(i) + ".txt", {});
        start(notes());
        QCOMPARE(form().FileList.ListCount(), std::int16_t {32767});
        QCOMPARE(form().ItemCount, 32767);
        QCOMPARE(form().txtPreview.UBound(), std::int16_t {32767});
        QVERIFY(form().PageItems > 0);
        QCOMPARE(std::int32_t {form().VScroll.Max()}, 32767 - form().PageItems);
        QVERIFY(form().VScroll.Enabled());
        form().VScroll.SetValue(form().VScroll.Max());
        QCOMPARE(form().FileList.List(32766), u"n32766.txt"_s);
        QVERIFY(!form().Me.widget()->grab().isNull());
    }

    void aFolderOfManySubfoldersIsListedWhole()
    {
        for (int i = 0; i < ManySubfolders; ++i)
            makeFolder(notesBytes() + "/f" + QByteArray::number(i));
        start(notes());
        int children = 0;
        for (int row = 0; row < form().DirList.EntryCount(); ++row)
            if (form().DirList.EntryPath(row).startsWith(notes() + u'/'))
                ++children;
        QCOMPARE(children, ManySubfolders);
        QVERIFY(!form().Me.widget()->grab().isNull());
    }

    void aDirectorySymlinkLoopIsListedOnceAndEnteringItNeverHangs()
    {
        makeFile(notesBytes() + "/a.txt", "looped\n");
        const QByteArray loop = notesBytes() + "/loop";
        QCOMPARE(::symlink(".", loop.constData()), 0);
        start(notes());
        int loops = 0;
        for (int row = 0; row < form().DirList.EntryCount(); ++row)
            if (form().DirList.EntryPath(row) == notes() + u"/loop"_s)
                ++loops;
        QCOMPARE(loops, 1);
        form().DirList.SetPath(notes() + u"/loop"_s);
        QCOMPARE(form().FileList.ListCount(), std::int16_t {1});
        QCOMPARE(form().txtPreview(1).Text(), u"looped"_s);
    }
};

QTEST_MAIN(HostileNamesTest)
#include "tst_hostile_names.moc"
