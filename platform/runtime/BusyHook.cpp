#include "platform/runtime/BusyHook.h"

#include <utility>

namespace platform {

namespace {

BusyHook::Hook current;

} // namespace

BusyHook::Installed::Installed(Hook hook)
    : m_outer(std::exchange(current, std::move(hook)))
{
}

BusyHook::Installed::~Installed()
{
    current = std::move(m_outer);
}

void BusyHook::Tick()
{
    if (current)
        current();
}

} // namespace platform
