#include "platform/files/TextInput.h"
#include "platform/names/NativePath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using platform::TextInput;

Q_DECLARE_METATYPE(TextInput::Encoding)

// The text input reads the lines of previews through shortcuts: it searches line ends eight
// bytes at a time, decodes valid UTF-8 in one pass straight into the caller's text, and
// encodes plain paths on the stack. These tests guard each shortcut against the general way
// it stands in for.
class TextInputFastPathTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void validUtf8DecodesAsQtDecodesIt_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short ASCII") << QByteArray("abc");
        QTest::newRow("eight ASCII bytes") << QByteArray("abcdefgh");
        QTest::newRow("seventeen ASCII bytes") << QByteArray("abcdefghijklmnopq");
        QTest::newRow("two-byte characters") << QByteArray("caf\xC3\xA9 na\xC3\xAFve \xC2\xA0|");
        QTest::newRow("Chinese") << QByteArray("\xE4\xB8\xAD\xE6\x96\x87\xE7\xAC\x94\xE8\xAE\xB0");
        QTest::newRow("Chinese between ASCII runs")
            << QByteArray("  line 3: \xE4\xBB\x8A\xE5\xA4\xA9\xEF\xBC\x8Csome words of a plain note.");
        QTest::newRow("four-byte character") << QByteArray("smile \xF0\x9F\x98\x80 end");
        QTest::newRow("edges of each length") << QByteArray(
            "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
        QTest::newRow("byte-order mark inside a line") << QByteArray("a\xEF\xBB\xBFz");
    }
    void validUtf8DecodesAsQtDecodesIt()
    {
        QFETCH(QByteArray, bytes);
        // Each line is tried at every offset from an eight-byte boundary.
        for (int shift = 0; shift < 8; ++shift) {
            const QByteArray prefix(shift, 'p');
            TextInput input(Write(QStringLiteral("valid.txt"), prefix + bytes + "\nnext\n"));
            QCOMPARE(input.ReadLine(), QString::fromUtf8(prefix + bytes));
            QCOMPARE(input.ReadLine(), QStringLiteral("next"));
            QCOMPARE(input.CurrentEncoding(), TextInput::Encoding::Utf8);
        }
    }

    void aNulBecomesAReplacementCharacter()
    {
        TextInput input(Write(QStringLiteral("nul.txt"), QByteArray("a\0b\nabcdefg\0hijklmn\n", 21)));
        QCOMPARE(input.ReadLine(), QStringLiteral("a\uFFFDb"));
        QCOMPARE(input.ReadLine(), QStringLiteral("abcdefg\uFFFDhijklmn"));
    }

    void appendLineAddsToTheGivenText()
    {
        TextInput input(Write(QStringLiteral("append.txt"), "\xE4\xB8\xAD one\ntwo\n"));
        QString text = QStringLiteral("start|");
        input.AppendLine(text);
        input.AppendLine(text);
        QCOMPARE(text, QStringLiteral("start|中 onetwo"));
    }

    // Regression: the one-pass decoder must refuse exactly what the validity check refuses, so
    // that such a line still switches the file to GB18030.
    void invalidUtf8StillSwitchesToGb18030_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("overlong two bytes") << QByteArray("ab\xC0\x80"
                                                          "cd");
        QTest::newRow("overlong three bytes") << QByteArray("ab\xE0\x80\x80"
                                                            "cd");
        QTest::newRow("overlong four bytes") << QByteArray("ab\xF0\x80\x80\x80"
                                                           "cd");
        QTest::newRow("encoded surrogate") << QByteArray("ab\xED\xA0\x80"
                                                         "cd");
        QTest::newRow("past U+10FFFF") << QByteArray("ab\xF4\x90\x80\x80"
                                                     "cd");
        QTest::newRow("lone continuation byte") << QByteArray("abcdefgh\x80"
                                                              "cd");
        QTest::newRow("character cut by the line end") << QByteArray("ab\xE4\xB8");
        QTest::newRow("GBK Chinese") << QByteArray("\xD6\xD0\xCE\xC4");
    }
    void invalidUtf8StillSwitchesToGb18030()
    {
        QFETCH(QByteArray, bytes);
        TextInput input(Write(QStringLiteral("invalid.txt"), "first\n" + bytes + "\nlast\n"));
        QCOMPARE(input.ReadLine(), QStringLiteral("first"));
        QCOMPARE(input.CurrentEncoding(), TextInput::Encoding::Utf8);
        const QString line = input.ReadLine();
        QCOMPARE(input.CurrentEncoding(), TextInput::Encoding::Gb18030);
        for (const QChar character : line)
            QVERIFY(!character.isSurrogate() && !character.isNull());
        QCOMPARE(input.ReadLine(), QStringLiteral("last"));
    }

    void aCharacterCutByTheEndOfTheFileKeepsUtf8()
    {
        TextInput input(Write(QStringLiteral("cut.txt"), "ab\xE4\xB8"));
        const QString line = input.ReadLine();
        QCOMPARE(input.CurrentEncoding(), TextInput::Encoding::Utf8);
        QVERIFY(line.startsWith(QStringLiteral("ab")));
        QCOMPARE(line.back(), QChar(0xFFFD));
    }

    void lineEndsAreFoundAtEveryOffset_data()
    {
        QTest::addColumn<QByteArray>("terminator");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
        QTest::newRow("CR LF") << QByteArray("\r\n");
    }
    void lineEndsAreFoundAtEveryOffset()
    {
        QFETCH(QByteArray, terminator);
        for (int length = 0; length <= 20; ++length) {
            const QByteArray first(length, 'x');
            const QByteArray second(20 - length, 'y');
            TextInput input(
                Write(QStringLiteral("ends.txt"), first + terminator + second + terminator + "z" + terminator));
            QStringList lines;
            while (!input.AtEnd())
                lines << input.ReadLine();
            QCOMPARE(
                lines, (QStringList {QString::fromLatin1(first), QString::fromLatin1(second), QStringLiteral("z")}));
        }
    }

    void opensPathsWithChineseAndVeryLongNames()
    {
        QVERIFY(QDir().mkpath(m_dir.path() + QStringLiteral("/笔记/会议")));
        TextInput chinese(Write(QStringLiteral("笔记/会议/周一.txt"), "中文\n"));
        QCOMPARE(chinese.ReadLine(), QStringLiteral("中文"));

        // Longer than the stack buffer for plain paths: taken by the general mapping.
        const QString part(200, QLatin1Char('d'));
        QString relative;
        for (int i = 0; i < 6; ++i) {
            relative += part + QLatin1Char('/');
            QVERIFY(QDir().mkpath(m_dir.path() + QLatin1Char('/') + relative));
        }
        const QString path = Write(relative + QStringLiteral("deep.txt"), "far down\n");
        QVERIFY(path.size() > 1024);
        TextInput far(path);
        QCOMPARE(far.ReadLine(), QStringLiteral("far down"));
    }

    // Regression: a name holding a code point that stands for a raw byte must open the file
    // with that byte, so plain encoding must leave it to the general mapping.
    void aNameWithAnEscapedByteOpensTheRawByteFile()
    {
        const QByteArray rawName = QFile::encodeName(m_dir.path()) + "/raw\x85.txt";
        const int fd = ::open(rawName.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "raw byte\n", 9), ssize_t(9));
        ::close(fd);
        const QString name = m_dir.path() + QStringLiteral("/raw") + QChar(platform::NativePath::EscapeBase + 0x85)
            + QStringLiteral(".txt");
        TextInput input(name);
        QCOMPARE(input.ReadLine(), QStringLiteral("raw byte"));
    }

private:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.path() + QLatin1Char('/') + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TextInputFastPathTest)
#include "tst_textinputfastpath.moc"
