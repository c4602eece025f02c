#pragma once

#include "platform/codepages/LanguageTable.h"

#include <QStringView>

namespace platform::codepages {

// How much a text says against being written in one language: the sum of the costs of its
// characters, each after the one before it, in quarter bits. Comparing the costs of the
// readings of the same bytes in several code pages compares how likely each reading is.
class LanguageModel {
public:
    // What a character that does not decode, a control character, a private-use or an
    // unassigned code point costs in every language: about as much as a Han character nobody
    // writes, so that one such character in a reading does not outweigh ten that read well.
    static constexpr int InvalidCost = 24 * 4;
    // What a Han character following one it forms a word with (HanPairs) takes off the cost.
    // Chosen on the half of the benchmark's catalogs kept for tuning, among 0 to 6 bits, as the
    // bonus under which the worst-read page's notes of four Han, kana or Hangul characters read
    // right most often, the next worst breaking the tie: more, and cross-decoded Hangul and
    // kana, whose Han sometimes happen to form a word, read as Chinese more often.
    static constexpr int JoinedHanBonus = 3 * 4;

    explicit LanguageModel(const LanguageTable& table)
        : m_table(table)
    {
    }

    // The model of a tag of LanguageTables(), or nullptr.
    static const LanguageModel* Find(const char* tag);

    // The model learnt from the text of every language, which costs what every candidate reads
    // alike: ASCII after ASCII, and words of ASCII letters.
    static constexpr const char* SharedTag = "und";
    static const LanguageModel& Shared();

    const char* Tag() const { return m_table.tag; }
    // What a cost is made of, for the test of text that reads well: the characters that are
    // not ASCII, which are what tells one code page's reading from another's, and their cost.
    struct Parts {
        int invalid {0}; // characters of InvalidCost
        int high {0}; // characters not ASCII, invalid ones included
        int highCost {0};
        int low {0}; // ASCII characters other than spaces, counted when everything is costed
        // Letters not ASCII outside the alphabet of the language; of a code page, those that
        // none of its languages writes (the fewest any of them counts).
        int foreign {0};
    };

    // What is costed: every character, or only those that are not ASCII (and so parts, which
    // is all the test of text that reads well asks for), at a fraction of the work in text
    // that is mostly ASCII. That test judges characters alone, without the bonus of Han
    // characters a word joins: it was set without it, a note it passes is right in the prior
    // anyway, and looking the pairs up in every such note would cost it more than the test.
    enum class Scope { Everything, BeyondAscii };

    int Cost(QStringView text, Parts* parts = nullptr, Scope scope = Scope::Everything) const;

private:
    int CharacterCost(char32_t code, CharClass kind) const;
    int LetterIndex(char32_t code) const;
    int BigramCost(int previousLetter, int letter) const;
    static bool AsciiWord(QStringView text, qsizetype from);

    const LanguageTable& m_table;
};

} // namespace platform::codepages
