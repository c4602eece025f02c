#include "platform/codepages/LanguageModel.h"

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
    const char32_t lower = QChar::toLower(code);
    // The alphabet starts with a to z, the letters below U+0080.
    if (lower >= u'a' && lower <= u'z')
        return LanguageTable::FirstLetter + int(lower - u'a');
    const char16_t* end = m_table.alphabet + m_table.alphabetSize;
    const char16_t* found = std::lower_bound(m_table.alphabet, end, lower);
    return found != end && *found == lower ? LanguageTable::FirstLetter + int(found - m_table.alphabet)
                                           : LanguageTable::OtherLetter;
}

int LanguageModel::Cost(QStringView text, Parts* parts) const
{
    const int letters = LanguageTable::FirstLetter + m_table.alphabetSize;
    int cost = 0;
    CharClass previous = CharClass::Space;
    int previousLetter = LanguageTable::Boundary;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            code = QChar::surrogateToUcs4(char16_t(code), text[++i].unicode());
        const CharClass kind = ClassOf(code);
        const int before = cost;
        if (kind == CharClass::Invalid) {
            cost += InvalidCost;
            if (parts) {
                ++parts->invalid;
                ++parts->high;
                parts->highCost += InvalidCost;
            }
            previous = CharClass::Space;
            previousLetter = LanguageTable::Boundary;
            continue;
        }
        cost += m_table.transition[Index(previous)][Index(kind)];
        if (m_table.bigram && IsLetter(kind)) {
            const int letter = LetterIndex(code);
            cost += m_table.bigram[previousLetter * letters + letter];
            previousLetter = letter;
        } else {
            cost += CharacterCost(code, kind);
            if (m_table.bigram && previousLetter != LanguageTable::Boundary)
                cost += m_table.bigram[previousLetter * letters + LanguageTable::Boundary];
            previousLetter = LanguageTable::Boundary;
        }
        if (parts && code >= 0x80) {
            ++parts->high;
            parts->highCost += cost - before;
        } else if (parts && kind != CharClass::Space) {
            ++parts->low;
        }
        previous = kind;
    }
    return cost;
}

} // namespace platform::codepages
