#pragma once

#include <cstdint>

namespace platform {

// Searches of bytes sixteen at a time with SSE2, or eight at a time where there is none, for
// the text input's hot loops: a line of a note costs a few instructions for every sixteen or
// eight of its bytes.
class ByteScan {
public:
    // The first CR or LF in [from, to), or nullptr.
    static const char* FindLineEnd(const char* from, const char* to);

    // True when one of the eight bytes of word is zero (exact, not just likely).
    static constexpr bool HasZeroByte(std::uint64_t word)
    {
        return ((word - EveryByte(0x01)) & ~word & EveryByte(0x80)) != 0;
    }

private:
    static constexpr std::uint64_t EveryByte(unsigned char byte) { return 0x0101010101010101u * byte; }
};

} // namespace platform
