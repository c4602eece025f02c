#pragma once

#include "platform/runtime/Error.h"

#include <QtTest>

#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// The code of the platform::Error a call raises, or `none`, a code it never raises, if none.
inline platform::ErrorCode codeRaisedBy(
    const std::function<void()>& call, platform::ErrorCode none = platform::ErrorCode::InvalidProcedureCall)
{
    try {
        call();
    } catch (const platform::Error& error) {
        return error.code();
    }
    return none;
}

// What Qt's file classes cannot make (names not UTF-8, pipes, sockets), under the exact bytes.
namespace OddFiles {

inline void file(const QByteArray& path, const QByteArray& content = {})
{
    const int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY2(descriptor >= 0, path.constData());
    const auto written = ::write(descriptor, content.constData(), static_cast<size_t>(content.size()));
    QCOMPARE(written + ::close(descriptor), ssize_t(content.size()));
}

inline void pipe(const QByteArray& path)
{
    QVERIFY2(::mkfifo(path.constData(), 0600) == 0, path.constData());
}

inline void socket(const QByteArray& path)
{
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    QVERIFY(descriptor >= 0 && size_t(path.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int bound = ::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::close(descriptor);
    QCOMPARE(bound, 0);
}

inline void link(const QByteArray& target, const QByteArray& path)
{
    QVERIFY2(::symlink(target.constData(), path.constData()) == 0, path.constData());
}

} // namespace OddFiles

// A temporary folder of notes for a test, made the way a user's folder would be.
class NoteFolder {
public:
    NoteFolder() { QVERIFY(m_dir.isValid()); }

    QString path() const { return QDir(m_dir.path()).canonicalPath(); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        OddFiles::file(QFile::encodeName(path() + QLatin1Char('/') + name), bytes);
    }

    QString makeFolder(const QString& name) const
    {
        QDir(path()).mkpath(name);
        return path() + QLatin1Char('/') + name;
    }

private:
    QTemporaryDir m_dir;
};
