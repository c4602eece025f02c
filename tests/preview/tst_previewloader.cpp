#include "platform/files/TextInput.h"
#include "preview/PreviewLoader.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

using preview::PreviewLoader;

namespace {

const QString FailurePrefix = QStringLiteral("无法加载 ");

QByteArray Utf16(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding);
    return encoder(text);
}

QByteArray Numbered(int count, const char* terminator)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "line " + QByteArray::number(i) + terminator;
    return bytes;
}

int OpenDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

} // namespace

class PreviewLoaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void takesTheFirstNonBlankLines_data();
    void takesTheFirstNonBlankLines();
    void readsEveryEncodingAndLineEnd_data();
    void readsEveryEncodingAndLineEnd();
    void unreadablePathGivesTheFailureText_data();
    void unreadablePathGivesTheFailureText();
    void hugeFileWithoutLineEndsGivesOneBoundedLine();
    void closesTheFileOnEveryPath();

private:
    QString Write(const QString& name, const QByteArray& bytes);

    QTemporaryDir m_dir;
};

QString PreviewLoaderTest::Write(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void PreviewLoaderTest::takesTheFirstNonBlankLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("linesPerItem");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty file gives empty text") << QByteArray() << 6 << QString();
    QTest::newRow("blank lines only give empty text") << QByteArray("   \r\n\r\n \n") << 6 << QString();
    QTest::newRow("10 lines, 3 wanted") << Numbered(10, "\r\n") << 3 << QStringLiteral("line 1\r\nline 2\r\nline 3");
    QTest::newRow("space-only lines dropped, tab-only line counts")
        << QByteArray("a\r\n   \r\n\r\n\t\r\nb\r\nc\r\n") << 3 << QStringLiteral("a\r\n\t\r\nb");
    QTest::newRow("no-break space is not a space") << QByteArray("\xC2\xA0\nb\n") << 2 << QStringLiteral("\u00A0\r\nb");
    QTest::newRow("leading and trailing spaces kept")
        << QByteArray("  a  \r\n\r\n b\r\n") << 2 << QStringLiteral("  a  \r\n b");
    QTest::newRow("fewer lines than wanted") << QByteArray("a\n\nb\n") << 6 << QStringLiteral("a\r\nb");
    QTest::newRow("no room for a line") << QByteArray("a\nb\n") << 0 << QString();
    QTest::newRow("negative room") << QByteArray("a\nb\n") << -1 << QString();
    QTest::newRow("exactly as many lines as wanted") << QByteArray("a\nb") << 2 << QStringLiteral("a\r\nb");
    QTest::newRow("NUL kept as a placeholder, text after it kept")
        << QByteArray("a\0b\n", 4) << 1 << QStringLiteral("a\uFFFDb");
}

void PreviewLoaderTest::takesTheFirstNonBlankLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, linesPerItem);
    QFETCH(QString, expected);
    const std::int32_t lines = linesPerItem;
    QCOMPARE(PreviewLoader::Load(Write(QStringLiteral("note.txt"), bytes), lines), expected);
}

void PreviewLoaderTest::readsEveryEncodingAndLineEnd_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QString text = QStringLiteral("第一行\r\n\r\n  second  \r\n第三行\r\nfourth\r\n");
    QTest::newRow("CR LF") << text.toUtf8();
    QTest::newRow("LF") << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8();
    QTest::newRow("CR") << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\r")).toUtf8();
    QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + text.toUtf8();
    QTest::newRow("UTF-16 LE") << "\xFF\xFE" + Utf16(text, QStringConverter::Utf16LE);
    QTest::newRow("UTF-16 BE") << "\xFE\xFF" + Utf16(text, QStringConverter::Utf16BE);
    // 第一行 and 第三行 in GB18030, written out so the test does not use the converter it checks.
    QTest::newRow("GB18030") << QByteArray("\xB5\xDA\xD2\xBB\xD0\xD0\r\n\r\n  second  \r\n"
                                           "\xB5\xDA\xC8\xFD\xD0\xD0\r\nfourth\r\n");
}

void PreviewLoaderTest::readsEveryEncodingAndLineEnd()
{
    QFETCH(QByteArray, bytes);
    const std::int32_t lines = 3;
    QCOMPARE(PreviewLoader::Load(Write(QStringLiteral("encoded.txt"), bytes), lines),
        QStringLiteral("第一行\r\n  second  \r\n第三行"));
}

void PreviewLoaderTest::unreadablePathGivesTheFailureText_data()
{
    QTest::addColumn<QString>("path");

    QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("absent.txt"));
    QTest::newRow("missing folder") << m_dir.filePath(QStringLiteral("gone/absent.txt"));
    QTest::newRow("folder") << m_dir.path();
    const QByteArray fifo = QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.txt")));
    QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
    QTest::newRow("named pipe") << QFile::decodeName(fifo);
    // A regular file by its type whose first read fails.
    QTest::newRow("read error") << QStringLiteral("/proc/self/mem");
}

void PreviewLoaderTest::unreadablePathGivesTheFailureText()
{
    QFETCH(QString, path);
    const std::int32_t lines = 3;
    QCOMPARE(PreviewLoader::Load(path, lines), FailurePrefix + path);
}

void PreviewLoaderTest::hugeFileWithoutLineEndsGivesOneBoundedLine()
{
    const QString path = Write(QStringLiteral("huge.txt"), QByteArray(10, 'x'));
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_WRONLY);
    QVERIFY(descriptor >= 0);
    QVERIFY(::ftruncate(descriptor, qint64(200) * 1000 * 1000) == 0);
    ::close(descriptor);

    const std::int32_t lines = 3;
    const QString text = PreviewLoader::Load(path, lines);
    QCOMPARE(qint64(text.size()), platform::TextInput::ByteLimit);
    QVERIFY(text.startsWith(QStringLiteral("xxxxxxxxxx\uFFFD")));
    QFile::remove(path);
}

void PreviewLoaderTest::closesTheFileOnEveryPath()
{
    const QString note = Write(QStringLiteral("open.txt"), Numbered(10, "\n"));
    const int before = OpenDescriptors();
    const std::int32_t three = 3;
    const std::int32_t none = 0;
    PreviewLoader::Load(note, three);
    PreviewLoader::Load(note, none);
    PreviewLoader::Load(QStringLiteral("/proc/self/mem"), three);
    PreviewLoader::Load(m_dir.path(), three);
    QCOMPARE(OpenDescriptors(), before);
}

QTEST_GUILESS_MAIN(PreviewLoaderTest)
#include "tst_previewloader.moc"
