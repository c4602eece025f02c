#pragma once

namespace app {

// Marks a navigation handler as running for its whole extent. The change events that its own
// assignments raise find the flag set and are swallowed; the outermost handler clears it when
// it finishes, however it leaves, so the user's next change is never lost.
class NavigationGuard {
public:
    explicit NavigationGuard(bool& busy)
        : m_busy(busy)
        , m_entered(!busy)
    {
        m_busy = true;
    }
    ~NavigationGuard()
    {
        if (m_entered)
            m_busy = false;
    }
    NavigationGuard(const NavigationGuard&) = delete;
    NavigationGuard& operator=(const NavigationGuard&) = delete;

    // False for a nested change event, which must do nothing.
    bool Entered() const { return m_entered; }

private:
    bool& m_busy;
    bool m_entered;
};

} // namespace app
