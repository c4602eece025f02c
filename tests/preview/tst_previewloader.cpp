#include "preview/PreviewLoader.h"
#include "support/Files.h"

#include <QTest>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <sys/syscall.h>
#include <unistd.h>

using preview::PreviewLoader;

// While set, every read past a file's first bytes fails, as a drive's read can fail part way
// through a note. The loader reads through the system's pread, which this one stands in for.
static std::atomic<bool> laterReadsFail {false};

extern "C" ssize_t pread(int descriptor, void* into, std::size_t count, off_t offset)
{
    if (laterReadsFail && offset > 0) {
        errno = EIO;
        return -1;
    }
    return static_cast<ssize_t>(::syscall(SYS_pread64, descriptor, into, count, offset));
}

class PreviewLoaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void givesTheFirstNonBlankLinesOrTheFailureText_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: the note is missing
        QTest::addColumn<QString>("path"); // empty: the note's own
        QTest::addColumn<int>("linesPerItem");
        QTest::addColumn<QString>("expected"); // %1 is the path read

        const QByteArray numbered = "line 1\r\nline 2\nline 3\rline 4\r\nline 5\r\n";
        const QString failure = QStringLiteral("无法加载 %1");
        QTest::newRow("empty note, not the failure text") << QByteArray("") << QString() << 6 << QString();
        QTest::newRow("5 lines, 3 wanted")
            << numbered << QString() << 3 << QStringLiteral("line 1\r\nline 2\r\nline 3");
        QTest::newRow("space-only lines dropped, a tab or no-break space counts") << QByteArray(
            "a\r\n   \r\n\r\n\t\r\n\xC2\xA0\r\nb\r\n") << QString() << 4 << QStringLiteral("a\r\n\t\r\n\u00A0\r\nb");
        QTest::newRow("leading and trailing spaces kept")
            << QByteArray("  a  \r\n\r\n b\r\n") << QString() << 2 << QStringLiteral("  a  \r\n b");
        QTest::newRow("fewer lines than wanted")
            << QByteArray("a\n\nb\n") << QString() << 6 << QStringLiteral("a\r\nb");
        QTest::newRow("no room for a line") << numbered << QString() << 0 << QString();
        QTest::newRow("missing note") << QByteArray() << QString() << 3 << failure;
        // Lines taken before a read fails are kept, each with its CR LF.
        QTest::newRow("read fails after two lines")
            << QByteArray("a\n\nb\n" + QByteArray(5000, 'x')) << QString() << 3 << QStringLiteral("a\r\nb\r\n");
    }

    void givesTheFirstNonBlankLinesOrTheFailureText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, path);
        QFETCH(int, linesPerItem);
        QFETCH(QString, expected);
        NoteFolder folder;
        if (path.isEmpty())
            path = folder.path() + QStringLiteral("/note.txt");
        if (!bytes.isNull())
            folder.write(QStringLiteral("note.txt"), bytes);
        const std::int32_t lines = linesPerItem;
        laterReadsFail = QByteArray(QTest::currentDataTag()).startsWith("read fails");
        const QString text = PreviewLoader::Load(path, lines);
        laterReadsFail = false;
        QCOMPARE(text, expected.contains(u'%') ? expected.arg(path) : expected);
    }
};

QTEST_GUILESS_MAIN(PreviewLoaderTest)
#include "tst_previewloader.moc"
