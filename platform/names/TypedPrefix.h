#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
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

    // A name's first character as a key can begin it: the character folded, and the letters
    // from a to z it can be typed as, by itself or by the first letter of a reading.
    struct First {
        char32_t folded {U'\0'};
        std::uint32_t letters {0};
    };
    static First FirstOf(QStringView shown);

    // Whether a name whose first character is `first` may begin with what was typed: a look
    // that passes over most names of a list without reading them.
    bool MayBegin(First first) const;

private:
    class Search;

    std::vector<char32_t> m_typed; // case folded
    Sound m_sound;
};

} // namespace platform
