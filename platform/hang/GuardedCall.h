#pragma once

#include "platform/hang/StuckLedger.h"

#include <functional>
#include <memory>
#include <optional>

namespace platform {

// Runs one call that may hang (listing a folder, a drive's status, looking for a program) on a
// thread of its own while the calling thread waits, so that a drive that stops answering costs
// the caller the deadline and no more.
//
// The thread times its work on a CallClock, the work as a whole and each system call in it, and
// the wait gives up only once the thread has gone CallClock::Deadline without returning from a
// call, so work that answers slowly but answers is waited for however long it takes. A call
// given up leaves its thread detached, never joined; the thread owns what it touches and ends on
// its own if the call ever returns, and until then it is charged to what it waits on
// (StuckLedger). A call whose place still has a call out, whose drive or program is full, whose
// drive was already given up in the window's action (WindowWait), or for which no thread can be
// started, fails at once. Every failure to answer is error 68 (device unavailable), the one the
// callers handle.
class GuardedCall {
public:
    explicit GuardedCall(Charge charge) noexcept
        : m_charge(std::move(charge))
    {
    }

    // The work's result; an Error it throws is thrown here.
    template<typename Result> Result Run(std::function<Result()> work) const
    {
        auto result = std::make_shared<std::optional<Result>>();
        Start([result, work = std::move(work)] { *result = work(); }).Wait();
        return std::move(**result);
    }

    // A call started and not yet waited for; several started together are waited for in any
    // order, each by its own deadline, so that together they cost the longest, not the sum.
    class Started {
    public:
        // Returns once the work has, throws what it threw or, given up, error 68.
        void Wait() const;

    private:
        friend class GuardedCall;
        struct Shared;
        Started(std::shared_ptr<Shared> shared, Charge charge);

        std::shared_ptr<Shared> m_shared;
        Charge m_charge;
    };

    // Starts the work, or throws error 68 when it may not start.
    Started Start(std::function<void()> work) const;

private:
    Charge m_charge;
};

} // namespace platform
