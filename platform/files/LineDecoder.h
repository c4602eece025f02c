#pragma once

#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <optional>

namespace platform {

// Turns the bytes of one line into text, in the encoding the file turned out to have.
//
// Text with a byte-order mark is decoded as it says (UTF-8, UTF-16 LE or BE). Without one it
// is read as UTF-8 as long as the lines are valid UTF-8; from the first line that is not, it
// is read in the legacy code page given (see LegacyCodePage). A multi-byte sequence
// cut by the end of what was read is not held against UTF-8. Bytes that do not decode become
// U+FFFD, and so does a NUL, so that later code never meets an embedded NUL.
class LineDecoder {
public:
    enum class Encoding {
        Undetermined, // nothing read yet
        Utf8, // by byte-order mark, or because every line read so far is valid UTF-8
        Legacy, // no byte-order mark and a line read was not valid UTF-8
        Utf16LE,
        Utf16BE,
    };

    // How the bytes of a line being decoded came to an end.
    enum class LineEnd {
        Terminator, // a CR or LF follows them
        EndOfInput, // the file or the read bound ended them
    };

    // Whether the encoding was stated by a byte-order mark or only presumed.
    enum class Source {
        Mark,
        Presumed,
    };

    // legacyCodePage: a name QStringDecoder accepts, for text that is not UTF-8.
    explicit LineDecoder(const char* legacyCodePage)
        : m_legacyCodePage(legacyCodePage)
    {
    }

    Encoding Current() const { return m_encoding; }
    void Start(Encoding encoding, Source source);

    // Bytes in one code unit of the encoding, and the code unit at bytes.
    std::size_t UnitSize() const { return IsUtf16() ? 2 : 1; }
    char16_t UnitAt(const char* at) const
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(at);
        if (m_encoding == Encoding::Utf16LE)
            return static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
        if (m_encoding == Encoding::Utf16BE)
            return static_cast<char16_t>((bytes[0] << 8) | bytes[1]);
        return bytes[0];
    }

    // Appends the line [begin, end) to text. A line cut by the end of the input must leave
    // one writable byte at end, which the legacy path borrows.
    void Append(QString& text, char* begin, char* end, LineEnd lineEnd);

private:
    bool IsUtf16() const { return m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE; }
    void JudgeUtf8(const char* begin, const char* end, LineEnd lineEnd);
    static bool AppendValidUtf8(QString& text, const char* begin, const char* end);
    static QString DecodeUtf8(const char* begin, const char* end);
    QString DecodeLegacy(char* begin, char* end, LineEnd lineEnd);
    QString DecodeUtf16(const char* begin, const char* end);

    const char* m_legacyCodePage;
    Encoding m_encoding {Encoding::Undetermined};
    Source m_source {Source::Presumed};
    std::optional<QStringDecoder> m_decoder;
    bool m_legacySubstitutes {false}; // LegacyCodePage::Substitutes, asked with the decoder
};

} // namespace platform
