// Which code page a note or a folder's names were written in. The notes are real text nobody
// here wrote: the names of the world's countries in the translations of Debian's iso-codes
// (scripts/install-deps --test), each encoded in a legacy code page of its language. These
// are the short texts (two to a dozen characters) where guessing is hardest, and the names
// files get.
#include "platform/codepages/CodePageGuess.h"
#include "platform/codepages/training/MessageCatalog.h"
#include "platform/names/Utf8.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using platform::CodePageGuess;
using namespace Qt::Literals::StringLiterals;

namespace {

struct Name {
    QString text;
    QByteArray bytes;
};

bool IsUtf8(const QByteArray& bytes)
{
    return platform::Utf8::Check(reinterpret_cast<const unsigned char*>(bytes.constData()), std::size_t(bytes.size()))
        == platform::Utf8::Status::Valid;
}

// The names of an iso-codes catalog in one language that are not ASCII, that the code page
// holds and whose bytes are not UTF-8 (those never reach the guess), of minLength to maxLength
// characters. A missing catalog fails the test that asks: the rows would be empty, not passed.
QList<Name> Names(const QString& catalog, const QString& language, const char* codePage, qsizetype minLength,
    qsizetype maxLength, bool utf8 = false)
{
    const QString path = u"/usr/share/locale/"_s + language + u"/LC_MESSAGES/"_s + catalog + u".mo"_s;
    const QStringList translations = platform::codepages::MessageCatalog::Translations(path);
    [&] { QVERIFY2(translations.size() > 100, qPrintable(path + u" is missing: install iso-codes"_s)); }();
    QList<Name> names;
    for (const QString& text : translations) {
        QStringEncoder encoder(codePage, QStringConverter::Flag::Stateless);
        const QByteArray bytes = encoder.encode(text);
        if (text.size() >= minLength && text.size() <= maxLength && !encoder.hasError() && (utf8 || !IsUtf8(bytes)))
            names.append({text, bytes});
    }
    return names;
}

// The names of the world's countries.
QList<Name> CountryNames(
    const QString& language, const char* codePage, qsizetype minLength, qsizetype maxLength, bool utf8 = false)
{
    return Names(u"iso_3166-1"_s, language, codePage, minLength, maxLength, utf8);
}

QString Decoded(const QByteArray& bytes, const char* codePage)
{
    QStringDecoder decoder(codePage, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

// The names that the guess, under the prior, reads as other text, each with the page it chose;
// each name is a note of its own, followed by lineEnd.
QStringList Misread(const QList<Name>& names, const char* prior, const QByteArray& lineEnd = {})
{
    QStringList misread;
    for (const Name& name : names) {
        const char* guess = CodePageGuess::ForNote(QByteArray(name.bytes + lineEnd), prior);
        if (Decoded(name.bytes, guess) != name.text)
            misread << name.text + u" as "_s + QString::fromLatin1(guess);
    }
    return misread;
}

// Fails unless there were enough names to judge by and at most (100 - percentRight) % of them
// were misread, naming those.
void VerifyShareRight(qsizetype names, const QStringList& misread, int percentRight)
{
    QVERIFY2(names > 20 && misread.size() * 100 <= (100 - percentRight) * names,
        qPrintable(
            QString::number(misread.size()) + u" of "_s + QString::number(names) + u": "_s + misread.join(u", "_s)));
}

} // namespace

class tst_codepageguess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each row: the names of a language in a code page, read under a locale's code page, and
    // the share that must read right. Where the page is the locale's own, every name must stay
    // in it, the shortest included: what reads right today keeps reading right. Names in
    // another page must read in it once they are long enough to tell, as the accuracy bench
    // measures on a larger corpus; a name of four characters is barely that.
    void countryNamesReadInTheirOwnCodePage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("codePage");
        QTest::addColumn<QByteArray>("prior");
        QTest::addColumn<int>("minLength");
        QTest::addColumn<int>("percentRight");
        const auto row = [](const char* language, const char* page, const char* prior, int length, int percent) {
            QTest::addRow("%s in %s under %s", language, page, prior)
                << QString::fromLatin1(language) << QByteArray(page) << QByteArray(prior) << length << percent;
        };
        row("zh_CN", "GB18030", "GB18030", 1, 100);
        row("zh_TW", "Big5-HKSCS", "Big5-HKSCS", 1, 100);
        row("ja", "Shift_JIS", "Shift_JIS", 1, 100);
        row("ko", "windows-949", "windows-949", 1, 100);
        row("ru", "windows-1251", "windows-1251", 1, 100);
        row("de", "windows-1252", "windows-1252", 1, 100);
        row("zh_TW", "Big5-HKSCS", "GB18030", 4, 97);
        row("zh_CN", "GB18030", "Big5-HKSCS", 4, 80);
        row("ja", "Shift_JIS", "GB18030", 4, 98);
        row("ja", "EUC-JP", "GB18030", 4, 95);
        // Regression: katakana in EUC-JP read in Big5 as common Han characters, well enough for
        // the judge to try no other page.
        row("ja", "EUC-JP", "Big5-HKSCS", 6, 99);
        row("ko", "windows-949", "GB18030", 4, 80);
        row("zh_CN", "GB18030", "Shift_JIS", 4, 90);
        row("ru", "windows-1251", "GB18030", 8, 98);
        row("ru", "KOI8-R", "windows-1251", 8, 95);
        row("el", "windows-1253", "windows-1252", 8, 98);
        // Regression: a Turkish name read in Windows-1252 is text that Czech and Slovak write in
        // Windows-1250 ("Adasý"), and that reading was given the whole margin of the locale's page.
        row("tr", "windows-1254", "windows-1252", 8, 75);
    }
    void countryNamesReadInTheirOwnCodePage()
    {
        QFETCH(QString, language);
        QFETCH(QByteArray, codePage);
        QFETCH(QByteArray, prior);
        QFETCH(int, minLength);
        QFETCH(int, percentRight);
        const QList<Name> names = CountryNames(language, codePage.constData(), minLength, 1000);
        VerifyShareRight(names.size(), Misread(names, prior.constData()), percentRight);
    }

