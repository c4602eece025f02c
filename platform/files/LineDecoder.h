#pragma once

#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <optional>

namespace platform {

class CodePage;

// Turns the bytes of one line into text, in the encoding the file turned out to have.
//
// Text with a byte-order mark is decoded as it says (UTF-8, UTF-16 LE or BE). Without one it
// is read as UTF-8 as long as the lines are UTF-8 text: valid UTF-8 without a NUL, which no
// text file holds but UTF-16 of Latin letters is full of. The first line that is not makes
// the reader decide the encoding of the rest (Decide). A multi-byte sequence cut by the end
// of what was read is not held against UTF-8. Bytes that do not decode become U+FFFD, and so
// does a NUL, so that later code never meets an embedded NUL.
class LineDecoder {
public:
    enum class Encoding {
        Undetermined, // nothing read yet
        Utf8, // by byte-order mark, or because every line read so far is UTF-8 text
        Legacy, // in the legacy code page the note was judged to be in
        Utf16LE,
        Utf16BE,
    };

    // How the bytes of a line being decoded came to an end.
    enum class LineEnd {
        Terminator, // a CR or LF follows them
        EndOfInput, // the file or the read bound ended them
    };

    // Whether the encoding was stated by a byte-order mark, only presumed, or judged from the
    // text once a line was not UTF-8 text.
    enum class Source {
        Mark,
        Presumed,
        Judged,
    };

    Encoding Current() const { return m_encoding; }
    void Start(Encoding encoding, Source source);

    // From the line that Append refused on, the text is in the encoding named, one that
    // QStringDecoder accepts: a legacy code page, "UTF-16LE" or "UTF-16BE", or "UTF-8" for
    // UTF-8 with what does not decode as U+FFFD.
    void Decide(const char* encoding);
    // What Decide was told, or null while the note needed no decision.
    const char* Decided() const { return m_decided; }
    // The encoding a name given to Decide stands for.
    static Encoding Named(const char* encoding);

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

    // Appends the line [begin, end) to text. The bytes are the decoder's to change, and a line
    // cut by the end of the input must leave one writable byte at end, which the legacy path
    // borrows. Returns false, and appends nothing, for a line that is not UTF-8 text in a note
    // presumed UTF-8: the note's encoding is to be decided (Decide) and the line given again.
    [[nodiscard]] bool Append(QString& text, char* begin, char* end, LineEnd lineEnd);

private:
    bool IsUtf16() const { return m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE; }
    bool IsUtf8Text(const char* begin, const char* end, LineEnd lineEnd) const;
    static bool AppendValidUtf8(QString& text, const char* begin, const char* end);
    static QString DecodeUtf8(const char* begin, const char* end);
    QString DecodeLegacy(char* begin, char* end, LineEnd lineEnd);
    QString DecodeUtf16(const char* begin, const char* end);

    Encoding m_encoding {Encoding::Undetermined};
    Source m_source {Source::Presumed};
    const char* m_decided {nullptr};
    const CodePage* m_codePage {nullptr}; // for Legacy
    QStringDecoder* m_legacyDecoder {nullptr}; // the reading thread's, for m_codePage
    std::optional<QStringDecoder> m_decoder; // for UTF-16
};

} // namespace platform
