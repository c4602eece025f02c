#include "platform/hang/CallClock.h"

#include <time.h>

namespace platform {

namespace {

thread_local CallClock* current = nullptr;

} // namespace

CallClock::Clock::time_point CallClock::Clock::now() noexcept
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return time_point(duration(std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec));
}

CallClock* CallClock::Current() noexcept
{
    return current;
}

CallClock::Installed::Installed(CallClock& clock) noexcept
    : m_outer(current)
{
    current = &clock;
}

CallClock::Installed::~Installed()
{
    current = m_outer;
}

} // namespace platform
