#include "platform/files/FolderScanner.h"

#include "platform/codepages/CodePageGuess.h"
#include "platform/hang/CallClock.h"
#include "platform/names/LegacyCodePage.h"
#include "platform/names/NameOrder.h"
#include "platform/names/NamePattern.h"
#include "platform/names/NativePath.h"
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
EntryKind kindOf(const OpenFolder& folder, const char* name, unsigned char type)
{
    switch (type) {
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
    if (::fstatat(folder.Descriptor(), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other;
    return kindOfMode(info.st_mode);
}

// A link met in the folder, with where it leads, read from the link itself, which lies in the
// folder being read; a target that is not absolute is taken from the folder, as the system does.
FolderScanner::Link linkOf(const OpenFolder& folder, const QString& folderPath, QString name, const char* bytes)
{
    const CallClock::Call call;
    char target[4096];
    const ssize_t length = ::readlinkat(folder.Descriptor(), bytes, target, sizeof target);
    QString leadsTo = length > 0 ? NativePath::Decode(QByteArrayView(target, length)) : QString();
    if (!leadsTo.startsWith(u'/'))
        leadsTo = folderPath + u'/' + leadsTo;
    QString path = folderPath + u'/' + name;
    return {std::move(name), std::move(path), QDir::cleanPath(leadsTo)};
}

// A name that is not UTF-8, kept as the system's bytes until the folder has been read.
struct LegacyEntry {
    QByteArray name;
    unsigned char type;
};

// Hands each entry that is not hidden to take, decoded, with its bytes and type. A folder's
// names usually come from one source, and one name alone is too short to tell its code page
// by, so the names that are not UTF-8 are judged together, once the folder has been read, with
// the locale's code page as the prior; each is then read in the code page chosen.
template<typename Take> void forEachEntry(OpenFolder& folder, Take take)
{
    const char* const prior = LegacyCodePage::Name();
    QList<LegacyEntry> legacy;
    while (const dirent* entry = folder.Next()) {
        if (isHidden(entry))
            continue;
        const QByteArrayView name(entry->d_name);
        if (NativePath::IsUtf8(name))
            take(NativePath::DecodeName(name, prior), entry->d_name, entry->d_type);
        else
            legacy.append({name.toByteArray(), entry->d_type});
    }
    if (legacy.isEmpty())
        return;
    QList<QByteArray> names;
    names.reserve(legacy.size());
    for (const LegacyEntry& entry : legacy)
        names.append(entry.name);
    const char* const codePage = CodePageGuess::ForNames(names, prior);
    for (const LegacyEntry& entry : legacy)
        take(NativePath::DecodeName(entry.name, codePage), entry.name.constData(), entry.type);
}

} // namespace

QStringList FolderScanner::ListFiles(const QString& folder, const QString& pattern, QList<Link>& links)
{
    NamePattern matcher(pattern);
    OpenFolder open(folder);
    NameOrder order;
    forEachEntry(open, [&](QString&& name, const char* bytes, unsigned char type) {
        // Matching first keeps the stat calls to the names that would be listed.
        if (!matcher.Matches(name))
            return;
        const EntryKind kind = kindOf(open, bytes, type);
        if (kind == EntryKind::Link)
            links.append(linkOf(open, folder, std::move(name), bytes));
        else if (kind == EntryKind::File)
            order.Add(std::move(name));
    });
    QStringList names = order.Sorted();
    if (names.size() > MaxFiles)
        names.resize(MaxFiles);
    return names;
}

QStringList FolderScanner::ListSubfolders(const QString& folder, QList<Link>& links)
{
    OpenFolder open(folder);
    NameOrder order;
    forEachEntry(open, [&](QString&& name, const char* bytes, unsigned char type) {
        const EntryKind kind = kindOf(open, bytes, type);
        if (kind == EntryKind::Link)
            links.append(linkOf(open, folder, std::move(name), bytes));
        else if (kind == EntryKind::Folder)
            order.Add(std::move(name));
    });
    return order.Sorted();
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
