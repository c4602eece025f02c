#pragma once

#include "platform/runtime/Error.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

// Runs file-system work that may hang (reading a folder on a network drive) on a worker thread
// while the window's thread waits, so that a drive that stops answering costs the window the
// deadline and no more.
//
// The worker times each system call it makes on a CallClock; the wait gives up only when one
// call has made no progress for the deadline, so a folder that answers slowly but answers is
// read however long it takes. A given-up worker is detached, never joined, and owns what it
// touches; it ends on its own if the call ever returns. Such workers are bounded for the whole
// program (MaxStuck): beyond that, a call fails at once rather than start another thread that
// may stay blocked too. Giving up, either way, is error 68 (device unavailable).
class GuardedCall {
public:
    // The same patience as the preview readers', so that a drive is judged the same way.
    static constexpr std::chrono::milliseconds DefaultDeadline {2000};
    static constexpr int MaxStuck = 16;

    explicit GuardedCall(std::chrono::milliseconds deadline = DefaultDeadline) noexcept
        : m_deadline(deadline)
    {
    }

    // The work's result; an Error it throws is thrown here.
    template<typename Result> Result Run(std::function<Result()> work) const
    {
        auto result = std::make_shared<std::optional<Result>>();
        RunErased([result, work = std::move(work)] { *result = work(); });
        return std::move(**result);
    }

    // How many workers are blocked in a call that was given up on, program-wide.
    static int StuckWorkers() noexcept;

private:
    void RunErased(std::function<void()> work) const;

    std::chrono::milliseconds m_deadline;
};

} // namespace platform
