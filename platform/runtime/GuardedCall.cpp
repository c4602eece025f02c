#include "platform/runtime/GuardedCall.h"

#include "platform/runtime/BusyHook.h"
#include "platform/runtime/CallClock.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace platform {

namespace {

std::atomic<int> stuckWorkers {0};

// How often the wait looks at the worker's clock and lets the busy pointer show.
constexpr std::chrono::milliseconds Tick {50};

// Shared by the waiting thread and the worker, which may outlive the wait.
struct Shared {
    CallClock clock;
    std::mutex mutex;
    std::condition_variable finished;
    bool done {false};
    bool givenUp {false};
    std::exception_ptr failure;
};

} // namespace

int GuardedCall::StuckWorkers() noexcept
{
    return stuckWorkers.load();
}

void GuardedCall::RunErased(std::function<void()> work) const
{
    if (stuckWorkers.load() >= MaxStuck)
        throw Error(ErrorCode::DeviceUnavailable);
    auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)] {
        std::exception_ptr failure;
        {
            const CallClock::Installed installed(shared->clock);
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
        }
        std::lock_guard lock(shared->mutex);
        shared->done = true;
        shared->failure = failure;
        if (shared->givenUp)
            stuckWorkers.fetch_sub(1);
        shared->finished.notify_all();
    }).detach();

    std::unique_lock lock(shared->mutex);
    while (!shared->finished.wait_for(lock, Tick, [&] { return shared->done; })) {
        BusyHook::Tick();
        const auto inCall = shared->clock.InCallFor(CallClock::Clock::now());
        if (inCall && *inCall >= m_deadline) {
            shared->givenUp = true;
            stuckWorkers.fetch_add(1);
            throw Error(ErrorCode::DeviceUnavailable);
        }
    }
    if (shared->failure)
        std::rethrow_exception(shared->failure);
}

} // namespace platform
