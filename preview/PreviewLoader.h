#pragma once

#include <QString>

#include <cstdint>

namespace preview {

// Turns one text file into the text of its preview box: the file's first non-blank lines,
// joined by CR LF. It never fails towards its caller; whatever goes wrong, it returns text.
class PreviewLoader {
public:
    // linesPerItem is taken by reference and read again at every turn of the loop, so a
    // change made while the file is read is honoured at once. Returns:
    //   - up to linesPerItem lines that hold more than spaces, untrimmed, joined by CR LF;
    //   - when the file cannot be opened or read before any line was taken, "无法加载 "
    //     followed by pathName;
    //   - when reading fails after some lines were taken, those lines, each followed by CR LF.
    static QString Load(const QString& pathName, const std::int32_t& linesPerItem);

    // What a note that cannot be read at all shows: "无法加载 " followed by its path.
    static QString FailureText(const QString& pathName);
};

} // namespace preview
