// Accuracy and cost of the code page guess. Notes of 2 to 32 characters are cut from real text
// found on this machine, translations nobody here wrote (gettext catalogs), each a first line
// encoded in the legacy code pages of its language; for each locale the share read right is
// printed for the guess, for today's rule (always the locale's code page), for ICU's charset
// detector and for uchardet. Read right means what the program would show: bytes that are
// valid UTF-8 are read as UTF-8 whatever the guess (each row counts them last), the rest in
// the code page chosen.
//
// The catalogs the language models learn from (TrainingCatalogs) are left out, with every
// message they hold; the rest are split by file name into two halves, one to tune on
// (--part tune) and one to measure on (the default), so that no figure is measured on text the
// guess was tuned or trained on.
//   bench_codepages [--part measure|tune] [--count N] [--locale zh_CN.UTF-8] [--speed-only]
#include "platform/codepages/CodePageGuess.h"
#include "platform/codepages/training/MessageCatalog.h"
#include "platform/codepages/training/TrainingCatalogs.h"
#include "platform/names/LegacyCodePage.h"
#include "platform/names/Utf8.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <uchardet/uchardet.h>
#include <unicode/ucsdet.h>

#include <cstdio>
#include <map>
#include <random>

using platform::CodePageGuess;
using namespace platform::codepages;

