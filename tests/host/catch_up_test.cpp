#include "catch_up.h"

#include <gtest/gtest.h>

#include "test_seam.h"
#include "virtual_handheld.h"

namespace fw {
namespace {

using standin::startFastGameB;
using standin::ticksBetween;

TEST(CatchUp, FarBehindItSkipsTheLostTimeAndRunsOneTick) {
    const struct {
        const char* what;
        bool legsOnly;      // TimerGioco (43 ms) stopped: TimerGambe (250 ms) alone
        std::int64_t late;  // how far past the first pending tick the host wakes
        int ticks;          // ticks that must have run
        bool skipped;       // the lost time is skipped: the core resumes at that tick
    } cases[] = {
        {"early", false, -1, 0, false},
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
        standin::VirtualHandheld game;
        game.start();
        Handheld& h = game.h();
        game.wait(1000);
        const std::int64_t clockStart = 50'000;
        std::int64_t offset = clockStart - h.now();  // clock minus core time
        startFastGameB(h);
        if (c.legsOnly) HandheldTestSeam(h).disable(TimerGioco);
        const std::int64_t first = *h.nextDue();
        const Timers before = h.timers();
        catchUp(h, first + offset + c.late, offset);
        EXPECT_EQ(ticksBetween(before, h.timers()), c.ticks) << c.what;
        EXPECT_EQ(h.now(), c.skipped ? first : first + c.late) << c.what;
        if (c.late < 0) continue;
        // The offset keeps core time and the clock in step: afterwards the rhythm goes on
        // from the core's time, one tick at a time.
        const Timers after = h.timers();
        catchUp(h, *h.nextDue() + offset, offset);
        EXPECT_EQ(ticksBetween(after, h.timers()), 1) << c.what;
    }
}

}  // namespace
}  // namespace fw
