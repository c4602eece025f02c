#pragma once

#include <functional>

namespace platform {

// Lets code that keeps the window's thread waiting (a rebuild, a folder that is slow to list)
// tell the desktop layer that it is still busy, so that a busy pointer can show although the
// window's thread runs no event loop. The waits call Tick every few tens of milliseconds;
// whoever installed a hook decides what, if anything, to show. Used on the window's thread only.
class BusyHook {
public:
    using Hook = std::function<void()>;

    // Installs the hook while it lives; an outer one comes back after.
    class Installed {
    public:
        explicit Installed(Hook hook);
        ~Installed();
        Installed(const Installed&) = delete;
        Installed& operator=(const Installed&) = delete;

    private:
        Hook m_outer;
    };

    // Calls the installed hook, if any.
    static void Tick();
};

} // namespace platform
