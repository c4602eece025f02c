#pragma once

#include <QSet>
#include <QString>

#include <functional>

namespace platform {

// The waits of the window's thread during one action of the user: a drive chosen, a folder
// opened, a keystroke in the path box. The handlers that may wait on a drive open a span for as
// long as they run (the busy pointer does); spans nest, and the outermost one is the action.
//
// Within an action the window waits for each drive at most once: a drive whose call was given
// up is not waited for again before the action ends, and the calls on it that the action still
// makes fail at once, as if their deadline had passed. An action often asks one drive several
// things in a row (whether it is ready, the folder typed, the folder shown, its notes); one
// dead share then costs the action one deadline, not one per question.
//
// The waits also tick the span every few tens of milliseconds, so that the desktop layer can
// show a busy pointer although the window's thread runs no event loop meanwhile. Used on the
// window's thread only.
class WindowWait {
public:
    using Hook = std::function<void()>;

    // One span of waiting; busy is called at every tick while it is the innermost.
    class Span {
    public:
        explicit Span(Hook busy);
        ~Span();
        Span(const Span&) = delete;
        Span& operator=(const Span&) = delete;

    private:
        Hook m_outer;
    };

    // Lets the innermost span know that the window is still waiting.
    static void Tick();

    // A call on the drive was given up; remembered until the action ends.
    static void GaveUp(const QString& drive);
    // Whether a call on the drive was given up in the action now running.
    static bool GaveUpOn(const QString& drive);
};

} // namespace platform
