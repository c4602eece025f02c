#pragma once

#include "platform/hang/WindowWait.h"

#include <QElapsedTimer>

namespace platform {

// Shows the desktop's busy pointer while a handler keeps the window's thread busy for long
// enough that a user would notice (ShowAfter), and restores the pointer when it ends. The
// window runs no event loop meanwhile, so the pointer is set from the waits themselves, through
// the span of waiting it opens (WindowWait), which they tick; nothing here processes events, so
// no handler can run again inside. The span also makes the handler one action, in which a
// drive that stopped answering is waited for once.
class BusyPointer {
public:
    static constexpr qint64 ShowAfterMs = 100;

    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    void tick();

    QElapsedTimer m_since;
    bool m_shown {false};
    WindowWait::Span m_span;
};

} // namespace platform
