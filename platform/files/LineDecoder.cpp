#include "platform/files/LineDecoder.h"

#include "platform/names/CodePage.h"

#include "platform/files/ByteScan.h"
#include "platform/names/Utf8.h"

#include <QByteArrayView>

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

namespace {

constexpr char16_t Replacement = 0xFFFD;

// Decodes bytes that must be valid UTF-8, writing UTF-16 to out and giving back the end of
// what was written. Returns nullptr, with out's contents undefined, for anything Utf8::Check
// would not call Valid, a character cut short at the end included, and for a NUL: those bytes
// take the careful path, which judges them. out has room for one unit per byte, so
// a step may write more units than it keeps: every one of them lies below the unit of the next
// byte still to decode. Runs of ASCII go sixteen bytes at a time where the processor has SSE2
// and eight at a time elsewhere; a run of multi-byte characters (a Chinese phrase) is decoded
// without looking for ASCII between its characters.
char16_t* DecodeValidUtf8(const unsigned char* bytes, const unsigned char* end, char16_t* out)
{
    while (bytes < end) {
#if defined(__SSE2__)
        while (end - bytes >= 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
            const __m128i zero = _mm_setzero_si128();
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(chunk, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(chunk, zero));
            // A byte past ASCII or a NUL ends the run; the units before it are kept.
            const auto stops
                = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(chunk, _mm_cmpeq_epi8(chunk, zero))));
            const int run = stops == 0 ? 16 : std::countr_zero(stops);
            out += run;
            bytes += run;
            if (run < 16)
                break;
        }
#endif
        while (end - bytes >= 8) {
            const std::uint64_t word = Utf8::WordAt(bytes);
            if (!Utf8::IsAscii(word) || ByteScan::HasZeroByte(word))
                break;
            for (int k = 0; k < 8; ++k)
                out[k] = bytes[k];
            out += 8;
            bytes += 8;
        }
        for (; bytes < end && *bytes < 0x80; ++bytes) {
            if (*bytes == 0)
                return nullptr;
            *out++ = *bytes;
        }
        while (bytes < end && *bytes >= 0x80) {
            const Utf8::Sequence sequence = Utf8::Next(bytes, static_cast<std::size_t>(end - bytes));
            if (sequence.status != Utf8::Status::Valid)
                return nullptr;
            if (sequence.code < 0x10000) {
                *out++ = static_cast<char16_t>(sequence.code);
            } else {
                *out++ = QChar::highSurrogate(sequence.code);
                *out++ = QChar::lowSurrogate(sequence.code);
            }
            bytes += sequence.length;
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

void ReplaceNul(QString& text, const char* begin, const char* end)
{
    if (std::memchr(begin, 0, static_cast<std::size_t>(end - begin)))
        text.replace(QChar(0), QChar(Replacement));
}

} // namespace

void LineDecoder::Start(Encoding encoding, Source source)
{
    m_encoding = encoding;
    m_source = source;
    if (IsUtf16()) {
        // The file's mark is not part of any line; a U+FEFF at the start of a line is text.
        const auto flags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
        m_decoder.emplace(
            m_encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, flags);
    }
}

LineDecoder::Encoding LineDecoder::Named(const char* encoding)
{
    // Asking Qt for the name costs more than reading the note's line: the names of the
    // Unicode encodings all start with "UTF", and no legacy code page's does.
    if ((encoding[0] | 0x20) != 'u')
        return Encoding::Legacy;
    switch (QStringConverter::encodingForName(encoding).value_or(QStringConverter::System)) {
    case QStringConverter::Utf8:
        return Encoding::Utf8;
    case QStringConverter::Utf16:
    case QStringConverter::Utf16LE:
        return Encoding::Utf16LE;
    case QStringConverter::Utf16BE:
        return Encoding::Utf16BE;
    default:
        return Encoding::Legacy;
    }
}

void LineDecoder::Decide(const char* encoding)
{
    m_decided = encoding;
    Start(Named(encoding), Source::Judged);
    if (m_encoding == Encoding::Legacy) {
        m_codePage = &CodePage::Named(encoding);
        m_legacyDecoder = &m_codePage->ThreadDecoder();
    }
}

bool LineDecoder::Append(QString& text, char* begin, char* end, LineEnd lineEnd)
{
    // Nearly every line of a note is valid UTF-8: it is checked and decoded in one pass,
    // straight into the caller's text. Anything else takes the careful path below.
    if (m_encoding == Encoding::Utf8 && AppendValidUtf8(text, begin, end))
        return true;
    switch (m_encoding) {
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        text += DecodeUtf16(begin, end);
        return true;
    case Encoding::Legacy:
        text += DecodeLegacy(begin, end, lineEnd);
        return true;
    case Encoding::Utf8:
        if (m_source == Source::Presumed && !IsUtf8Text(begin, end, lineEnd))
            return false;
        break;
    case Encoding::Undetermined:
        break;
    }
    text += DecodeUtf8(begin, end);
    return true;
}

// A character cut by the end of what was read is no evidence against UTF-8; one cut by a line
// terminator is.
bool LineDecoder::IsUtf8Text(const char* begin, const char* end, LineEnd lineEnd) const
{
    const auto count = static_cast<std::size_t>(end - begin);
    const auto status = Utf8::Check(reinterpret_cast<const unsigned char*>(begin), count);
    if (status == Utf8::Status::Invalid || (status == Utf8::Status::CutShort && lineEnd == LineEnd::Terminator))
        return false;
    return std::memchr(begin, 0, count) == nullptr;
}

bool LineDecoder::AppendValidUtf8(QString& text, const char* begin, const char* end)
{
    const qsizetype before = text.size();
    // A line of n bytes never decodes to more than n UTF-16 units.
    text.resize(before + (end - begin));
    auto* units = reinterpret_cast<char16_t*>(text.data());
    char16_t* last = DecodeValidUtf8(
        reinterpret_cast<const unsigned char*>(begin), reinterpret_cast<const unsigned char*>(end), units + before);
    text.resize(last ? last - units : before);
    return last != nullptr;
}

QString LineDecoder::DecodeUtf8(const char* begin, const char* end)
{
    const qsizetype count = end - begin;
    QString text = QString::fromUtf8(begin, count);
    // fromUtf8 takes EF BB BF at the start of its input for a byte-order mark and drops it. The
    // file's own mark was taken off when the encoding was detected, so one at the start of a
    // line is a character, a zero-width no-break space, and is kept as UTF-16 keeps it.
    if (count >= 3 && std::memcmp(begin, "\xEF\xBB\xBF", 3) == 0)
        text.prepend(QChar(0xFEFF));
    ReplaceNul(text, begin, end);
    return text;
}

QString LineDecoder::DecodeLegacy(char* begin, char* end, LineEnd lineEnd)
{
    // Qt reaches the legacy code pages through ICU; a Qt built without it has no such decoder, and the
    // bytes then read as UTF-8 with replacement characters rather than not at all.
    if (!m_codePage->Converts())
        return DecodeUtf8(begin, end);

    // Searching every decoded line for U+001A would cost a rebuild of GB18030 notes 3 %. In a
    // code page that never substitutes it, only a 0x1A byte gives one, and the line's bytes are
    // searched for that far more cheaply than its text, before the control bytes are turned.
    const bool substitutes
        = m_codePage->Substitutes() || std::memchr(begin, 0x1A, static_cast<std::size_t>(end - begin));
    m_codePage->ForDecoder(begin, end);
    // The decoder silently drops an incomplete character at the very end of its input. Given
    // one byte more, the line's terminator or a line feed put into the spare byte past the
    // data, it reports such a character as U+FFFD instead; the extra character is cut again.
    if (lineEnd == LineEnd::EndOfInput)
        *end = '\n';
    QString text = (*m_legacyDecoder)(QByteArrayView(begin, end - begin + 1));
    if (!text.isEmpty() && (text.back() == u'\n' || text.back() == u'\r'))
        text.chop(1);
    ReplaceNul(text, begin, end);
    if (substitutes)
        CodePage::ReplaceSubstitutes(text);
    return text;
}

QString LineDecoder::DecodeUtf16(const char* begin, const char* end)
{
    QString text = (*m_decoder)(QByteArrayView(begin, end - begin));
    ReplaceUnshowable(text);
    return text;
}

} // namespace platform
