#include "platform/files/ByteScan.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

const char* ByteScan::FindLineEnd(const char* from, const char* to)
{
#if defined(__SSE2__)
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    while (to - from >= 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const auto marks = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, lineFeed), _mm_cmpeq_epi8(chunk, carriageReturn))));
        if (marks != 0)
            return from + std::countr_zero(marks);
        from += 16;
    }
#endif
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
