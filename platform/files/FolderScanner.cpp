#include "platform/files/FolderScanner.h"

#include "platform/hang/CallClock.h"
#include "platform/names/NamePattern.h"
#include "platform/names/NativePath.h"
#include "platform/names/NaturalOrder.h"
#include "platform/runtime/Error.h"

#include <QDir>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

enum class EntryKind {
    File,
    Folder,
    Link,
    Other,
};

class OpenFolder {
public:
    explicit OpenFolder(const QString& folder)
    {
        if (folder.isEmpty())
            throw Error(ErrorCode::PathNotFound);
        const CallClock::Call call;
        m_dir = ::opendir(NativePath::Encode(folder).constData());
        if (!m_dir)
            throw Error(errorFor(errno));
    }
    ~OpenFolder()
    {
        const CallClock::Call call;
        ::closedir(m_dir);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // The next entry, or null at the end; a read error part way is an access error rather
    // than a silently shortened list.
    const dirent* Next()
    {
        const CallClock::Call call;
        errno = 0;
        const dirent* entry = ::readdir(m_dir);
        if (!entry && errno != 0)
            throw Error(ErrorCode::PathFileAccess);
        return entry;
    }

    int Descriptor() const { return ::dirfd(m_dir); }

private:
    static ErrorCode errorFor(int error)
    {
        switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return ErrorCode::PathNotFound;
        default:
            return ErrorCode::PathFileAccess;
        }
    }

    DIR* m_dir {nullptr};
};

bool isHidden(const dirent* entry)
{
    return entry->d_name[0] == '.';
}

EntryKind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISLNK(mode))
        return EntryKind::Link;
    return EntryKind::Other;
}

// The entry type from the folder itself where the file system gives it; an unknown type costs
// one stat of the entry itself, which does not follow a link.
EntryKind kindOf(const OpenFolder& folder, const dirent* entry)
{
    switch (entry->d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
        return EntryKind::Link;
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    const CallClock::Call call;
    struct stat info { };
    if (::fstatat(folder.Descriptor(), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other;
    return kindOfMode(info.st_mode);
}

// Where a link leads, read from the link itself, which lies in the folder being read; a target
// that is not absolute is taken from the folder, as the system does.
FolderScanner::Link linkOf(const OpenFolder& folder, const QString& folderPath, QString name, const dirent* entry)
{
    const CallClock::Call call;
    char target[4096];
    const ssize_t length = ::readlinkat(folder.Descriptor(), entry->d_name, target, sizeof target);
    QString path = length > 0 ? NativePath::Decode(QByteArrayView(target, length)) : QString();
    if (!path.startsWith(u'/'))
        path = folderPath + u'/' + path;
    return {std::move(name), QDir::cleanPath(path)};
}

QString nameOf(const dirent* entry)
{
    return NativePath::Decode(QByteArrayView(entry->d_name));
}

} // namespace

QStringList FolderScanner::ListFiles(const QString& folder, const QString& pattern, QList<Link>& links)
{
    NamePattern matcher(pattern);
    OpenFolder open(folder);
    QStringList names;
    while (const dirent* entry = open.Next()) {
        if (isHidden(entry))
            continue;
        QString name = nameOf(entry);
        // Matching first keeps the stat calls to the names that would be listed.
        if (!matcher.Matches(name))
            continue;
        const EntryKind kind = kindOf(open, entry);
        if (kind == EntryKind::Link)
            links.append(linkOf(open, folder, std::move(name), entry));
        else if (kind == EntryKind::File)
            names.append(std::move(name));
    }
    NaturalOrder::Sort(names);
    if (names.size() > MaxFiles)
        names.resize(MaxFiles);
    return names;
}

QStringList FolderScanner::ListSubfolders(const QString& folder, QList<Link>& links)
{
    OpenFolder open(folder);
    QStringList names;
    while (const dirent* entry = open.Next()) {
        if (isHidden(entry))
            continue;
        const EntryKind kind = kindOf(open, entry);
        if (kind == EntryKind::Link)
            links.append(linkOf(open, folder, nameOf(entry), entry));
        else if (kind == EntryKind::Folder)
            names.append(nameOf(entry));
    }
    NaturalOrder::Sort(names);
    return names;
}

FolderScanner::Kind FolderScanner::KindOf(const QString& path)
{
    const CallClock::Call call;
    struct stat info { };
    if (::stat(NativePath::Encode(path).constData(), &info) != 0)
        return Kind::Other;
    switch (kindOfMode(info.st_mode)) {
    case EntryKind::File:
        return Kind::File;
    case EntryKind::Folder:
        return Kind::Folder;
    default:
        return Kind::Other;
    }
}

} // namespace platform
