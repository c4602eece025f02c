#include "platform/files/FolderPath.h"

#include "platform/codepages/CodePageGuess.h"
#include "platform/hang/CallClock.h"
#include "platform/names/LegacyCodePage.h"
#include "platform/names/NativePath.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

bool FolderPath::IsFolder(const QString& path)
{
    const CallClock::Call call;
    struct stat info { };
    return ::stat(NativePath::Encode(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

FolderPath::Parts FolderPath::Split(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {QStringLiteral("."), path};
    return {slash == 0 ? QStringLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

QString FolderPath::Prefix(const QString& folder)
{
    // QString::replace scans left to right and resumes after each replacement.
    QString prefix = folder + u'/';
    return prefix.replace(QStringLiteral("//"), QStringLiteral("/"));
}

// Read as bytes rather than through Qt, which would turn a name that is not UTF-8 into
// replacement characters that lead nowhere. Each folder of the path that is not UTF-8 is judged
// alone, as a listing of that one name would be: the path box and the folder chain then show
// it as the listing of its parent usually does, and a name too short to tell stays in the
// locale's code page, as it read before the program judged names at all.
QString FolderPath::Current()
{
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return QStringLiteral("/");
        buffer.resize(buffer.size() * 2);
    }
    return NativePath::Decode(QByteArrayView(buffer.data()), [](QByteArrayView component) {
        return CodePageGuess::ForNames({component.toByteArray()}, LegacyCodePage::Name());
    });
}

QString FolderPath::Absolute(const QString& path)
{
    if (path.startsWith(u'/'))
        return path;
    const QString current = Current();
    if (current.endsWith(u'/'))
        return current + path;
    return current + u'/' + path;
}

} // namespace platform
