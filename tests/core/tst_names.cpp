#include "platform/files/FolderPath.h"
#include "platform/names/CodePage.h"
#include "platform/names/NamePattern.h"
#include "platform/names/NativePath.h"

#include <QRandomGenerator>
#include <QTest>

namespace NativePath = platform::NativePath;
using platform::NamePattern;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString Marker(NativePath::LegacyMarker);

QString escape(int byte)
{
    return QChar(static_cast<char16_t>(NativePath::EscapeBase + byte));
}

QString tagged(const char* codePage)
{
    return Marker + QChar(static_cast<char16_t>(NativePath::PageTagBase + platform::CodePage::Named(codePage).Index()));
}

const char* s_codePage = nullptr;

} // namespace

class tst_names : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // codePage: the one a listing chose for its names that are not UTF-8; none for a whole path,
    // read in the locale's (GB18030 here). shown: what the lists show.
    void namesDecodeReadablyAndEncodeBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("codePage");
        QTest::addColumn<QString>("decoded");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << QByteArray("/home/ana/\xe4\xb8\xad\xe6\x96\x87.txt") << QByteArray()
                               << u"/home/ana/中文.txt"_s << u"/home/ana/中文.txt"_s;
        // Regression: a GBK name decoded to the text of its UTF-8 namesake, so both opened one file.
        QTest::newRow("GBK name") << QByteArray("/tmp/\xd6\xd0\xce\xc4.txt") << QByteArray()
                                  << u"/tmp/"_s + Marker + u"中文.txt"_s << u"/tmp/中文.txt"_s;
        QTest::newRow("neither UTF-8 nor GBK")
            << QByteArray("a\xff\xfe.txt") << QByteArray() << u"a"_s + escape(0xff) + escape(0xfe) + u".txt"_s
            << u"a\uFFFD\uFFFD.txt"_s;
        QTest::newRow("UTF-8 cut at the end")
            << QByteArray("a.txt\xe4") << QByteArray() << u"a.txt"_s + escape(0xe4) << u"a.txt\uFFFD"_s;
        QTest::newRow("cut UTF-8 that is valid GBK")
            << QByteArray("\xe4\xb8.txt") << QByteArray() << Marker + u"涓.txt"_s << u"涓.txt"_s;
        QTest::newRow("UTF-8 holding the marker")
            << QByteArray("\xe2\x81\xa0x") << QByteArray() << escape(0xe2) + escape(0x81) + escape(0xa0) + u"x"_s
            << u"\uFFFD\uFFFD\uFFFDx"_s;
        QTest::newRow("overlong slash is no separator")
            << QByteArray("a\xc0\xaf\xff") << QByteArray() << u"a"_s + escape(0xc0) + escape(0xaf) + escape(0xff)
            << u"a\uFFFD\uFFFD\uFFFD"_s;
        // A folder's names in another code page than the locale's carry a tag that names it.
        QTest::newRow("Big5 name in a Big5 folder") << QByteArray("\xb5\xa7\xb0\x4f.txt") << "Big5-HKSCS"_ba
                                                    << tagged("Big5-HKSCS") + u"筆記.txt"_s << u"筆記.txt"_s;
        QTest::newRow("the locale's code page needs no tag")
            << QByteArray("\xd6\xd0.txt") << "GB18030"_ba << Marker + u"中.txt"_s << u"中.txt"_s;
        QTest::newRow("not valid in the folder's code page")
            << QByteArray("\x80.txt") << "Shift_JIS"_ba << escape(0x80) + u".txt"_s << u"\uFFFD.txt"_s;
        QTest::newRow("UTF-8 holding a tag")
            << QByteArray("\xee\xbc\x81x") << QByteArray() << escape(0xee) + escape(0xbc) + escape(0x81) + u"x"_s
            << u"\uFFFD\uFFFD\uFFFDx"_s;
        // Regression: ICU's Shift_JIS read 0x1A as U+001C, 0x1C as U+007F and 0x7F as U+001A.
        QTest::newRow("Shift_JIS control bytes as themselves")
            << QByteArray("\x93\xfa\x1c\x7f\x1a") << "Shift_JIS"_ba << tagged("Shift_JIS") + u"日\u001C\u007F\u001A"_s
            << u"日\u001C\u007F\u001A"_s;
    }
    void namesDecodeReadablyAndEncodeBackByteForByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, codePage);
        QFETCH(QString, decoded);
        QFETCH(QString, shown);
        const QString got = codePage.isEmpty() ? NativePath::Decode(bytes) : NativePath::DecodeName(bytes, codePage);
        QCOMPARE(got, decoded);
        QCOMPARE(NativePath::Encode(decoded), bytes);
        QCOMPARE(NativePath::ForDisplay(decoded), shown);
    }

    // Every byte string decodes to a name that encodes back to it, so every listed name opens,
    // whichever code page its folder was read in.
    void everyByteStringSurvivesTheRoundTrip()
    {
        QRandomGenerator random(1234);
        const char* const codePages[] {"GB18030", "Big5-HKSCS", "Shift_JIS", "windows-949", "windows-1252"};
        for (int round = 0; round < 5000; ++round) {
            QByteArray bytes(random.bounded(1, 24), Qt::Uninitialized);
            for (char& byte : bytes) {
                const quint32 pick = random.bounded(10);
                byte = char(pick == 0 ? '/' : (pick < 3 ? 'a' + random.bounded(26) : random.bounded(1, 256)));
            }
            s_codePage = codePages[round % std::size(codePages)];
            const QString decoded = NativePath::Decode(bytes, [](QByteArrayView) { return s_codePage; });
            QVERIFY2(NativePath::Encode(decoded) == bytes, bytes.toHex().constData());
        }
    }

    void patternsMatchCaseInsensitively_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("*.txt") << u"*.txt"_s << u"b.Txt"_s << true;
        QTest::newRow("*.txt, extension must end the name") << u"*.txt"_s << u"c.txt.bak"_s << false;
        QTest::newRow("? is one character") << u"?.txt"_s << u"ab.txt"_s << false;
        QTest::newRow("alternatives with spaces") << u"*.txt; *.md"_s << u"read.MD"_s << true;
        QTest::newRow("*.* matches names without a dot") << u"*.*"_s << u"README"_s << true;
        QTest::newRow("empty pattern matches nothing") << QString() << u"x"_s << false;
        QTest::newRow("GBK name matched by what it shows") << u"中*"_s << Marker + u"中文.txt"_s << true;
        QTest::newRow("Big5 name matched by what it shows")
            << u"筆?.txt"_s << tagged("Big5-HKSCS") + u"筆記.txt"_s << true;
        // Naive backtracking takes exponential time here and would freeze the list.
        QTest::newRow("many stars") << u"*a"_s.repeated(30) + u"b"_s << QString(5000, u'a') << false;
    }
    void patternsMatchCaseInsensitively()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(NamePattern(pattern).Matches(name), matches);
    }

    // A missing or doubled separator between the folder and a name would open another file.
    void folderPrefixEndsInOneSeparator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("root stays root") << u"/"_s << u"/"_s;
        QTest::newRow("folder gains one") << u"/home/ana"_s << u"/home/ana/"_s;
        QTest::newRow("trailing one is not doubled") << u"/home/ana/"_s << u"/home/ana/"_s;
        QTest::newRow("doubled inside collapses") << u"/home//ana"_s << u"/home/ana/"_s;
    }
    void folderPrefixEndsInOneSeparator()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(platform::FolderPath::Prefix(path), expected);
    }
};

QTEST_GUILESS_MAIN(tst_names)
#include "tst_names.moc"
