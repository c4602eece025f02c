#pragma once

#include "platform/codepages/CharClass.h"

#include <cstdint>
#include <span>

namespace platform::codepages {

// What a language model learnt, as the tables its costs are read from. A cost is what a
// character says against the text being in the language: minus the base-2 logarithm of its
// probability, in quarter bits, so that a byte holds it (255, almost 64 bits, is the most).
// The tables are made at build time (platform/codepages/training) from text in the language
// and the Unihan database; nothing in them is typed by hand.
struct LanguageTable {
    static constexpr std::uint8_t NoBlock = 0xFF;
    static constexpr int BlockSize = 256;
    // In the letter indices of bigram: what comes before a word's first letter and after its
    // last, and a letter outside the alphabet.
    static constexpr int Boundary = 0;
    static constexpr int OtherLetter = 1;
    static constexpr int FirstLetter = 2;

    const char* tag; // the language, as a BCP 47 tag
    std::uint8_t transition[CharClassCount][CharClassCount]; // a class after a class
    std::uint8_t unseen[CharClassCount]; // a character the blocks do not hold, by its class
    // For each block of 256 code points of the Basic Multilingual Plane its number in blocks,
    // or NoBlock; blocks holds BlockSize costs for each.
    const std::uint8_t* blockIndex;
    const std::uint8_t* blocks;
    // The languages written in letters cost each letter, lower-cased, after the letter
    // before it or the start of its word, and the end of each word after its last letter;
    // the others have no alphabet. alphabet is sorted.
    const char16_t* alphabet;
    int alphabetSize;
    const std::uint8_t* bigram; // (FirstLetter + alphabetSize) squared, by letter before, then letter
};

// The tables of every language modelled.
std::span<const LanguageTable> LanguageTables();

} // namespace platform::codepages
