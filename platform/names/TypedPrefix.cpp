#include "platform/names/TypedPrefix.h"

#include "platform/names/HanReadings.h"

#include <QChar>

#include <cstdint>
#include <string_view>

namespace platform {

namespace {

struct CodePoint {
    char32_t code;
    qsizetype next;
};

CodePoint codePointAt(QStringView text, qsizetype at)
{
    const QChar unit = text[at];
    if (unit.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(unit, text[at + 1]), at + 2};
    return {unit.unicode(), at + 1};
}

char32_t codePointBefore(QStringView text, qsizetype at)
{
    const QChar unit = text[at - 1];
    if (unit.isLowSurrogate() && at >= 2 && text[at - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[at - 2], unit);
    return unit.unicode();
}

} // namespace

// A search through one name for the ways the typed text can begin it. A character with
// several readings, each of which can be typed whole or cut short, lets the typed text be
// taken in many ways, of which only one may go on to match; the states found to lead nowhere
// are remembered, so no state is tried twice however the ways branch.
class TypedPrefix::Search {
public:
    Search(const TypedPrefix& prefix, QStringView shown)
        : m_typed(prefix.m_typed)
        , m_sound(prefix.m_sound)
        , m_shown(shown)
    {
    }

    // Whether the typed text from typedAt on begins the name from its unit at on.
    bool From(qsizetype at, std::size_t typedAt)
    {
        if (typedAt == m_typed.size())
            return true;
        if (at == m_shown.size() || failedBefore(at, typedAt))
            return false;
        const bool found = byLetter(at, typedAt) || bySpaceBetweenSyllables(at, typedAt) || bySound(at, typedAt);
        if (!found)
            remember(at, typedAt);
        return found;
    }

private:
    bool byLetter(qsizetype at, std::size_t typedAt)
    {
        const CodePoint character = codePointAt(m_shown, at);
        return QChar::toCaseFolded(character.code) == m_typed[typedAt] && From(character.next, typedAt + 1);
    }

    // A space typed after a syllable only separates it from the next one.
    bool bySpaceBetweenSyllables(qsizetype at, std::size_t typedAt)
    {
        return m_sound == Sound::Pinyin && m_typed[typedAt] == U' ' && at > 0
            && !HanReadings::Of(codePointBefore(m_shown, at)).empty() && From(at, typedAt + 1);
    }

    // Each reading of a Chinese character may take its first letter or more, up to all of it;
    // the typed text may end inside one.
    bool bySound(qsizetype at, std::size_t typedAt)
    {
        if (m_sound != Sound::Pinyin)
            return false;
        const CodePoint character = codePointAt(m_shown, at);
        const HanReadings::List readings = HanReadings::Of(character.code);
        for (std::size_t reading = 0; reading < readings.size(); ++reading) {
            const std::string_view syllable = readings[reading];
            std::size_t taken = 0;
            while (taken < syllable.size() && typedAt + taken < m_typed.size()
                && m_typed[typedAt + taken] == static_cast<unsigned char>(syllable[taken]))
                ++taken;
            for (; taken > 0; --taken) {
                if (From(character.next, typedAt + taken))
                    return true;
            }
        }
        return false;
    }

    // Most names fail on their first character, so the memory of failed states is only made
    // for a name that gets past it.
    bool failedBefore(qsizetype at, std::size_t typedAt) const
    {
        return !m_failed.empty() && m_failed[index(at, typedAt)];
    }
    void remember(qsizetype at, std::size_t typedAt)
    {
        if (at == 0)
            return;
        if (m_failed.empty())
            m_failed.assign(static_cast<std::size_t>(m_shown.size() + 1) * (m_typed.size() + 1), false);
        m_failed[index(at, typedAt)] = true;
    }
    std::size_t index(qsizetype at, std::size_t typedAt) const
    {
        return static_cast<std::size_t>(at) * (m_typed.size() + 1) + typedAt;
    }

    const std::vector<char32_t>& m_typed;
    const Sound m_sound;
    const QStringView m_shown;
    std::vector<bool> m_failed;
};

TypedPrefix::TypedPrefix(QStringView typed, Sound sound)
    : m_sound(sound)
{
    for (qsizetype at = 0; at < typed.size();) {
        const CodePoint character = codePointAt(typed, at);
        m_typed.push_back(QChar::toCaseFolded(character.code));
        at = character.next;
    }
}

bool TypedPrefix::Begins(QStringView shown) const
{
    return Search(*this, shown).From(0, 0);
}

bool TypedPrefix::MayBegin(First first) const
{
    if (m_typed.empty())
        return true;
    const char32_t key = m_typed.front();
    if (m_sound == Sound::Pinyin && key >= U'a' && key <= U'z')
        return (first.letters >> (key - U'a')) & 1U;
    return first.folded == key;
}

TypedPrefix::First TypedPrefix::FirstOf(QStringView shown)
{
    if (shown.isEmpty())
        return {};
    First first {QChar::toCaseFolded(codePointAt(shown, 0).code), 0};
    const auto addLetter = [&](char32_t letter) {
        if (letter >= U'a' && letter <= U'z')
            first.letters |= 1U << (letter - U'a');
    };
    addLetter(first.folded);
    const HanReadings::List readings = HanReadings::Of(first.folded);
    for (std::size_t reading = 0; reading < readings.size(); ++reading)
        addLetter(static_cast<unsigned char>(readings[reading].front()));
    return first;
}

} // namespace platform
