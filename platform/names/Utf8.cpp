#include "platform/names/Utf8.h"

namespace platform {

// Runs of ASCII, the bulk of most notes, are skipped eight bytes at a time.
Utf8::Status Utf8::Check(const unsigned char* bytes, std::size_t count)
{
    std::size_t at = 0;
    while (at < count) {
        if (count - at >= 8 && IsAscii(WordAt(bytes + at))) {
            at += 8;
            continue;
        }
        const Sequence sequence = Next(bytes + at, count - at);
        if (sequence.status != Status::Valid)
            return sequence.status;
        at += static_cast<std::size_t>(sequence.length);
    }
    return Status::Valid;
}

} // namespace platform
