#include "platform/codepages/LanguageModel.h"

#include "platform/codepages/HanPairs.h"

#include <QChar>

#include <algorithm>
#include <cstring>
#include <deque>

namespace platform::codepages {

namespace {

int Index(CharClass kind)
{
    return static_cast<int>(kind);
}

} // namespace

const LanguageModel* LanguageModel::Find(const char* tag)
{
    static const std::deque<LanguageModel> models = [] {
        std::deque<LanguageModel> all;
        for (const LanguageTable& table : LanguageTables())
            all.emplace_back(table);
        return all;
    }();
    const auto found = std::find_if(
        models.begin(), models.end(), [&](const LanguageModel& model) { return std::strcmp(model.Tag(), tag) == 0; });
    return found == models.end() ? nullptr : &*found;
}

int LanguageModel::CharacterCost(char32_t code, CharClass kind) const
{
    if (code < 0x10000) {
        const std::uint8_t block = m_table.blockIndex[code / LanguageTable::BlockSize];
        if (block != LanguageTable::NoBlock)
            return m_table.blocks[block * LanguageTable::BlockSize + code % LanguageTable::BlockSize];
    }
    return m_table.unseen[Index(kind)];
}

int LanguageModel::LetterIndex(char32_t code) const
{
    if (code < 0x80)
        return LanguageTable::FirstLetter + int((code | 0x20) - u'a');
    const char32_t lower = QChar::toLower(code);
    // The alphabet starts with a to z, the letters below U+0080.
    if (lower >= u'a' && lower <= u'z')
        return LanguageTable::FirstLetter + int(lower - u'a');
    const char16_t* end = m_table.alphabet + m_table.alphabetSize;
    const char16_t* found = std::lower_bound(m_table.alphabet, end, lower);
    return found != end && *found == lower ? LanguageTable::FirstLetter + int(found - m_table.alphabet)
                                           : LanguageTable::OtherLetter;
}

const LanguageModel& LanguageModel::Shared()
{
    static const LanguageModel* const shared = Find(SharedTag);
    return *shared;
}

// Whether the word that starts at from holds only ASCII letters.
bool LanguageModel::AsciiWord(QStringView text, qsizetype from)
{
    for (qsizetype i = from; i < text.size() && text[i].isLetter(); ++i) {
        if (text[i].unicode() >= 0x80)
            return false;
    }
    return true;
}

int LanguageModel::BigramCost(int previousLetter, int letter) const
{
    return m_table.bigram[previousLetter * (LanguageTable::FirstLetter + m_table.alphabetSize) + letter];
}

int LanguageModel::Cost(QStringView text, Parts* parts, Scope scope) const
{
    const LanguageModel& shared = Shared();
    int cost = 0;
    CharClass previous = CharClass::Space;
    bool previousAscii = true;
    // The model the word being read is costed by, letter after letter, and its last letter.
    const LanguageModel* word = nullptr;
    int previousLetter = LanguageTable::Boundary;
    char32_t previousCode = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            code = QChar::surrogateToUcs4(char16_t(code), text[++i].unicode());
        const CharClass kind = ClassOf(code);
        const bool ascii = code < 0x80;
        int before = cost;
        if (kind == CharClass::Invalid) {
            cost += InvalidCost;
            if (parts) {
                ++parts->invalid;
                ++parts->high;
                parts->highCost += InvalidCost;
            }
            previous = CharClass::Space;
            previousAscii = true;
            word = nullptr;
            previousLetter = LanguageTable::Boundary;
            continue;
        }
        const bool letter = IsLetter(kind);
        if (scope == Scope::BeyondAscii && ascii && kind != CharClass::Invalid) {
            // A run of ASCII leaves only its last character to what follows: its class, and
            // the letter it is. A control character ends the run: it does not decode.
            while (i + 1 < text.size() && text[i + 1].unicode() < 0x80
                && ClassOf(text[i + 1].unicode()) != CharClass::Invalid)
                ++i;
            const char32_t last = text[i].unicode();
            previous = ClassOf(last);
            word = IsLetter(previous) ? this : nullptr;
            previousLetter = word ? LetterIndex(last) : LanguageTable::Boundary;
            previousAscii = true;
            continue;
        }
        if (letter && !word)
            word = !m_table.bigram && AsciiWord(text, i) ? &shared : this;
        else if (!letter && word) {
            // The end of a word is its last letter's, not the next character's.
            if (word->m_table.bigram)
                cost += word->BigramCost(previousLetter, LanguageTable::Boundary);
            before = cost;
            word = nullptr;
            previousLetter = LanguageTable::Boundary;
        }
        // ASCII after ASCII, outside a word with a letter that is not ASCII, reads the same in
        // every candidate; the model of every language's text costs it, so that no language
        // wins or loses a reading by how its own text uses English words, codes and numbers.
        // A language written in letters is told by its ASCII words too, but not by the spaces,
        // digits and punctuation between them: a line end after a line end cost Greek, whose
        // translations are the fewest, more than it cost Russian.
        const bool sharedAscii = ascii && previousAscii && (!letter || (!m_table.bigram && word == &shared));
        // Symbols, the typographic quotes and dashes above all, are written in every language,
        // but each language's translations use a few of their own: Korean ones cost "“%s”"
        // twice what Chinese ones do, and a Korean note in quotes read better as GBK. What a
        // symbol says against a reading (the "¡°º£" of a Korean note read as Windows-1252) it
        // says in every language, so the model of every language's text costs it.
        const bool sharedSymbol = kind == CharClass::Symbol;
        const LanguageModel& model = sharedAscii || sharedSymbol ? shared : *this;
        cost += model.m_table.transition[Index(previous)][Index(kind)];
        if (letter && word->m_table.bigram) {
            const int index = word->LetterIndex(code);
            cost += word->BigramCost(previousLetter, index);
            if (parts && !ascii && index == LanguageTable::OtherLetter)
                ++parts->foreign;
            previousLetter = index;
        } else {
            cost += (letter ? *word : model).CharacterCost(code, kind);
            if (kind == CharClass::Han && previous == CharClass::Han && scope == Scope::Everything
                && HanPairs::Shared().Joined(previousCode, code))
                cost -= JoinedHanBonus;
        }
        if (parts && !ascii) {
            ++parts->high;
            parts->highCost += cost - before;
        } else if (parts && kind != CharClass::Space) {
            ++parts->low;
        }
        previous = kind;
        previousCode = code;
        previousAscii = ascii;
    }
    if (word && word->m_table.bigram && scope == Scope::Everything)
        cost += word->BigramCost(previousLetter, LanguageTable::Boundary);
    return cost;
}

} // namespace platform::codepages
