#include "platform/files/TextInput.h"
#include "platform/names/NativePath.h"
#include "support/ErrorOf.h"
#include "support/NoteFolder.h"
#include "support/OddFiles.h"

#include <QStringEncoder>
#include <QTest>

using platform::ErrorCode;
using platform::TextInput;
using Encoding = TextInput::Encoding;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(TextInput::Encoding)

namespace {

constexpr QChar Replacement {0xFFFD};
constexpr QChar ZeroWidth {0xFEFF};
// GB18030 bytes written out by hand, so the test does not lean on the converter it checks.
const QByteArray GbChinese("\xD6\xD0\xCE\xC4"); // 中文
const QByteArray GbNote("\xB1\xCA\xBC\xC7"); // 笔记

QStringList readAll(TextInput& input)
{
    QStringList lines;
    while (!input.AtEnd())
        lines << input.ReadLine();
    return lines;
}

ErrorCode errorOf(const std::function<void()>& call)
{
    return codeRaisedBy(call, ErrorCode::InvalidProcedureCall);
}

QByteArray utf16(const char* mark, const QString& text, QStringConverter::Encoding encoding)
{
    return QByteArray(mark) + QByteArray(QStringEncoder(encoding)(text));
}

} // namespace

class tst_textinput : public QObject {
    Q_OBJECT

