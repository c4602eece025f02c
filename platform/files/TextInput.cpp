#include "platform/files/TextInput.h"

#include "platform/runtime/Error.h"

#include <QByteArrayView>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

enum class Utf8Verdict {
    Valid,
    Invalid,
    CutShort, // valid, but the last character is missing bytes
};

// A plain UTF-8 validity check (no overlong forms, no surrogates, nothing past U+10FFFF).
// Runs of ASCII, the bulk of most notes, are skipped eight bytes at a time.
Utf8Verdict CheckUtf8(const unsigned char* bytes, std::size_t count)
{
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    std::size_t i = 0;
    while (i < count) {
        if (count - i >= 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            if ((word & HighBits) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char lead = bytes[i++];
        if (lead < 0x80)
            continue;
        int following = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            following = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            following = 2;
            if (lead == 0xE0)
                low = 0xA0;
            if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            following = 3;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F;
        } else {
            return Utf8Verdict::Invalid;
        }
        for (; following > 0; --following, ++i) {
            if (i == count)
                return Utf8Verdict::CutShort;
            if (bytes[i] < low || bytes[i] > high)
                return Utf8Verdict::Invalid;
            low = 0x80;
            high = 0xBF;
        }
    }
    return Utf8Verdict::Valid;
}

constexpr char16_t Replacement = 0xFFFD;

constexpr std::uint64_t EveryByte(unsigned char byte)
{
    return 0x0101010101010101u * byte;
}

// True when one of the eight bytes of word is zero (exact, not just likely).
constexpr bool HasZeroByte(std::uint64_t word)
{
    return ((word - EveryByte(0x01)) & ~word & EveryByte(0x80)) != 0;
}

// The first CR or LF in [from, to), or nullptr. Eight bytes are tested at a time, so a line
// of a note costs a few instructions for every eight of its bytes.
const char* FindLineEnd(const char* from, const char* to)
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

// Decodes bytes that must be valid UTF-8 as CheckUtf8 defines it, writing UTF-16 to out and
// giving back the end of what was written; a NUL becomes U+FFFD, as on the careful path.
// Returns nullptr, with out's contents undefined, for anything CheckUtf8 would not call
// Valid, a character cut short at the end included: those bytes take the careful path.
// Runs of ASCII go eight bytes at a time; a run of multi-byte characters (a Chinese phrase)
// is decoded without looking for ASCII between its characters.
char16_t* DecodeValidUtf8(const unsigned char* bytes, std::size_t count, char16_t* out)
{
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    const unsigned char* const end = bytes + count;
    while (bytes < end) {
        while (end - bytes >= 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes, 8);
            if ((word & HighBits) != 0 || HasZeroByte(word))
                break;
            for (int k = 0; k < 8; ++k)
                out[k] = bytes[k];
            out += 8;
            bytes += 8;
        }
        while (bytes < end && *bytes < 0x80) {
            *out++ = *bytes == 0 ? Replacement : *bytes;
            ++bytes;
        }
        while (bytes < end && *bytes >= 0x80) {
            const unsigned char lead = *bytes;
            const auto left = end - bytes;
            if ((lead & 0xF0) == 0xE0) {
                // Three bytes, most of Chinese. An overlong form or a surrogate shows in the
                // decoded value, which saves testing the second byte against the lead.
                if (left < 3 || (bytes[1] & 0xC0) != 0x80 || (bytes[2] & 0xC0) != 0x80)
                    return nullptr;
                const auto code
                    = static_cast<char16_t>(((lead & 0x0Fu) << 12) | ((bytes[1] & 0x3Fu) << 6) | (bytes[2] & 0x3Fu));
                if (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))
                    return nullptr;
                *out++ = code;
                bytes += 3;
            } else if (lead >= 0xC2 && lead <= 0xDF) {
                if (left < 2 || (bytes[1] & 0xC0) != 0x80)
                    return nullptr;
                *out++ = static_cast<char16_t>(((lead & 0x1Fu) << 6) | (bytes[1] & 0x3Fu));
                bytes += 2;
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                if (left < 4)
                    return nullptr;
                const unsigned char second = bytes[1];
                const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
                const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
                if (second < low || second > high || (bytes[2] & 0xC0) != 0x80 || (bytes[3] & 0xC0) != 0x80)
                    return nullptr;
                const char32_t code = ((lead & 0x07u) << 18) | ((second & 0x3Fu) << 12) | ((bytes[2] & 0x3Fu) << 6)
                    | (bytes[3] & 0x3Fu);
                *out++ = QChar::highSurrogate(code);
                *out++ = QChar::lowSurrogate(code);
                bytes += 4;
            } else {
                return nullptr;
            }
        }
    }
    return out;
}

