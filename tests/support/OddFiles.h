#pragma once

#include <QByteArray>
#include <QtTest>

#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// What a folder may hold that Qt's file classes cannot make: names that are not UTF-8, pipes
// and sockets. Each is made with plain system calls, under exactly the name bytes given.
namespace OddFiles {

inline void file(const QByteArray& path, const QByteArray& content = {})
{
    const int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY2(descriptor >= 0, path.constData());
    const auto written = ::write(descriptor, content.constData(), static_cast<size_t>(content.size()));
    ::close(descriptor);
    QCOMPARE(written, ssize_t(content.size()));
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
