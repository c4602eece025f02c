#include "platform/drives/DriveReadiness.h"
#include "platform/hang/CallClock.h"
#include "platform/hang/GuardedCall.h"
#include "platform/hang/StuckLedger.h"
#include "platform/hang/ThreadStarter.h"
#include "support/Files.h"

#include <QSemaphore>
#include <QTest>

#include <atomic>
#include <thread>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

namespace {

// Work that blocks, outside any timed call, until the gate opens.
std::function<int()> blockedUntil(const std::shared_ptr<QSemaphore>& gate)
{
    return [gate] {
        gate->acquire();
        gate->release();
        return 1;
    };
}

} // namespace

// The one guard against calls that hang: judged by progress, charged to what it waits on,
// bounded per drive and for the program, and failing each call with 68 when it gives up.
class HangGuardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Regression: a call timed inside another ended the outer one's timing, so a thread stuck
    // in the outer call after an inner one returned looked idle and was waited for without end.
    void aCallThatReturnsInsideAnotherLeavesTheOuterOneTimed()
    {
        CallClock clock;
        const CallClock::Installed installed(clock);
        {
            const CallClock::Call outer;
            {
                const CallClock::Call inner;
            }
            QVERIFY(clock.InCallFor(CallClock::Clock::now()).has_value());
        }
        QVERIFY(!clock.InCallFor(CallClock::Clock::now()).has_value());
    }

    // Work that keeps coming back from its calls is slow but alive, however long it takes in all.
    void workThatKeepsReturningFromItsCallsIsWaitedFor()
    {
        const DriveReadiness readiness([](const QString&) {
            for (int call = 0; call < 30; ++call) {
                const CallClock::Call timed;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            return true;
        });
        QVERIFY(readiness.IsReady(u"/mnt/slow"_s));
    }

    // A call given up is error 68 and stays charged to its place: asking the place again fails
    // at once, without a thread, while another place of the same drive is asked as usual. Once
    // the call returns, the place answers again.
    void aPlaceWithACallOutFailsAtOnceUntilItReturns()
    {
        auto starts = std::make_shared<std::atomic<int>>(0);
        const ThreadStarter::Installed counting([starts](std::function<void()> body) {
            ++*starts;
            std::thread(std::move(body)).detach();
        });
        auto gate = std::make_shared<QSemaphore>();
        const Charge stuck {u"/mnt/share"_s, u"/mnt/share/stuck"_s};
        QCOMPARE(codeRaisedBy([&] { GuardedCall(stuck).Run<int>(blockedUntil(gate)); }), ErrorCode::DeviceUnavailable);
        QVERIFY(StuckLedger::IsOut(stuck.place));
        QCOMPARE(codeRaisedBy([&] { GuardedCall(stuck).Run<int>(blockedUntil(gate)); }), ErrorCode::DeviceUnavailable);
        QCOMPARE(starts->load(), 1);
        QCOMPARE(GuardedCall({stuck.drive, u"/mnt/share/ok"_s}).Run<int>([] { return 2; }), 2);
        gate->release();
        QTRY_VERIFY(!StuckLedger::IsOut(stuck.place));
        QCOMPARE(GuardedCall(stuck).Run<int>(blockedUntil(gate)), 1);
    }

    // One dead drive never takes another's room: a drive holds PerDrive given-up calls, the
    // program InProgram, which one drive alone cannot fill; a call that returns gives its room
    // back and tells whoever waits for room on its drive.
    void stuckCallsAreBoundedPerDriveAndForTheProgram()
    {
        QVERIFY(StuckLedger::PerDrive < StuckLedger::InProgram);
        int woken = 0;
        const StuckLedger::Waiting waiting(u"/mnt/d0"_s, [&] { ++woken; });
        const auto charge = [](int call) {
            const int drive = call / StuckLedger::PerDrive;
            return Charge {u"/mnt/d%1"_s.arg(drive), u"/mnt/d%1/%2"_s.arg(drive).arg(call)};
        };
        const int before = StuckLedger::Out();
        for (int call = 0; StuckLedger::Out() < StuckLedger::InProgram; ++call)
            StuckLedger::GaveUp(charge(call));
        QVERIFY(!StuckLedger::Admits(charge(StuckLedger::InProgram + StuckLedger::PerDrive)));
        StuckLedger::Returned(charge(StuckLedger::InProgram - 1));
        QVERIFY(!StuckLedger::Admits(charge(-1))); // the first drive is full
        QVERIFY(StuckLedger::Admits(charge(StuckLedger::InProgram + StuckLedger::PerDrive)));
        StuckLedger::Returned(charge(0));
        QCOMPARE(woken, 1);
        QVERIFY(StuckLedger::Admits(charge(0)));
        for (int call = 1; StuckLedger::Out() > before; ++call)
            StuckLedger::Returned(charge(call));
    }
};

QTEST_GUILESS_MAIN(HangGuardTest)
#include "tst_hangguard.moc"
