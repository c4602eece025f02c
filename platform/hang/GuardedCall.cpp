#include "platform/hang/GuardedCall.h"

#include "platform/hang/CallClock.h"
#include "platform/hang/ThreadStarter.h"
#include "platform/hang/WindowWait.h"
#include "platform/runtime/Error.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>

namespace platform {

namespace {

// How often a wait looks at the worker's clock and lets the busy pointer show.
constexpr std::chrono::milliseconds Tick {50};

} // namespace

// Shared by the waiting thread and the worker, which may outlive the wait.
struct GuardedCall::Started::Shared {
    CallClock clock;
    std::mutex mutex;
    std::condition_variable finished;
    bool done {false};
    bool givenUp {false};
    std::exception_ptr failure;

    void Work(const std::function<void()>& call, const Charge& charge);
};

void GuardedCall::Started::Shared::Work(const std::function<void()>& call, const Charge& charge)
{
    std::exception_ptr thrown;
    {
        const CallClock::Installed installed(clock);
        const CallClock::Call whole;
        try {
            call();
        } catch (...) {
            thrown = std::current_exception();
        }
    }
    bool wasGivenUp = false;
    {
        const std::lock_guard lock(mutex);
        done = true;
        failure = thrown;
        wasGivenUp = givenUp;
        finished.notify_all();
    }
    if (wasGivenUp)
        StuckLedger::Returned(charge);
}

GuardedCall::Started::Started(std::shared_ptr<Shared> shared, Charge charge)
    : m_shared(std::move(shared))
    , m_charge(std::move(charge))
{
}

GuardedCall::Started GuardedCall::Start(std::function<void()> work) const
{
    if (WindowWait::GaveUpOn(m_charge.drive) || !StuckLedger::Admits(m_charge))
        throw Error(ErrorCode::DeviceUnavailable);
    auto shared = std::make_shared<Started::Shared>();
    try {
        ThreadStarter::Detached([shared, work = std::move(work), charge = m_charge] { shared->Work(work, charge); });
    } catch (const std::system_error&) {
        throw Error(ErrorCode::DeviceUnavailable);
    }
    return Started(std::move(shared), m_charge);
}

void GuardedCall::Started::Wait() const
{
    Shared& shared = *m_shared;
    std::unique_lock lock(shared.mutex);
    while (!shared.finished.wait_for(lock, Tick, [&] { return shared.done; })) {
        WindowWait::Tick();
        if (shared.clock.Overdue(CallClock::Clock::now())) {
            // Charged before the lock is let go, so that a worker returning right now gives
            // back only what was charged.
            shared.givenUp = true;
            StuckLedger::GaveUp(m_charge);
            WindowWait::GaveUp(m_charge.drive);
            throw Error(ErrorCode::DeviceUnavailable);
        }
    }
    if (shared.failure)
        std::rethrow_exception(shared.failure);
}

} // namespace platform
