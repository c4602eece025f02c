#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>

namespace platform {

// Tells, for one thread, whether it is inside a system call that may hang and since when.
//
// A thread blocked in the kernel by a drive that stopped answering cannot be interrupted, so
// whoever waits for it can only judge it by its progress: a thread that keeps returning from
// its calls is slow but alive, one that has sat in the same call for too long is stuck. The
// thread publishes the start and the end of each such call in one atomic; any other thread
// reads it at any time without a lock.
//
// A thread takes part by installing a clock for as long as it runs (Installed). The code that
// makes the calls times each one with a Call in the call's scope; on a thread without a clock,
// such as the window's, a Call does nothing but look at one thread-local pointer.
//
// Calls nest. The hang guard times the whole of the work it runs as one call, so that work
// which blocks outside the calls timed here (in Qt, in a test's stand-in) is judged too; the
// system calls inside it time themselves. A call that returns is progress: the calls around it
// are timed from that moment on, and the clock is idle once the outermost call has returned.
// So a thread is judged by how long ago it last came back from any call, never by how long its
// work takes in all.
class CallClock {
public:
    // The monotonic clock at the kernel's tick, a few milliseconds. A call is judged against a
    // deadline of seconds, so a finer grain buys nothing, and this clock is read in a few
    // nanoseconds where the fine one takes tens: a rebuild reads it for every file call of every
    // note.
    struct Clock {
        using rep = std::int64_t;
        using period = std::nano;
        using duration = std::chrono::nanoseconds;
        using time_point = std::chrono::time_point<Clock>;
        static constexpr bool is_steady = true;
        static time_point now() noexcept;
    };

    // How long a call may go without returning before it is given up: long enough for a drive
    // that spins up or a server that is merely slow, short enough that the window is not taken
    // for frozen. The one deadline of the program.
    static constexpr std::chrono::milliseconds Deadline {2000};

    CallClock() = default;
    CallClock(const CallClock&) = delete;
    CallClock& operator=(const CallClock&) = delete;

    // Only the thread the clock is installed on begins and ends its calls.
    void Begin() noexcept
    {
        ++m_depth;
        m_since.store(Clock::now().time_since_epoch().count());
    }
    void End() noexcept { m_since.store(--m_depth == 0 ? Idle : Clock::now().time_since_epoch().count()); }

    // How long the call now running has lasted at the time given; nothing between calls.
    std::optional<Clock::duration> InCallFor(Clock::time_point now) const noexcept
    {
        const Clock::rep since = m_since.load();
        if (since == Idle)
            return std::nullopt;
        return now - Clock::time_point(Clock::duration(since));
    }

    // Whether the call now running has gone without returning for the deadline at the time given.
    bool Overdue(Clock::time_point now) const noexcept
    {
        const std::optional<Clock::duration> inCall = InCallFor(now);
        return inCall && *inCall >= Deadline;
    }

    // The clock installed on the calling thread, or null.
    static CallClock* Current() noexcept;

    // Installs a clock on the calling thread while it lives.
    class Installed {
    public:
        explicit Installed(CallClock& clock) noexcept;
        ~Installed();
        Installed(const Installed&) = delete;
        Installed& operator=(const Installed&) = delete;

    private:
        CallClock* m_outer;
    };

    // Times the scope it lives in as one call on the calling thread's clock, if it has one:
    //     const CallClock::Call call;
    //     descriptor = openat(folder, name, flags);
    class Call {
    public:
        Call() noexcept
            : m_clock(Current())
        {
            if (m_clock)
                m_clock->Begin();
        }
        ~Call()
        {
            if (m_clock)
                m_clock->End();
        }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        CallClock* m_clock;
    };

private:
    static constexpr Clock::rep Idle = std::numeric_limits<Clock::rep>::min();

    std::atomic<Clock::rep> m_since {Idle};
    int m_depth {0}; // the calls open on the owning thread
};

} // namespace platform
