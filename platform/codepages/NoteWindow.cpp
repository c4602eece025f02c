#include "platform/codepages/NoteWindow.h"

#include "platform/names/Utf8.h"

#include <algorithm>
#include <cstring>

namespace platform::codepages {

namespace {

// A byte that no multi-byte code page uses inside a character: below the trail bytes of all
// of them (0x40) and no digit, which GB18030's four-byte characters have second.
bool EndsCharacters(char byte)
{
    return static_cast<unsigned char>(byte) < 0x30 || (byte >= 0x3A && byte < 0x40);
}

// A window cut from longer text ends after the last byte that ends a character in every
// code page, so that no reading is blamed for a character the cut split.
QByteArrayView Cut(QByteArrayView text, qsizetype size)
{
    if (size >= text.size())
        return text;
    for (qsizetype end = size; end > size / 2; --end) {
        if (EndsCharacters(text[end - 1]))
            return text.first(end);
    }
    return text.first(size);
}

bool HasHighByte(QByteArrayView bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
}

} // namespace

std::optional<QByteArrayView> NoteWindow::Of(QByteArrayView firstBytes)
{
    qsizetype start = 0;
    while (start < firstBytes.size()) {
        const qsizetype newline = firstBytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? firstBytes.size() : newline;
        const QByteArrayView line = firstBytes.sliced(start, end - start);
        const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
        // A character cut short by its line's end is no UTF-8, as the text input judges it; one
        // cut by the end of what was read may go on in the next read.
        const Utf8::Status status = Utf8::Check(bytes, std::size_t(line.size()));
        if (status == Utf8::Status::Invalid || (status == Utf8::Status::CutShort && newline >= 0)) {
            const QByteArrayView window = Cut(firstBytes.sliced(start), WindowBytes);
            return HasHighByte(window) ? std::optional(window) : std::nullopt;
        }
        start = end + 1;
    }
    return std::nullopt;
}

QByteArrayView NoteWindow::Start(QByteArrayView window)
{
    return Cut(window, StartBytes);
}

const char* NoteWindow::Utf16Shape(QByteArrayView firstBytes)
{
    const qsizetype units = std::min(WindowBytes, firstBytes.size()) / 2;
    // Nearly every note has no zero byte at all, which memchr tells fastest.
    if (units < 2 || !std::memchr(firstBytes.data(), 0, std::size_t(units * 2)))
        return nullptr;
    qsizetype evenZeros = 0;
    qsizetype oddZeros = 0;
    for (qsizetype unit = 0; unit < units; ++unit) {
        evenZeros += firstBytes[2 * unit] == 0;
        oddZeros += firstBytes[2 * unit + 1] == 0;
    }
    // Spaces, digits, line ends and Latin letters put a zero in every other byte; text in any
    // script has some. A zero on both sides is no text at all.
    if (oddZeros * 4 >= units && evenZeros * 8 <= oddZeros)
        return "UTF-16LE";
    if (evenZeros * 4 >= units && oddZeros * 8 <= evenZeros)
        return "UTF-16BE";
    return nullptr;
}

} // namespace platform::codepages
