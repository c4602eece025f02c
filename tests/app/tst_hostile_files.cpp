#include "app/frmMain.h"
#include "platform/controls/TextBoxArray.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/controls/VScrollBar.h"
#include "platform/controls/Window.h"
#include "platform/desktop/Application.h"
#include "platform/drives/DriveTable.h"
#include "platform/files/TextInput.h"
#include "platform/names/NativePath.h"
#include "preview/PreviewLoader.h"
#include "support/FakeDrives.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString CannotLoad = u"无法加载 "_s;

// The bytes of a literal with NULs inside, without its terminating NUL.
template<std::size_t Size> QByteArray bytes(const char (&literal)[Size])
{
    return QByteArray(literal, Size - 1);
}

// Files are made with plain system calls so that every byte is the one asked for.
void makeFile(const QString& path, const QByteArray& content = "text\n")
{
    const QByteArray name = platform::NativePath::Encode(path);
    int descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY2(descriptor >= 0, name.constData());
    if (!content.isEmpty())
        QCOMPARE(::write(descriptor, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(descriptor);
}

void makeFifo(const QString& path)
{
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
}

void makeSocket(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(descriptor >= 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    QVERIFY(size_t(name.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    QCOMPARE(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(descriptor);
}

void makeLink(const QString& target, const QString& path)
{
    QCOMPARE(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
}

// A file of the given size whose blocks are never written: it costs no disk space.
void makeSparseFile(const QString& path, qint64 size)
{
    int descriptor = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY(descriptor >= 0);
    QCOMPARE(::ftruncate(descriptor, off_t(size)), 0);
    ::close(descriptor);
}

// 10 million lines of "a": one 20 MB buffer written once.
void makeTenMillionLines(const QString& path)
{
    QByteArray lines;
    lines.reserve(20'000'000);
    for (int i = 0; i < 10'000'000; ++i)
        lines.append("a\n", 2);
    makeFile(path, lines);
}

} // namespace

class HostileFilesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<app::frmMain> m_form;

    QString work() const { return QDir(m_work->path()).canonicalPath(); }
    QString notes() const { return work() + u"/notes"_s; }
    app::frmMain& form() { return *m_form; }

    void start(const QString& folder)
    {
        m_form = std::make_unique<app::frmMain>(oneDiskAt(work(), folder));
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form->Me.widget()));
    }

    QStringList previewTexts()
    {
        QStringList texts;
        for (int i = 1; i <= form().txtPreview.UBound(); ++i)
            texts << form().txtPreview(i).Text();
        return texts;
    }

    // Scrolls every box into view in turn and paints the whole window each time, so the text
    // layout meets every box's text.
    void paintEveryBox()
    {
        QWidget* window = form().Me.widget();
        for (int value = 0; value <= form().VScroll.Max(); ++value) {
            form().VScroll.SetValue(value);
            QCoreApplication::processEvents();
            window->repaint();
            QVERIFY(!window->grab().isNull());
        }
    }

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void init()
    {
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_work->isValid());
        QVERIFY(QDir(work()).mkpath(u"notes"_s));
    }

    void cleanup()
    {
        m_form.reset();
        m_work.reset();
    }

    void pipesSocketsAndDeviceLinksNamedLikeNotesAreNeverListedSoNeverOpened()
    {
        makeFile(notes() + u"/a.txt"_s, "plain note\n");
        makeFifo(notes() + u"/pipe.txt"_s);
        makeSocket(notes() + u"/socket.txt"_s);
        makeLink(u"/dev/zero"_s, notes() + u"/zero.txt"_s);
        makeLink(u"/dev/urandom"_s, notes() + u"/random.txt"_s);
        start(notes());
        QCOMPARE(form().FileList.Names(), QStringList {u"a.txt"_s});
        QCOMPARE(previewTexts(), QStringList {u"plain note"_s});
    }

    // A file listed as a note and replaced by a pipe before the previews are built must not
    // stall the window waiting for a writer that never comes.
    void aListedFileSwappedForAPipeBeforeTheRebuildNeverBlocks()
    {
        makeFile(notes() + u"/a.txt"_s, "first\n");
        makeFile(notes() + u"/b.txt"_s, "second\n");
        makeFile(notes() + u"/c.txt"_s, "third\n");
        start(notes());
        QCOMPARE(form().FileList.ListCount(), std::int16_t {3});
        QVERIFY(QFile::remove(notes() + u"/b.txt"_s));
        makeFifo(notes() + u"/b.txt"_s);
        form().CreateItem();
        QCOMPARE(previewTexts(), (QStringList {u"first"_s, CannotLoad + notes() + u"/b.txt"_s, u"third"_s}));
    }

    void aListedFileSwappedForADeviceLinkBeforeTheRebuildIsRefused()
    {
        makeFile(notes() + u"/a.txt"_s, "first\n");
        makeFile(notes() + u"/z.txt"_s, "last\n");
        start(notes());
        QVERIFY(QFile::remove(notes() + u"/z.txt"_s));
        makeLink(u"/dev/zero"_s, notes() + u"/z.txt"_s);
        form().CreateItem();
        QCOMPARE(previewTexts(), (QStringList {u"first"_s, CannotLoad + notes() + u"/z.txt"_s}));
    }

    void aFileDeletedBeforeTheRebuildSaysCannotLoadAndTheRestIsUnharmed()
    {
        makeFile(notes() + u"/a.txt"_s, "first\n");
        makeFile(notes() + u"/b.txt"_s, "second\n");
        makeFile(notes() + u"/c.txt"_s, "third\n");
        start(notes());
        QVERIFY(QFile::remove(notes() + u"/b.txt"_s));
        form().CreateItem();
        QCOMPARE(previewTexts(), (QStringList {u"first"_s, CannotLoad + notes() + u"/b.txt"_s, u"third"_s}));
        QCOMPARE(form().txtPreview(2).ToolTipText(), u"b.txt"_s);
    }

    void aFolderRemovedBeforeTheRebuildSaysCannotLoadForEachFileWithoutFailing()
    {
        makeFile(notes() + u"/a.txt"_s, "first\n");
        makeFile(notes() + u"/b.txt"_s, "second\n");
        start(notes());
        QVERIFY(QDir(notes()).removeRecursively());
        form().CreateItem();
        QCOMPARE(
            previewTexts(), (QStringList {CannotLoad + notes() + u"/a.txt"_s, CannotLoad + notes() + u"/b.txt"_s}));
        QCOMPARE(form().FileList.ListCount(), std::int16_t {2});
    }

    void binaryFilesShowPlaceholdersAreNeverCutAtNulAndPaintWithoutCrashing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("mustShow");
        QTest::newRow("NUL bytes") << bytes("before\0after\n") << QStringList {u"before"_s, u"after"_s};
        QTest::newRow("invalid UTF-8") << QByteArray("ok \xc3\x28 \xe2\x82 end\n") << QStringList {u"ok"_s, u"end"_s};
        QTest::newRow("invalid GB18030") << QByteArray("x \x81\x20 \xfe y \xff\n") << QStringList {u"x"_s, u"y"_s};
        QTest::newRow("UTF-16 LE without BOM")
            << bytes("h\0i\0\n\0w\0o\0r\0l\0d\0\n\0") << QStringList {u"h"_s, u"i"_s};
        QTest::newRow("UTF-16 BE without BOM")
            << bytes("\0h\0i\0\n\0w\0o\0r\0l\0d\0\n") << QStringList {u"h"_s, u"i"_s};
        QByteArray random(4096, '\0');
        QRandomGenerator generator(7);
        for (char& byte : random)
            byte = char(generator.bounded(256));
        QTest::newRow("random bytes") << random << QStringList {};
    }

    void binaryFilesShowPlaceholdersAreNeverCutAtNulAndPaintWithoutCrashing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, mustShow);
        // Enough ordinary notes around it that the box has to be scrolled into view.
        for (int i = 0; i < 30; ++i)
            makeFile(notes() + u"/note%1.txt"_s.arg(i, 2, 10, QChar(u'0')), "note\n");
        makeFile(notes() + u"/note15b.txt"_s, content);
        start(notes());
        const int index = int(form().FileList.Names().indexOf(u"note15b.txt"_s)) + 1;
        QVERIFY(index > 0);
        const QString shown = form().txtPreview(index).Text();
        QVERIFY(!shown.contains(QChar(u'\0')));
        QVERIFY(!shown.startsWith(CannotLoad));
        for (const QString& part : mustShow)
            QVERIFY2(shown.contains(part), qPrintable(shown));
        if (!content.isEmpty() && !mustShow.isEmpty() && content.contains('\0'))
            QVERIFY(shown.contains(QChar(0xFFFD)));
        paintEveryBox();
    }

    void aTwoGigabyteFileWithoutLineEndsIsReadNoFurtherThanTheBound()
    {
        makeSparseFile(notes() + u"/huge.txt"_s, qint64(2) * 1024 * 1024 * 1024);
        platform::TextInput input(notes() + u"/huge.txt"_s);
        int lines = 0;
        while (!input.AtEnd()) {
            (void)input.ReadLine();
            ++lines;
        }
        QCOMPARE(lines, 1);
        QVERIFY(input.BytesRead() <= platform::TextInput::ByteLimit);
        start(notes());
        QCOMPARE(form().FileList.ListCount(), std::int16_t {1});
        QVERIFY(form().txtPreview(1).Text().size() <= platform::TextInput::ByteLimit);
        paintEveryBox();
    }

    void tenMillionShortLinesAreReadNoFurtherThanTheBound()
    {
        makeTenMillionLines(notes() + u"/lines.txt"_s);
        platform::TextInput input(notes() + u"/lines.txt"_s);
        qint64 lines = 0;
        while (!input.AtEnd()) {
            (void)input.ReadLine();
            ++lines;
        }
        QVERIFY(input.BytesRead() <= platform::TextInput::ByteLimit);
        QVERIFY(lines <= platform::TextInput::ByteLimit / 2);
        const std::int32_t manyLines = 1'000'000;
        const QString preview = preview::PreviewLoader::Load(notes() + u"/lines.txt"_s, manyLines);
        QVERIFY(preview.size() <= platform::TextInput::ByteLimit * 2);
        start(notes());
        QVERIFY(form().txtPreview(1).Text().startsWith(u'a'));
        QVERIFY(form().txtPreview(1).Text().size() <= 3 * form().LinesPerItem);
    }

    // Root reads every file, so the check runs in a child that has given up root first; the
    // window's own handling is the same path as a deleted file, tested above.
    void anUnreadableFileSaysCannotLoadInsteadOfFailing()
    {
        makeFile(notes() + u"/locked.txt"_s, "secret\n");
        QCOMPARE(::chmod(QFile::encodeName(notes() + u"/locked.txt"_s).constData(), 0), 0);
        const QString path = notes() + u"/locked.txt"_s;
        const QString expected = CannotLoad + path;
        const std::int32_t lines = 3;
        if (::geteuid() != 0) {
            QCOMPARE(preview::PreviewLoader::Load(path, lines), expected);
            start(notes());
            QCOMPARE(previewTexts(), QStringList {expected});
            return;
        }
        QCOMPARE(::chmod(QFile::encodeName(work()).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(notes()).constData(), 0755), 0);
        pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(2);
            ::_exit(preview::PreviewLoader::Load(path, lines) == expected ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        if (WEXITSTATUS(status) == 2)
            QSKIP("this machine does not let root give up its rights");
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

QTEST_MAIN(HostileFilesTest)
#include "tst_hostile_files.moc"
