#include "platform/files/ReadOnlyFile.h"

#include "platform/files/FolderBatch.h"
#include "platform/files/FolderPath.h"
#include "platform/hang/CallClock.h"
#include "platform/names/NativePath.h"
#include "platform/runtime/Error.h"

#include <QStringEncoder>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int OpenForReading(const char* path)
{
    const CallClock::Call call;
    // Non-blocking, so that opening a FIFO without a writer returns at once instead of waiting
    // for one, and reading one never waits either. No controlling terminal may be acquired by
    // opening a terminal device swapped in under a note's name.
    constexpr int Flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    const char* name = nullptr;
    if (const FolderBatch* batch = FolderBatch::Current()) {
        if (const int folder = batch->DescriptorFor(path, name); folder >= 0)
            return openat(folder, name, Flags);
    }
    return open(path, Flags);
}

// The bytes of a path that NativePath would give as plain UTF-8, made on the stack. A preview
// rebuild opens every file of a folder, and the general mapping (with its heap buffer and its
// look for the legacy code page's marker and for escaped bytes) cost as much as the system
// call; paths holding what it maps specially, or surrogates, or that are very long go to
// NativePath::Encode.
class PlainName {
public:
    bool Encode(const QString& path)
    {
        if (path.size() > MaxUnits)
            return false;
        for (const QChar character : path) {
            // Everything below the marker but NUL is plain; above it, most is too.
            const char16_t code = character.unicode();
            if (code - 1u < NativePath::LegacyMarker.unicode() - 1u)
                continue;
            if (code == 0 || code == NativePath::LegacyMarker.unicode() || character.isSurrogate()
                || (code >= NativePath::EscapeBase + 0x80 && code <= NativePath::EscapeBase + 0xFF))
                return false;
        }
        QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        char* end = encoder.appendToBuffer(m_bytes.data(), path);
        *end = '\0';
        return true;
    }
    const char* Bytes() const { return m_bytes.data(); }

private:
    static constexpr qsizetype MaxUnits = 1024;
    std::array<char, 3 * MaxUnits + 1> m_bytes;
};

// A missing file and a missing folder on the way to it are different errors to the user, but
// the system reports both as ENOENT; whether the folder is there tells them apart.
ErrorCode OpenFailure(int error, const QString& path)
{
    const CallClock::Call call;
    switch (error) {
    case ENOENT:
        return FolderPath::IsFolder(FolderPath::Split(path).folder) ? ErrorCode::FileNotFound : ErrorCode::PathNotFound;
    case ENOTDIR:
        return ErrorCode::PathNotFound;
    default:
        return ErrorCode::PathFileAccess;
    }
}

ssize_t TimedPread(int descriptor, char* into, std::size_t count, long long offset)
{
    const CallClock::Call call;
    return ::pread(descriptor, into, count, static_cast<off_t>(offset));
}

} // namespace

ReadOnlyFile::ReadOnlyFile(const QString& path)
{
    // A name with a NUL in it would be cut short by the system and open another file.
    PlainName plain;
    if (plain.Encode(path)) {
        m_descriptor = OpenForReading(plain.Bytes());
    } else {
        const QByteArray native = NativePath::Encode(path);
        if (native.contains('\0'))
            throw Error(ErrorCode::FileNotFound);
        m_descriptor = OpenForReading(native.constData());
    }
    if (m_descriptor < 0)
        throw Error(OpenFailure(errno, path));
}

ReadOnlyFile::~ReadOnlyFile()
{
    Close();
}

std::size_t ReadOnlyFile::Read(char* into, std::size_t count)
{
    for (;;) {
        if (m_descriptor < 0)
            throw Error(ErrorCode::PathFileAccess);
        // Reads at a position rather than from the descriptor's own: the same cost, and a pipe,
        // socket or terminal, which has no positions, refuses it outright (ESPIPE) without
        // giving up a byte of what its writer wrote.
        const ssize_t got = TimedPread(m_descriptor, into, count, m_offset);
        // A signal that arrives during the read is no failure of the file.
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Error(ErrorCode::PathFileAccess);
        const auto read = static_cast<std::size_t>(got);
        if (m_progress == Progress::NothingRead && (read == 0 || read == count))
            RefuseUnlessRegular();
        m_progress = Progress::Reading;
        m_offset += got;
        return read;
    }
}

// Asking the system what was opened costs a system call, as much as the read itself, and a
// rebuild opens every note of a folder, which the listing already found to be regular files.
// So the question is asked only when the first read could have come from something else. A
// pipe, socket or terminal fails the positional read at once. An empty device gives nothing,
// an endless one fills whatever it is asked for: both are followed by the question. A note
// shorter than one read, the common case, never needs it; anything the answer refuses is
// refused after one read at most, and nothing opened here ever blocks.
void ReadOnlyFile::RefuseUnlessRegular()
{
    const CallClock::Call call;
    struct stat status { };
    if (::fstat(m_descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        Close();
        throw Error(ErrorCode::PathFileAccess);
    }
}

void ReadOnlyFile::Close()
{
    const CallClock::Call call;
    // A descriptor opened only for reading has nothing to flush, so a failing close loses
    // nothing; it must not be retried either, the descriptor is gone after the first call.
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

} // namespace platform
