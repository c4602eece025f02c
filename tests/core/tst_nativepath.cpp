#include "platform/names/NativePath.h"

#include <QRandomGenerator>
#include <QTest>

namespace NativePath = platform::NativePath;
using namespace Qt::Literals::StringLiterals;

namespace {

// What a person sees of a decoded name: the marker has no glyph.
QString shown(const QString& decoded)
{
    QString text = decoded;
    text.remove(NativePath::LegacyMarker);
    return text;
}

} // namespace

class tst_nativepath : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesDecodeReadablyAndEncodeBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");

        const QString marker(NativePath::LegacyMarker);
        auto escape = [](int byte) { return QString(QChar(static_cast<char16_t>(NativePath::EscapeBase + byte))); };

        QTest::newRow("ascii") << QByteArray("/home/ana/notes.txt") << u"/home/ana/notes.txt"_s;
        QTest::newRow("utf-8") << QByteArray("/home/ana/\xe4\xb8\xad\xe6\x96\x87.txt") << u"/home/ana/中文.txt"_s;
        QTest::newRow("gbk name") << QByteArray("/tmp/\xd6\xd0\xce\xc4.txt") << u"/tmp/"_s + marker + u"中文.txt"_s;
        QTest::newRow("gbk folder, utf-8 name")
            << QByteArray("/\xb1\xca\xbc\xc7/\xe4\xb8\xad.txt") << u"/"_s + marker + u"笔记/中.txt"_s;
        QTest::newRow("undecodable bytes")
            << QByteArray("a\xff\xfe.txt") << u"a"_s + escape(0xff) + escape(0xfe) + u".txt"_s;
        QTest::newRow("utf-8 cut at the end") << QByteArray("a.txt\xe4") << u"a.txt"_s + escape(0xe4);
        QTest::newRow("cut utf-8 that is valid gbk") << QByteArray("\xe4\xb8.txt") << marker + u"涓.txt"_s;
        QTest::newRow("utf-8 holding the marker")
            << QByteArray("\xe2\x81\xa0x") << escape(0xe2) + escape(0x81) + escape(0xa0) + u"x"_s;
        QTest::newRow("utf-8 holding an escape code point")
            << QByteArray("\xee\xbf\xbf") << escape(0xee) + escape(0xbf) + escape(0xbf);
        QTest::newRow("overlong slash is no separator")
            << QByteArray("a\xc0\xaf\xff") << u"a"_s + escape(0xc0) + escape(0xaf) + escape(0xff);
        QTest::newRow("emoji") << QByteArray("\xf0\x9f\x93\x9d.txt") << u"\U0001F4DD.txt"_s;
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void namesDecodeReadablyAndEncodeBackByteForByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(NativePath::Decode(bytes), expected);
        QCOMPARE(NativePath::Encode(NativePath::Decode(bytes)), bytes);
    }

    // Regression: decoding a GBK name to the same characters as a UTF-8 name made both list
    // entries open the UTF-8 file.
    void gbkAndUtf8NamesThatReadAlikeStayApart()
    {
        QByteArray utf8("\xe4\xb8\xad\xe6\x96\x87.txt");
        QByteArray gbk("\xd6\xd0\xce\xc4.txt");
        QString fromUtf8 = NativePath::Decode(utf8);
        QString fromGbk = NativePath::Decode(gbk);
        QCOMPARE(shown(fromUtf8), shown(fromGbk));
        QVERIFY(fromUtf8 != fromGbk);
        QCOMPARE(NativePath::Encode(fromUtf8), utf8);
        QCOMPARE(NativePath::Encode(fromGbk), gbk);
    }

    void typedPathsMeanTheirUtf8Bytes()
    {
        QCOMPARE(NativePath::Encode(u"/tmp/中文 笔记/a b.txt"_s), QByteArray("/tmp/中文 笔记/a b.txt"));
    }

    void everyByteStringSurvivesTheRoundTrip()
    {
        QRandomGenerator random(1234);
        for (int round = 0; round < 5000; ++round) {
            QByteArray bytes(random.bounded(1, 24), Qt::Uninitialized);
            for (char& byte : bytes) {
                // Mostly high bytes, some slashes and ASCII, as in mangled archive names.
                quint32 pick = random.bounded(10);
                byte = static_cast<char>(
                    pick == 0 ? '/' : (pick < 3 ? 'a' + random.bounded(26) : random.bounded(1, 256)));
            }
            QString decoded = NativePath::Decode(bytes);
            QVERIFY2(NativePath::Encode(decoded) == bytes, bytes.toHex().constData());
        }
    }

    void differentBytesNeverDecodeAlike()
    {
        const QList<QByteArray> names {"\xd6\xd0", "\xe4\xb8\xad", "\xef\xbf\xbd", "\xff", "\xee\xbe\x80",
            "\xe2\x81\xa0\xd6\xd0", "\xd6\xd0\xff", "?"};
        QSet<QString> decoded;
        for (const QByteArray& name : names)
            decoded.insert(NativePath::Decode(name));
        QCOMPARE(decoded.size(), names.size());
    }
};

QTEST_GUILESS_MAIN(tst_nativepath)
#include "tst_nativepath.moc"
