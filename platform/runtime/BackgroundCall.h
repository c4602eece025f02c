#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {

// A call that may hang (a stat on a dead network mount, reading the mount table while one
// is mounted) run on a thread of its own, so the window waits for it only as long as it is
// willing to. The thread is detached and owns its share of the state: if the call never
// returns, it is the thread that stays blocked, never the caller, and nothing it touches is
// freed under it.
template<typename Result> class BackgroundCall {
public:
    explicit BackgroundCall(std::function<Result()> call)
        : m_state(std::make_shared<State>())
    {
        std::thread([state = m_state, call = std::move(call)] {
            Result result {};
            try {
                result = call();
            } catch (...) {
                // A failing call answers like one that found nothing.
            }
            std::lock_guard lock(state->mutex);
            state->result = std::move(result);
            state->finished.notify_all();
        }).detach();
    }

    // The result if the call finishes within the patience given, else nothing.
    std::optional<Result> WaitFor(std::chrono::milliseconds patience) const
    {
        std::unique_lock lock(m_state->mutex);
        m_state->finished.wait_for(lock, patience, [this] { return m_state->result.has_value(); });
        return m_state->result;
    }

    bool Finished() const
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->result.has_value();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable finished;
        std::optional<Result> result;
    };

    std::shared_ptr<State> m_state;
};

} // namespace platform
