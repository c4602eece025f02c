#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// A folder listed for the lists without ever letting a drive that stopped answering hold the
// window for more than the deadline: the folder is read through the hang guard (GuardedCall),
// charged to its own drive, and the links met while reading it are judged apart, each charged
// to the drive it leads to, with its own give-up. A link whose drive does not answer is neither
// a file nor a folder (it is left out) and the rest of the listing stands: a "nas" link into a
// dead share costs the home folder nothing but that entry. The links of one drive are judged
// in one row, and the drives side by side, so that a folder costs at most one deadline more
// however many drives its links reach.
//
// A folder that does not answer is error 68; one that does not exist 76, one that cannot be
// read 75 (FolderScanner).
class GuardedListing {
public:
    // Regular files and links to them whose names match the pattern, in the order of the
    // user's locale (NameOrder), at most FolderScanner::MaxFiles.
    static QStringList Files(const QString& folder, const QString& pattern);
    // Sub-folders and links to folders, in the order of the user's locale.
    static QStringList Subfolders(const QString& folder);
};

} // namespace platform
