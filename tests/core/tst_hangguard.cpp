#include "platform/drives/DriveReadiness.h"
#include "platform/files/GuardedListing.h"
#include "platform/hang/CallClock.h"
#include "platform/hang/GuardedCall.h"
#include "platform/hang/StuckLedger.h"
#include "platform/hang/ThreadStarter.h"
#include "support/Files.h"

#include <QSemaphore>
#include <QTest>

#include <atomic>
#include <system_error>
#include <thread>

using namespace platform;
using namespace Qt::Literals::StringLiterals;

namespace {

// Counts the threads the guard starts, starting them as the program does.
struct CountedStarts {
    std::shared_ptr<std::atomic<int>> count {std::make_shared<std::atomic<int>>(0)};
    ThreadStarter::Installed installed {[count = count](std::function<void()> body) {
        ++*count;
        std::thread(std::move(body)).detach();
    }};
};

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

    // Work that keeps coming back from its calls is slow but alive, however long it takes in
    // all; an answer that comes in one piece within the deadline is kept, however late.
    void slowButAliveIsWaitedFor_data()
    {
        QTest::addColumn<int>("calls");
        QTest::addColumn<int>("callMs");
        QTest::newRow("a status that takes 400 ms") << 1 << 400;
        QTest::newRow("three seconds of calls of 100 ms") << 30 << 100;
    }
    void slowButAliveIsWaitedFor()
    {
        QFETCH(int, calls);
        QFETCH(int, callMs);
        const DriveReadiness readiness([=](const QString&) {
            for (int call = 0; call < calls; ++call) {
                const CallClock::Call timed;
                std::this_thread::sleep_for(std::chrono::milliseconds(callMs));
            }
            return true;
        });
        QVERIFY(readiness.IsReady(u"/mnt/slow-%1"_s.arg(calls)));
    }

    // A call given up is error 68 and stays charged to its place: asking the place again fails
    // at once, without a thread, while another place of the same drive is asked as usual. Once
    // the call returns, the place answers again.
    void aPlaceWithACallOutFailsAtOnceUntilItReturns()
    {
        const CountedStarts starts;
        auto gate = std::make_shared<QSemaphore>();
        const Charge stuck {u"/mnt/share"_s, u"/mnt/share/stuck"_s};
        QCOMPARE(codeRaisedBy([&] { GuardedCall(stuck).Run<int>(blockedUntil(gate)); }), ErrorCode::DeviceUnavailable);
        QVERIFY(StuckLedger::IsOut(stuck.place));
        QCOMPARE(codeRaisedBy([&] { GuardedCall(stuck).Run<int>(blockedUntil(gate)); }), ErrorCode::DeviceUnavailable);
        QCOMPARE(starts.count->load(), 1);
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
        const auto charge = [](int drive, int call) {
            return Charge {u"/mnt/d%1"_s.arg(drive), u"/mnt/d%1/%2"_s.arg(drive).arg(call)};
        };
        const int drives = StuckLedger::InProgram / StuckLedger::PerDrive + 1;
        const int before = StuckLedger::Out();
        for (int drive = 0; drive < drives; ++drive) {
            for (int call = 0; call < StuckLedger::PerDrive && StuckLedger::Out() < StuckLedger::InProgram; ++call)
                StuckLedger::GaveUp(charge(drive, call));
            if (drive == 0) {
                QVERIFY(!StuckLedger::Admits(charge(0, -1)));
                QVERIFY(StuckLedger::Admits(charge(1, -1)));
            }
        }
        QVERIFY(!StuckLedger::Admits(charge(drives, 0)));
        StuckLedger::Returned(charge(0, 0));
        QCOMPARE(woken, 1);
        QVERIFY(StuckLedger::Admits(charge(0, 0)));
        for (int drive = 0; drive < drives; ++drive)
            for (int call = drive == 0 ? 1 : 0; call < StuckLedger::PerDrive && StuckLedger::Out() > before; ++call)
                StuckLedger::Returned(charge(drive, call));
        QCOMPARE(StuckLedger::Out(), before);
    }

    // Regression: a failure to start a thread escaped as an exception and ended the program. It
    // fails the one call, as the caller's own error: a listing with 68, a drive as not ready.
    void aThreadThatCannotStartFailsOnlyItsCall()
    {
        NoteFolder folder;
        folder.write(u"a.txt"_s, "a\n");
        {
            const ThreadStarter::Installed refusing([](std::function<void()>) {
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            });
            QCOMPARE(
                codeRaisedBy([&] { GuardedListing::Files(folder.path(), u"*.txt"_s); }), ErrorCode::DeviceUnavailable);
            QVERIFY(!DriveReadiness(&DriveReadiness::OnDisk).IsReady(u"/"_s));
        }
        QCOMPARE(GuardedListing::Files(folder.path(), u"*.txt"_s), QStringList {u"a.txt"_s});
    }
};

QTEST_GUILESS_MAIN(HangGuardTest)
#include "tst_hangguard.moc"
