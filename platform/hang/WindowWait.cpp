#include "platform/hang/WindowWait.h"

#include <utility>

namespace platform {

namespace {

// Each thread has its own, so that a wait on another thread never sees the window's action.
thread_local WindowWait::Hook busyHook;
thread_local int depth = 0;
thread_local QSet<QString> givenUp;

} // namespace

WindowWait::Span::Span(Hook busy)
    : m_outer(std::exchange(busyHook, std::move(busy)))
{
    ++depth;
}

WindowWait::Span::~Span()
{
    busyHook = std::move(m_outer);
    if (--depth == 0)
        givenUp.clear();
}

void WindowWait::Tick()
{
    if (busyHook)
        busyHook();
}

void WindowWait::GaveUp(const QString& drive)
{
    if (depth > 0)
        givenUp.insert(drive);
}

bool WindowWait::GaveUpOn(const QString& drive)
{
    return givenUp.contains(drive);
}

} // namespace platform