    // Regression: the four characters of a mainland place name, "斯莱戈郡" in GBK, read in Big5
    // as four traditional characters as common one by one, "佴應資縣", and the name left the
    // locale's page, as did three more; no word of Chinese joins those characters. Each row:
    // the names of the world's regions in a language's page, under that page, and how many may
    // leave it: three transliterations ("奥洛穆茨") read in EUC-JP as common kanji, which
    // only a model of whole words would tell apart.
    void regionNamesStayInTheLocalesPage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("codePage");
        QTest::addColumn<int>("misreadAtMost");
        QTest::newRow("Simplified Chinese") << u"zh_CN"_s << "GB18030"_ba << 3;
        QTest::newRow("Traditional Chinese") << u"zh_TW"_s << "Big5-HKSCS"_ba << 0;
        QTest::newRow("Japanese") << u"ja"_s << "Shift_JIS"_ba << 0;
    }
    void regionNamesStayInTheLocalesPage()
    {
        QFETCH(QString, language);
        QFETCH(QByteArray, codePage);
        QFETCH(int, misreadAtMost);
        const QList<Name> names = Names(u"iso_3166-2"_s, language, codePage.constData(), 1, 1000);
        const QStringList misread = Misread(names, codePage.constData());
        QVERIFY2(names.size() > 100 && misread.size() <= misreadAtMost, qPrintable(misread.join(u", "_s)));
    }

    // Regression: a Turkish line of Latin letters with one "ı", "ş" or "ğ" of its own reads in
    // Windows-1252 as a word holding "ý", "þ" or "ð", which no language of that page writes;
    // one such letter cost less than the margin of the locale's page, and a quarter of these
    // names ("Andaman ve Nicobar Adaları") stayed in it. Each row: the names of regions of 16
    // characters and more, in a page, under a locale's page, and the share that must read
    // right. The German names hold Icelandic ones ("Norðurland eystra"), whose letters are
    // the Turkish ones read in Windows-1252: they keep the locale's page as often as before,
    // but for one.
    void longNamesReadInTheirOwnCodePage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("codePage");
        QTest::addColumn<QByteArray>("prior");
        QTest::addColumn<int>("percentRight");
        QTest::newRow("Turkish under German") << u"tr"_s << "windows-1254"_ba
                                              << "windows-1252"_ba << 85;
        QTest::newRow("German under German") << u"de"_s << "windows-1252"_ba
                                             << "windows-1252"_ba << 94;
    }
    void longNamesReadInTheirOwnCodePage()
    {
        QFETCH(QString, language);
        QFETCH(QByteArray, codePage);
        QFETCH(QByteArray, prior);
        QFETCH(int, percentRight);
        const QList<Name> names = Names(u"iso_3166-2"_s, language, codePage.constData(), 16, 1000);
        VerifyShareRight(names.size(), Misread(names, prior.constData(), "\n"), percentRight);
    }

    // Regression: each language's translations use their own few typographic quotes, so every
    // Korean name of two or three syllables in quotes, in the locale's own page, read as GBK,
    // and one Japanese name in five as Korean. Each row: a language's short names, quoted, in
    // its locale's page, and the share that must stay there. Quotes leave a Korean name of two
    // syllables less margin, and a few of those read as common Chinese still.
    void aQuotedNameStaysInTheLocalesPage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("codePage");
        QTest::addColumn<int>("percentRight");
        QTest::newRow("Japanese") << u"ja"_s << "Shift_JIS"_ba << 100;
        QTest::newRow("Korean") << u"ko"_s << "windows-949"_ba << 95;
        QTest::newRow("Simplified Chinese") << u"zh_CN"_s << "GB18030"_ba << 100;
        QTest::newRow("Traditional Chinese") << u"zh_TW"_s << "Big5-HKSCS"_ba << 100;
    }
    void aQuotedNameStaysInTheLocalesPage()
    {
        QFETCH(QString, language);
        QFETCH(QByteArray, codePage);
        QFETCH(int, percentRight);
        QStringList misread;
        const QList<Name> names = CountryNames(language, codePage.constData(), 2, 3);
        for (const Name& name : names) {
            QStringEncoder encoder(codePage.constData(), QStringConverter::Flag::Stateless);
            const QByteArray bytes = encoder.encode(u"“"_s + name.text + u"”"_s);
            if (QByteArrayView(CodePageGuess::ForNote(bytes, codePage.constData())) != codePage)
                misread << name.text;
        }
        VerifyShareRight(names.size(), misread, percentRight);
    }

    // A short note of the locale's code page that another page reads too stays in the
    // locale's: two GBK characters are valid Big5 as often as not, and a reader in mainland
    // China wrote them in GBK.
    void shortNotesValidInTwoPagesStayInTheLocalesPage()
    {
        int valid = 0;
        for (const Name& name : CountryNames(u"zh_CN"_s, "GB18030", 2, 2)) {
            QStringDecoder big5("Big5-HKSCS", QStringConverter::Flag::Stateless);
            const QString asBig5 = big5.decode(name.bytes);
            if (big5.hasError() || asBig5 == name.text)
                continue;
            ++valid;
            QCOMPARE(CodePageGuess::ForNote(name.bytes, "GB18030"), "GB18030");
        }
        QVERIFY(valid > 5);
    }

    // Regression: a stateless converter drops a lead byte at the end of the bytes without a
    // trace, so a Windows-1252 note ending in "ä" read as GB18030 with nothing amiss.
    void aNoteEndingInALeadByteKeepsItsSinglebytePage()
    {
        int cut = 0;
        for (const Name& name : CountryNames(u"de"_s, "windows-1252", 1, 1000)) {
            const qsizetype accent = std::find_if(name.text.begin(), name.text.end(), [](QChar c) {
                return c.unicode() >= 0x80;
            }) - name.text.begin();
            if (accent < 1)
                continue;
            ++cut;
            QCOMPARE(CodePageGuess::ForNote(name.bytes.first(accent + 1), "windows-1252"), "windows-1252");
        }
        QVERIFY(cut > 5);
    }

    // Regression: a line whose last character is cut short by the line's end is no UTF-8, as
    // the text input judges it, yet the guess took it for UTF-8 and kept the prior without
    // judging: a Windows-1252 line ending in "ä" or "é" read as GB18030 under a mainland locale.
    void aLineEndingInACutCharacterIsJudged_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("German") << u"de"_s;
        QTest::newRow("French") << u"fr"_s;
    }
    void aLineEndingInACutCharacterIsJudged()
    {
        QFETCH(QString, language);
        int judged = 0;
        QStringList misread;
        for (const Name& name : CountryNames(language, "windows-1252", 6, 1000)) {
            // The name up to its first letter that is not ASCII, ended there: one byte each.
            const qsizetype letter = std::find_if(name.text.begin(), name.text.end(), [](QChar c) {
                return c.unicode() >= 0x80;
            }) - name.text.begin();
            const QByteArray line = name.bytes.first(std::min(letter + 1, name.bytes.size())) + '\n';
            const auto* bytes = reinterpret_cast<const unsigned char*>(line.constData());
            if (letter < 5
                || platform::Utf8::Check(bytes, std::size_t(line.size() - 1)) != platform::Utf8::Status::CutShort)
                continue;
            ++judged;
            if (Decoded(line, CodePageGuess::ForNote(line, "GB18030")) != name.text.first(letter + 1) + u'\n')
                misread << name.text.first(letter + 1);
        }
        // Cut after its first accented letter, a name is often only that letter after ASCII,
        // which Windows-1250 reads as well: three in four is what such a line gets.
        QVERIFY2(judged > 5 && misread.size() * 4 <= judged,
            qPrintable(QString::number(misread.size()) + u" of "_s + QString::number(judged) + u": "_s
                + misread.join(u", "_s)));
    }

    void textEveryPageReadsAlikeStaysInThePrior_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ASCII") << "Angola\r\nAndorra\n"_ba;
        QTest::newRow("UTF-8") << u"阿富汗\n"_s.toUtf8();
        QTest::newRow("nothing") << QByteArray();
    }
    void textEveryPageReadsAlikeStaysInThePrior()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(CodePageGuess::ForNote(bytes, "windows-1251"), "windows-1251");
    }

    // UTF-16 without a byte-order mark shows by its zero bytes: every ASCII character has one.
    void utf16WithoutAMarkShowsByItsZeroBytes_data()
    {
        QTest::addColumn<QByteArray>("codePage");
        QTest::newRow("little-endian") << "UTF-16LE"_ba;
        QTest::newRow("big-endian") << "UTF-16BE"_ba;
    }
    void utf16WithoutAMarkShowsByItsZeroBytes()
    {
        QFETCH(QByteArray, codePage);
        // Latin letters in UTF-16 are often valid UTF-8 too, and the guess must not mind.
        const QList<Name> names = CountryNames(u"de"_s, codePage.constData(), 6, 1000, true);
        QVERIFY(names.size() > 100);
        for (const Name& name : names)
            QCOMPARE(QByteArray(CodePageGuess::ForNote(name.bytes, "GB18030")), codePage);
    }

    // The legacy names of a folder are judged together: one or two names from another source
    // do not turn the rest, and names in UTF-8 do not count.
    void aFoldersNamesAreReadInTheCodePageMostOfThemUse_data()
    {
        QTest::addColumn<QByteArray>("most");
        QTest::addColumn<QByteArray>("prior");
        QTest::newRow("Big5 names under zh_CN") << "Big5-HKSCS"_ba
                                                << "GB18030"_ba;
        QTest::newRow("GBK names under zh_TW") << "GB18030"_ba
                                               << "Big5-HKSCS"_ba;
    }
    void aFoldersNamesAreReadInTheCodePageMostOfThemUse()
    {
        QFETCH(QByteArray, most);
        QFETCH(QByteArray, prior);
        const bool big5 = most == "Big5-HKSCS";
        QList<QByteArray> names;
        for (const Name& name : CountryNames(big5 ? u"zh_TW"_s : u"zh_CN"_s, most.constData(), 2, 4).first(12))
            names << name.bytes + ".txt";
        for (const Name& name : CountryNames(big5 ? u"zh_CN"_s : u"zh_TW"_s, prior.constData(), 2, 4).first(2))
            names << name.bytes + ".txt";
        names << u"阿富汗.txt"_s.toUtf8() << "notes.txt";
        QCOMPARE(CodePageGuess::ForNames(names, prior.constData()), most.constData());
        QCOMPARE(
            CodePageGuess::ForNames({"notes.txt", u"阿富汗.txt"_s.toUtf8()}, prior.constData()), prior.constData());
    }
};

QTEST_GUILESS_MAIN(tst_codepageguess)
#include "tst_codepageguess.moc"