// NUL and unpaired surrogates are replaced, so that no later step cuts the text at a NUL or
// hands the text layout half of a character.
void ReplaceUnshowable(QString& text)
{
    QChar* characters = text.data();
    const auto count = text.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QChar character = characters[i];
        if (character.isHighSurrogate() && i + 1 < count && characters[i + 1].isLowSurrogate())
            ++i;
        else if (character.isNull() || character.isSurrogate())
            characters[i] = QChar(Replacement);
    }
}

} // namespace

TextInput::TextInput(const QString& path, const char* legacyCodePage)
    : m_file(path)
    , m_legacyCodePage(legacyCodePage)
{
    m_data = m_firstChunk.data();
    m_capacity = static_cast<std::size_t>(FirstChunk);
}

TextInput::~TextInput()
{
    Close();
}

void TextInput::Close()
{
    m_file.Close();
    m_endOfInput = true;
    m_skipLineFeed = false;
    m_begin = m_size;
    m_scanned = m_size;
}

bool TextInput::AtEnd()
{
    for (;;) {
        const std::size_t unit = UnitSize();
        const std::size_t pending = m_size - m_begin;
        if (m_skipLineFeed && pending >= unit) {
            // The previous line ended at CR; a LF right after it belongs to that terminator.
            m_skipLineFeed = false;
            if (UnitAt(m_begin) == u'\n')
                m_begin += unit;
            m_scanned = std::max(m_scanned, m_begin);
            continue;
        }
        if (m_endOfInput)
            return pending == 0;
        if (pending >= unit && !m_skipLineFeed)
            return false;
        Fill();
    }
}

QString TextInput::ReadLine()
{
    QString line;
    AppendLine(line);
    return line;
}

void TextInput::AppendLine(QString& text)
{
    if (AtEnd())
        throw Error(ErrorCode::InputPastEnd);

    std::size_t terminator = 0;
    while (!FindTerminator(terminator)) {
        if (m_endOfInput) {
            AppendDecoded(text, m_begin, m_size, LineEnd::EndOfInput);
            m_begin = m_size;
            m_scanned = m_size;
            return;
        }
        Fill();
    }
    AppendDecoded(text, m_begin, terminator, LineEnd::Terminator);
    m_skipLineFeed = UnitAt(terminator) == u'\r';
    m_begin = terminator + UnitSize();
    m_scanned = m_begin;
}

void TextInput::Fill()
{
    if (m_endOfInput)
        return;
    do {
        if (m_size == m_capacity)
            Grow();
        ReadChunk();
        // Reaching the bound ends the input, as does a read that got nothing (see ReadChunk).
        if (m_size >= static_cast<std::size_t>(ByteLimit))
            m_endOfInput = true;
        // A byte-order mark is judged whole: only a short first read, which a regular file
        // never gives before its end, could split one.
    } while (m_encoding == Encoding::Undetermined && m_size < 3 && !m_endOfInput);
    if (m_encoding == Encoding::Undetermined)
        DetectEncoding();
}

// Every byte read stays in the buffer, so growing copies at most ByteLimit bytes in all; the
// capacity doubles, so a long line costs a handful of reads rather than one per chunk.
void TextInput::Grow()
{
    const auto capacity = std::min(m_capacity * 2, static_cast<std::size_t>(ByteLimit));
    auto grown = std::make_unique_for_overwrite<char[]>(capacity + 1);
    std::memcpy(grown.get(), m_data, m_size);
    m_grown = std::move(grown);
    m_data = m_grown.get();
    m_capacity = capacity;
}

// One read a fill. A note shorter than the chunk arrives whole with the first read, and when
// its preview's lines are all there no second read is made only to learn that it ended; when
// they are not, the caller fills again and a read that gets nothing ends the input, so that
// no caller can loop waiting for bytes that will not come.
void TextInput::ReadChunk()
{
    const std::size_t got = m_file.Read(m_data + m_size, m_capacity - m_size);
    if (got == 0)
        m_endOfInput = true;
    m_size += got;
}

void TextInput::DetectEncoding()
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_data);
    m_encoding = Encoding::Utf8;
    if (m_size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        m_utf8ByMark = true;
        m_begin = 3;
    } else if (m_size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        m_encoding = Encoding::Utf16LE;
        m_begin = 2;
    } else if (m_size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        m_encoding = Encoding::Utf16BE;
        m_begin = 2;
    }
    m_scanned = m_begin;
    if (m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE) {
        // The mark was taken off above; a U+FEFF at the start of a line is text and is kept.
        const auto flags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
        m_decoder.emplace(
            m_encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, flags);
    }
}

