#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform {

// What well-formed UTF-8 is, in one place for every reader of bytes: the text input, which
// decides by it whether a file is UTF-8, and the native names, which decide by it whether a
// name is. Well formed means the shortest form of a code point that is not a surrogate and not
// past U+10FFFF; each byte is checked against the range its place allows, so a sequence is
// refused at its first wrong byte and a sequence cut short is told apart from a wrong one.
class Utf8 {
public:
    enum class Status {
        Valid,
        Invalid,
        CutShort, // the bytes so far are right, but the count ends before the sequence does
    };

    struct Sequence {
        Status status;
        int length; // bytes of a valid sequence, otherwise 0
        char32_t code;
    };

    // The sequence that starts at bytes[0]; count is at least 1. Inline, since decoding a
    // note's lines calls it for every character that is not ASCII.
    static Sequence Next(const unsigned char* bytes, std::size_t count);

    // Valid when all count bytes are well formed, CutShort when they are but the last
    // sequence is missing bytes, Invalid otherwise.
    static Status Check(const unsigned char* bytes, std::size_t count);

    // The eight bytes from bytes on, as one word, for the scans that test eight at a time.
    static std::uint64_t WordAt(const unsigned char* bytes)
    {
        std::uint64_t word;
        std::memcpy(&word, bytes, sizeof word);
        return word;
    }
    static bool IsAscii(std::uint64_t word) { return (word & 0x8080808080808080u) == 0; }
};

inline Utf8::Sequence Utf8::Next(const unsigned char* bytes, std::size_t count)
{
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return {Status::Valid, 1, lead};
    // Most Chinese, Japanese and Korean characters: a lead that allows every continuation byte.
    if (count >= 3 && lead >= 0xE1 && lead <= 0xEF && lead != 0xED && (bytes[1] & 0xC0) == 0x80
        && (bytes[2] & 0xC0) == 0x80)
        return {Status::Valid, 3, ((lead & 0x0Fu) << 12) | ((bytes[1] & 0x3Fu) << 6) | (bytes[2] & 0x3Fu)};
    int length = 0;
    char32_t code = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : low; // overlong below U+0800
        high = lead == 0xED ? 0x9F : high; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : low; // overlong below U+10000
        high = lead == 0xF4 ? 0x8F : high; // past U+10FFFF
    } else {
        return {Status::Invalid, 0, 0};
    }
    for (int k = 1; k < length; ++k) {
        if (static_cast<std::size_t>(k) == count)
            return {Status::CutShort, 0, 0};
        const unsigned char next = bytes[k];
        if (next < low || next > high)
            return {Status::Invalid, 0, 0};
        code = (code << 6) | (next & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return {Status::Valid, length, code};
}

} // namespace platform
