#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Reads one folder's entries straight from the system (opendir, readdir and, only where the
// entry type is unknown or a link, fstatat), because the lists must stay quick for folders of
// tens of thousands of names and must never open or wait on what they list. Names come back
// decoded by NativePath, so NativePath::Encode of folder + name finds each entry again.
// Hidden (dot) entries are left out. A folder that does not exist is error 76, one that
// cannot be read error 75.
class FolderScanner {
public:
    // The most names a file list holds; its count is a 16-bit value.
    static constexpr qsizetype MaxFiles = 32767;

    // Regular files, and links to regular files, whose names match the pattern (see
    // NamePattern), in the order of the user's locale (NameOrder); of a larger folder the first
    // MaxFiles in that order.
    // Pipes, sockets, devices and links to them are never files here: opening one could
    // block or never end.
    static QStringList ListFiles(const QString& folder, const QString& pattern);

    // Sub-folders, links to folders included, in the order of the user's locale. Only this one
    // level is read, so a link that leads back up the tree is listed once like any other folder
    // and never followed further.
    static QStringList ListSubfolders(const QString& folder);
};

} // namespace platform
