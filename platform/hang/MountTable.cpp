#include "platform/hang/MountTable.h"

#include "platform/names/NativePath.h"

#include <QDir>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <unistd.h>

namespace platform {

namespace {

const QString Root = QStringLiteral("/");

bool isOctal(QByteArrayView digits)
{
    for (const char digit : digits) {
        if (digit < '0' || digit > '7')
            return false;
    }
    return true;
}

// A field of the table with its octal escapes (\040 for a space, \011, \012, \134) undone.
QByteArray unescaped(QByteArrayView field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype at = 0; at < field.size(); ++at) {
        if (field[at] == '\\' && at + 3 < field.size() && isOctal(field.sliced(at + 1, 3))) {
            bytes.append(char((field[at + 1] - '0') * 64 + (field[at + 2] - '0') * 8 + (field[at + 3] - '0')));
            at += 3;
            continue;
        }
        bytes.append(field[at]);
    }
    return bytes;
}

// The whole of an open table, read from its start.
QByteArray readAll(int descriptor)
{
    QByteArray table;
    char chunk[16384];
    if (::lseek(descriptor, 0, SEEK_SET) < 0)
        return table;
    for (;;) {
        const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return table;
        table.append(chunk, got);
    }
}

int openTable()
{
    return ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
}

// The mount points known, kept open on the table so that the kernel can say when it changed
// (it wakes a poll for POLLPRI then). Never destroyed: a thread may ask while the program exits.
struct Known {
    std::mutex mutex;
    int descriptor {-1};
    QStringList mountPoints;
};

Known& known()
{
    static auto* const state = new Known;
    return *state;
}

bool changedSinceRead(int descriptor)
{
    pollfd watch {descriptor, POLLPRI, 0};
    return ::poll(&watch, 1, 0) > 0;
}

} // namespace

QList<MountRecord> MountTable::Parse(QByteArrayView mountinfo)
{
    QList<MountRecord> mounts;
    for (QByteArrayView line : QByteArray(mountinfo.toByteArray()).split('\n')) {
        const QList<QByteArray> fields = line.toByteArray().split(' ');
        // id, parent, device number, root, mount point, options, optional fields, "-",
        // type, source, options of the file system.
        const qsizetype separator = fields.indexOf("-", 6);
        if (fields.size() < 6 || separator < 0 || separator + 3 > fields.size())
            continue;
        MountRecord mount;
        mount.root = unescaped(fields[3]);
        mount.mountPoint = NativePath::Decode(unescaped(fields[4]));
        mount.mountOptions = fields[5];
        mount.type = unescaped(fields[separator + 1]);
        mount.source = unescaped(fields[separator + 2]);
        if (separator + 3 < fields.size())
            mount.superOptions = fields[separator + 3];
        mounts.append(std::move(mount));
    }
    return mounts;
}

QList<MountRecord> MountTable::Read()
{
    const int descriptor = openTable();
    if (descriptor < 0)
        return {};
    QList<MountRecord> mounts = Parse(readAll(descriptor));
    ::close(descriptor);
    return mounts;
}

QString MountTable::MountPointOf(const QString& path)
{
    if (!path.startsWith(u'/'))
        return Root;
    Known& table = known();
    const std::lock_guard lock(table.mutex);
    if (table.descriptor < 0)
        table.descriptor = openTable();
    if (table.descriptor >= 0 && (table.mountPoints.isEmpty() || changedSinceRead(table.descriptor))) {
        table.mountPoints.clear();
        for (const MountRecord& mount : Parse(readAll(table.descriptor)))
            table.mountPoints.append(mount.mountPoint);
    }
    const QString clean = QDir::cleanPath(path);
    QString best = Root;
    for (const QString& mountPoint : table.mountPoints) {
        if (mountPoint.size() > best.size() && Holds(mountPoint, clean))
            best = mountPoint;
    }
    return best;
}

bool MountTable::Holds(const QString& mountPoint, const QString& cleanPath)
{
    if (cleanPath == mountPoint || mountPoint == Root)
        return cleanPath.startsWith(u'/');
    return cleanPath.startsWith(mountPoint) && cleanPath.size() > mountPoint.size()
        && cleanPath[mountPoint.size()] == u'/';
}

} // namespace platform