// Searches the bytes not searched before, so a long line read in several chunks is scanned
// once. CR and LF never occur inside a multi-byte character of UTF-8 or GB18030, so a byte
// search is exact for both.
bool TextInput::FindTerminator(std::size_t& terminator)
{
    const std::size_t from = std::max(m_scanned, m_begin);
    if (UnitSize() == 1) {
        const char* found = FindLineEnd(m_data + from, m_data + m_size);
        if (found) {
            terminator = static_cast<std::size_t>(found - m_data);
            return true;
        }
        m_scanned = m_size;
        return false;
    }
    const std::size_t to = from + (m_size - from) / 2 * 2;
    for (std::size_t offset = from; offset < to; offset += 2) {
        const char16_t code = UnitAt(offset);
        if (code == u'\n' || code == u'\r') {
            terminator = offset;
            return true;
        }
    }
    m_scanned = to;
    return false;
}

void TextInput::AppendDecoded(QString& text, std::size_t begin, std::size_t end, LineEnd lineEnd)
{
    // Nearly every line of a note is valid UTF-8: it is checked and decoded in one pass,
    // straight into the caller's text. Anything else takes the careful path below, which
    // decides the encoding exactly as it always has.
    if (m_encoding == Encoding::Utf8 && AppendValidUtf8(text, begin, end))
        return;
    text += Decode(begin, end, lineEnd);
}

bool TextInput::AppendValidUtf8(QString& text, std::size_t begin, std::size_t end)
{
    const qsizetype before = text.size();
    // A line of n bytes never decodes to more than n UTF-16 units.
    text.resize(before + static_cast<qsizetype>(end - begin));
    auto* units = reinterpret_cast<char16_t*>(text.data());
    char16_t* last
        = DecodeValidUtf8(reinterpret_cast<const unsigned char*>(m_data + begin), end - begin, units + before);
    text.resize(last ? last - units : before);
    return last != nullptr;
}

QString TextInput::Decode(std::size_t begin, std::size_t end, LineEnd lineEnd)
{
    if (m_encoding == Encoding::Utf8 && !m_utf8ByMark) {
        // A character cut by the end of what was read is no evidence against UTF-8; one cut
        // by a line terminator is.
        const auto verdict = CheckUtf8(reinterpret_cast<const unsigned char*>(m_data + begin), end - begin);
        if (verdict == Utf8Verdict::Invalid || (verdict == Utf8Verdict::CutShort && lineEnd == LineEnd::Terminator))
            m_encoding = Encoding::Gb18030;
    }
    switch (m_encoding) {
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        return DecodeUtf16(begin, end);
    case Encoding::Gb18030:
        return DecodeGb18030(begin, end);
    case Encoding::Undetermined:
    case Encoding::Utf8:
        break;
    }
    return DecodeUtf8(begin, end);
}

QString TextInput::DecodeUtf8(std::size_t begin, std::size_t end)
{
    const auto count = static_cast<qsizetype>(end - begin);
    QString text = QString::fromUtf8(m_data + begin, count);
    // fromUtf8 takes EF BB BF at the start of its input for a byte-order mark and drops it. The
    // file's own mark was taken off when the encoding was detected, so one at the start of a
    // line is a character, a zero-width no-break space, and is kept as UTF-16 keeps it.
    if (count >= 3 && std::memcmp(m_data + begin, "\xEF\xBB\xBF", 3) == 0)
        text.prepend(QChar(0xFEFF));
    if (std::memchr(m_data + begin, 0, end - begin))
        text.replace(QChar(0), QChar(Replacement));
    return text;
}

QString TextInput::DecodeGb18030(std::size_t begin, std::size_t end)
{
    if (!m_decoder)
        m_decoder.emplace(m_legacyCodePage, QStringConverter::Flag::Stateless);
    // Qt reaches GB18030 through ICU; a Qt built without it has no such decoder, and the
    // bytes then read as UTF-8 with replacement characters rather than not at all.
    if (!m_decoder->isValid())
        return DecodeUtf8(begin, end);

    // The decoder silently drops an incomplete character at the very end of its input. Given
    // one byte more, the line's terminator or a line feed put into the spare byte past the
    // data, it reports such a character as U+FFFD instead; the extra character is cut again.
    if (end == m_size)
        m_data[end] = '\n';
    QString text = (*m_decoder)(QByteArrayView(m_data + begin, static_cast<qsizetype>(end - begin + 1)));
    if (!text.isEmpty() && (text.back() == u'\n' || text.back() == u'\r'))
        text.chop(1);
    if (std::memchr(m_data + begin, 0, end - begin))
        text.replace(QChar(0), QChar(Replacement));
    LegacyCodePage::ReplaceSubstitutes(text);
    return text;
}

QString TextInput::DecodeUtf16(std::size_t begin, std::size_t end)
{
    QString text = (*m_decoder)(QByteArrayView(m_data + begin, static_cast<qsizetype>(end - begin)));
    ReplaceUnshowable(text);
    return text;
}

} // namespace platform
