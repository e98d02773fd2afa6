// The game tick: catches, moves, new fish, the crab and the difficulty.
#include <gtest/gtest.h>

#include "handheld_rig.h"

namespace fw::test {
namespace {

constexpr Element kSticksBent[] = {Im_Stick1A, Im_Stick2A, Im_Stick3A};

std::set<Element> fishAndBentSticks(const HandheldRig& r) {
    std::set<Element> s;
    for (Element e : kFishSegments)
        if (r.lit(e)) s.insert(e);
    for (Element e : kCrabSegments)
        if (r.lit(e)) s.insert(e);
    for (Element e : kSticksBent)
        if (r.lit(e)) s.insert(e);
    return s;
}

// A game at the given phase with the panel set up as given and the tick's draws fixed.
void setUp(HandheldRig& r, Mode mode, int phase, std::initializer_list<Element> lit,
           std::uint32_t utc) {
    r.time.utcStill = true;
    r.time.utcAtStart = utc;
    r.startGame(mode);
    r.at(1050);  // past the start sequence
    r.seam().setCrabCounter(1);
    r.seam().setCrab(0, 0);
    r.setFish(lit);
    r.seam().setTickPhase(phase);
}

TEST(Tick, FirstFishOfEveryGameTakesLaneOne) {
    for (Mode mode : {Mode::GameA, Mode::GameB}) {
        for (std::uint32_t utc : {0u, 1u, 33'000'000u, 86'399'999u}) {
            HandheldRig r;
            r.time.utcAtStart = utc;
            r.startGame(mode);
            r.tick();
            EXPECT_EQ(fishAndBentSticks(r), std::set<Element>{Im_Fish0}) << utc;
            r.tick();
            EXPECT_EQ(fishAndBentSticks(r), std::set<Element>{Im_Fish11}) << utc;
        }
    }
}

TEST(Tick, MovesFollowThePhaseAndTheLaneRules) {
    const std::uint32_t jump = seedGiving({{7, 0}}), stay = seedGiving({{7, 6}});
    const std::uint32_t noSpawn = seedGiving({{3, 2}});
    struct Case {
        Mode mode;
        int phase;
        std::initializer_list<Element> before;
        std::uint32_t utc;
        std::set<Element> after;
        int moveCues;
    } cases[] = {
        {Mode::GameA,
         2,
         {Im_Fish0, Im_Fish11, Im_Fish12},
         stay,
         {Im_Fish11, Im_Fish12, Im_Fish13, Im_Stick1A},
         1},
        {Mode::GameA, 2, {Im_Fish11}, jump, {Im_Fish12}, 1},  // no detour in game A
        {Mode::GameA, 4, {Im_Fish22}, stay, {Im_Fish23}, 1},
        {Mode::GameA, 6, {Im_Fish34, Im_Fish31}, stay, {Im_Fish35, Im_Fish32, Im_Stick3A}, 0},
        {Mode::GameA, 6, {Im_Fish32}, jump, {Im_Fish33}, 0},
        {Mode::GameA, 6, {Im_Fish33}, stay, {Im_Fish34}, 1},
        {Mode::GameB, 4, {Im_Fish23}, stay, {Im_Fish24, Im_Stick2A}, 0},
        {Mode::GameB, 2, {Im_Fish11}, jump, {Im_Fish11A}, 1},
        {Mode::GameB, 2, {Im_Fish11}, stay, {Im_Fish12}, 1},
        {Mode::GameB, 2, {Im_Fish11A, Im_Fish0}, stay, {Im_Fish11B, Im_Fish11}, 0},
        {Mode::GameB, 2, {Im_Fish11B, Im_Fish12}, stay, {Im_Fish11, Im_Fish13, Im_Stick1A}, 0},
        {Mode::GameB, 2, {Im_Fish11B, Im_Fish11}, jump, {Im_Fish11A, Im_Fish11}, 1},
        {Mode::GameB, 6, {Im_Fish32}, jump, {Im_Fish32A}, 0},  // lane 3 sounds no cue for A
        {Mode::GameB, 6, {Im_Fish32A, Im_Fish31}, stay, {Im_Fish32B, Im_Fish32}, 0},
        {Mode::GameB, 6, {Im_Fish32B, Im_Fish33}, stay, {Im_Fish32, Im_Fish34}, 1},
        {Mode::GameB, 6, {Im_Fish32}, stay, {Im_Fish33}, 0},
        {Mode::GameB,
         3,
         {Im_Fish11, Im_Fish22, Im_Fish0},
         noSpawn,
         {Im_Fish11, Im_Fish22, Im_Fish0},
         0},
    };
    for (const auto& c : cases) {
        HandheldRig r;
        setUp(r, c.mode, c.phase, c.before, c.utc);
        const int cues = r.cues.count(Cue::Move);
        r.tick();
        EXPECT_EQ(fishAndBentSticks(r), c.after)
            << "game " << static_cast<int>(c.mode) << " phase " << c.phase;
        EXPECT_EQ(r.cues.count(Cue::Move) - cues, c.moveCues) << "phase " << c.phase;
        EXPECT_EQ(r.state().TickPhase, c.phase % 6 + 1);
    }
}

TEST(Tick, NewFishGuards) {
    const std::uint32_t yes = seedGiving({{3, 0}}), no = seedGiving({{3, 1}});
    struct Case {
        Mode mode;
        int phase, score, limit;
        std::initializer_list<Element> before;
        std::uint32_t utc;
        bool fish;
    } cases[] = {
        // Nothing counted: a fish on every phase, whatever the limit and the draw.
        {Mode::GameA, 1, 0, 1, {}, no, true},
        {Mode::GameA, 2, 0, 1, {}, no, true},
        {Mode::GameB, 3, 0, 1, {}, no, true},
        {Mode::GameB, 4, 0, 1, {}, no, true},
        {Mode::GameA, 5, 0, 1, {}, no, true},
        {Mode::GameB, 6, 0, 1, {}, no, true},
        {Mode::GameA, 1, 0, 1, {Im_Fish0}, no, true},  // a waiting fish is not counted
        // Even phases light a fish only when none is counted.
        {Mode::GameA, 2, 50, 6, {Im_Fish33}, yes, false},
        // The draw, 1 in 3, on odd phases.
        {Mode::GameA, 1, 50, 6, {Im_Fish33}, yes, true},
        {Mode::GameA, 1, 50, 6, {Im_Fish33}, no, false},
        // FishLimit counts every lit lane and jump segment.
        {Mode::GameA, 3, 50, 1, {Im_Fish33}, yes, false},
        {Mode::GameA, 3, 50, 2, {Im_Fish33, Im_Fish11}, yes, false},
        {Mode::GameA, 3, 50, 3, {Im_Fish33, Im_Fish11}, yes, true},
        // Two A (or two B) segments count once; an A and a B count twice.
        {Mode::GameB, 3, 50, 2, {Im_Fish11A, Im_Fish32A}, yes, true},
        {Mode::GameB, 3, 50, 2, {Im_Fish11B, Im_Fish32B}, yes, true},
        {Mode::GameB, 3, 50, 2, {Im_Fish11A, Im_Fish32B}, yes, false},
        // 40 or less: the first segment of lane k blocks; from 41 only the first two.
        {Mode::GameA, 1, 40, 6, {Im_Fish11}, yes, false},
        {Mode::GameA, 1, 41, 6, {Im_Fish11}, yes, true},
        {Mode::GameA, 1, 41, 6, {Im_Fish11, Im_Fish12}, yes, false},
        {Mode::GameA, 3, 0, 6, {Im_Fish21}, yes, false},
        {Mode::GameA, 3, 41, 6, {Im_Fish21, Im_Fish22}, yes, false},
        {Mode::GameA, 5, 41, 6, {Im_Fish31, Im_Fish32}, yes, false},
        {Mode::GameA, 3, 10, 6, {Im_Fish11}, yes, true},  // lane k is lane 2 on phase 3
        {Mode::GameA, 5, 10, 6, {Im_Fish21}, yes, true},
        // Game B: Im_Fish11B blocks phase 1, Im_Fish32A blocks phase 5.
        {Mode::GameB, 1, 50, 6, {Im_Fish11B}, yes, false},
        {Mode::GameA, 1, 50, 6, {Im_Fish11B}, yes, true},
        {Mode::GameB, 5, 50, 6, {Im_Fish32A}, yes, false},
        {Mode::GameB, 5, 50, 6, {Im_Fish11B}, yes, true},
        {Mode::GameB, 3, 50, 6, {Im_Fish11B}, yes, true},
    };
    for (const auto& c : cases) {
        HandheldRig r;
        setUp(r, c.mode, c.phase, c.before, c.utc);
        r.seam().setScore(c.score);
        r.seam().setFishLimit(c.limit);
        r.tick();
        EXPECT_EQ(r.lit(Im_Fish0), c.fish)
            << "game " << static_cast<int>(c.mode) << " phase " << c.phase << " score " << c.score;
    }
}

TEST(Tick, FishLimitOneKeepsOneFishOnThePanel) {
    HandheldRig r;
    r.time.utcAtStart = 12'345'678;
    r.startGame(Mode::GameB);
    r.wait(1000);  // past the second start step: FishLimit 1
    // Fish lit while the limit was 2 play out; from the first moment with at most one,
    // there is never more than one. The bot catches; the score is held below 4.
    Bot bot;
    bool one = false;
    for (int steps = 0; steps < 5000; ++steps) {
        int n = 0;
        for (Element e : kFishSegments)  // Im_Fish0 and the caught fish too
            n += r.lit(e);
        if (!r.enabled(TimerMiss)) one = one || n <= 1;  // a missed fish blinks
        if (one) {
            ASSERT_LE(n, 1) << "at " << r.now();
        }
        ASSERT_TRUE(bot.step(r.h()));
        r.seam().setScore(0);
        ASSERT_EQ(r.state().FishLimit, 1);
    }
    EXPECT_TRUE(one);
}

// Catches settle before anything else in the tick.
TEST(Tick, CatchesEndTheTick) {
    struct Case {
        int manPos;
        std::initializer_list<Element> before;
        int points, gotCues;
        bool fishGot, missAfterPose;
    } cases[] = {
        {2, {Im_Fish24}, 1, 1, true, false},
        {3, {Im_Crab3, Im_Crab3A}, 2, 1, false, false},
        {1, {Im_Fish13, Im_Crab1, Im_Crab1A}, 3, 2, true, false},
        {2, {Im_Crab2, Im_Crab2A, Im_Fish13}, 2, 1, false, true},  // no miss in this tick
    };
    for (const auto& c : cases) {
        HandheldRig r;
        setUp(r, Mode::GameB, 3, c.before, seedGiving({{3, 0}}));
        while (r.state().ManPos != c.manPos)
            r.tap(c.manPos < r.state().ManPos ? kKeyLeft : kKeyRight);
        r.seam().setCrab(c.manPos, 2);
        r.seam().setScore(40);
        r.cues.events.clear();
        const std::int64_t t = r->timers().due(TimerGioco);
        r.tick();
        const int p = c.manPos;
        EXPECT_EQ(r.state().Score, 40 + c.points);
        EXPECT_EQ(r.digits(), "_04" + std::to_string(c.points));
        EXPECT_EQ(r.cues.count(Cue::Got), c.gotCues);
        EXPECT_EQ(r.cues.events.size(), 2u * c.gotCues);  // each catch cue after a Silenzio
        EXPECT_TRUE(r.lit(r.state().ManSeg[p][4]));
        EXPECT_EQ(r.lit(r.state().FishGotSeg[p]), c.fishGot);
        EXPECT_FALSE(r.lit(r.state().FishSeg[p][p + 2]) || r.lit(r.state().CrabSeg[p][1]) ||
                     r.lit(r.state().CrabSeg[p][2]) || r.lit(r.state().StickSeg[p][2]));
        EXPECT_EQ(r.state().TickPhase, 3);
        EXPECT_FALSE(r.state().ManFree);
        EXPECT_EQ(r.running(), std::vector<TimerId>{TimerGot});
        EXPECT_FALSE(r.lit(Im_Fish0));  // no new fish, no movement
        if (c.points >= 2) {
            EXPECT_EQ(r.state().CrabStage, 0);
        }
        // The figure cannot move during the pose.
        r.tap(p == 1 ? kKeyRight : kKeyLeft);
        EXPECT_EQ(r.state().ManPos, p);
        r.at(t + 439);
        EXPECT_TRUE(r.lit(r.state().ManSeg[p][4]));
        r.at(t + 440);
        EXPECT_FALSE(r.lit(r.state().ManSeg[p][4]) || r.lit(r.state().FishGotSeg[p]));
        EXPECT_TRUE(r.lit(r.state().StickSeg[p][1]));
        EXPECT_TRUE(r.state().ManFree);
        EXPECT_EQ(r->timers().due(TimerGioco), t + 440 + 120);
        r.tick();
        EXPECT_EQ(r.enabled(TimerMiss), c.missAfterPose);
        EXPECT_EQ(r.state().TickPhase, c.missAfterPose ? 3 : 4);  // the same phase ran again
    }
}

TEST(Tick, CrabStepInAnOddPhaseMissTickTurnsItIntoACrabMiss) {
    for (int phase : {3, 4}) {
        HandheldRig r;
        setUp(r, Mode::GameB, phase, {Im_Fish13, Im_Crab3, Im_Crab3A}, 0);
        r.seam().setCrab(3, 3);
        r.tick();
        const bool odd = phase == 3;
        EXPECT_EQ(r.enabled(TimerMiss2), odd);
        EXPECT_EQ(r.enabled(TimerMiss), !odd);
        EXPECT_EQ(r.state().CrabStage, odd ? 4 : 3);
        EXPECT_EQ(r.running().size(), 1u);
        r.finishMiss();
        EXPECT_EQ(r.state().MissCount, 1);
        EXPECT_EQ(r.lit(Im_Crab3), !odd);
        EXPECT_EQ(r.lit(Im_Fish13), odd);  // still waiting at the end of its lane
        if (odd) {
            r.tick();
            EXPECT_TRUE(r.enabled(TimerMiss));
            EXPECT_EQ(r.state().MissLane, 1);
        }
    }
}

TEST(Tick, DifficultyFollowsTheScore) {
    struct Case {
        int score, limitBefore, limit, interval, scoreAfter;
    } cases[] = {
        {0, 2, 1, 120, 0},     {3, 2, 1, 120, 3},     {4, 1, 2, 120, 4},     {9, 1, 2, 120, 9},
        {10, 1, 3, 120, 10},   {19, 1, 3, 120, 19},   {20, 1, 4, 120, 20},   {49, 1, 4, 120, 49},
        {50, 1, 5, 120, 50},   {79, 1, 5, 120, 79},   {80, 1, 6, 120, 80},   {99, 1, 6, 120, 99},
        {100, 6, 6, 120, 100}, {100, 2, 2, 120, 100}, {101, 6, 1, 107, 101}, {200, 6, 6, 107, 200},
        {201, 6, 1, 99, 201},  {450, 1, 5, 83, 450},  {701, 6, 1, 59, 701},  {900, 3, 3, 51, 900},
        {999, 1, 6, 43, 999},  {1000, 6, 1, 120, 0},  {1045, 6, 4, 120, 45},
    };
    for (const auto& c : cases) {
        HandheldRig r;
        r.startGame(Mode::GameA);
        r.seam().setFishLimit(c.limitBefore);
        r.seam().setScore(c.score);
        r.seam().TrasformaScore(&HandheldState::Score);
        EXPECT_EQ(r.state().FishLimit, c.limit) << c.score;
        EXPECT_EQ(r->timers().interval(TimerGioco), c.interval) << c.score;
        EXPECT_EQ(r.state().Score, c.scoreAfter);
    }
}

TEST(Tick, ACatchPast999StartsTheDifficultyOver) {
    HandheldRig r;
    setUp(r, Mode::GameA, 1, {Im_Fish24}, seedGiving({{3, 0}}));
    r.seam().setScore(999);
    r.seam().TrasformaScore(&HandheldState::Score);
    ASSERT_EQ(r->timers().interval(TimerGioco), 43);
    r.tick();
    EXPECT_EQ(r.state().Score, 0);
    EXPECT_EQ(r.digits(), "_000");
    EXPECT_EQ(r.state().FishLimit, 1);
    r.wait(440);
    EXPECT_EQ(r->timers().due(TimerGioco), r.now() + 120);
    // The rule for 40 or less is back: a fish on Im_Fish11 blocks phase 1.
    r.seam().setFishLimit(6);
    r.setFish({Im_Fish11});
    r.tick();
    EXPECT_FALSE(r.lit(Im_Fish0));
}

// A game that starts at a short interval left by the game before.
TEST(Tick, ShortIntervalStartSettlesTheFirstFishBeforeTheSecondStartStep) {
    for (int interval : {59, 60}) {
        HandheldRig r;
        r.seam().setBestScores(123, 0);
        r.seam().setInterval(TimerGioco, interval);
        r.tap(kKeyLeft);
        r.at(1050);
        const bool early = interval == 59;  // the 15th tick at 1035; at 60 it ties with step 2
        EXPECT_EQ(r.enabled(TimerMiss), early) << interval;
        EXPECT_EQ(r.digits(), early ? "_123" : "_000");
        EXPECT_EQ(r.state().FishLimit, early ? 2 : 1);
        EXPECT_FALSE(r.enabled(TimerStart));
        r.finishMiss();
        EXPECT_EQ(r.state().MissCount, early ? 1 : 0);
        EXPECT_EQ(r->timers().interval(TimerGioco), early ? 59 : 120);
        EXPECT_EQ(r.digits(), early ? "_123" : "_000");  // the second step never runs
    }
}

TEST(Tick, CrabLeftAfterAFishMissNeverAttacksButCanBeCaught) {
    HandheldRig r;
    setUp(r, Mode::GameB, 2, {Im_Fish13, Im_Crab3, Im_Crab3A}, seedGiving({{4, 1}, {3, 0}}));
    r.seam().setCrab(3, 1);
    r.tick();
    r.finishMiss();
    ASSERT_EQ(r.state().CrabStage, 0);
    ASSERT_EQ(r.state().CrabCounter, 0);
    int odd = 0;
    for (int i = 0; i < 24; ++i) {
        r.setFish({Im_Crab3, Im_Crab3A});
        odd += r.state().TickPhase % 2;
        r.tick();
        EXPECT_FALSE(r.enabled(TimerMiss2));
        EXPECT_TRUE(r.lit(Im_Crab3));
        EXPECT_EQ(r.state().CrabCounter, odd < 6 ? odd : (odd - 6) % 5 + 1) << i;
    }
    r.tap(kKeyRight);
    const int score = r.state().Score;
    r.tick();
    EXPECT_EQ(r.state().Score, score + 2);
    EXPECT_FALSE(r.lit(Im_Crab3));
}

TEST(Tick, ACrabDecisionShowsTheCrabAtTheDrawnLane) {
    // Decisions fall on every fifth odd tick; 1 in 4 shows a crab, at a lane drawn below 3.
    for (auto [draws, lane] : {std::pair{std::pair{0u, 2u}, 3}, {{0u, 0u}, 1}, {{3u, 0u}, 0}}) {
        HandheldRig r;
        setUp(r, Mode::GameB, 1, {Im_Fish22}, seedGiving({{4, draws.first}, {3, draws.second}}));
        r.seam().setCrabCounter(5);
        r.tick();
        EXPECT_EQ(r.state().CrabCounter, 1);
        EXPECT_EQ(r.state().CrabStage, lane ? 1 : 0);
        for (int l = 1; l <= 3; ++l) {
            EXPECT_EQ(r.lit(r.state().CrabSeg[l][1]), l == lane);
            EXPECT_EQ(r.lit(r.state().CrabSeg[l][2]), l == lane);
        }
        if (lane) {
            EXPECT_EQ(r.state().CrabLane, lane);
        }
    }
}

}  // namespace
}  // namespace fw::test
