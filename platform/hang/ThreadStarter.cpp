#include "platform/hang/ThreadStarter.h"

#include <mutex>
#include <thread>
#include <utility>

namespace platform {

namespace {

// Threads are started from the window's thread and from threads returning from a stuck call,
// so the starter is read under a lock; starting a thread costs far more than taking it. Never
// destroyed: a thread that returns while the program exits may still start another.
struct Installation {
    std::mutex mutex;
    ThreadStarter::Start start;
};

Installation& installation()
{
    static auto* const state = new Installation;
    return *state;
}

} // namespace

void ThreadStarter::Detached(std::function<void()> body)
{
    Start start;
    {
        const std::lock_guard lock(installation().mutex);
        start = installation().start;
    }
    if (start)
        start(std::move(body));
    else
        std::thread(std::move(body)).detach();
}

ThreadStarter::Installed::Installed(Start start)
{
    const std::lock_guard lock(installation().mutex);
    m_outer = std::exchange(installation().start, std::move(start));
}

ThreadStarter::Installed::~Installed()
{
    const std::lock_guard lock(installation().mutex);
    installation().start = std::move(m_outer);
}

} // namespace platform
