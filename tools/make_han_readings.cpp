// Makes the table of Mandarin readings that the file and directory lists find Chinese names by,
// from the Unihan database's readings (in Debian's unicode-data, unpacked by cmake/Unihan.cmake)
// at build time, so that the readings come from the Unicode Consortium's data and never from a
// table typed by hand here.
//
//   make_han_readings <folder of the unpacked Unihan_*.txt> <output.inc>
//
// Which readings a character gets: a reader types what the character is read as today, and any
// of its readings, since a name is found by whichever one its writer meant (重庆 is chóng qìng,
// though 重 alone is first zhòng). So a character gets the readings of the modern sources:
// kMandarin (the usual reading), kHanyuPinlu (readings met in a corpus of texts), kXHC1983 and
// kTGHZ2013 (the two standard dictionaries of today's language). kHanyuPinyin, the great
// historical dictionary, lists readings nobody uses any more beside the modern ones; it counts
// only for characters that neither modern dictionary holds, where it is all there is.
//
// Readings lose their tone marks, as they are typed; ü is kept both as v, as pinyin input
// methods type it, and as u. The output is C++ included by platform/names/HanReadings.cpp: the
// syllables, each character's set of syllables, and a two-level index from a code point to its
// set (pages of 256 code points, equal pages stored once), read in constant time.
#include "tools/unihan/UnihanFields.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

constexpr char32_t FirstCode = 0x3400;
constexpr int PageSize = 256;

// "huì", "0505.010:huì", "10602.010:hè,hé,huò", "huì(6866)": the readings of one value's word.
QStringList readingsOfWord(QString word)
{
    word = word.section(u':', -1);
    word = word.section(u'(', 0, 0);
    return word.split(u',', Qt::SkipEmptyParts);
}

// A reading as it is typed: lower case, tone marks gone, ü as v and as u.
QStringList typed(const QString& reading)
{
    QByteArray withV;
    QByteArray withU;
    const QString decomposed = reading.normalized(QString::NormalizationForm_D).toLower();
    for (qsizetype at = 0; at < decomposed.size(); ++at) {
        const char16_t code = decomposed[at].unicode();
        const bool diaeresisFollows = at + 1 < decomposed.size() && decomposed[at + 1].unicode() == 0x0308;
        if (code == u'u' && diaeresisFollows) {
            withV += 'v';
            withU += 'u';
        } else if (code >= u'a' && code <= u'z') {
            withV += static_cast<char>(code);
            withU += static_cast<char>(code);
        }
        // Everything else is a combining tone mark (or the diaeresis just handled).
    }
    QStringList forms {QString::fromLatin1(withV)};
    if (withU != withV)
        forms << QString::fromLatin1(withU);
    return forms;
}

struct Character {
    QStringList readings; // in the order met, each once
    bool inModernDictionary {false};

    void add(const QString& value)
    {
        for (const QString& word : value.split(u' ', Qt::SkipEmptyParts)) {
            for (const QString& reading : readingsOfWord(word)) {
                for (const QString& form : typed(reading)) {
                    if (!form.isEmpty() && !readings.contains(form))
                        readings << form;
                }
            }
        }
    }
};

// The sources of today's readings, kMandarin's usual one first; the two dictionaries among them.
const QStringList ModernFields {QStringLiteral("kMandarin"), QStringLiteral("kHanyuPinlu"), QStringLiteral("kXHC1983"),
    QStringLiteral("kTGHZ2013")};
const QStringList Dictionaries {QStringLiteral("kXHC1983"), QStringLiteral("kTGHZ2013")};
const QString Historical = QStringLiteral("kHanyuPinyin");

QMap<char32_t, Character> charactersOf(const platform::UnihanFields& unihan)
{
    QMap<char32_t, Character> characters;
    for (const QString& field : ModernFields) {
        const QHash<char32_t, QString>& values = unihan.All(field);
        for (auto value = values.cbegin(); value != values.cend(); ++value) {
            if (value.key() < FirstCode)
                continue;
            Character& character = characters[value.key()];
            character.add(value.value());
            character.inModernDictionary |= Dictionaries.contains(field);
        }
    }
    const QHash<char32_t, QString>& historical = unihan.All(Historical);
    for (auto value = historical.cbegin(); value != historical.cend(); ++value) {
        if (value.key() < FirstCode)
            continue;
        Character& character = characters[value.key()];
        if (!character.inModernDictionary)
            character.add(value.value());
    }
    return characters;
}

