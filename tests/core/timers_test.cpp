// The timer model and the random source.
#include <gtest/gtest.h>

#include "handheld_rig.h"

namespace fw::test {
namespace {

// One operation on the timers at a time, then what the timer looks like.
struct Op {
    enum Kind { Enable, Disable, Interval, Tick } kind;
    TimerId id;
    std::int64_t now;
    int ms;            // for Interval
    bool enabled;      // expected afterwards
    std::int64_t due;  // expected afterwards, when enabled
};

TEST(Timers, EnableIntervalAndTickFollowTheModel) {
    const struct {
        const char* what;
        std::vector<Op> ops;
    } cases[] = {
        {"enable schedules a full interval from now",
         {{Op::Enable, TimerGioco, 1000, 0, true, 1120}}},
        {"a repeated enable changes nothing",
         {{Op::Enable, TimerGioco, 0, 0, true, 120}, {Op::Enable, TimerGioco, 100, 0, true, 120}}},
        {"a changed interval restarts the countdown",
         {{Op::Enable, TimerGioco, 0, 0, true, 120}, {Op::Interval, TimerGioco, 50, 43, true, 93}}},
        {"an equal interval changes nothing",
         {{Op::Enable, TimerGioco, 0, 0, true, 120},
          {Op::Interval, TimerGioco, 50, 120, true, 120}}},
        {"an interval set while disabled counts from the enable",
         {{Op::Interval, TimerMiss, 10, 240, false, 0}, {Op::Enable, TimerMiss, 30, 0, true, 270}}},
        {"a tick schedules due + interval, however late it ran",
         {{Op::Enable, TimerGambe, 0, 0, true, 250},
          {Op::Tick, TimerGambe, 260, 0, true, 500},
          {Op::Tick, TimerGambe, 520, 0, true, 750}}},
        {"disable then enable starts afresh",
         {{Op::Enable, TimerGot, 0, 0, true, 440},
          {Op::Disable, TimerGot, 400, 0, false, 0},
          {Op::Enable, TimerGot, 400, 0, true, 840}}},
        {"a tick past the end of the clock never comes",
         {{Op::Enable, TimerGambe, kNever - 300, 0, true, kNever - 50},
          {Op::Tick, TimerGambe, kNever - 50, 0, true, kNever},
          {Op::Interval, TimerGambe, kNever - 10, 20, true, kNever},
          {Op::Enable, TimerGioco, kNever - 119, 0, true, kNever}}},
    };
    for (const auto& c : cases) {
        Timers t;
        for (const Op& op : c.ops) {
            switch (op.kind) {
                case Op::Enable:
                    t.enable(op.id, op.now);
                    break;
                case Op::Disable:
                    t.disable(op.id);
                    break;
                case Op::Interval:
                    t.setInterval(op.id, op.ms, op.now);
                    break;
                case Op::Tick:
                    t.advance(op.id);
                    break;
            }
            EXPECT_EQ(t.enabled(op.id), op.enabled) << c.what;
            if (op.enabled) {
                EXPECT_EQ(t.due(op.id), op.due) << c.what;
            }
        }
    }
}

TEST(Timers, IntervalsAtCreationAndTieOrder) {
    Timers t;
    const int want[] = {1000, 200, 1, 250, 440, 1, 1, 120};
    for (int i = 0; i < TimerCount; ++i) {
        EXPECT_EQ(t.interval(static_cast<TimerId>(i)), want[i]);
        EXPECT_FALSE(t.enabled(static_cast<TimerId>(i)));
    }
    // TimerGioco (120) and TimerStart (set to 120) fall due together: table order decides.
    t.enable(TimerGioco, 0);
    t.setInterval(TimerStart, 120, 0);
    t.enable(TimerStart, 0);
    t.setInterval(TimerClock, 240, 0);
    t.enable(TimerClock, -120);
    EXPECT_EQ(t.nextDueBy(119), std::nullopt);
    EXPECT_EQ(t.nextDueBy(120), TimerClock);
    t.disable(TimerClock);
    EXPECT_EQ(t.nextDueBy(120), TimerStart);
    // A timer disabled at the very millisecond it is due never fires.
    t.disable(TimerStart);
    EXPECT_EQ(t.nextDueBy(1'000'000), TimerGioco);
    t.disable(TimerGioco);
    EXPECT_EQ(t.nextDueBy(1'000'000), std::nullopt);
    EXPECT_EQ(t.nextDue(), std::nullopt);
}

TEST(Timers, AnHourAheadRunsEveryTickAtItsOwnTime) {
    HandheldRig r;
    r.time.recordLocalReads = true;
    r.click(Puls_Time, true);
    r.click(Puls_Time, false);  // the clock: first tick after 1 ms, then every second
    r.at(3'600'000);
    ASSERT_EQ(r.time.localReads, 3600);
    for (int i = 0; i < 3600; ++i)
        ASSERT_EQ(r.time.localReadTimes[i], 1 + 1000 * i);
    EXPECT_EQ(r->timers().due(TimerClock), 3'600'001);
    EXPECT_EQ(r.now(), 3'600'000);
}

TEST(Timers, PlayRunsUpToTheEndOfTheClockAndStops) {
    HandheldRig r;
    r.at(kNever - 1000);
    r.tap(kKeyRight);
    r.at(kNever);
    EXPECT_EQ(r.now(), kNever);
    EXPECT_TRUE(r.lit(Im_Man2));  // the start sequence ran
    EXPECT_EQ(r->nextDue(), std::nullopt);
    EXPECT_FALSE(r.running().empty());
}

TEST(Timers, BloccaTimersLeavesTheClockRunning) {
    HandheldRig r;
    r.click(Puls_Time, true);
    r.click(Puls_Time, false);
    for (int i = 1; i < TimerCount; ++i)
        r.seam().enable(static_cast<TimerId>(i));
    const std::int64_t due = r->timers().due(TimerClock);
    r.seam().BloccaTimers();
    EXPECT_EQ(r.running(), std::vector<TimerId>{TimerClock});
    EXPECT_EQ(r->timers().due(TimerClock), due);
}

TEST(Random, LinearCongruentialDrawsTakeTheUpperHalf) {
    // Worked out by hand: state' = state × 134775813 + 1 mod 2^32; draw = (state' × n) >> 32.
    const struct {
        std::uint32_t seed;
        std::uint32_t n[4];
        std::uint32_t state[4];
        std::uint32_t draw[4];
    } cases[] = {
        {0, {3, 4, 7, 3}, {1, 134775814, 3698175007u, 870078620}, {0, 0, 6, 0}},
        {1, {3, 4, 7, 3}, {134775814, 3698175007u, 870078620, 1172187917}, {0, 3, 1, 0}},
        {45296789, {3, 4, 7, 3}, {2099557098, 1162356371, 1524927712, 102383713}, {1, 1, 2, 0}},
        {86399999, {3, 4, 7, 3}, {3106359292u, 4274149357u, 1451879330, 994124331}, {2, 3, 2, 0}},
    };
    for (const auto& c : cases) {
        Random r;
        r.reseed(c.seed);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(r.below(c.n[i]), c.draw[i]) << c.seed << " draw " << i;
            EXPECT_EQ(r.seed(), c.state[i]) << c.seed << " draw " << i;
        }
    }
}

// The spawn draw of an odd phase, with one fish on the panel so that only the draw
// decides: seeded from the UTC milliseconds of the day at the tick.
TEST(Random, TheTickSeedsFromTheUtcTimeOfDay) {
    // 12:34:56.789 UTC is 45296789 ms: its first draw below 3 gives 1 (no fish);
    // a millisecond whose first draw gives 0 lights one.
    const std::uint32_t spawning = seedGiving({{3, 0}}, 45296789);
    for (auto [utc, fish] : {std::pair{45296789u, false}, {spawning, true}}) {
        HandheldRig r;
        r.time.utcStill = true;
        r.startGame(Mode::GameA);
        r.seam().setFishLimit(6);
        r.seam().setScore(50);
        r.setFish({Im_Fish23});
        r.seam().setTickPhase(1);
        r.time.utcAtStart = utc;
        r.tick();
        EXPECT_EQ(r.lit(Im_Fish0), fish) << utc;
    }
    // The clock-driven source: the UTC base plus the core's own time.
    HandheldRig r;
    r.time.utcAtStart = 45296789 - 270;
    r.startGame(Mode::GameA);
    r.seam().setFishLimit(6);
    r.seam().setScore(50);
    r.setFish({Im_Fish23});
    r.seam().setTickPhase(1);
    r.tick();  // at t = 270
    EXPECT_FALSE(r.lit(Im_Fish0));
}

}  // namespace
}  // namespace fw::test
