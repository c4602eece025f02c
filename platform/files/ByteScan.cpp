#include "platform/files/ByteScan.h"

#include <bit>
#include <cstring>

namespace platform {

const char* ByteScan::FindLineEnd(const char* from, const char* to)
{
    while (to - from >= 8) {
        std::uint64_t word;
        std::memcpy(&word, from, 8);
        const std::uint64_t lineFeeds = word ^ EveryByte('\n');
        const std::uint64_t returns = word ^ EveryByte('\r');
        // The lowest marked byte of each half is exactly the first match in it.
        const std::uint64_t marks
            = (((lineFeeds - EveryByte(0x01)) & ~lineFeeds) | ((returns - EveryByte(0x01)) & ~returns))
            & EveryByte(0x80);
        if (marks != 0) {
            if constexpr (std::endian::native == std::endian::little)
                return from + std::countr_zero(marks) / 8;
            break;
        }
        from += 8;
    }
    for (; from < to; ++from) {
        if (*from == '\n' || *from == '\r')
            return from;
    }
    return nullptr;
}

} // namespace platform
