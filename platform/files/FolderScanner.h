#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

// Reads one folder's entries straight from the system (opendir, readdir and, only where the
// entry type is unknown, fstatat), because the lists must stay quick for folders of tens of
// thousands of names and must never open or wait on what they list. Names come back decoded
// by NativePath, so NativePath::Encode of folder + name finds each entry again. Hidden (dot)
// entries are left out. A folder that does not exist is error 76, one that cannot be read
// error 75.
//
// A link is never followed while the folder is read: it may lead to another drive, a share
// that stopped answering among them, and the whole listing would wait for it. The links come
// back apart, with the path they name, for the caller to judge on its own terms
// (GuardedListing); KindOf says what one leads to.
class FolderScanner {
public:
    // A link met while reading a folder: its name, its path, and where it leads, made absolute
    // from the folder without asking the disk ("../x" in /a/b is /a/x), which says the drive it
    // waits on.
    struct Link {
        QString name;
        QString path;
        QString target;
    };

    enum class Kind {
        File,
        Folder,
        Other, // a pipe, socket or device, or a link that leads nowhere
    };

    // The most names a file list holds; its count is a 16-bit value.
    static constexpr qsizetype MaxFiles = 32767;

    // Regular files whose names match the pattern (see NamePattern), in the order of the
    // user's locale (NameOrder); of a larger folder the first MaxFiles in that order. Links
    // whose names match go to links.
    // Pipes, sockets and devices are never files here: opening one could block or never end.
    static QStringList ListFiles(const QString& folder, const QString& pattern, QList<Link>& links);

    // Sub-folders, in the order of the user's locale; every link goes to links. Only this one level is read, so
    // a link that leads back up the tree is listed once like any other folder and never
    // followed further.
    static QStringList ListSubfolders(const QString& folder, QList<Link>& links);

    // What the path leads to, following links; Other for a link that leads nowhere.
    static Kind KindOf(const QString& path);
};

} // namespace platform
