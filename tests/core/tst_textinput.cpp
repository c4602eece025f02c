#include "platform/files/TextInput.h"
#include "support/Files.h"

#include <QTest>

using platform::ErrorCode;
using platform::TextInput;
using Encoding = TextInput::Encoding;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(TextInput::Encoding)

namespace {

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
        QTest::newRow("UTF-8 of every length, at its edges")
            << QByteArray("\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"
                          "\xED\x9F\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF")
            << QStringList {u"\u0080\u07FF\u0800\uFFFF\uD7FF\U00010000\U0010FFFF"_s};
        // A character cut by the end of a read, at each of its three cuts as the file shifts.
        QTest::newRow("UTF-8 cut by a read")
            << QByteArray(TextInput::FirstChunk - 4, 'a') + "\xF0\x9F\x98\x80\n\xC3\xA9"
            << QStringList {QString(TextInput::FirstChunk - 4, u'a') + u"😀"_s, u"é"_s};
    }
    // Each file is read again moved along by up to seven bytes, since line ends and plain text
    // are found eight or sixteen bytes at a time; lines are appended to one text.
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
        QTest::newRow("UTF-16 LE BOM") << QByteArray("\xFF\xFE\x2D\x4E\x87\x65\r\0\n\0a\0b\0", 14) << chinese
                                       << Encoding::Utf16LE;
        QTest::newRow("UTF-16 BE BOM") << QByteArray("\xFE\xFF\x4E\x2D\x65\x87\0\n\0a\0b", 12) << chinese
                                       << Encoding::Utf16BE;
        QTest::newRow("GB18030") << GbChinese + GbNote + "\r\n\x94\x39\xFC\x36" << QStringList {u"中文笔记"_s, u"😀"_s}
                                 << Encoding::Legacy;
        QTest::newRow("GB18030 from the first line that is not UTF-8")
            << "\xE4\xB8\xAD\xE6\x96\x87\n" + GbChinese + "\n" + GbNote << QStringList {u"中文"_s, u"中文"_s, u"笔记"_s}
            << Encoding::Legacy;
        // Each note judged by its own bytes against the C locale's GB18030. The first line that
        // is not UTF-8 text decides, its NULs included, and UTF-16 is read again from the start.
        QTest::newRow("Big5 after a UTF-8 line")
            << "\xE4\xB8\xAD\xE6\x96\x87\n\xa4\x55\xb6\x67\xa4\x54\xb1\xdf\xa4\x57\xa4\x43\xc2\x49\xa1\x41"
               "\xa6\x62\xb9\xcf\xae\xd1\xc0\x5d\xa4\x47\xbc\xd3\xa1\x43"_ba
            << QStringList {u"中文"_s, u"下週三晚上七點，在圖書館二樓。"_s} << Encoding::Legacy;
        QTest::newRow("UTF-16 LE without a mark")
            << QByteArray("\x2D\x4E\x87\x65\r\0\n\0a\0b\0", 12) << chinese << Encoding::Utf16LE;
        QTest::newRow("UTF-16 BE without a mark, Latin letters only")
            << QByteArray("\0a\0b\0\r\0\n\0c", 10) << QStringList {u"ab"_s, u"c"_s} << Encoding::Utf16BE;
        QTest::newRow("a UTF-8 BOM holds over invalid bytes") << QByteArray("\xEF\xBB\xBF"
                                                                            "a\xFF")
                                                              << QStringList {u"a\uFFFD"_s} << Encoding::Utf8;
        // The NUL of the long line is in the middle of the second sixteen bytes of the line.
        QTest::newRow("NUL becomes U+FFFD and cuts nothing")
            << QByteArray("\xEF\xBB\xBF"
                          "a\0b\nabcdefghijklmnopqrstuvw\0xyz0123456789",
                   44)
            << QStringList {u"a\uFFFDb"_s, u"abcdefghijklmnopqrstuvw\uFFFDxyz0123456789"_s} << Encoding::Utf8;
        QTest::newRow("a character cut by the 64 KiB bound keeps UTF-8")
            << QByteArray("\xE4\xB8\xAD").repeated(30000) << QStringList {u"中"_s.repeated(21845) + u"\uFFFD"_s}
            << Encoding::Utf8;
        QTest::newRow("a character cut by the end of the file keeps UTF-8")
            << QByteArray("ab\xE4\xB8") << QStringList {u"ab\uFFFD\uFFFD"_s} << Encoding::Utf8;
        // The converter drops an incomplete character at the end of its input without a trace.
        QTest::newRow("GB18030 character cut short")
            << GbChinese + "\xD6\r\n" + GbChinese + "\xD6" << QStringList {u"中文\uFFFD"_s, u"中文\uFFFD"_s}
            << Encoding::Legacy;
        // GB18030 never substitutes U+001A: only a look in the bytes finds a line with a real 0x1A.
        QTest::newRow("GB18030 0x1A") << GbChinese + "\x1A" << QStringList {u"中文\uFFFD"_s} << Encoding::Legacy;
        QTest::newRow("UTF-16 odd last byte, unpaired surrogate, NUL") << QByteArray("\xFF\xFE\x00\xD8"
                                                                                     "a\0\0\0b",
            9) << QStringList {u"\uFFFDa\uFFFD\uFFFD"_s} << Encoding::Utf16LE;
        // Regression: UTF-8 lines went through QString::fromUtf8, which drops EF BB BF at the
        // start of its input, so a U+FEFF starting a later line was lost and a line of it alone
        // read as blank; the same file in UTF-16 kept it. Found by fuzz/fuzz_preview.
        QTest::newRow("U+FEFF starting a line")
            << QByteArray("a\n\xEF\xBB\xBF"
                          "b\r\n\xEF\xBB\xBF\xEF\xBB\xBF")
            << QStringList {u"a"_s, ZeroWidth + u"b"_s, QString(2, ZeroWidth)} << Encoding::Utf8;
        // Whatever UTF-8 refuses switches to GB18030, also where a line is decoded fast.
        // Each after two GBK characters, which keep the note in the C locale's GB18030 whatever
        // the code page guess makes of the bytes alone.
        const QByteArray gbk = "\xD6\xD0\xCE\xC4";
        const std::pair<const char*, QString> invalid[] {
            {"\xC0\x80", u"\u7EAE"_s}, {"\xED\xA0\x80", u"\u980E\uFFFD"_s}, {"cdefgh\x80", u"cdefgh\uFFFD"_s}};
        for (const auto& [bytes, text] : invalid)
            QTest::addRow("invalid UTF-8 %s", QByteArray(bytes).toHex().constData())
                << "first\n" + gbk + "ab" + QByteArray(bytes) + "\nlast"
                << QStringList {u"first"_s, u"中文ab"_s + text, u"last"_s} << Encoding::Legacy;
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

    // The first 64 KiB act as the whole file.
    void readsNoMoreThan64KiB_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("lines");
        QTest::newRow("2 GiB and a byte, no line end") << QByteArray("x") << (qint64(2) << 30) + 1 << 1;
        QTest::newRow("short lines") << QByteArray("ab\n").repeated(100000) << qint64(300000) << 65536 / 3 + 1;
    }
    void readsNoMoreThan64KiB()
    {
        QFETCH(QByteArray, head);
        QFETCH(qint64, size);
        QFETCH(int, lines);
        const QString path = note(u"huge.txt"_s, head);
        QVERIFY(QFile::resize(path, size));
        TextInput input(path);
        QCOMPARE(readAll(input).size(), lines);
        QCOMPARE(input.BytesRead(), 65536); // the literal, so that a changed bound is seen
    }

    // Opening or reading any of these could block the window or never end, or open another file.
    void refusesWhatIsNoReadableNote_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<ErrorCode>("code");
        const QString folder = m_folder.path();
        const QString file = note(u"present.txt"_s, "secret\n");
        QTest::newRow("missing file") << folder + u"/absent.txt"_s << ErrorCode::FileNotFound;
        QTest::newRow("missing folder") << folder + u"/nowhere/absent.txt"_s << ErrorCode::PathNotFound;
        QTest::newRow("a file used as a folder") << file + u"/absent.txt"_s << ErrorCode::PathNotFound;
        // Regression: the system cuts a name at its first NUL, so "a.txt\0b" opened a.txt.
        QTest::newRow("a NUL never opens the name before it") << file + QChar(0) + u"b"_s << ErrorCode::FileNotFound;
        // Regression: a pipe whose writer had written a line lost that line to the preview; it
        // must be refused and the line left to whoever reads the pipe (checked at the end).
        OddFiles::pipe(raw("talking.txt"));
        m_writer = ::open(raw("talking.txt").constData(), O_RDWR | O_NONBLOCK);
        QCOMPARE(::write(m_writer, "waiting\n", 8), ssize_t(8));
        QTest::newRow("pipe holding a line") << folder + u"/talking.txt"_s << ErrorCode::PathFileAccess;
        OddFiles::socket(raw("socket.txt"));
        QTest::newRow("socket") << folder + u"/socket.txt"_s << ErrorCode::PathFileAccess;
        OddFiles::link("/dev/zero", raw("zero.txt"));
        QTest::newRow("link to /dev/zero") << folder + u"/zero.txt"_s << ErrorCode::PathFileAccess;
        QTest::newRow("folder") << folder << ErrorCode::PathFileAccess;
        OddFiles::link("loop.txt", raw("loop.txt"));
        QTest::newRow("link loop") << folder + u"/loop.txt"_s << ErrorCode::PathFileAccess;
        if (::geteuid() != 0) { // root reads anything
            const QString locked = note(u"locked.txt"_s, "x");
            QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
            QTest::newRow("unreadable file") << locked << ErrorCode::PathFileAccess;
        }
    }
    void refusesWhatIsNoReadableNote()
    {
        QFETCH(QString, path);
        QFETCH(ErrorCode, code);
        ::alarm(60); // a blocked open ends the run with a clear signal instead of hanging it
        QCOMPARE(codeRaisedBy([&] { TextInput(path).AtEnd(); }), code);
        ::alarm(0);
    }

    void cleanupTestCase()
    {
        char left[16] {};
        QVERIFY(m_writer < 0 || ::read(m_writer, left, sizeof left) == 8);
        ::close(m_writer);
    }

private:
    int m_writer {-1};
};

QTEST_GUILESS_MAIN(tst_textinput)
#include "tst_textinput.moc"
