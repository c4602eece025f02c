#pragma once

#include <QString>

namespace platform {

// The string rules the program's paths are written with.
class Strings {
public:
    // The folder followed by one separator, every doubled separator then collapsed, scanning
    // left to right without looking at replaced text again: "/" stays "/", "/home/ana"
    // becomes "/home/ana/", "/home///ana" becomes "/home//ana/".
    static QString FolderPrefix(const QString& path);
};

} // namespace platform
