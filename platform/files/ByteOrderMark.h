#pragma once

#include "platform/files/LineDecoder.h"

#include <cstddef>

namespace platform {

// The byte-order mark a file may start with, which states its encoding: EF BB BF for UTF-8,
// FF FE for UTF-16 LE, FE FF for UTF-16 BE. A file without one is presumed UTF-8.
struct ByteOrderMark {
    // The mark at the start of the first size bytes of a file.
    static ByteOrderMark Of(const char* bytes, std::size_t size);

    LineDecoder::Encoding encoding {LineDecoder::Encoding::Utf8};
    std::size_t length {0}; // 0 when there is no mark
};

} // namespace platform
