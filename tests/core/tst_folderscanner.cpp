#include "platform/files/FolderScanner.h"
#include "platform/names/NativePath.h"
#include "platform/runtime/Error.h"
#include "support/ErrorOf.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::Error;
using platform::ErrorCode;
using platform::FolderScanner;
namespace NativePath = platform::NativePath;
using namespace Qt::Literals::StringLiterals;

namespace {

// Files are made with plain system calls so that names which are not UTF-8 get exactly the
// bytes asked for.
void makeFile(const QByteArray& path, const QByteArray& content = {})
{
    int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY2(descriptor >= 0, path.constData());
    if (!content.isEmpty())
        QCOMPARE(::write(descriptor, content.constData(), content.size()), ssize_t(content.size()));
    ::close(descriptor);
}

void makeFolder(const QByteArray& path)
{
    QVERIFY2(::mkdir(path.constData(), 0755) == 0, path.constData());
}

void makeLink(const QByteArray& target, const QByteArray& path)
{
    QVERIFY2(::symlink(target.constData(), path.constData()) == 0, path.constData());
}

void makeSocket(const QByteArray& path)
{
    int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(descriptor >= 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    QVERIFY(size_t(path.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    QCOMPARE(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(descriptor);
}

QByteArray readFile(const QByteArray& path)
{
    int descriptor = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return "<missing>";
    char buffer[64];
    ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    ::close(descriptor);
    return QByteArray(buffer, got > 0 ? got : 0);
}

ErrorCode errorOf(const std::function<void()>& call)
{
    return codeRaisedBy(call, ErrorCode::InvalidProcedureCall);
}

} // namespace

class tst_folderscanner : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString folder() const { return m_folder->path(); }
    QByteArray path(const char* name) const { return QFile::encodeName(folder()) + '/' + name; }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void cleanup() { m_folder.reset(); }

    void matchesThePatternCaseInsensitively()
    {
        makeFile(path("A.TXT"));
        makeFile(path("b.Txt"));
        makeFile(path("c.txt.bak"));
        makeFile(path("d.md"));
        makeFile(path("txt"));
        QCOMPARE(FolderScanner::ListFiles(folder(), u"*.txt"_s), (QStringList {u"A.TXT"_s, u"b.Txt"_s}));
        QCOMPARE(FolderScanner::ListFiles(folder(), u"?.md"_s), (QStringList {u"d.md"_s}));
        QCOMPARE(
            FolderScanner::ListFiles(folder(), u"*.txt;*.MD"_s), (QStringList {u"A.TXT"_s, u"b.Txt"_s, u"d.md"_s}));
        QCOMPARE(FolderScanner::ListFiles(folder(), u"*.*"_s).size(), 5);
    }

    void leavesOutHiddenFilesAndFoldersNamedLikeFiles()
    {
        makeFile(path(".hidden.txt"));
        makeFolder(path("folder.txt"));
        makeFile(path("shown.txt"));
        QCOMPARE(FolderScanner::ListFiles(folder(), u"*.txt"_s), (QStringList {u"shown.txt"_s}));
    }

    // Opening any of these to read a preview would block the window or never end.
    void neverListsPipesSocketsOrDevicesNamedLikeNotes()
    {
        QCOMPARE(::mkfifo(path("pipe.txt").constData(), 0644), 0);
        makeSocket(path("socket.txt"));
        makeLink("/dev/zero", path("zero.txt"));
        makeLink("/dev/urandom", path("random.txt"));
        makeLink("missing.txt", path("dangling.txt"));
        makeLink("loop.txt", path("loop.txt"));
        makeFile(path("real.txt"));
        QCOMPARE(FolderScanner::ListFiles(folder(), u"*.txt"_s), (QStringList {u"real.txt"_s}));
    }

    void listsLinksToRegularFiles()
    {
        makeFile(path("target.txt"));
        makeLink("target.txt", path("link.txt"));
        QCOMPARE(FolderScanner::ListFiles(folder(), u"*.txt"_s), (QStringList {u"link.txt"_s, u"target.txt"_s}));
    }

    void listsFilesInNaturalOrder()
    {
        for (const char* name : {"file10.txt", "file2.txt", "File1.txt", "file01.txt", "第10章.txt", "第2章.txt"})
            makeFile(path(name));
        QCOMPARE(FolderScanner::ListFiles(folder(), u"*.txt"_s),
            (QStringList {
                u"File1.txt"_s, u"file01.txt"_s, u"file2.txt"_s, u"file10.txt"_s, u"第2章.txt"_s, u"第10章.txt"_s}));
    }

    // The list's count is a 16-bit value; a larger folder keeps the first names in order
    // rather than overflowing the count.
    void keepsTheFirst32767NamesOfALargerFolder()
    {
        for (int index = 0; index < 32800; ++index)
            makeFile(path(QByteArray::number(index).rightJustified(5, '0').prepend("n").append(".txt").constData()));
        QStringList names = FolderScanner::ListFiles(folder(), u"*.txt"_s);
        QCOMPARE(names.size(), FolderScanner::MaxFiles);
        QCOMPARE(names.front(), u"n00000.txt"_s);
        QCOMPARE(names.back(), u"n32766.txt"_s);
    }

    void listsSubfoldersAndLinksToThemInNaturalOrder()
    {
        makeFolder(path("b"));
        makeFolder(path("a10"));
        makeFolder(path("A2"));
        makeFolder(path(".git"));
        makeFile(path("file"));
        makeLink("b", path("c-link"));
        makeLink("file", path("file-link"));
        QCOMPARE(FolderScanner::ListSubfolders(folder()), (QStringList {u"A2"_s, u"a10"_s, u"b"_s, u"c-link"_s}));
    }

    // A link back up the tree must neither hang the list nor make it recurse.
    void listsASymlinkLoopOnceWithoutHanging()
    {
        makeFolder(path("sub"));
        makeLink(".", path("here"));
        makeLink("..", path("sub/up"));
        makeLink("self", path("self"));
        QCOMPARE(FolderScanner::ListSubfolders(folder()), (QStringList {u"here"_s, u"sub"_s}));
        QCOMPARE(FolderScanner::ListSubfolders(folder() + u"/sub/up/here/sub"_s), (QStringList {u"up"_s}));
    }

    void namesThatAreNotUtf8AreListedReadablyAndFoundAgain()
    {
        makeFile(path("\xd6\xd0\xce\xc4.txt"), "gbk");
        makeFile(path("\xe4\xb8\xad\xe6\x96\x87.txt"), "utf-8");
        makeFile(path("bad\xff.txt"), "raw");
        QStringList names = FolderScanner::ListFiles(folder(), u"*.txt"_s);
        QCOMPARE(names.size(), 3);
        QStringList contents;
        for (const QString& name : names) {
            QString shown = name;
            shown.remove(NativePath::LegacyMarker);
            QVERIFY(shown == u"中文.txt"_s || name.startsWith(u"bad"_s));
            contents.append(QString::fromLatin1(readFile(NativePath::Encode(folder() + u'/' + name))));
        }
        contents.sort();
        QCOMPARE(contents, (QStringList {u"gbk"_s, u"raw"_s, u"utf-8"_s}));
    }

    void keepsNamesWithShellCharactersWhole()
    {
        const char* name = "-a b;$(x) `y` 'q' \"d\"\n.txt";
        makeFile(path(name));
        QCOMPARE(FolderScanner::ListFiles(folder(), u"*.txt"_s), (QStringList {QString::fromUtf8(name)}));
    }

    void missingFolderIsPathNotFound()
    {
        makeFile(path("plain"));
        const QStringList missing {
            folder() + u"/absent"_s, folder() + u"/plain"_s, folder() + u"/plain/x"_s, QString()};
        for (const QString& path : missing) {
            QCOMPARE(errorOf([&] { FolderScanner::ListFiles(path, u"*.txt"_s); }), ErrorCode::PathNotFound);
            QCOMPARE(errorOf([&] { FolderScanner::ListSubfolders(path); }), ErrorCode::PathNotFound);
        }
    }

    // Root reads every folder, so the check runs in a child that has given up root first.
    void unreadableFolderIsAnAccessError()
    {
        QCOMPARE(::chmod(QFile::encodeName(folder()).constData(), 0755), 0);
        makeFolder(path("locked"));
        QCOMPARE(::chmod(path("locked").constData(), 0), 0);
        QString locked = folder() + u"/locked"_s;
        auto unlock = qScopeGuard([&] { ::chmod(path("locked").constData(), 0755); });
        if (::geteuid() != 0) {
            QCOMPARE(errorOf([&] { FolderScanner::ListFiles(locked, u"*"_s); }), ErrorCode::PathFileAccess);
            return;
        }
        pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(2);
            ErrorCode files = errorOf([&] { FolderScanner::ListFiles(locked, u"*"_s); });
            ErrorCode folders = errorOf([&] { FolderScanner::ListSubfolders(locked); });
            ::_exit(files == ErrorCode::PathFileAccess && folders == ErrorCode::PathFileAccess ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        if (WEXITSTATUS(status) == 2)
            QSKIP("this machine does not let root give up its rights");
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

QTEST_GUILESS_MAIN(tst_folderscanner)
#include "tst_folderscanner.moc"
