#include "platform/files/FolderBatch.h"
#include "platform/files/FolderPath.h"
#include "platform/files/GuardedListing.h"
#include "platform/files/TextInput.h"
#include "platform/names/NativePath.h"
#include "support/Files.h"

#include <QScopeGuard>
#include <QTest>

#include <sys/wait.h>

using platform::ErrorCode;
namespace NativePath = platform::NativePath;
using platform::FolderBatch;
using platform::FolderPath;
using platform::GuardedListing;
using platform::TextInput;
using namespace Qt::Literals::StringLiterals;

namespace {

QString firstLineOf(const QString& path)
{
    TextInput input(path);
    return input.ReadLine();
}

} // namespace

class tst_folderscanner : public QObject {
    Q_OBJECT

    NoteFolder m_folder;
    QString folder() const { return m_folder.path(); }
    QByteArray raw(const QByteArray& name) const { return QFile::encodeName(folder()) + '/' + name; }

private Q_SLOTS:
    // Only regular files and links to them are notes: opening anything else to preview it
    // could block the window or never end.
    void listsTheMatchingNotesInTheLocalesOrder()
    {
        const QDir dir(m_folder.makeFolder(u"kinds"_s));
        for (const char* name : {"file10.txt", "file2.txt", "File1.txt", "b.TXT", "c.txt.bak", "d.md", "txt",
                 ".hidden.txt", "-a b;$(x) `y` 'q'\n.txt"})
            OddFiles::file(QFile::encodeName(dir.filePath(QString::fromUtf8(name))));
        QVERIFY(dir.mkdir(u"folder.txt"_s));
        OddFiles::pipe(QFile::encodeName(dir.filePath(u"pipe.txt"_s)));
        OddFiles::socket(QFile::encodeName(dir.filePath(u"socket.txt"_s)));
        for (const char* target : {"/dev/zero", "missing", "loop.txt", "file2.txt"})
            OddFiles::link(
                target, QFile::encodeName(dir.filePath(QString::fromLatin1(target).section(u'/', -1) + u".txt"_s)));
        QCOMPARE(GuardedListing::Files(dir.path(), u"*.txt"_s),
            (QStringList {u"-a b;$(x) `y` 'q'\n.txt"_s, u"b.TXT"_s, u"File1.txt"_s, u"file2.txt"_s, u"file2.txt.txt"_s,
                u"file10.txt"_s}));
        QCOMPARE(GuardedListing::Files(dir.path(), u"?.md;*.bak"_s), (QStringList {u"c.txt.bak"_s, u"d.md"_s}));
    }

    // A link back up the tree is listed once, and neither hangs the list nor recurses.
    void listsSubfoldersAndLinksToThem()
    {
        for (const char* name : {"b", "a10", "A2", ".git", "sub"})
            m_folder.makeFolder(u"tree/"_s + QString::fromLatin1(name));
        OddFiles::file(raw("tree/file"));
        OddFiles::link("b", raw("tree/c-link"));
        OddFiles::link("file", raw("tree/file-link"));
        OddFiles::link(".", raw("tree/here"));
        OddFiles::link("..", raw("tree/sub/up"));
        QCOMPARE(GuardedListing::Subfolders(folder() + u"/tree"_s),
            (QStringList {u"A2"_s, u"a10"_s, u"b"_s, u"c-link"_s, u"here"_s, u"sub"_s}));
        QCOMPARE(GuardedListing::Subfolders(folder() + u"/tree/sub/up/here/sub"_s), (QStringList {u"up"_s}));
    }

    // Each name, GBK, UTF-8 or neither, must open its own file again.
    void namesThatAreNotUtf8OpenTheirOwnFile()
    {
        const QString names = m_folder.makeFolder(u"names"_s);
        OddFiles::file(raw("names/\xd6\xd0\xce\xc4.txt"), "gbk\n");
        OddFiles::file(raw("names/\xe4\xb8\xad\xe6\x96\x87.txt"), "utf-8\n");
        OddFiles::file(raw("names/bad\xff.txt"), "raw\n");
        QStringList contents;
        for (const QString& name : GuardedListing::Files(names, u"*.txt"_s))
            contents << firstLineOf(names + u'/' + name);
        contents.sort();
        QCOMPARE(contents, (QStringList {u"gbk"_s, u"raw"_s, u"utf-8"_s}));
        // Qt cannot remove what it cannot name.
        QCOMPARE(::unlink(raw("names/\xd6\xd0\xce\xc4.txt")) + ::unlink(raw("names/bad\xff.txt")), 0);
    }

