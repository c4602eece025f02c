#pragma once

#include <functional>

namespace platform {

// Starts the detached threads that run calls which may hang. Starting a thread can fail (a
// process limit, no memory for its stack): Detached then throws std::system_error, and each
// caller fails that one call as its own error policy says, so that the program goes on.
//
// Every such thread is started here, so that a test can install a starter that refuses, and see
// each caller fail its call as a user would meet it.
class ThreadStarter {
public:
    using Start = std::function<void(std::function<void()> body)>;

    // Runs body on a new detached thread; std::system_error when none can be started.
    static void Detached(std::function<void()> body);

    // Installs a starter while it lives; the one before comes back after.
    class Installed {
    public:
        explicit Installed(Start start);
        ~Installed();
        Installed(const Installed&) = delete;
        Installed& operator=(const Installed&) = delete;

    private:
        Start m_outer;
    };
};

} // namespace platform
