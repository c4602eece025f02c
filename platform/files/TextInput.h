#pragma once

#include "platform/files/ReadOnlyFile.h"
#include "platform/names/LegacyCodePage.h"

#include <QString>
#include <QStringDecoder>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>

namespace platform {

// Sequential text input: open a file by path, test for its end, read it line by line, close.
//
// The input exists for previews, which want the first few lines of thousands of files, so it
// is built to cost little more than the system calls themselves and to stay safe on whatever
// a folder holds:
//   - It never blocks and refuses anything that is not a regular file by its first read at
//     the latest, so a pipe, socket or device swapped in under a note's name fails instead of
//     stalling.
//   - It reads incrementally: nothing at all until the first line is asked for, then a small
//     first chunk, then more only when a line does not end inside what was read. It never
//     reads more than ByteLimit bytes of one file; the bound acts as the end of the file, so
//     a huge file without line ends costs the same as a small one.
//   - A line ends at CR, CR LF or LF, so files written on any system read alike.
//   - Text is decoded by its byte-order mark (UTF-8, UTF-16 LE or BE). Without one it is read
//     as UTF-8 as long as the lines read are valid UTF-8; from the first line that is not, it
//     is read in the legacy code page of the user's locale (see LegacyCodePage). A multi-byte
//     sequence cut by a read boundary or by the bound is not held against UTF-8.
//   - Bytes that do not decode become U+FFFD. A NUL never ends a line; it becomes U+FFFD too,
//     so the text after it survives and later code never meets an embedded NUL.
class TextInput {
public:
    // At most this many bytes of one file are read; they act as the whole file.
    static constexpr qint64 ByteLimit = 64 * 1024;
    // The first read asks for this much, enough for the previews of ordinary notes.
    static constexpr qint64 FirstChunk = 4 * 1024;

    enum class Encoding {
        Undetermined, // nothing read yet
        Utf8, // by byte-order mark, or because every line read so far is valid UTF-8
        Gb18030, // no byte-order mark and a line read was not valid UTF-8
        Utf16LE,
        Utf16BE,
    };

    // Throws Error: FileNotFound (53), PathNotFound (76) when a folder on the way is missing,
    // PathFileAccess (75) when access is denied or the path cannot be opened for reading.
    // Text that is not UTF-8 is read in legacyCodePage, a name QStringDecoder accepts.
    explicit TextInput(const QString& path, const char* legacyCodePage = LegacyCodePage::Name());
    ~TextInput();

    TextInput(const TextInput&) = delete;
    TextInput& operator=(const TextInput&) = delete;

    // True when no line is left, either at the end of the file or at ByteLimit. May read, and
    // so throws PathFileAccess (75) like ReadLine.
    bool AtEnd();
    // The next line without its terminator. Throws InputPastEnd (62) at the end, and
    // PathFileAccess (75) when the system fails to read.
    QString ReadLine();
    // The same, appended to text, which is left as it was when an error is thrown. Lets a
    // caller that joins lines build its text in one buffer instead of one string a line.
    void AppendLine(QString& text);
    // Releases the file; safe to call more than once. Afterwards the input is at its end.
    void Close();

    // Bytes actually read from the file so far.
    qint64 BytesRead() const { return static_cast<qint64>(m_size); }
    Encoding CurrentEncoding() const { return m_encoding; }

private:
    // How the bytes of a line being decoded came to an end.
    enum class LineEnd {
        Terminator, // a CR or LF follows them
        EndOfInput, // the file or ByteLimit ended them
    };

    void Fill();
    void Grow();
    void ReadChunk();
    void DetectEncoding();
    bool FindTerminator(std::size_t& terminator);
    char16_t UnitAt(std::size_t offset) const
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(m_data + offset);
        if (m_encoding == Encoding::Utf16LE)
            return static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
        if (m_encoding == Encoding::Utf16BE)
            return static_cast<char16_t>((bytes[0] << 8) | bytes[1]);
        return bytes[0];
    }
    std::size_t UnitSize() const { return m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE ? 2 : 1; }
    void AppendDecoded(QString& text, std::size_t begin, std::size_t end, LineEnd lineEnd);
    bool AppendValidUtf8(QString& text, std::size_t begin, std::size_t end);
    QString Decode(std::size_t begin, std::size_t end, LineEnd lineEnd);
    QString DecodeUtf8(std::size_t begin, std::size_t end);
    QString DecodeGb18030(std::size_t begin, std::size_t end);
    QString DecodeUtf16(std::size_t begin, std::size_t end);

    ReadOnlyFile m_file;
    const char* m_legacyCodePage;

    // The buffer holds every byte read so far, from the start of the file. One spare byte past
    // the capacity lets the decoder see a line feed after the last line (see DecodeGb18030).
    char* m_data {nullptr};
    std::size_t m_capacity {0};
    std::size_t m_size {0}; // bytes read, all kept in the buffer
    std::size_t m_begin {0}; // start of the next line
    std::size_t m_scanned {0}; // bytes already searched for a terminator
    bool m_endOfInput {false}; // the file ended, or ByteLimit was reached, or it was closed
    bool m_skipLineFeed {false};
    Encoding m_encoding {Encoding::Undetermined};
    bool m_utf8ByMark {false}; // a byte-order mark said UTF-8, so invalid bytes do not switch

    std::optional<QStringDecoder> m_decoder;
    std::unique_ptr<char[]> m_grown;
    // Small files never touch the heap for their bytes.
    std::array<char, FirstChunk + 1> m_firstChunk;
};

} // namespace platform
