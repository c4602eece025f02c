#include "platform/TextInput.h"

#include "platform/Error.h"

#include <QByteArrayView>

#include <algorithm>
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

TextInput::TextInput(const QString& path)
    : m_file(path)
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
    if (AtEnd())
        throw Error(ErrorCode::InputPastEnd);

    std::size_t terminator = 0;
    while (!FindTerminator(terminator)) {
        if (m_endOfInput) {
            QString line = Decode(m_begin, m_size, LineEnd::EndOfInput);
            m_begin = m_size;
            m_scanned = m_size;
            return line;
        }
        Fill();
    }
    QString line = Decode(m_begin, terminator, LineEnd::Terminator);
    m_skipLineFeed = UnitAt(terminator) == u'\r';
    m_begin = terminator + UnitSize();
    m_scanned = m_begin;
    return line;
}

void TextInput::Fill()
{
    if (m_endOfInput)
        return;
    if (m_size == m_capacity)
        Grow();
    const std::size_t before = m_size;
    ReadChunk();
    // Reaching the bound ends the input; so does a fill that got nothing, so that no caller
    // can ever loop waiting for bytes that will not come.
    if (m_size >= static_cast<std::size_t>(ByteLimit) || m_size == before)
        m_endOfInput = true;
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

void TextInput::ReadChunk()
{
    while (m_size < m_capacity) {
        const std::size_t got = m_file.Read(m_data + m_size, m_capacity - m_size);
        if (got == 0) {
            m_endOfInput = true;
            return;
        }
        m_size += got;
        // The size taken when the file was opened says where it ends, which saves the read
        // that would only return nothing. A file that reports no size (some kernel files do)
        // or more than it holds is read until the system says it ended; one that grew after
        // it was opened may be read only up to about its size at that time.
        if (m_file.Size() > 0 && static_cast<qint64>(m_size) >= m_file.Size()) {
            m_endOfInput = true;
            return;
        }
    }
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

std::size_t TextInput::UnitSize() const
{
    return m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE ? 2 : 1;
}

char16_t TextInput::UnitAt(std::size_t offset) const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_data + offset);
    if (m_encoding == Encoding::Utf16LE)
        return static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
    if (m_encoding == Encoding::Utf16BE)
        return static_cast<char16_t>((bytes[0] << 8) | bytes[1]);
    return bytes[0];
}

// Searches the bytes not searched before, so a long line read in several chunks is scanned
// once. CR and LF never occur inside a multi-byte character of UTF-8 or GB18030, so a byte
// search is exact for both.
bool TextInput::FindTerminator(std::size_t& terminator)
{
    const std::size_t from = std::max(m_scanned, m_begin);
    if (UnitSize() == 1) {
        for (std::size_t offset = from; offset < m_size; ++offset) {
            if (m_data[offset] == '\n' || m_data[offset] == '\r') {
                terminator = offset;
                return true;
            }
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
    if (std::memchr(m_data + begin, 0, end - begin))
        text.replace(QChar(0), QChar(Replacement));
    return text;
}

QString TextInput::DecodeGb18030(std::size_t begin, std::size_t end)
{
    if (!m_decoder)
        m_decoder.emplace("GB18030", QStringConverter::Flag::Stateless);
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
    return text;
}

QString TextInput::DecodeUtf16(std::size_t begin, std::size_t end)
{
    QString text = (*m_decoder)(QByteArrayView(m_data + begin, static_cast<qsizetype>(end - begin)));
    ReplaceUnshowable(text);
    return text;
}

} // namespace platform
