#pragma once

#include <cstdint>

namespace platform::codepages {

// The kinds of character whose sequence tells one script and language from another. A text
// read in the wrong code page shows it first in these: an upper-case letter inside a word,
// letters of two alphabets in one word, Han glued to Latin letters, kana or Hangul where the
// language has none, control characters and code points nobody writes. The language models
// cost each character after the kind before it, so the order is part of what they learnt and
// the numbers are stored in the tables they are made into.
enum class CharClass : std::uint8_t {
    Space, // space, tab, line ends
    Digit, // 0 to 9
    AsciiPunctuation, // the other printable ASCII characters that are no letters
    LatinLower,
    LatinUpper,
    CyrillicLower,
    CyrillicUpper,
    GreekLower,
    GreekUpper,
    Han,
    Hiragana,
    Katakana, // half-width katakana too
    Hangul,
    CjkPunctuation, // the CJK symbols block and the full-width forms
    Symbol, // every other character that is written: other letters, signs, punctuation
    Invalid, // what does not decode, control characters, private use, unassigned
};

inline constexpr int CharClassCount = 16;

CharClass ClassOf(char32_t code);

inline bool IsLetter(CharClass kind)
{
    return kind >= CharClass::LatinLower && kind <= CharClass::GreekUpper;
}

} // namespace platform::codepages
