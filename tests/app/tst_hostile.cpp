#include "support/Fixtures.h"

#include "platform/desktop/Application.h"
#include "platform/names/NativePath.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString CannotLoad = u"无法加载 "_s;

enum class Swap { Pipe, DeviceLink, Deleted };

void makeFifo(const QString& path)
{
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
}

void makeSocket(const QString& path)
{
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    QCOMPARE(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(descriptor);
}

void makeLink(const QByteArray& target, const QString& path)
{
    QCOMPARE(::symlink(target.constData(), QFile::encodeName(path).constData()), 0);
}

} // namespace

Q_DECLARE_METATYPE(Swap)

// Folders as users get them: special files named like notes, names from other systems, and
// more files than the lists can count.
class HostileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    // Opening a pipe waits for a writer that never comes, and a device never ends.
    void pipesSocketsAndDeviceLinksNamedLikeNotesAreNeverListed()
    {
        Desk desk;
        desk.write(u"a.txt"_s, "plain note\n");
        makeFifo(desk.path(u"pipe.txt"_s));
        makeSocket(desk.path(u"socket.txt"_s));
        makeLink("/dev/zero", desk.path(u"zero.txt"_s));
        desk.start(desk.top());
        QCOMPARE(desk.previews(), QStringList {u"a.txt: plain note"_s});
    }

    // A file listed as a note and replaced before the previews are built must neither stall
    // the window nor harm the other boxes.
    void aListedFileReplacedBeforeTheRebuildNeverBlocks_data()
    {
        QTest::addColumn<Swap>("swap");
        QTest::newRow("by a pipe") << Swap::Pipe;
        QTest::newRow("by a link to a device") << Swap::DeviceLink;
        QTest::newRow("deleted") << Swap::Deleted;
    }
    void aListedFileReplacedBeforeTheRebuildNeverBlocks()
    {
        QFETCH(Swap, swap);
        Desk desk;
        for (const char* name : {"a", "b", "c"})
            desk.write(QByteArray(name) + ".txt", QByteArray(name) + " note\n");
        app::frmMain& form = desk.start(desk.top());
        const QString b = desk.path(u"b.txt"_s);
        QVERIFY(QFile::remove(b));
        if (swap == Swap::Pipe)
            makeFifo(b);
        else if (swap == Swap::DeviceLink)
            makeLink("/dev/zero", b);
        form.CreateItem();
        QCOMPARE(
            desk.previews(), (QStringList {u"a.txt: a note"_s, u"b.txt: "_s + CannotLoad + b, u"c.txt: c note"_s}));
    }

    // Archives made on Chinese Windows leave GBK names. "中文.txt" in GBK and in UTF-8 read the
    // same once decoded; each must still lead to its own file, in its box and in the editor.
    // A name that is neither is listed and opened by its bytes.
    void namesFromOtherSystemsEachOpenTheirOwnFile()
    {
        Desk desk;
        desk.useStandInEditor();
        const QList<QByteArray> names {"\xd6\xd0\xce\xc4.txt", "\xe4\xb8\xad\xe6\x96\x87.txt", "bad\xff\x80.txt"};
        for (const QByteArray& name : names)
            desk.write("notes/" + name, "from " + name.toHex() + "\n");
        app::frmMain& form = desk.start(desk.path(u"notes"_s));
        QCOMPARE(form.FileList.ListCount(), std::int16_t {3});
        for (int row = 0; row < 3; ++row) {
            const QByteArray onDisk = platform::NativePath::Encode(desk.path(u"notes/"_s) + form.FileList.List(row));
            const QByteArray name = onDisk.mid(onDisk.lastIndexOf('/') + 1);
            QVERIFY(names.contains(name));
            QCOMPARE(form.txtPreview(row + 1).Text(), u"from "_s + QString::fromLatin1(name.toHex()));
            QCOMPARE(desk.editorArgumentsAfter([&] { desk.doubleClickName(row); }), QList<QByteArray> {onDisk});
        }
    }

    // The list's count is a 16-bit value; a larger folder must not wrap it negative or leave
    // the previews and the scroll range out of step with the list.
    void aFolderOfFortyThousandNotesFillsTheListTo32767()
    {
        Desk desk;
        for (int i = 0; i < 40'000; ++i)
            desk.write("n" + QByteArray::number(i) + ".txt", {});
        app::frmMain& form = desk.start(desk.top());
        QCOMPARE(form.FileList.ListCount(), std::int16_t {32767});
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {32767});
        QCOMPARE(std::int32_t {form.VScroll.Max()}, 32767 - form.PageItems);
        QTest::keyClick(form.VScroll.widget(), Qt::Key_End);
        QCOMPARE(form.txtPreview(32767).ToolTipText(), form.FileList.List(32766));
        QVERIFY(form.txtPreview(32767).View() != nullptr);
    }
};

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
