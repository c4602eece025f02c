#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace platform {

// What a call that may hang waits on: the drive (the mount point holding the path, see
// MountTable) and the place, the folder, note or link it asks about.
struct Charge {
    QString drive;
    QString place;

    // The charge of a call about the path: the path is the place, its mount the drive.
    static Charge To(const QString& path);
};

// The accounting of the calls that were given up and are still out, for the whole program.
//
// A thread blocked in the kernel by a dead share cannot be stopped; it stays until the share
// answers. Such threads are charged to what they wait on, so that one dead share costs its own
// room and never another's: a place with a call out is not asked again (the second call would
// only hang behind the first; it fails at once instead, without a thread), a drive holds at
// most PerDrive given-up calls, and the program InProgram, which one drive alone cannot use up.
// When a given-up call returns, its room comes back, and whoever waits for room on its drive is
// told.
class StuckLedger {
public:
    static constexpr int PerDrive = 40;
    static constexpr int InProgram = 128;

    // Whether a new call so charged may start: its place has no call out, and its drive and
    // the program have room for one more that could get stuck.
    static bool Admits(const Charge& charge);
    // How many more calls on the drive may be given up before it is full, the program's bound
    // included; 0 when full.
    static int Room(const QString& drive);
    static bool IsOut(const QString& place);
    static int OutOn(const QString& drive);
    static int Out();

    static void GaveUp(const Charge& charge);
    static void Returned(const Charge& charge);

    // Calls the listener, on the thread of the call that returned and without any lock held,
    // each time a given-up call on the drive returns, for as long as it lives.
    class Waiting {
    public:
        Waiting(QString drive, std::function<void()> listener);
        ~Waiting();
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;

    private:
        QString m_drive;
        std::shared_ptr<std::function<void()>> m_listener;
    };
};

} // namespace platform
