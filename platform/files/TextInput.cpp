#include "platform/files/TextInput.h"

#include "platform/codepages/CodePageGuess.h"
#include "platform/files/ByteOrderMark.h"
#include "platform/files/ByteScan.h"
#include "platform/runtime/Error.h"

#include <algorithm>

namespace platform {

TextInput::TextInput(const QString& path, const char* prior)
    : m_buffer(path)
    , m_prior(prior)
{
}

TextInput::~TextInput()
{
    Close();
}

void TextInput::Close()
{
    m_buffer.Close();
    m_skipLineFeed = false;
    m_begin = m_buffer.Size();
    m_scanned = m_buffer.Size();
}

bool TextInput::AtEnd()
{
    for (;;) {
        const std::size_t unit = m_decoder.UnitSize();
        const std::size_t pending = m_buffer.Size() - m_begin;
        if (m_skipLineFeed && pending >= unit) {
            SkipLineFeedAfterReturn();
            continue;
        }
        if (m_buffer.Ended())
            return pending == 0;
        if (pending >= unit && !m_skipLineFeed)
            return false;
        Fill();
    }
}

// The previous line ended at CR; a LF right after it belongs to that terminator, even when
// the two arrived in different reads.
void TextInput::SkipLineFeedAfterReturn()
{
    m_skipLineFeed = false;
    if (m_decoder.UnitAt(m_buffer.Data() + m_begin) == u'\n')
        m_begin += m_decoder.UnitSize();
    m_scanned = std::max(m_scanned, m_begin);
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

    for (;;) {
        std::size_t end = 0;
        auto lineEnd = LineDecoder::LineEnd::Terminator;
        while (!FindTerminator(end)) {
            if (m_buffer.Ended()) {
                end = m_buffer.Size();
                lineEnd = LineDecoder::LineEnd::EndOfInput;
                break;
            }
            Fill();
        }
        char* const data = m_buffer.Data();
        if (!m_decoder.Append(text, data + m_begin, data + end, lineEnd)) {
            DecideEncoding();
            continue;
        }
        if (lineEnd == LineDecoder::LineEnd::EndOfInput) {
            EndLineAt(end);
            return;
        }
        m_skipLineFeed = m_decoder.UnitAt(data + end) == u'\r';
        EndLineAt(end + m_decoder.UnitSize());
        return;
    }
}

// Decided once per note, at its first line that is not UTF-8 text (for nearly every such note,
// its first line), from the bytes of that line on that the input holds: what the first read
// brought, never a read more. Lines before it stay UTF-8. UTF-16 is taken only from the start
// of the note: lines already read were ended at single bytes, which in UTF-16 are half a
// character, so past them the units could not be told apart again.
void TextInput::DecideEncoding()
{
    const std::size_t count = std::min(m_buffer.Size() - m_begin, static_cast<std::size_t>(FirstChunk));
    const char* encoding = CodePageGuess::ForNote(QByteArrayView(m_buffer.Data() + m_begin, count), m_prior);
    const LineDecoder::Encoding named = LineDecoder::Named(encoding);
    if (m_begin > 0 && (named == Encoding::Utf16LE || named == Encoding::Utf16BE))
        encoding = m_prior;
    m_decoder.Decide(encoding);
    // In UTF-16 the line ends elsewhere: it is searched again.
    if (m_decoder.UnitSize() > 1)
        m_scanned = m_begin;
}

void TextInput::EndLineAt(std::size_t next)
{
    m_begin = next;
    m_scanned = next;
}

void TextInput::Fill()
{
    const auto undetermined = [this] { return m_decoder.Current() == Encoding::Undetermined; };
    do {
        m_buffer.ReadMore();
        // A byte-order mark is judged whole: only a short first read, which a regular file
        // never gives before its end, could split one.
    } while (undetermined() && m_buffer.Size() < 3 && !m_buffer.Ended());
    if (!undetermined())
        return;
    const ByteOrderMark mark = ByteOrderMark::Of(m_buffer.Data(), m_buffer.Size());
    m_decoder.Start(mark.encoding, mark.length > 0 ? LineDecoder::Source::Mark : LineDecoder::Source::Presumed);
    EndLineAt(mark.length);
}

// Searches the bytes not searched before, so a long line read in several chunks is scanned
// once. CR and LF never occur inside a multi-byte character of UTF-8 or of any legacy code page read here, so a byte
// search is exact for both.
bool TextInput::FindTerminator(std::size_t& terminator)
{
    const char* const data = m_buffer.Data();
    const std::size_t from = std::max(m_scanned, m_begin);
    const std::size_t size = m_buffer.Size();
    const std::size_t unit = m_decoder.UnitSize();
    const std::size_t to = from + (size - from) / unit * unit;
    if (unit == 1) {
        if (const char* found = ByteScan::FindLineEnd(data + from, data + to)) {
            terminator = static_cast<std::size_t>(found - data);
            return true;
        }
    } else {
        for (std::size_t offset = from; offset < to; offset += unit) {
            const char16_t code = m_decoder.UnitAt(data + offset);
            if (code == u'\n' || code == u'\r') {
                terminator = offset;
                return true;
            }
        }
    }
    m_scanned = to;
    return false;
}

} // namespace platform
