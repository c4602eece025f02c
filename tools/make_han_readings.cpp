// Makes the table of Mandarin readings that the file and directory lists find Chinese names by,
// from the Unihan database's readings (Unihan_Readings.txt, in Debian's unicode-data), at build
// time, so that the readings come from the Unicode Consortium's data and never from a table
// typed by hand here.
//
//   make_han_readings <Unihan_Readings.txt or Unihan_Readings.txt.bz2> <output.inc>
//
// A compressed file is read through bzip2, which every Debian build machine has with dpkg-dev.
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
#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <set>

namespace {

constexpr char32_t FirstCode = 0x3400;
constexpr int PageSize = 256;

QByteArray readAll(const QString& path)
{
    if (path.endsWith(QLatin1String(".bz2"))) {
        QProcess bzip2;
        bzip2.start(QStringLiteral("bzip2"), {QStringLiteral("-dc"), path});
        if (!bzip2.waitForFinished(-1) || bzip2.exitStatus() != QProcess::NormalExit || bzip2.exitCode() != 0)
            return {};
        return bzip2.readAllStandardOutput();
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
    QStringList historical; // kHanyuPinyin's
    bool inModernDictionary {false};

    void add(QStringList& into, const QString& value)
    {
        for (const QString& word : value.split(u' ', Qt::SkipEmptyParts)) {
            for (const QString& reading : readingsOfWord(word)) {
                for (const QString& form : typed(reading)) {
                    if (!form.isEmpty() && !into.contains(form))
                        into << form;
                }
            }
        }
    }
};

QMap<char32_t, Character> parse(const QByteArray& data)
{
    QMap<char32_t, Character> characters;
    for (const QByteArray& line : data.split('\n')) {
        if (!line.startsWith("U+"))
            continue;
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 3)
            continue;
        bool ok = false;
        const auto code = static_cast<char32_t>(fields[0].mid(2).toUInt(&ok, 16));
        if (!ok || code < FirstCode)
            continue;
        const QByteArray& field = fields[1];
        const QString value = QString::fromUtf8(fields[2]).trimmed();
        if (field == "kHanyuPinyin") {
            characters[code].add(characters[code].historical, value);
        } else if (field == "kMandarin" || field == "kHanyuPinlu" || field == "kXHC1983" || field == "kTGHZ2013") {
            Character& character = characters[code];
            character.add(character.readings, value);
            character.inModernDictionary |= field == "kXHC1983" || field == "kTGHZ2013";
        }
    }
    for (Character& character : characters) {
        if (character.inModernDictionary)
            continue;
        for (const QString& reading : character.historical) {
            if (!character.readings.contains(reading))
                character.readings << reading;
        }
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
        std::fprintf(stderr, "usage: make_han_readings <Unihan_Readings.txt[.bz2]> <output.inc>\n");
        return 2;
    }
    const QByteArray data = readAll(QString::fromLocal8Bit(argv[1]));
    const QMap<char32_t, Character> characters = parse(data);
    if (characters.size() < 20000) {
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