namespace {

struct Language {
    const char* folder;
    QList<const char*> pages;
    bool latin; // written in Latin letters: a note needs only one letter that is not ASCII
    bool alphabet; // written in letters, whose targets count letters rather than characters
};

const QList<Language> Languages {{"zh_CN", {"GB18030"}, false, false}, {"zh_TW", {"Big5-HKSCS"}, false, false},
    {"ja", {"Shift_JIS", "EUC-JP"}, false, false}, {"ko", {"windows-949"}, false, false},
    {"ru", {"windows-1251", "KOI8-R"}, false, true}, {"uk", {"windows-1251"}, false, true},
    {"el", {"windows-1253"}, false, true}, {"de", {"windows-1252"}, true, true}, {"fr", {"windows-1252"}, true, true},
    {"tr", {"windows-1254"}, true, true}, {"pl", {"windows-1250"}, true, true}};
// The targets of the languages written in letters start at this many letters; a note of 32
// characters with its spaces and punctuation may hold fewer, so they are counted apart.
constexpr int TargetLetters = 20;
// Those of Chinese, Japanese and Korean count Han, kana and Hangul characters, of which a note
// of 4 characters ("警告: ") may hold only two: the notes of 4 that are all such characters are
// counted apart too.
constexpr int TargetIdeographs = 4;

bool IsIdeograph(QChar c)
{
    return c.unicode() >= 0x3000 && c.isLetter();
}
const QList<const char*> Locales {
    "zh_CN.UTF-8", "zh_TW.UTF-8", "ja_JP.UTF-8", "ko_KR.UTF-8", "ru_RU.UTF-8", "de_DE.UTF-8", "C"};
const QList<int> Lengths {2, 4, 8, 16, 32};
const char* const Methods[] {"guess", "today", "ICU", "uchardet"};
constexpr int MethodCount = 4;
bool Show = false;

struct Note {
    QString text;
    QByteArray bytes;
};

// Notes of one language and length: a random catalog of the half, a random message of it,
// a random place in it. A note starts with a letter; in a language not written in Latin
// letters at least half of it is not ASCII, in the others at least one letter is not.
QList<QString> Cut(const QList<QStringList>& catalogs, const Language& language, int length, int count)
{
    std::mt19937 random(unsigned(length * 7919 + qHash(QByteArray(language.folder), 0) % 1000));
    QList<QString> notes;
    for (int tries = 0; notes.size() < count && tries < count * 100 && !catalogs.isEmpty(); ++tries) {
        const QStringList& catalog = catalogs[random() % catalogs.size()];
        if (catalog.isEmpty())
            continue;
        const QString& message = catalog[random() % catalog.size()];
        if (message.size() < length)
            continue;
        const QString note = message.mid(random() % (message.size() - length + 1), length);
        const auto high = std::count_if(note.begin(), note.end(), [](QChar c) { return c.unicode() >= 0x80; });
        if (!note[0].isLetter() || high == 0 || (!language.latin && 2 * high < length))
            continue;
        notes.append(note);
    }
    return notes;
}

QList<QStringList> Catalogs(const QString& folder, bool tune)
{
    QSet<QString> trained;
    for (const QString& path : TrainingCatalogs::Of(QStringLiteral("/usr/share/locale"), folder)) {
        const QStringList messages = MessageCatalog::Translations(path);
        trained.unite(QSet<QString>(messages.begin(), messages.end()));
    }
    QList<QStringList> catalogs;
    const QDir directory(QStringLiteral("/usr/share/locale/") + folder + QStringLiteral("/LC_MESSAGES"));
    for (const QString& name : directory.entryList({QStringLiteral("*.mo")}, QDir::Files, QDir::Name)) {
        if (TrainingCatalogs::Holds(name) || bool(qChecksum(name.toUtf8()) & 1) != tune)
            continue;
        QStringList messages;
        for (const QString& message : MessageCatalog::Translations(directory.filePath(name))) {
            if (!trained.contains(message))
                messages.append(message);
        }
        catalogs.append(messages);
    }
    return catalogs;
}

bool IsUtf8(const QByteArray& bytes)
{
    return platform::Utf8::Check(reinterpret_cast<const unsigned char*>(bytes.constData()), std::size_t(bytes.size()))
        == platform::Utf8::Status::Valid;
}

// What the program shows for the bytes when the guess names codePage (or nothing).
bool ReadsRight(const Note& note, const QByteArray& codePage)
{
    if (IsUtf8(note.bytes))
        return QString::fromUtf8(note.bytes) == note.text;
    QStringDecoder decoder(codePage.constData(), QStringConverter::Flag::Stateless);
    return decoder.isValid() && QString(decoder.decode(note.bytes)) == note.text;
}

QByteArray IcuGuess(const QByteArray& bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    UCharsetDetector* detector = ucsdet_open(&status);
    ucsdet_setText(detector, bytes.constData(), int32_t(bytes.size()), &status);
    const UCharsetMatch* match = ucsdet_detect(detector, &status);
    QByteArray name = match && U_SUCCESS(status) ? QByteArray(ucsdet_getName(match, &status)) : QByteArray();
    ucsdet_close(detector);
    return name;
}

QByteArray UchardetGuess(const QByteArray& bytes)
{
    uchardet_t detector = uchardet_new();
    uchardet_handle_data(detector, bytes.constData(), std::size_t(bytes.size()));
    uchardet_data_end(detector);
    QByteArray name(uchardet_get_charset(detector));
    uchardet_delete(detector);
    return name;
}

// The code page each method names for the bytes; a detector that names none leaves the prior.
QByteArray Guess(int method, const QByteArray& bytes, const char* prior)
{
    QByteArray name;
    switch (method) {
    case 0:
        name = CodePageGuess::ForNote(bytes, prior);
        break;
    case 2:
        name = IcuGuess(bytes);
        break;
    case 3:
        name = UchardetGuess(bytes);
        break;
    default:
        break;
    }
    return name.isEmpty() ? QByteArray(prior) : name;
}

using Key = std::pair<int, int>; // language and page, length
struct Tally {
    int right[MethodCount] {};
    int total {0};
};

void Measure(const std::map<std::pair<int, int>, std::map<int, QList<Note>>>& notes, const char* locale)
{
    const char* prior = platform::LegacyCodePage::ForEnvironment({}, {}, locale);
    std::printf("\n%s (prior %s): share read right, %%, at 2 4 8 16 32 characters\n", locale, prior);
    std::printf(
        "%-6s %-12s | %-29s | %-29s | %-29s | %-29s\n", "", "page", Methods[0], Methods[1], Methods[2], Methods[3]);
    for (const auto& [row, byLength] : notes) {
        const Language& language = Languages[row.first];
        std::printf("%-6s %-12s", language.folder, language.pages[row.second]);
        QList<Tally> tallies;
        QList<int> counts;
        QList<int> utf8;
        Tally lettered; // the notes of TargetLetters letters or more, of every length
        Tally ideographs; // the notes of TargetIdeographs characters, each Han, kana or Hangul
        for (const auto& [length, list] : byLength) {
            Tally tally;
            for (const Note& note : list) {
                ++tally.total;
                const bool right = ReadsRight(note, Guess(0, note.bytes, prior));
                if (Show && !right)
                    std::printf("\n    [%s] %s -> %s", qPrintable(note.text.chopped(1)), language.pages[row.second],
                        Guess(0, note.bytes, prior).constData());
                if (std::count_if(note.text.begin(), note.text.end(), [](QChar c) { return c.isLetter(); })
                    >= TargetLetters) {
                    ++lettered.total;
                    lettered.right[0] += right;
                }
                if (length == TargetIdeographs && std::all_of(note.text.begin(), note.text.end() - 1, IsIdeograph)) {
                    ++ideographs.total;
                    ideographs.right[0] += right;
                }
                for (int method = 0; method < MethodCount; ++method)
                    tally.right[method] += ReadsRight(note, Guess(method, note.bytes, prior));
            }
            tallies.append(tally);
            counts.append(tally.total);
            utf8.append(
                int(std::count_if(list.begin(), list.end(), [](const Note& note) { return IsUtf8(note.bytes); })));
        }
        for (int method = 0; method < MethodCount; ++method) {
            std::printf(" |");
            for (const Tally& tally : tallies)
                std::printf(" %5.1f", tally.total ? 100.0 * tally.right[method] / tally.total : 0.0);
        }
        std::printf(" | n");
        for (const int count : counts)
            std::printf(" %d", count);
        std::printf(" | UTF-8");
        for (const int count : utf8)
            std::printf(" %d", count);
        if (language.alphabet && lettered.total)
            std::printf(" | guess at %d letters and more %.1f of %d", TargetLetters,
                100.0 * lettered.right[0] / lettered.total, lettered.total);
        if (!language.alphabet && ideographs.total)
            std::printf(" | guess at %d Han, kana or Hangul %.1f of %d", TargetIdeographs,
                100.0 * ideographs.right[0] / ideographs.total, ideographs.total);
        std::printf("\n");
    }
    std::fflush(stdout);
}

// Nanoseconds per call of f over the notes, the best of five rounds.
template<typename F> double PerNote(const QList<QByteArray>& notes, F f)
{
    double best = 1e18;
    for (int round = 0; round < 5; ++round) {
        const long long start = bench::monotonicNanoseconds();
        for (const QByteArray& note : notes)
            f(note);
        best = std::min(best, double(bench::monotonicNanoseconds() - start) / notes.size());
    }
    return best;
}

void Speed()
{
    // The bench's own GB18030 notes, as the rebuild reads them, under a mainland locale.
    QList<QByteArray> notes;
    QStringEncoder encoder("GB18030");
    for (int i = 1; i <= 10000; ++i) {
        QString text = QStringLiteral("第 %1 篇笔记 Note number %1\n\n").arg(i);
        for (int line = 0; line < 8; ++line)
            text += QStringLiteral("  line %1: 今天的记录，some words of a plain note.\n").arg(line);
        notes.append(encoder.encode(text));
    }
    int sink = 0;
    const double guess
        = PerNote(notes, [&](const QByteArray& note) { sink += *CodePageGuess::ForNote(note, "GB18030"); });
    QStringDecoder decoder("GB18030");
    const double decode
        = PerNote(notes, [&](const QByteArray& note) { sink += int(QString(decoder.decode(note)).size()); });
    std::printf(
        "\nspeed, 10,000 GB18030 notes of %lld bytes under zh_CN: guess %.0f ns a note, decoding the note %.0f ns "
        "(ratio %.2f)\n",
        static_cast<long long>(notes[0].size()), guess, decode, guess / decode);
    // A note the prior reads badly is judged by every candidate.
    QList<QByteArray> big5;
    QStringEncoder toBig5("Big5-HKSCS");
    for (int i = 0; i < 1000; ++i)
        big5.append(toBig5.encode(QStringLiteral("第 %1 篇讀書筆記：今天讀完了這本書。\n").arg(i)));
    const double judged
        = PerNote(big5, [&](const QByteArray& note) { sink += *CodePageGuess::ForNote(note, "GB18030"); });
    std::printf("speed, a Big5 note under zh_CN, judged by every candidate: %.0f ns a note\n", judged);
    if (sink == 42)
        std::printf(" \n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const auto option = [&](const QString& name, const QString& fallback) {
        const auto at = arguments.indexOf(name);
        return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : fallback;
    };
    const bool tune = option(QStringLiteral("--part"), QStringLiteral("measure")) == QStringLiteral("tune");
    const int count = option(QStringLiteral("--count"), QStringLiteral("500")).toInt();
    const QString onlyLocale = option(QStringLiteral("--locale"), QString());
    Show = arguments.contains(QStringLiteral("--show"));
    Speed();
    if (arguments.contains(QStringLiteral("--speed-only")))
        return 0;

    std::map<std::pair<int, int>, std::map<int, QList<Note>>> notes;
    for (int row = 0; row < Languages.size(); ++row) {
        const Language& language = Languages[row];
        const QList<QStringList> catalogs = Catalogs(QString::fromLatin1(language.folder), tune);
        for (const int length : Lengths) {
            const QList<QString> texts = Cut(catalogs, language, length, count);
            for (int page = 0; page < language.pages.size(); ++page) {
                auto& list = notes[{row, page}][length];
                for (const QString& text : texts) {
                    // A note is a first line: the program reads a character cut short by the
                    // end of a file as UTF-8 gone wrong, and one cut by a line end as no UTF-8.
                    const QString line = text + u'\n';
                    // One encoder a note: resetting one keeps its error.
                    QStringEncoder encoder(language.pages[page], QStringConverter::Flag::Stateless);
                    const QByteArray bytes = encoder.encode(line);
                    if (!encoder.hasError())
                        list.append({line, bytes});
                }
            }
        }
    }
    std::printf("\nnotes from the %s half of the catalogs, up to %d per language and length\n",
        tune ? "tuning" : "measuring", count);
    for (const char* locale : Locales) {
        if (onlyLocale.isEmpty() || onlyLocale == QLatin1String(locale))
            Measure(notes, locale);
    }
    return 0;
}
