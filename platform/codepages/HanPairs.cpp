#include "platform/codepages/HanPairs.h"

#include "platform/codepages/CharClass.h"

#include <unicode/ucharstrie.h>
#include <unicode/udata.h>

#include <algorithm>

namespace platform::codepages {

namespace {

// The layout of ICU's dictionary files: a table of indexes, whose first is where the trie of
// words starts and whose fifth says what kind of trie it is.
constexpr int StringTrieOffset = 0;
constexpr int TrieType = 4;
constexpr int TrieTypeMask = 7;
constexpr int TrieTypeUChars = 1;

constexpr std::uint32_t PlaneSize = 0x10000;

bool IsHan(char16_t c)
{
    return ClassOf(c) == CharClass::Han;
}

} // namespace

HanPairs::HanPairs()
{
    UErrorCode status = U_ZERO_ERROR;
    UDataMemory* data = udata_open(U_ICUDATA_NAME U_TREE_SEPARATOR_STRING "brkitr", "dict", "cjdict", &status);
    // Without the dictionary no pair is joined, and the models judge as they would alone.
    if (U_FAILURE(status))
        return;
    const auto* indexes = static_cast<const std::int32_t*>(udata_getMemory(data));
    if ((indexes[TrieType] & TrieTypeMask) == TrieTypeUChars)
        Read(reinterpret_cast<const char16_t*>(reinterpret_cast<const char*>(indexes) + indexes[StringTrieOffset]));
    udata_close(data);
}

void HanPairs::Read(const char16_t* trie)
{
    std::vector<std::uint32_t> pairs;
    UErrorCode status = U_ZERO_ERROR;
    icu::UCharsTrie::Iterator words(trie, 0, status);
    while (U_SUCCESS(status) && words.next(status)) {
        const icu::UnicodeString& word = words.getString();
        for (int i = 0; i + 1 < word.length(); ++i) {
            if (IsHan(word[i]) && IsHan(word[i + 1]))
                pairs.push_back(std::uint32_t(word[i]) << 16 | word[i + 1]);
        }
    }
    if (U_FAILURE(status))
        return;
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    m_starts.assign(PlaneSize + 1, 0);
    m_seconds.reserve(pairs.size());
    for (const std::uint32_t pair : pairs) {
        ++m_starts[(pair >> 16) + 1];
        m_seconds.push_back(char16_t(pair & 0xFFFF));
    }
    for (std::uint32_t first = 1; first <= PlaneSize; ++first)
        m_starts[first] += m_starts[first - 1];
}

const HanPairs& HanPairs::Shared()
{
    static const HanPairs shared;
    return shared;
}

bool HanPairs::Joined(char32_t first, char32_t second) const
{
    if (m_starts.empty() || first >= PlaneSize || second >= PlaneSize)
        return false;
    const auto begin = m_seconds.begin() + m_starts[first];
    const auto end = m_seconds.begin() + m_starts[first + 1];
    return std::binary_search(begin, end, char16_t(second));
}

} // namespace platform::codepages