    // The program's folder, read whole at start-up, must read as the listing of its parent shows
    // it, or the path box and the folder chain would name it otherwise than the list: a Big5
    // folder under the C locale's GB18030 is judged alone as among its siblings.
    void theProgramsFolderReadsAsItsParentListsIt()
    {
        const QByteArray big5("\xbb\x4f\xa5\x5f\xc5\xaa\xae\xd1\xb7\x7c\xac\xf6\xbf\xfd"); // 臺北讀書會紀錄
        m_folder.makeFolder(u"started"_s);
        QCOMPARE(::mkdir(raw("started/" + big5), 0700), 0);
        auto remove = qScopeGuard([&] { ::rmdir(raw("started/" + big5).constData()); });
        const QString before = QDir::currentPath();
        QCOMPARE(::chdir(raw("started/" + big5).constData()), 0);
        const QString current = FolderPath::Current();
        QVERIFY(QDir::setCurrent(before));
        const QStringList listed = GuardedListing::Subfolders(folder() + u"/started"_s);
        QCOMPARE(listed.size(), 1);
        QCOMPARE(current, folder() + u"/started/"_s + listed[0]);
        QCOMPARE(NativePath::ForDisplay(listed[0]), u"臺北讀書會紀錄"_s);
    }

    // Root reads every folder, so the check runs in a child that gives up root if it has it.
    void unreadableFolderIsError75()
    {
        const QString locked = m_folder.makeFolder(u"locked"_s);
        QVERIFY(QFile::setPermissions(locked, {}));
        auto unlock = qScopeGuard([&] {
            QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::WriteOwner);
        });
        const auto refused = [&] {
            return codeRaisedBy([&] { GuardedListing::Files(locked, u"*"_s); }) == ErrorCode::PathFileAccess
                && codeRaisedBy([&] { GuardedListing::Subfolders(locked); }) == ErrorCode::PathFileAccess;
        };
        QVERIFY(QFile::setPermissions(folder(), QFile::permissions(folder()) | QFileDevice::ExeOther));
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0) ? 2 : refused() ? 0 : 1);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        if (WEXITSTATUS(status) == 2)
            QSKIP("this machine does not let root give up its rights");
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // Regression guard: a rebuild reads the folder it listed, even when another takes its path.
    void aBatchReadsTheFolderItBeganWith()
    {
        m_folder.makeFolder(u"batch/notes/sub"_s);
        m_folder.write(u"batch/notes/a.txt"_s, "listed\n");
        m_folder.write(u"batch/notes/sub/b.txt"_s, "b\n");
        const QString notes = folder() + u"/batch/notes/"_s;
        {
            const FolderBatch batch(notes);
            QVERIFY(QDir(folder() + u"/batch"_s).rename(u"notes"_s, u"moved"_s));
            m_folder.makeFolder(u"batch/notes"_s);
            m_folder.write(u"batch/notes/a.txt"_s, "replacement\n");
            QCOMPARE(firstLineOf(notes + u"a.txt"_s), u"listed"_s);
            QCOMPARE(codeRaisedBy([&] { TextInput(notes + u"sub/b.txt"_s); }), ErrorCode::PathNotFound);
            {
                const FolderBatch missing(folder() + u"/absent/"_s);
                QCOMPARE(FolderBatch::Current(), &missing);
                QCOMPARE(firstLineOf(folder() + u"/batch/moved/sub/b.txt"_s), u"b"_s);
            }
            QCOMPARE(FolderBatch::Current(), &batch);
        }
        QCOMPARE(FolderBatch::Current(), nullptr);
        QCOMPARE(firstLineOf(notes + u"a.txt"_s), u"replacement"_s);
    }
};

QTEST_GUILESS_MAIN(tst_folderscanner)
#include "tst_folderscanner.moc"
