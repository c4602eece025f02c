#include "platform/files/FolderBatch.h"

#include "platform/hang/CallClock.h"
#include "platform/names/NativePath.h"

#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

thread_local const FolderBatch* current = nullptr;

// Only the right to search the folder is needed to open what is in it, as with a full path;
// O_PATH asks for no more.
int OpenFolder(const QByteArray& path)
{
    const CallClock::Call call;
    return ::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

FolderBatch::FolderBatch(const QString& folder)
    : m_outer(current)
{
    current = this;
    QByteArray prefix = NativePath::Encode(folder);
    if (prefix.isEmpty() || !prefix.endsWith('/') || prefix.contains('\0'))
        return;
    m_descriptor = OpenFolder(prefix);
    if (m_descriptor >= 0)
        m_prefix = std::move(prefix);
}

FolderBatch::~FolderBatch()
{
    const CallClock::Call call;
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    current = m_outer;
}

const FolderBatch* FolderBatch::Current()
{
    return current;
}

int FolderBatch::DescriptorFor(const char* path, const char*& name) const
{
    if (m_descriptor < 0 || std::strncmp(path, m_prefix.constData(), static_cast<std::size_t>(m_prefix.size())) != 0)
        return -1;
    const char* rest = path + m_prefix.size();
    // Only an entry of the folder itself: a name with a separator goes through other
    // folders, which the full path walks as it should.
    if (*rest == '\0' || std::strchr(rest, '/'))
        return -1;
    name = rest;
    return m_descriptor;
}

} // namespace platform