    NoteFolder m_folder;
    QString note(const QString& name, const QByteArray& bytes)
    {
        m_folder.write(name, bytes);
        return m_folder.path() + u'/' + name;
    }
    QByteArray raw(const char* name) const { return QFile::encodeName(m_folder.path()) + '/' + name; }

private Q_SLOTS:
    void splitsLinesAtCrLfAndCrLf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR, LF, CR LF; LF CR is two")
            << QByteArray("a\nb\r\nc\r\r\n\n\rd") << QStringList {"a", "b", "c", "", "", "", "d"};
        // Regression: a CR as the last byte of a read turned the LF that began the next into a line.
        QTest::newRow("CR LF split across reads") << QByteArray(TextInput::FirstChunk - 1, 'a') + "\r\nb"
                                                  << QStringList {QString(TextInput::FirstChunk - 1, u'a'), "b"};
        QTest::newRow("NUL becomes U+FFFD and cuts nothing")
            << QByteArray("a\0b\nabcdefg\0hijklmn", 19) << QStringList {u"a\uFFFDb"_s, u"abcdefg\uFFFDhijklmn"_s};
        QTest::newRow("UTF-8 of every length, at its edges")
            << QByteArray("\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"
                          "\xED\x9F\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF")
            << QStringList {u"\u0080\u07FF\u0800\uFFFF\uD7FF\U00010000\U0010FFFF"_s};
        QTest::newRow("Chinese between ASCII runs")
            << QByteArray("line 3: \xE4\xBB\x8A\xE5\xA4\xA9\xEF\xBC\x8Csome words\r\n")
            << QStringList {u"line 3: 今天，some words"_s};
    }
    // Each file is read again with its first line moved along by up to seven bytes, since line
    // ends and plain text are found eight bytes at a time; lines are appended to one text.
    void splitsLinesAtCrLfAndCrLf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        for (int shift = 0; shift < 8; ++shift) {
            const QString prefix(shift, u'p');
            TextInput input(note(u"lines.txt"_s, prefix.toLatin1() + bytes));
            QString text = u"start|"_s;
            while (!input.AtEnd())
                input.AppendLine(text += u'|');
            QCOMPARE(text, u"start||"_s + prefix + lines.join(u'|'));
            QCOMPARE(input.CurrentEncoding(), Encoding::Utf8);
        }
    }

    void choosesTheEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<Encoding>("encoding");
        const QStringList chinese {u"中文"_s, u"ab"_s};
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87\r\nab") << chinese
                                   << Encoding::Utf8;
        QTest::newRow("UTF-8") << QByteArray("\xE4\xB8\xAD\xE6\x96\x87\nab") << chinese << Encoding::Utf8;
        QTest::newRow("UTF-16 LE BOM") << utf16("\xFF\xFE", u"中文\r\nab\n"_s, QStringConverter::Utf16LE) << chinese
                                       << Encoding::Utf16LE;
        QTest::newRow("UTF-16 BE BOM") << utf16("\xFE\xFF", u"中文\r\nab\n"_s, QStringConverter::Utf16BE) << chinese
                                       << Encoding::Utf16BE;
        QTest::newRow("GB18030") << GbChinese + GbNote + "\r\n\x94\x39\xFC\x36" << QStringList {u"中文笔记"_s, u"😀"_s}
                                 << Encoding::Legacy;
        QTest::newRow("GB18030 from the first line that is not UTF-8")
            << "\xE4\xB8\xAD\xE6\x96\x87\n" + GbChinese + "\n" + GbNote << QStringList {u"中文"_s, u"中文"_s, u"笔记"_s}
            << Encoding::Legacy;
        QTest::newRow("a BOM alone is an empty file") << QByteArray("\xEF\xBB\xBF") << QStringList {} << Encoding::Utf8;
        QTest::newRow("a UTF-8 BOM holds over invalid bytes") << QByteArray("\xEF\xBB\xBF"
                                                                            "a\xFF")
                                                              << QStringList {u"a\uFFFD"_s} << Encoding::Utf8;
        QTest::newRow("a character cut by the end of the file keeps UTF-8")
            << QByteArray("ab\xE4\xB8") << QStringList {u"ab\uFFFD\uFFFD"_s} << Encoding::Utf8;
        // The converter drops an incomplete character at the end of its input without a trace.
        QTest::newRow("GB18030 character cut short")
            << GbChinese + "\xD6\r\n" + GbChinese + "\xD6" << QStringList {u"中文\uFFFD"_s, u"中文\uFFFD"_s}
            << Encoding::Legacy;
        QTest::newRow("UTF-16 odd last byte, unpaired surrogate, NUL") << QByteArray("\xFF\xFE\x00\xD8"
                                                                                     "a\0\0\0b",
            9) << QStringList {u"\uFFFDa\uFFFD\uFFFD"_s} << Encoding::Utf16LE;
        QTest::newRow("UTF-16 without BOM reads as UTF-8")
            << QByteArray("h\0i\0", 4) << QStringList {u"h\uFFFDi\uFFFD"_s} << Encoding::Utf8;
        // Regression: UTF-8 lines went through QString::fromUtf8, which drops EF BB BF at the
        // start of its input, so a U+FEFF starting a later line was lost and a line of it alone
        // read as blank; the same file in UTF-16 kept it. Found by fuzz/fuzz_preview.
        QTest::newRow("U+FEFF starting a line")
            << QByteArray("a\n\xEF\xBB\xBF"
                          "b\r\n\xEF\xBB\xBF\xEF\xBB\xBF")
            << QStringList {u"a"_s, ZeroWidth + u"b"_s, QString(2, ZeroWidth)} << Encoding::Utf8;
        QTest::newRow("U+FEFF after a UTF-8 BOM, on a line not valid UTF-8") << QByteArray(
            "\xEF\xBB\xBF\xEF\xBB\xBF"
            "b\xFF") << QStringList {ZeroWidth + u"b\uFFFD"_s} << Encoding::Utf8;
        QTest::newRow("U+FEFF starting a UTF-16 line") << utf16("\xFF\xFE", u"a\n\uFEFFb"_s, QStringConverter::Utf16LE)
                                                       << QStringList {u"a"_s, ZeroWidth + u"b"_s} << Encoding::Utf16LE;
        // Whatever UTF-8 refuses switches to GB18030, also where a line is decoded fast.
        const std::pair<const char*, QString> invalid[] {{"\xC0\x80", u"\u7EAE"_s}, {"\xE0\x80\x80", u"\u911D\uFFFD"_s},
            {"\xF0\x80\x80\x80", u"\u994A\uFFFD\uFFFD"_s}, {"\xED\xA0\x80", u"\u980E\uFFFD"_s},
            {"\xF4\x90\x80\x80", u"\u9B6B\uFFFD\uFFFD"_s}, {"\xE4\xB8", u"\u6D93"_s},
            {"cdefgh\x80", u"cdefgh\uFFFD"_s}};
        for (const auto& [bytes, text] : invalid)
            QTest::addRow("invalid UTF-8 %s", QByteArray(bytes).toHex().constData()) << "first\nab" + QByteArray(bytes)
                    + "\nlast" << QStringList {u"first"_s, u"ab"_s + text, u"last"_s} << Encoding::Legacy;
    }
    void choosesTheEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(Encoding, encoding);
        TextInput input(note(u"encoded.txt"_s, bytes));
        QCOMPARE(readAll(input), lines);
        QCOMPARE(input.CurrentEncoding(), encoding);
    }

    void aCharacterCutByAReadKeepsUtf8_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("character");
        for (const QString& character : {u"é"_s, u"中"_s, u"😀"_s}) {
            for (int before = 1; before < character.toUtf8().size(); ++before)
                QTest::addRow("%d of %d bytes", before, int(character.toUtf8().size())) << before << character;
        }
    }
    void aCharacterCutByAReadKeepsUtf8()
    {
        QFETCH(int, before);
        QFETCH(QString, character);
        const QByteArray filler(TextInput::FirstChunk - before, 'a');
        TextInput input(note(u"cut.txt"_s, filler + character.toUtf8() + "\n" + character.toUtf8()));
        QCOMPARE(readAll(input), (QStringList {QString::fromLatin1(filler) + character, character}));
        QCOMPARE(input.CurrentEncoding(), Encoding::Utf8);
    }

    void readsOnlyWhatTheLinesAskedForNeed()
    {
        QByteArray bytes;
        for (int i = 0; i < 20000; ++i)
            bytes += "line " + QByteArray::number(i) + "\n";
        TextInput input(note(u"long.txt"_s, bytes));
        QCOMPARE(input.BytesRead(), 0);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(input.ReadLine(), u"line %1"_s.arg(i));
        QCOMPARE(input.BytesRead(), TextInput::FirstChunk);
    }

    // The first 64 KiB act as the whole file; a character they cut is no evidence against UTF-8.
    void readsNoMoreThan64KiB_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("lines");
        QTest::newRow("2 GiB and a byte, no line end") << QByteArray("x") << (qint64(2) << 30) + 1 << 1;
        QTest::newRow("short lines") << QByteArray("ab\n").repeated(100000) << qint64(300000)
                                     << int(TextInput::ByteLimit / 3 + 1);
        QTest::newRow("Chinese cut by the bound") << QByteArray("\xE4\xB8\xAD").repeated(30000) << qint64(90000) << 1;
    }
    void readsNoMoreThan64KiB()
    {
        QFETCH(QByteArray, head);
        QFETCH(qint64, size);
        QFETCH(int, lines);
        const QString path = note(u"huge.txt"_s, head);
        QVERIFY(QFile::resize(path, size));
        TextInput input(path);
        const QStringList read = readAll(input);
        QCOMPARE(read.size(), lines);
        QCOMPARE(input.BytesRead(), TextInput::ByteLimit);
        QCOMPARE(input.CurrentEncoding(), Encoding::Utf8);
    }

    void readingPastTheEndOrAfterCloseIsError62()
    {
        TextInput input(note(u"one.txt"_s, "a\nb\n"));
        QCOMPARE(input.ReadLine(), u"a"_s);
        QCOMPARE(input.ReadLine(), u"b"_s);
        QCOMPARE(errorOf([&] { input.ReadLine(); }), ErrorCode::InputPastEnd);
        TextInput closed(note(u"one.txt"_s, "a\nb\n"));
        closed.Close();
        closed.Close();
        QCOMPARE(errorOf([&] { closed.ReadLine(); }), ErrorCode::InputPastEnd);
    }

    void reportsWhatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<ErrorCode>("code");
        const QString file = note(u"present.txt"_s, "secret\n");
        QTest::newRow("missing file") << m_folder.path() + u"/absent.txt"_s << ErrorCode::FileNotFound;
        QTest::newRow("empty path") << QString() << ErrorCode::FileNotFound;
        QTest::newRow("missing folder") << m_folder.path() + u"/nowhere/absent.txt"_s << ErrorCode::PathNotFound;
        QTest::newRow("a file used as a folder") << file + u"/absent.txt"_s << ErrorCode::PathNotFound;
        // Regression: the system cuts a name at its first NUL, so "a.txt\0b" opened a.txt.
        QTest::newRow("a NUL never opens the name before it") << file + QChar(0) + u"b"_s << ErrorCode::FileNotFound;
    }
    void reportsWhatCannotBeOpened()
    {
        QFETCH(QString, path);
        QFETCH(ErrorCode, code);
        QCOMPARE(errorOf([&] { TextInput input(path); }), code);
    }

    // Opening or reading any of these could block the window or never end.
    void refusesSpecialFilesWithoutBlocking_data()
    {
        QTest::addColumn<QString>("path");
        OddFiles::pipe(raw("pipe.txt"));
        QTest::newRow("pipe without a writer") << m_folder.path() + u"/pipe.txt"_s;
        OddFiles::pipe(raw("held.txt"));
        m_silentWriter = ::open(raw("held.txt").constData(), O_RDWR | O_NONBLOCK);
        QTest::newRow("pipe with a silent writer") << m_folder.path() + u"/held.txt"_s;
        OddFiles::socket(raw("socket.txt"));
        QTest::newRow("socket") << m_folder.path() + u"/socket.txt"_s;
        OddFiles::link("/dev/zero", raw("zero.txt"));
        QTest::newRow("link to /dev/zero") << m_folder.path() + u"/zero.txt"_s;
        QTest::newRow("/dev/urandom") << u"/dev/urandom"_s;
        QTest::newRow("/dev/null, a device that reads empty") << u"/dev/null"_s;
        QTest::newRow("folder") << m_folder.path();
        OddFiles::link("loop.txt", raw("loop.txt"));
        QTest::newRow("link loop") << m_folder.path() + u"/loop.txt"_s;
        if (::geteuid() != 0) { // root reads anything
            const QString locked = note(u"locked.txt"_s, "x");
            QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
            QTest::newRow("unreadable file") << locked;
        }
    }
    void refusesSpecialFilesWithoutBlocking()
    {
        QFETCH(QString, path);
        ::alarm(60); // a blocked open ends the run with a clear signal instead of hanging it
        QCOMPARE(errorOf([&] { TextInput(path).AtEnd(); }), ErrorCode::PathFileAccess);
        ::alarm(0);
    }

    // Regression: a pipe under a note's name whose writer had written a line lost that line to
    // the preview; it must be refused and the line left to whoever reads the pipe.
    void refusesATalkingPipeAndLeavesItsLine()
    {
        OddFiles::pipe(raw("talking.txt"));
        const int end = ::open(raw("talking.txt").constData(), O_RDWR | O_NONBLOCK);
        QCOMPARE(::write(end, "waiting\n", 8), ssize_t(8));
        ::alarm(60);
        QCOMPARE(errorOf([&] { TextInput(m_folder.path() + u"/talking.txt"_s).AtEnd(); }), ErrorCode::PathFileAccess);
        ::alarm(0);
        char left[16] {};
        QCOMPARE(::read(end, left, sizeof left), ssize_t(8));
        ::close(end);
        QCOMPARE(QByteArray(left), QByteArray("waiting\n"));
    }

    void cleanupTestCase() { ::close(m_silentWriter); }

private:
    int m_silentWriter {-1};
};

QTEST_GUILESS_MAIN(tst_textinput)
#include "tst_textinput.moc"
