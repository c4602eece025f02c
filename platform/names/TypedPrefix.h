#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace platform {

// What the user typed into a list to find a name, and which names begin with it: letter for
// letter with case ignored, and, where names are found by their sound, a Chinese character
// also by its pinyin (HanReadings), the way a Chinese input method's user types it: whole
// syllables or their first letters, without tones, in any mix, a space between syllables or
// none. So "dushu", "dsbj", "du shu bi ji" and "dushbj" all begin 读书笔记.txt, and "yh" begins
// 银行.txt by the second reading of 行. Names are matched as the lists show them.
class TypedPrefix {
public:
    enum class Sound {
        Ignored,
        Pinyin,
    };

    TypedPrefix(QStringView typed, Sound sound);

    bool Begins(QStringView shown) const;

    // Whether a name whose first character is `first`, as FirstOf gives it, may begin with what
    // was typed: a look that passes over most names of a list without reading them.
    bool MayBegin(char32_t first) const;
    static char32_t FirstOf(QStringView shown);

private:
    class Search;

    std::vector<char32_t> m_typed; // case folded
    Sound m_sound;
};

} // namespace platform
