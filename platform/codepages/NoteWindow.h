#pragma once

#include <QByteArrayView>

#include <optional>

namespace platform::codepages {

// The part of a note's first bytes its code page is judged from. A note whose bytes are UTF-8
// is read as UTF-8 line by line until a line that is not, so the judging starts at that line:
// the lines before it are read as UTF-8 whatever the code page. It takes at most WindowBytes
// from there, which holds the first lines of any note (a preview shows five), so that judging
// costs the same for a note of a line and one of a megabyte.
class NoteWindow {
public:
    static constexpr qsizetype WindowBytes = 256;

    // The window, or nothing when no line is left to judge: every line is UTF-8, or ASCII,
    // which every candidate reads alike.
    static std::optional<QByteArrayView> Of(QByteArrayView firstBytes);

    // The first StartBytes of a window, cut as a window is: what the prior's reading of a note
    // is first judged by, since most notes are in the prior and this says so for less.
    static constexpr qsizetype StartBytes = 64;
    static QByteArrayView Start(QByteArrayView window);

    // Whether the bytes have zero bytes at the places ASCII has them in UTF-16 without a mark:
    // "UTF-16LE" or "UTF-16BE", or nullptr. No legacy code page writes a zero byte in text.
    static const char* Utf16Shape(QByteArrayView firstBytes);
};

} // namespace platform::codepages
