#include "platform/codepages/training/LanguageTrainer.h"

#include <QChar>

#include <algorithm>
#include <cmath>

namespace platform::codepages {

namespace {

// Add-k smoothing: each character of a class the text did not show counts as this much of
// one seen once, out of about as many characters as the class holds in use.
constexpr double Smoothing = 0.5;

double ClassSize(CharClass kind)
{
    switch (kind) {
    case CharClass::Space:
        return 4;
    case CharClass::Digit:
        return 10;
    case CharClass::AsciiPunctuation:
        return 33;
    case CharClass::LatinLower:
    case CharClass::LatinUpper:
        return 600;
    case CharClass::CyrillicLower:
    case CharClass::CyrillicUpper:
        return 120;
    case CharClass::GreekLower:
    case CharClass::GreekUpper:
        return 80;
    case CharClass::Hiragana:
        return 96;
    case CharClass::Katakana:
        return 200;
    case CharClass::Hangul:
        return 11172;
    case CharClass::CjkPunctuation:
        return 300;
    default:
        return 3000;
    }
}

// How many of a class's followers the probability of each class anywhere counts as.
constexpr double BackOff = 2;
// A Han character the shares and the text never showed: about one in ten million.
constexpr double RareHan = 1e-7;
// The text's own counts beside the Unihan shares for the Han characters: a catalog of program
// messages says what its writers use but is too small alone, the shares are broad.
constexpr double TextShareOfHan = 0.5;
// Of a letter's probability after another, the part the pair's own count gives; the rest
// is the letter's probability anywhere.
constexpr double PairWeight = 0.7;
// The index of a letter outside the alphabet, after the word boundary's (see LanguageTable).
constexpr int OtherLetter = 1;

double Bits(double probability)
{
    return -std::log2(probability);
}

int Index(CharClass kind)
{
    return static_cast<int>(kind);
}

char16_t LetterOf(char32_t code)
{
    return static_cast<char16_t>(QChar::toLower(code));
}

} // namespace

LanguageTrainer::LanguageTrainer(const QStringList& texts)
{
    for (const QString& text : texts)
        Count(text);
}

void LanguageTrainer::Count(const QString& text)
{
    CharClass previous = CharClass::Space;
    char16_t previousLetter = 0;
    for (const char32_t code : text.toUcs4()) {
        CharClass kind = ClassOf(code);
        if (kind == CharClass::Invalid)
            kind = CharClass::Space; // a line's control characters end a word, nothing more
        m_transitions[Index(previous)][Index(kind)] += 1;
        m_characters[Index(kind)][code] += 1;
        m_classTotals[Index(kind)] += 1;
        const char16_t letter = IsLetter(kind) && code < 0x10000 ? LetterOf(code) : 0;
        if (letter != 0 || previousLetter != 0) {
            m_letterPairs[{previousLetter, letter}] += 1;
            m_letters[letter] += 1;
        }
        previous = kind;
        previousLetter = letter;
    }
}

void LanguageTrainer::FavourSyllables(const QList<char32_t>& common)
{
    m_commonSyllables = common;
}

double LanguageTrainer::CharacterCost(
    char32_t code, CharClass kind, const std::optional<QHash<char32_t, double>>& hanShares) const
{
    const double count = m_characters[Index(kind)].value(code);
    const double total = m_classTotals[Index(kind)];
    if (kind == CharClass::Han && hanShares) {
        const double fromText = total > 0 ? count / total : 0;
        return Bits(TextShareOfHan * fromText + (1 - TextShareOfHan) * hanShares->value(code) + RareHan);
    }
    if (kind == CharClass::Hangul && !m_commonSyllables.isEmpty()) {
        // A common syllable not seen counts a fifth of one seen once; any other a fiftieth.
        const double extra = m_commonSyllables.size() * 0.2;
        const bool common = std::binary_search(m_commonSyllables.begin(), m_commonSyllables.end(), code);
        return Bits((count + (common ? 0.2 : 0.02)) / (total + extra + 1));
    }
    return Bits((count + Smoothing) / (total + Smoothing * ClassSize(kind)));
}

LanguageTrainer::Model LanguageTrainer::Learn(
    Letters letters, const std::optional<QHash<char32_t, double>>& hanShares) const
{
    Model model;
    // A class after a class the text rarely shows it after takes its probability anywhere: so
    // kana after kana costs in Chinese what kana costs there at all, not what a class of a
    // row the text never filled would cost.
    double classes = 0;
    for (const double count : m_classTotals)
        classes += count + Smoothing;
    for (int from = 0; from < CharClassCount; ++from) {
        double total = 0;
        for (const double count : m_transitions[from])
            total += count;
        for (int to = 0; to < CharClassCount; ++to) {
            const double anywhere = (m_classTotals[to] + Smoothing) / classes;
            model.transition[from][to] = Bits((m_transitions[from][to] + BackOff * anywhere) / (total + BackOff));
        }
    }
    for (int kind = 0; kind < CharClassCount; ++kind) {
        const auto charClass = static_cast<CharClass>(kind);
        model.unseen[kind] = CharacterCost(0x10FFFF, charClass, hanShares);
        for (auto it = m_characters[kind].begin(); it != m_characters[kind].end(); ++it)
            model.characters.insert(it.key(), CharacterCost(it.key(), charClass, hanShares));
    }
    if (hanShares) {
        for (auto it = hanShares->begin(); it != hanShares->end(); ++it)
            model.characters.insert(it.key(), CharacterCost(it.key(), CharClass::Han, hanShares));
    }
    if (!m_commonSyllables.isEmpty()) {
        for (const char32_t syllable : m_commonSyllables)
            model.characters.insert(syllable, CharacterCost(syllable, CharClass::Hangul, hanShares));
    }
    if (letters == Letters::Unigram)
        return model;

    // The alphabet: ASCII's letters and every other letter the text uses more than twice.
    for (char16_t letter = u'a'; letter <= u'z'; ++letter)
        model.alphabet.append(letter);
    for (auto it = m_letters.begin(); it != m_letters.end(); ++it) {
        if (it.key() > 0x7F && it.value() > 2)
            model.alphabet.append(it.key());
    }
    std::sort(model.alphabet.begin(), model.alphabet.end());
    const auto indexOf = [&](char16_t letter) {
        if (letter == 0)
            return 0;
        const auto found = std::lower_bound(model.alphabet.begin(), model.alphabet.end(), letter);
        return found != model.alphabet.end() && *found == letter ? int(found - model.alphabet.begin()) + 2
                                                                 : OtherLetter;
    };
    const int size = int(model.alphabet.size()) + 2;
    QList<double> pairs(size * size, 0);
    QList<double> before(size, 0);
    QList<double> single(size, 0);
    double total = 0;
    for (auto it = m_letterPairs.begin(); it != m_letterPairs.end(); ++it) {
        const int from = indexOf(it.key().first);
        const int to = indexOf(it.key().second);
        pairs[from * size + to] += it.value();
        before[from] += it.value();
        single[to] += it.value();
        total += it.value();
    }
    // A letter outside the alphabet stands for each of the letters the text used once or twice,
    // so their probability is shared out over them: a letter no text of the language writes
    // (Turkish "ı" read in Windows-1252 as "ý") costs what one of them does, not what all of
    // them do together.
    double rareLetters = 0;
    for (auto it = m_letters.begin(); it != m_letters.end(); ++it)
        rareLetters += it.key() > 0x7F && it.value() <= 2;
    const double otherLetters = std::max(rareLetters, 1.0);
    model.bigram.resize(size * size);
    for (int from = 0; from < size; ++from) {
        for (int to = 0; to < size; ++to) {
            const double alone = (single[to] + 0.1) / (total + 0.1 * size);
            const double after = before[from] > 0 ? pairs[from * size + to] / before[from] : 0;
            const double probability = PairWeight * after + (1 - PairWeight) * alone;
            model.bigram[from * size + to] = Bits(to == OtherLetter ? probability / otherLetters : probability);
        }
    }
    return model;
}

} // namespace platform::codepages
