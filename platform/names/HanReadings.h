#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

// The Mandarin readings of Chinese characters as a reader types them: lower-case pinyin
// without tones, ü as v and as u ("lv", "lu" for 绿). Every reading a character has today
// counts, so a name is found by whichever one its writer meant (重 as zhong and as chong).
// The table is made at build time from the Unicode Consortium's Unihan database by
// tools/make_han_readings, which says which of its sources count.
class HanReadings {
public:
    // The readings of one character; none for anything but a Chinese character.
    class List {
    public:
        std::size_t size() const { return m_size; }
        bool empty() const { return m_size == 0; }
        std::string_view operator[](std::size_t at) const;

    private:
        friend class HanReadings;
        List(const std::uint16_t* ids, std::size_t size)
            : m_ids(ids)
            , m_size(size)
        {
        }

        const std::uint16_t* m_ids;
        std::size_t m_size;
    };

    static List Of(char32_t character);
};

} // namespace platform