void write(std::FILE* out, const QMap<char32_t, Character>& characters)
{
    std::set<QString> allSyllables;
    for (const Character& character : characters)
        allSyllables.insert(character.readings.begin(), character.readings.end());
    QHash<QString, int> syllableId;
    std::fprintf(out, "// Made by tools/make_han_readings from the Unihan database; not to be edited.\n\n");
    std::fprintf(out, "constexpr std::string_view Syllables[] = {\n");
    for (const QString& syllable : allSyllables) {
        syllableId.insert(syllable, static_cast<int>(syllableId.size()));
        std::fprintf(out, "    \"%s\",\n", qPrintable(syllable));
    }
    std::fprintf(out, "};\n\n");

    // Each set is its count followed by its syllables; offset 0 holds the empty set.
    QList<int> sets {0};
    QHash<QList<int>, int> setOffset;
    QMap<char32_t, int> offsetOf;
    for (auto it = characters.begin(); it != characters.end(); ++it) {
        QList<int> ids;
        for (const QString& reading : it->readings)
            ids << syllableId.value(reading);
        if (ids.isEmpty())
            continue;
        auto found = setOffset.constFind(ids);
        if (found == setOffset.constEnd()) {
            found = setOffset.insert(ids, static_cast<int>(sets.size()));
            sets << static_cast<int>(ids.size()) << ids;
        }
        offsetOf.insert(it.key(), *found);
    }
    if (sets.size() > 0xFFFF) {
        std::fprintf(
            stderr, "make_han_readings: %lld set entries do not fit 16 bits\n", static_cast<long long>(sets.size()));
        std::exit(1);
    }
    std::fprintf(out, "constexpr std::uint16_t ReadingSets[] = {");
    for (qsizetype at = 0; at < sets.size(); ++at)
        std::fprintf(out, "%s%d,", at % 24 == 0 ? "\n    " : " ", sets[at]);
    std::fprintf(out, "\n};\n\n");

    const char32_t last = offsetOf.isEmpty() ? FirstCode : offsetOf.lastKey();
    const int pageCount = static_cast<int>((last - FirstCode) / PageSize + 1);
    QList<QList<int>> pages {QList<int>(PageSize, 0)};
    QHash<QList<int>, int> pageIndex {{pages.front(), 0}};
    QList<int> pageOf;
    for (int page = 0; page < pageCount; ++page) {
        QList<int> entries(PageSize, 0);
        for (int slot = 0; slot < PageSize; ++slot)
            entries[slot] = offsetOf.value(FirstCode + static_cast<char32_t>(page * PageSize + slot), 0);
        auto found = pageIndex.constFind(entries);
        if (found == pageIndex.constEnd()) {
            found = pageIndex.insert(entries, static_cast<int>(pages.size()));
            pages << entries;
        }
        pageOf << *found;
    }
    std::fprintf(out, "constexpr char32_t FirstCode = 0x%X;\nconstexpr int PageSize = %d;\n\n",
        static_cast<unsigned>(FirstCode), PageSize);
    std::fprintf(out, "constexpr std::uint16_t PageOf[] = {");
    for (qsizetype at = 0; at < pageOf.size(); ++at)
        std::fprintf(out, "%s%d,", at % 24 == 0 ? "\n    " : " ", pageOf[at]);
    std::fprintf(out, "\n};\n\n");
    std::fprintf(out, "constexpr std::uint16_t Pages[][PageSize] = {\n");
    for (const QList<int>& page : pages) {
        std::fprintf(out, "    {");
        for (qsizetype at = 0; at < page.size(); ++at)
            std::fprintf(out, "%s%d,", at % 24 == 0 ? "\n        " : " ", page[at]);
        std::fprintf(out, "\n    },\n");
    }
    std::fprintf(out, "};\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_han_readings <folder of Unihan_*.txt> <output.inc>\n");
        return 2;
    }
    const platform::UnihanFields unihan(QString::fromLocal8Bit(argv[1]), QStringList(ModernFields) << Historical);
    const QMap<char32_t, Character> characters = charactersOf(unihan);
    if (!unihan.Complete() || characters.size() < 20000) {
        std::fprintf(stderr, "make_han_readings: %s holds readings of %lld characters only\n", argv[1],
            static_cast<long long>(characters.size()));
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out)
        return 1;
    write(out, characters);
    return std::fclose(out) == 0 ? 0 : 1;
}
