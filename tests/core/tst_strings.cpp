#include "platform/runtime/Error.h"
#include "platform/runtime/Strings.h"

#include <QTest>

using platform::Error;
using platform::ErrorCode;
using platform::Strings;
using namespace Qt::Literals::StringLiterals;

class tst_strings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void replaceAllScansLeftToRightWithoutOverlap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");

        QTest::newRow("three backslashes become two") << u"\\\\\\"_s << u"\\\\"_s << u"\\"_s << u"\\\\"_s;
        QTest::newRow("four backslashes become two") << u"\\\\\\\\"_s << u"\\\\"_s << u"\\"_s << u"\\\\"_s;
        QTest::newRow("five backslashes become three") << u"\\\\\\\\\\"_s << u"\\\\"_s << u"\\"_s << u"\\\\\\"_s;
        QTest::newRow("three slashes become two") << u"///"_s << u"//"_s << u"/"_s << u"//"_s;
        QTest::newRow("replaced text is not scanned again") << u"aabb"_s << u"ab"_s << u""_s << u"ab"_s;
        QTest::newRow("replacement holding the find text") << u"a-a"_s << u"a"_s << u"aa"_s << u"aa-aa"_s;
        QTest::newRow("comparison is exact") << u"ABab"_s << u"ab"_s << u"x"_s << u"ABx"_s;
        QTest::newRow("no occurrence") << u"notes"_s << u"//"_s << u"/"_s << u"notes"_s;
        QTest::newRow("empty find changes nothing") << u"abc"_s << u""_s << u"x"_s << u"abc"_s;
        QTest::newRow("empty text") << u""_s << u"a"_s << u"b"_s << u""_s;
        QTest::newRow("whole text") << u"中文"_s << u"中文"_s << u"x"_s << u"x"_s;
    }

    void replaceAllScansLeftToRightWithoutOverlap()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QCOMPARE(Strings::ReplaceAll(text, find, replacement), expected);
    }

    void folderPrefixEndsInOneSeparator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("expected");

        QTest::newRow("root stays root") << u"/"_s << QChar(u'/') << u"/"_s;
        QTest::newRow("folder gains a separator") << u"/home/ana"_s << QChar(u'/') << u"/home/ana/"_s;
        QTest::newRow("trailing separator not doubled") << u"/home/ana/"_s << QChar(u'/') << u"/home/ana/"_s;
        QTest::newRow("doubled separator inside collapsed") << u"/home//ana"_s << QChar(u'/') << u"/home/ana/"_s;
        QTest::newRow("tripled separator loses one") << u"/home///ana"_s << QChar(u'/') << u"/home//ana/"_s;
        QTest::newRow("empty path") << u""_s << QChar(u'/') << u"/"_s;
        QTest::newRow("leading pair collapsed with slash") << u"//server/share"_s << QChar(u'/') << u"/server/share/"_s;
        QTest::newRow("drive folder") << u"C:\\docs"_s << QChar(u'\\') << u"C:\\docs\\"_s;
        QTest::newRow("drive root") << u"C:\\"_s << QChar(u'\\') << u"C:\\"_s;
        QTest::newRow("doubled backslash inside") << u"C:\\a\\\\b"_s << QChar(u'\\') << u"C:\\a\\b\\"_s;
    }

    void folderPrefixEndsInOneSeparator()
    {
        QFETCH(QString, path);
        QFETCH(QChar, separator);
        QFETCH(QString, expected);
        QCOMPARE(Strings::FolderPrefix(path, separator), expected);
    }

    // Regression: collapsing every doubled backslash turned \\server\share into \server\share,
    // a path on the current drive, so files in network folders could not be opened.
    void networkFolderKeepsItsTwoLeadingBackslashes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");

        QTest::newRow("share") << u"\\\\server\\share"_s << u"\\\\server\\share\\"_s;
        QTest::newRow("share with trailing separator") << u"\\\\server\\share\\"_s << u"\\\\server\\share\\"_s;
        QTest::newRow("doubled separator further in") << u"\\\\server\\\\share"_s << u"\\\\server\\share\\"_s;
        QTest::newRow("three leading become two") << u"\\\\\\server"_s << u"\\\\server\\"_s;
    }

    void networkFolderKeepsItsTwoLeadingBackslashes()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(Strings::FolderPrefix(path, QChar(u'\\')), expected);
    }

    void folderPrefixUsesTheNativeSeparator()
    {
#ifdef Q_OS_WIN
        QCOMPARE(Strings::FolderPrefix(u"C:\\docs"_s), u"C:\\docs\\"_s);
#else
        QCOMPARE(Strings::NativeSeparator(), QChar(u'/'));
        QCOMPARE(Strings::FolderPrefix(u"/home/ana"_s), u"/home/ana/"_s);
        QCOMPARE(Strings::FolderPrefix(u"/"_s), u"/"_s);
#endif
    }

    void trimSpacesRemovesOnlyPlainSpaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("both ends") << u"  a b  "_s << u"a b"_s;
        QTest::newRow("tabs stay") << u"\ta\t"_s << u"\ta\t"_s;
        QTest::newRow("ideographic space stays") << u"\u3000中\u3000"_s << u"\u3000中\u3000"_s;
        QTest::newRow("line end stays") << u" a\r\n"_s << u"a\r\n"_s;
        QTest::newRow("only spaces") << u"    "_s << u""_s;
        QTest::newRow("empty") << u""_s << u""_s;
    }

    void trimSpacesRemovesOnlyPlainSpaces()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Strings::TrimSpaces(text), expected);
    }

    void leftAndRightClampLengthsPastTheEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");

        QTest::newRow("inside") << u"abcdef"_s << qsizetype(2) << u"ab"_s << u"ef"_s;
        QTest::newRow("zero") << u"abc"_s << qsizetype(0) << u""_s << u""_s;
        QTest::newRow("past the end") << u"abc"_s << qsizetype(10) << u"abc"_s << u"abc"_s;
        QTest::newRow("chinese") << u"中文笔记"_s << qsizetype(2) << u"中文"_s << u"笔记"_s;
    }

    void leftAndRightClampLengthsPastTheEnd()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, length);
        QFETCH(QString, left);
        QFETCH(QString, right);
        QCOMPARE(Strings::Left(text, length), left);
        QCOMPARE(Strings::Right(text, length), right);
        QCOMPARE(Strings::Len(text), text.size());
    }

    void negativeLengthIsAnInvalidCall()
    {
        for (auto part : {&Strings::Left, &Strings::Right}) {
            try {
                part(u"abc"_s, -1);
                QFAIL("a negative length was accepted");
            } catch (const Error& error) {
                QCOMPARE(error.code(), ErrorCode::InvalidProcedureCall);
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_strings)
#include "tst_strings.moc"
