#include "platform/files/FolderScanner.h"

#include "platform/codepages/CodePageGuess.h"
#include "platform/names/LegacyCodePage.h"
#include "platform/names/NameOrder.h"
#include "platform/names/NamePattern.h"
#include "platform/names/NativePath.h"
#include "platform/runtime/CallClock.h"
#include "platform/runtime/Error.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace platform {

namespace {

enum class EntryKind {
    File,
    Folder,
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

// The entry type from the folder itself where the file system gives it; a link or an
// unknown type costs one stat, which follows links, so a link counts as what it points to
// and a dangling or looping link as nothing.
EntryKind kindOf(const OpenFolder& folder, const char* name, unsigned char type)
{
    switch (type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    const CallClock::Call call;
    struct stat info { };
    if (::fstatat(folder.Descriptor(), name, &info, 0) != 0)
        return EntryKind::Other;
    if (S_ISREG(info.st_mode))
        return EntryKind::File;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Folder;
    return EntryKind::Other;
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

QStringList FolderScanner::ListFiles(const QString& folder, const QString& pattern)
{
    NamePattern matcher(pattern);
    OpenFolder open(folder);
    NameOrder order;
    forEachEntry(open, [&](QString&& name, const char* bytes, unsigned char type) {
        // Matching first keeps the stat calls to the names that would be listed.
        if (matcher.Matches(name) && kindOf(open, bytes, type) == EntryKind::File)
            order.Add(std::move(name));
    });
    QStringList names = order.Sorted();
    if (names.size() > MaxFiles)
        names.resize(MaxFiles);
    return names;
}

QStringList FolderScanner::ListSubfolders(const QString& folder)
{
    OpenFolder open(folder);
    NameOrder order;
    forEachEntry(open, [&](QString&& name, const char* bytes, unsigned char type) {
        if (kindOf(open, bytes, type) == EntryKind::Folder)
            order.Add(std::move(name));
    });
    return order.Sorted();
}

} // namespace platform
