#include "platform/files/FolderPath.h"
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

} // namespace

class tst_names : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesDecodeReadablyAndEncodeBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("UTF-8") << QByteArray("/home/ana/\xe4\xb8\xad\xe6\x96\x87.txt") << u"/home/ana/中文.txt"_s;
        // Regression: a GBK name decoded to the text of its UTF-8 namesake, so both opened one file.
        QTest::newRow("GBK name") << QByteArray("/tmp/\xd6\xd0\xce\xc4.txt") << u"/tmp/"_s + Marker + u"中文.txt"_s;
        QTest::newRow("neither UTF-8 nor GBK")
            << QByteArray("a\xff\xfe.txt") << u"a"_s + escape(0xff) + escape(0xfe) + u".txt"_s;
        QTest::newRow("UTF-8 cut at the end") << QByteArray("a.txt\xe4") << u"a.txt"_s + escape(0xe4);
        QTest::newRow("cut UTF-8 that is valid GBK") << QByteArray("\xe4\xb8.txt") << Marker + u"涓.txt"_s;
        QTest::newRow("UTF-8 holding the marker")
            << QByteArray("\xe2\x81\xa0x") << escape(0xe2) + escape(0x81) + escape(0xa0) + u"x"_s;
        QTest::newRow("overlong slash is no separator")
            << QByteArray("a\xc0\xaf\xff") << u"a"_s + escape(0xc0) + escape(0xaf) + escape(0xff);
    }
    void namesDecodeReadablyAndEncodeBackByteForByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, decoded);
        QCOMPARE(NativePath::Decode(bytes), decoded);
        QCOMPARE(NativePath::Encode(decoded), bytes);
    }

    // Every byte string decodes to a name that encodes back to it, so every listed name opens.
    void everyByteStringSurvivesTheRoundTrip()
    {
        QRandomGenerator random(1234);
        for (int round = 0; round < 5000; ++round) {
            QByteArray bytes(random.bounded(1, 24), Qt::Uninitialized);
            for (char& byte : bytes) {
                const quint32 pick = random.bounded(10);
                byte = char(pick == 0 ? '/' : (pick < 3 ? 'a' + random.bounded(26) : random.bounded(1, 256)));
            }
            QVERIFY2(NativePath::Encode(NativePath::Decode(bytes)) == bytes, bytes.toHex().constData());
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
