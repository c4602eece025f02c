#pragma once

#include "platform/codepages/CharClass.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace platform::codepages {

// A language model learnt from text in the language: the probability of each class of
// character after the class before it, of each character within its class, and, for a
// language written in letters, of each letter after the letter before it. Everything is a
// cost in bits (minus the base-2 logarithm of the probability), smoothed so that what the
// text never showed still has a price.
class LanguageTrainer {
public:
    struct Model {
        std::array<std::array<double, CharClassCount>, CharClassCount> transition {};
        std::array<double, CharClassCount> unseen {};
        QHash<char32_t, double> characters; // the characters the text or the Han shares hold
        QList<char16_t> alphabet; // sorted, lower case; empty for a language without letters
        QList<double> bigram; // see LanguageTable::bigram
    };

    enum class Letters { Unigram, Bigram };

    explicit LanguageTrainer(const QStringList& texts);

    // hanShares: how often each Han character is written in the language, adding up to one,
    // for the languages written with Han characters.
    Model Learn(Letters letters, const std::optional<QHash<char32_t, double>>& hanShares) const;

    // For Korean: the Hangul syllables of KS X 1001, the common ones that every Korean code page
    // holds, take most of what the text leaves to syllables it did not show.
    void FavourSyllables(const QList<char32_t>& common);

private:
    void Count(const QString& text);
    double CharacterCost(char32_t code, CharClass kind, const std::optional<QHash<char32_t, double>>& hanShares) const;

    std::array<std::array<double, CharClassCount>, CharClassCount> m_transitions {};
    std::array<QHash<char32_t, double>, CharClassCount> m_characters;
    std::array<double, CharClassCount> m_classTotals {};
    QHash<char16_t, double> m_letters;
    QHash<QPair<char16_t, char16_t>, double> m_letterPairs; // 0 stands for a word boundary
    QList<char32_t> m_commonSyllables;
};

} // namespace platform::codepages
