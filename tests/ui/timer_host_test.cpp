#include "timer_host.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "support.h"
#include "test_seam.h"

namespace fw::test {
namespace {

// Enters clock mode: TIME pressed and released, so TimerClock ticks 1 ms later and
// then every second; each tick reads the local time once.
void startClock(Handheld& h) {
    h.mouseDown(Puls_Time, MouseButton::Left, 1, 1);
    h.mouseUp(Puls_Time, MouseButton::Left, 1, 1);
}

TEST(TimerHost, FarBehindItSkipsTheLostTimeAndRunsOneTick) {
    const struct {
        const char* what;
        std::int64_t late;  // how far past the clock's first tick the host wakes
        int ticks;          // clock ticks that must have run
        std::int64_t core;  // core time afterwards
    } cases[] = {
        {"on time", 0, 1, 1},
        {"half a second late", 500, 1, 501},
        {"a second late, not a stall", 1000, 2, 1001},
        {"just over a second late", 1001, 1, 1},
        {"an hour asleep", 3'600'000, 1, 1},
    };
    for (const auto& c : cases) {
        Rig rig;
        Handheld& h = rig.form->handheld();
        TimerHost& host = rig.form->timerHost();
        startClock(h);
        const int before = rig.time.localReads;
        rig.clock += 1 + c.late;
        host.catchUp();
        EXPECT_EQ(rig.time.localReads - before, c.ticks) << c.what;
        EXPECT_EQ(h.now(), c.core) << c.what;
        EXPECT_EQ(host.coreNow(), c.core) << c.what;
        // Afterwards the rhythm goes on from the core's time.
        rig.clock += 1000;
        host.catchUp();
        EXPECT_EQ(rig.time.localReads - before, c.ticks + 1) << c.what;
    }
}

TEST(TimerHost, InputEventsAdvanceTheCoreToTheirTimeFirst) {
    Rig rig;
    Handheld& h = rig.form->handheld();
    startClock(h);
    rig.clock += 300;
    rig.form->handle([&] { EXPECT_EQ(h.now(), 300); });
}

TEST(TimerHost, TheArmedDeadlineFiresOnTime) {
    for (bool timerFd : {true, false}) {
        standin::MemoryStore store;
        standin::CueLog cues;
        standin::VirtualTime time;
        TForm1 form(store, cues, time, fakePictures());
        form.create();
        Handheld& h = form.handheld();
        TimerHost host(h, monotonicMillis, timerFd);
        EXPECT_EQ(host.usesTimerFd(), timerFd);
        h.mouseDown(Puls_Time, MouseButton::Left, 1, 1);
        h.mouseUp(Puls_Time, MouseButton::Left, 1, 1);  // first clock tick 1 ms on
        // Pretend the tick is due 30 ms from now.
        HandheldTestSeam(h).setInterval(TimerClock, 30);
        QEventLoop loop;
        QElapsedTimer elapsed;
        std::int64_t firedAt = -1;
        QObject::connect(&host, &TimerHost::due, &loop, [&] {
            firedAt = elapsed.elapsed();
            loop.quit();
        });
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        elapsed.start();
        host.rearm();
        loop.exec();
        EXPECT_GE(firedAt, 28) << "timerfd " << timerFd;
        EXPECT_LE(firedAt, 60) << "timerfd " << timerFd;
    }
}

}  // namespace
}  // namespace fw::test
