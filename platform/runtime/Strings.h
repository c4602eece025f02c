#pragma once

#include <QChar>
#include <QString>

namespace platform {

// The string functions the program's rules are written with. They follow the classic
// runtime: lengths count UTF-16 code units, Left and Right clamp a length past the end and
// refuse a negative one (error 5), and replacing scans left to right without overlap.
class Strings {
public:
    static qsizetype Len(const QString& text);
    static QString Left(const QString& text, qsizetype length);
    static QString Right(const QString& text, qsizetype length);

    // Removes U+0020 spaces (and only those) from both ends.
    static QString TrimSpaces(const QString& text);

    // Every occurrence of find, exact comparison, scanning left to right; the scan resumes
    // after each replacement, so replaced text is never looked at again. An empty find
    // leaves the text as it is.
    static QString ReplaceAll(const QString& text, const QString& find, const QString& replacement);

    // The folder followed by one separator, every doubled separator then collapsed by
    // ReplaceAll: "/" stays "/", "/home/ana" becomes "/home/ana/". With the backslash
    // separator a path that starts with two of them names a network share, and those two
    // are kept; collapsing them would turn \\server\share into \server\share, which is no
    // longer the share.
    static QString FolderPrefix(const QString& path, QChar separator);
    static QString FolderPrefix(const QString& path);

    static QChar NativeSeparator();
};

} // namespace platform
