#include "timer_host.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "support.h"
#include "test_seam.h"
#include "virtual_handheld.h"

namespace fw::test {
namespace {

using standin::keepFishAway;
using standin::ticksBetween;

// Enters clock mode: TIME pressed and released, so TimerClock ticks 1 ms later and
// then every second.
void startClock(Handheld& h) {
    h.mouseDown(Puls_Time, MouseButton::Left, 1, 1);
    h.mouseUp(Puls_Time, MouseButton::Left, 1, 1);
}

// Game B under way at its fastest tick (43 ms, a score past 900), the start sequence
// over: only TimerGioco and TimerGambe run, both due one interval from now.
void startFastGameB(TForm1& form) {
    Handheld& h = form.handheld();
    form.handle([&] {
        HandheldTestSeam seam(h);
        h.keyDown(kKeyRight);
        h.keyUp(kKeyRight);
        seam.runHandler(TimerStart);  // the figure stands, the tick starts
        seam.disable(TimerStart);
        seam.setScore(901);
        seam.TrasformaScore(&HandheldState::Score);
    });
}

// A game window, created, whose timer host runs on the real monotonic clock.
struct LiveForm {
    standin::MemoryStore store;
    standin::CueLog cues;
    standin::VirtualTime time;
    TForm1 form{store, cues, time, fakePictures()};
    LiveForm() { form.create(); }
};

TEST(TimerHost, FarBehindItSkipsTheLostTimeAndRunsOneTick) {
    const struct {
        const char* what;
        bool legsOnly;      // TimerGioco stopped: TimerGambe (250 ms) alone
        std::int64_t late;  // how far past the first pending tick the host wakes
        int ticks;          // ticks that must have run
        bool skipped;       // the lost time is skipped: the core resumes at that tick
    } cases[] = {
        {"on time", false, 0, 1, false},
        {"a few ms late", false, 5, 1, false},
        {"two intervals and a bit, under 100 ms", false, 90, 3, false},
        {"just over 100 ms", false, 101, 1, true},
        {"a 300 ms hiccup", false, 300, 1, true},
        {"a 900 ms hiccup", false, 900, 1, true},
        {"an hour asleep", false, 3'600'000, 1, true},
        {"a slow timer two intervals late", true, 500, 3, false},
        {"a slow timer just past two intervals", true, 501, 1, true},
    };
    for (const auto& c : cases) {
        Rig rig;
        Handheld& h = rig.form->handheld();
        TimerHost& host = rig.form->timerHost();
        startFastGameB(*rig.form);
        if (c.legsOnly) HandheldTestSeam(h).disable(TimerGioco);
        ASSERT_EQ(h.timers().interval(TimerGioco), 43);
        const std::int64_t first = *h.nextDue();
        const Timers before = h.timers();
        rig.clock += first - h.now() + c.late;
        host.catchUp();
        EXPECT_EQ(ticksBetween(before, h.timers()), c.ticks) << c.what;
        EXPECT_EQ(h.now(), c.skipped ? first : first + c.late) << c.what;
        EXPECT_EQ(host.coreNow(), h.now()) << c.what;
        // Afterwards the rhythm goes on from the core's time, one tick at a time.
        const Timers after = h.timers();
        rig.clock += *h.nextDue() - h.now();
        host.catchUp();
        EXPECT_EQ(ticksBetween(after, h.timers()), 1) << c.what;
    }
}

TEST(TimerHost, ABlockedEventLoopResumesWithOneTick) {
    // The real clock and deadline: the event loop is blocked between two ticks of game B
    // at 43 ms, and the first event after it must run a single tick.
    for (int blockMs : {300, 900}) {
        LiveForm live;
        TForm1& form = live.form;
        Handheld& h = form.handheld();
        startFastGameB(form);
        QEventLoop loop;
        Timers last = h.timers();
        int events = 0, ticksAfter = -1;
        QObject::connect(&form.timerHost(), &TimerHost::due, &loop, [&] {
            // The window has run the event; this runs after it.
            const int ticks = ticksBetween(last, h.timers());
            form.handle([&] { keepFishAway(h); });
            last = h.timers();
            if (++events == 5) {
                QTimer::singleShot(0, &loop, [blockMs] {
                    const std::int64_t until = monotonicMillis() + blockMs;
                    while (monotonicMillis() < until) {
                    }
                });
            } else if (events == 6) {
                ticksAfter = ticks;
                loop.quit();
            }
        });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_EQ(ticksAfter, 1) << "blocked " << blockMs << " ms";
        EXPECT_TRUE(h.timers().enabled(TimerGioco)) << "blocked " << blockMs << " ms";
    }
}

TEST(TimerHost, InputEventsAdvanceTheCoreToTheirTimeFirst) {
    Rig rig;
    Handheld& h = rig.form->handheld();
    startClock(h);
    rig.clock += 80;
    rig.form->handle([&] { EXPECT_EQ(h.now(), 80); });
}

TEST(TimerHost, TheArmedDeadlineFiresOnTime) {
    // Never early, on any try; on time in at least one of a few tries, since a loaded
    // machine may stall the process for longer than the margin at any moment.
    for (bool timerFd : {true, false}) {
        std::int64_t bestLate = -1;
        for (int attempt = 0; attempt < 5 && (bestLate < 0 || bestLate > 60); ++attempt) {
            LiveForm live;
            Handheld& h = live.form.handheld();
            h.mouseDown(Puls_Time, MouseButton::Left, 1, 1);
            h.mouseUp(Puls_Time, MouseButton::Left, 1, 1);  // first clock tick 1 ms on
            // Pretend the tick is due 30 ms after the host takes its start time.
            HandheldTestSeam(h).setInterval(TimerClock, 30);
            QElapsedTimer elapsed;
            elapsed.start();
            TimerHost host(h, monotonicMillis, timerFd);
            EXPECT_EQ(host.usesTimerFd(), timerFd);
            QEventLoop loop;
            std::int64_t firedAt = -1;
            QObject::connect(&host, &TimerHost::due, &loop, [&] {
                firedAt = elapsed.elapsed();
                loop.quit();
            });
            QTimer::singleShot(2000, &loop, &QEventLoop::quit);
            host.rearm();
            loop.exec();
            // After a long stall both may be pending, and the give-up may have come first.
            if (firedAt < 0) QCoreApplication::processEvents();
            ASSERT_GE(firedAt, 28) << "timerfd " << timerFd << ", try " << attempt;
            if (bestLate < 0 || firedAt < bestLate) bestLate = firedAt;
        }
        EXPECT_LE(bestLate, 60) << "timerfd " << timerFd;
    }
}

}  // namespace
}  // namespace fw::test
