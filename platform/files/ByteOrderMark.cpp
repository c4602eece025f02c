#include "platform/files/ByteOrderMark.h"

namespace platform {

ByteOrderMark ByteOrderMark::Of(const char* data, std::size_t size)
{
    using Encoding = LineDecoder::Encoding;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return {Encoding::Utf8, 3};
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return {Encoding::Utf16LE, 2};
    if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return {Encoding::Utf16BE, 2};
    return {};
}

} // namespace platform
