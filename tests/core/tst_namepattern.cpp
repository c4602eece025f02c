#include "platform/names/NamePattern.h"
#include "platform/names/NativePath.h"

#include <QTest>

using platform::NamePattern;
using namespace Qt::Literals::StringLiterals;

class tst_namepattern : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void matchesNamesCaseInsensitively_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");

        QTest::newRow("extension") << u"*.txt"_s << u"notes.txt"_s << true;
        QTest::newRow("upper-case name") << u"*.txt"_s << u"A.TXT"_s << true;
        QTest::newRow("mixed-case name") << u"*.txt"_s << u"b.Txt"_s << true;
        QTest::newRow("upper-case pattern") << u"*.TXT"_s << u"c.txt"_s << true;
        QTest::newRow("extension must end the name") << u"*.txt"_s << u"c.txt.bak"_s << false;
        QTest::newRow("no dot") << u"*.txt"_s << u"txt"_s << false;
        QTest::newRow("only the extension") << u"*.txt"_s << u".txt"_s << true;
        QTest::newRow("star matches a dot") << u"*.txt"_s << u"a.b.txt"_s << true;
        QTest::newRow("question mark is one character") << u"?.txt"_s << u"ab.txt"_s << false;
        QTest::newRow("question mark") << u"a?.txt"_s << u"ab.txt"_s << true;
        QTest::newRow("chinese") << u"笔记*"_s << u"笔记 1.txt"_s << true;
        QTest::newRow("several stars") << u"*a*b*"_s << u"xxaxxbxx"_s << true;
        QTest::newRow("several stars, missing part") << u"*a*b*c"_s << u"xxaxxbxx"_s << false;
        QTest::newRow("alternatives") << u"*.txt;*.md"_s << u"read.MD"_s << true;
        QTest::newRow("alternatives with spaces") << u"*.txt; *.md"_s << u"read.md"_s << true;
        QTest::newRow("star-dot-star matches names without a dot") << u"*.*"_s << u"README"_s << true;
        QTest::newRow("star matches everything") << u"*"_s << u"x"_s << true;
        QTest::newRow("empty pattern matches nothing") << QString() << u"x"_s << false;
        QTest::newRow("literal brackets") << u"[a].txt"_s << u"[A].txt"_s << true;
        QTest::newRow("brackets are no class") << u"[a].txt"_s << u"a.txt"_s << false;
        QTest::newRow("greek capital") << u"*.txt"_s << u"ΣΗΜΕΙΩΣΕΙΣ.TXT"_s << true;
        QTest::newRow("case outside the basic plane") << u"\U00010428*"_s << u"\U00010400.txt"_s << true;
        QTest::newRow("gbk name matched by what it shows")
            << u"中*"_s << platform::NativePath::LegacyMarker + u"中文.txt"_s << true;
    }

    void matchesNamesCaseInsensitively()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(NamePattern(pattern).Matches(name), matches);
    }

    // Naive recursive matching takes exponential time on many stars; a name typed into a
    // pattern must never freeze the list.
    void manyStarsStayQuick()
    {
        QString pattern = QString(u"*a"_s).repeated(30) + u"b"_s;
        QString name(5000, u'a');
        QVERIFY(!NamePattern(pattern).Matches(name));
    }
};

QTEST_GUILESS_MAIN(tst_namepattern)
#include "tst_namepattern.moc"
