#include "platform/runtime/CallClock.h"

namespace platform {

namespace {

thread_local CallClock* current = nullptr;

} // namespace

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
