#pragma once

#include "platform/files/InputBuffer.h"
#include "platform/files/LineDecoder.h"
#include "platform/names/LegacyCodePage.h"

#include <QString>
#include <QtGlobal>

#include <cstddef>

namespace platform {

// Sequential text input: open a file by path, test for its end, read it line by line, close.
//
// The input exists for previews, which want the first few lines of thousands of files, so it
// is built to cost little more than the system calls themselves and to stay safe on whatever
// a folder holds:
//   - It never blocks and refuses anything that is not a regular file by its first read at
//     the latest, so a pipe, socket or device swapped in under a note's name fails instead of
//     stalling (see ReadOnlyFile).
//   - It reads incrementally: nothing at all until the first line is asked for, then a small
//     first chunk, then more only when a line does not end inside what was read. It never
//     reads more than ByteLimit bytes of one file; the bound acts as the end of the file, so
//     a huge file without line ends costs the same as a small one (see InputBuffer).
//   - A line ends at CR, CR LF or LF, so files written on any system read alike.
//   - Text is decoded by its byte-order mark, else as UTF-8 while the lines are UTF-8 text.
//     The first line that is not makes the note's encoding decided once, from what was read
//     of it anyway (CodePageGuess::ForNote, with the code page of the user's locale as the
//     prior), and the rest is read in that; what does not decode, and a NUL, becomes U+FFFD
//     (see LineDecoder).
class TextInput {
public:
    static constexpr qint64 ByteLimit = InputBuffer::ByteLimit;
    static constexpr qint64 FirstChunk = InputBuffer::FirstChunk;

    using Encoding = LineDecoder::Encoding;

    // Throws Error: FileNotFound (53), PathNotFound (76) when a folder on the way is missing,
    // PathFileAccess (75) when access is denied or the path cannot be opened for reading.
    // prior: the code page a note that is not UTF-8 is taken to be in unless its text reads
    // clearly better in another, a name QStringDecoder accepts.
    explicit TextInput(const QString& path, const char* prior = LegacyCodePage::Name());
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
    qint64 BytesRead() const { return static_cast<qint64>(m_buffer.Size()); }
    Encoding CurrentEncoding() const { return m_decoder.Current(); }
    // The encoding the note was judged to be in, once a line was not UTF-8 text; null before.
    const char* Decided() const { return m_decoder.Decided(); }

private:
    void Fill();
    void SkipLineFeedAfterReturn();
    bool FindTerminator(std::size_t& terminator);
    void DecideEncoding();
    void EndLineAt(std::size_t next);

    InputBuffer m_buffer;
    LineDecoder m_decoder;
    const char* m_prior;
    std::size_t m_begin {0}; // start of the next line
    std::size_t m_scanned {0}; // bytes already searched for a terminator
    bool m_skipLineFeed {false}; // the last line ended at CR, so a LF next belongs to it
};

} // namespace platform
