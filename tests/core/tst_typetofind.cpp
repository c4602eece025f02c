// Typing into the file and directory lists finds a name by its start, and a Chinese name by its
// pinyin, as a Chinese input method's user types it.
#include "platform/names/HanReadings.h"
#include "platform/names/TypeToFind.h"

#include <QTest>

#include <unicode/uloc.h>
#include <unicode/utrans.h>

#include <chrono>
#include <utility>

using platform::TypedPrefix;
using platform::TypeToFind;
using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A folder's names in the order the file list shows them under a Chinese locale.
const QStringList Names {u"Alpha.txt"_s, u"diary.txt"_s, u"读书笔记.txt"_s, u"会议纪要.txt"_s, u"银行流水.txt"_s,
    u"重庆火锅.txt"_s, u"张三.txt"_s, u"章节.txt"_s};

using Keys = QList<std::pair<QString, int>>; // what is typed, at how many milliseconds

// ICU's transliteration of Chinese to pinyin without tones, one character at a time, as a
// reading of it that nobody here chose.
QString pinyinOf(char16_t character)
{
    static UTransliterator* const transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        const std::u16string id = u"Han-Latin; Latin-ASCII; Lower";
        UTransliterator* made = utrans_openU(reinterpret_cast<const UChar*>(id.data()), static_cast<int32_t>(id.size()),
            UTRANS_FORWARD, nullptr, 0, nullptr, &status);
        return U_SUCCESS(status) ? made : nullptr;
    }();
    UChar text[16] {character};
    int32_t length = 1;
    int32_t limit = 1;
    UErrorCode status = U_ZERO_ERROR;
    if (transliterator)
        utrans_transUChars(transliterator, text, &length, 16, 0, &limit, &status);
    return U_SUCCESS(status) && transliterator ? QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length)
                                               : QString();
}

} // namespace

class tst_typetofind : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typingSelectsTheFirstNameThatBeginsWithIt_data()
    {
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<int>("selected"); // before typing
        QTest::addColumn<int>("expected"); // after
        QTest::newRow("letters, case ignored") << Keys {{u"D"_s, 0}, {u"i"_s, 50}} << -1 << 1;
        QTest::newRow("whole syllables") << Keys {{u"dushu"_s, 0}} << -1 << 2;
        QTest::newRow("initials") << Keys {{u"h"_s, 0}, {u"y"_s, 80}, {u"j"_s, 160}, {u"y"_s, 240}} << -1 << 3;
        QTest::newRow("syllables and spaces") << Keys {{u"du shu bi ji"_s, 0}} << -1 << 2;
        QTest::newRow("syllables and initials mixed") << Keys {{u"dushbj"_s, 0}} << -1 << 2;
        QTest::newRow("characters typed") << Keys {{u"会议"_s, 0}} << -1 << 3;
        // 行 is first xíng, and háng in 银行; 重 is first zhòng, and chóng in 重庆.
        QTest::newRow("a heteronym's second reading") << Keys {{u"yh"_s, 0}} << -1 << 4;
        QTest::newRow("another heteronym's second reading") << Keys {{u"chongq"_s, 0}} << -1 << 5;
        QTest::newRow("nothing begins with it: the selection stays") << Keys {{u"dx"_s, 0}} << 2 << 2;
        QTest::newRow("typing on keeps a name that still fits") << Keys {{u"d"_s, 0}, {u"u"_s, 500}} << 1 << 2;
        QTest::newRow("a pause starts anew") << Keys {{u"d"_s, 0}, {u"h"_s, 1100}} << -1 << 3;
        QTest::newRow("without the pause it goes on") << Keys {{u"d"_s, 0}, {u"h"_s, 900}} << -1 << 1;
        QTest::newRow("after a pause, the next name with the letter") << Keys {{u"d"_s, 0}} << 1 << 2;
        // 重庆 (zhòng), 张三, 章节: the same letter steps from one to the next, and round the end.
        const Keys zs {{u"z"_s, 0}, {u"z"_s, 100}, {u"z"_s, 200}, {u"z"_s, 300}};
        QTest::newRow("the same letter steps on") << zs.first(3) << -1 << 7;
        QTest::newRow("and round the end") << zs << -1 << 5;
    }
    void typingSelectsTheFirstNameThatBeginsWithIt()
    {
        QFETCH(Keys, keys);
        QFETCH(int, selected);
        QFETCH(int, expected);
        std::chrono::steady_clock::time_point now {};
        TypeToFind finder(TypedPrefix::Sound::Pinyin, [&] { return now; });
        const auto start = now;
        for (const auto& [text, at] : keys) {
            now = start + std::chrono::milliseconds(at);
            if (const int row = finder.Type(text, Names, selected); row >= 0)
                selected = row;
        }
        QCOMPARE(selected, expected);
    }

    // Where names are not ordered as Chinese, a Chinese name is found by its characters only.
    void withoutChineseOnlyLettersCount()
    {
        const TypedPrefix typed(u"dsbj"_s, TypedPrefix::Sound::Ignored);
        QVERIFY(!typed.Begins(u"读书笔记.txt"_s));
        QVERIFY(typed.Begins(u"DSBJ.txt"_s));
    }

    // The names of the world's countries and regions in Chinese, as ICU's data carries them: each
    // is found by ICU's own pinyin of its characters, typed whole and as initials. A reading
    // missing from the table, or one kept with its tone, would fail here.
    void everyChineseNameOfACountryIsFoundByItsPinyin()
    {
        int checked = 0;
        for (const char* const* country = uloc_getISOCountries(); *country; ++country) {
            UChar buffer[64];
            UErrorCode status = U_ZERO_ERROR;
            const int32_t length
                = uloc_getDisplayCountry(QByteArray("und_").append(*country).constData(), "zh", buffer, 64, &status);
            const QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), length);
            if (U_FAILURE(status) || name.isEmpty() || platform::HanReadings::Of(name[0].unicode()).empty())
                continue;
            QString whole;
            QString initials;
            for (const QChar character : name) {
                const bool chinese = !platform::HanReadings::Of(character.unicode()).empty();
                const QString pinyin = chinese ? pinyinOf(character.unicode()) : QString(character);
                whole += pinyin;
                initials += pinyin.left(1);
            }
            for (const QString& typed : {whole, initials})
                QVERIFY2(TypedPrefix(typed, TypedPrefix::Sound::Pinyin).Begins(name), qPrintable(typed + u' ' + name));
            ++checked;
        }
        QVERIFY2(checked > 200, qPrintable(QString::number(checked)));
    }
};

QTEST_GUILESS_MAIN(tst_typetofind)
#include "tst_typetofind.moc"
