#pragma once

#include <QString>

namespace platform {

// The few questions about paths that every part of the program must answer alike: whether a
// path is a folder, where a path splits into its folder and its name, how a folder is put in
// front of a name, and which folder the process stands in. Each goes through NativePath, so that a folder whose name is
// not UTF-8 is seen, split and found again the same way everywhere.
class FolderPath {
public:
    struct Parts {
        QString folder; // "/" for an entry of the root, "." for a bare name
        QString name; // after the last '/'; empty for a path that ends in one
    };

    // True when path names a folder, or a link to one.
    static bool IsFolder(const QString& path);
    // path split at its last '/'.
    static Parts Split(const QString& path);
    // The folder followed by one separator, every doubled separator then collapsed, scanning
    // left to right without looking at replaced text again: "/" stays "/", "/home/ana"
    // becomes "/home/ana/", "/home///ana" becomes "/home//ana/".
    static QString Prefix(const QString& folder);
    // The process's current folder, decoded like every listed name; "/" when the system
    // cannot say.
    static QString Current();
    // path itself when it starts at the root, otherwise path within the current folder.
    static QString Absolute(const QString& path);
};

} // namespace platform
