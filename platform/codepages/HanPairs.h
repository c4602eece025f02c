#pragma once

#include <cstdint>
#include <vector>

namespace platform::codepages {

// The pairs of Han characters that stand side by side in a word of ICU's dictionary of Chinese
// and Japanese words, the one its word breaking segments such text with. A language model
// judges each character as if it stood alone, and four Han characters of a traditional note
// read in GBK can be as common one by one as those of a simplified note; but real text is
// made of words, and the same bytes in the wrong code page are characters no word joins.
// Read from ICU's data when first asked, on whatever thread asks first.
class HanPairs {
public:
    static const HanPairs& Shared();

    // Whether a word of the dictionary holds first followed by second.
    bool Joined(char32_t first, char32_t second) const;

private:
    HanPairs();
    void Read(const char16_t* trie);

    // For each character of the Basic Multilingual Plane, where its followers start in
    // m_seconds, sorted; one entry more, for the end of the last.
    std::vector<std::uint32_t> m_starts;
    std::vector<char16_t> m_seconds;
};

} // namespace platform::codepages
