// The fish-miss and crab-miss sequences, game over, the best scores and the blink.
#include <gtest/gtest.h>

#include "handheld_rig.h"

namespace fw::test {
namespace {

// Starts a fish miss in lane 1 with the figure at 2; returns when the sequence started.
std::int64_t fishMiss(HandheldRig& r, Mode mode = Mode::GameA) {
    r.startGame(mode);
    r.at(1050);
    r.setFish({Im_Fish13});
    r.seam().setTickPhase(2);
    const std::int64_t t = r->timers().due(TimerGioco);
    r.tick();
    r.cues.events.clear();
    return t;
}

std::int64_t crabMiss(HandheldRig& r, int lane) {
    r.startGame(Mode::GameB);
    r.at(1050);
    if (lane == 2) r.tap(kKeyLeft);
    r.setFish({r.state().CrabSeg[lane][1], r.state().CrabSeg[lane][2]});
    r.seam().setCrab(lane, 3);
    r.seam().setCrabCounter(1);
    r.seam().setTickPhase(5);
    const std::int64_t t = r->timers().due(TimerGioco);
    r.tick();
    r.cues.events.clear();
    return t;
}

TEST(Miss, FishBlinksSevenStepsAndCountsAtTheSixth) {
    // Steps 1..7 at 240 + 290 (k - 1); the fish and the bent stick are lit at even steps.
    HandheldRig r;
    const std::int64_t t0 = fishMiss(r);
    ASSERT_TRUE(r.enabled(TimerMiss));
    r.at(t0 + 239);
    EXPECT_TRUE(r.cues.events.empty());
    EXPECT_TRUE(r.lit(Im_Fish13) && r.lit(Im_Stick1A) && !r.lit(Im_Stick1));
    for (int k = 1; k <= 7; ++k) {
        const std::int64_t t = t0 + 240 + 290 * (k - 1);
        r.at(t - 1);
        ASSERT_EQ(r.cues.count(Cue::Move), k - 1);
        if (k == 3) r.tap(kKeyRight);  // the figure may move; the lane stays
        r.at(t);
        EXPECT_EQ(r.cues.count(Cue::Move), k) << k;
        const bool on = k % 2 == 0 && k < 7;
        EXPECT_EQ(r.lit(Im_Fish13), on) << k;
        EXPECT_EQ(r.lit(Im_Stick1A), on) << k;
        EXPECT_EQ(r.lit(Im_Stick1), k == 7) << k;
        EXPECT_EQ(r.lit(Im_Miss1), k >= 6) << k;
        EXPECT_EQ(r.state().MissCount, k >= 6 ? 1 : 0) << k;
    }
    EXPECT_EQ(r.state().ManPos, 3);
    EXPECT_EQ(r.cues.events.size(), 7u);
    EXPECT_EQ(r.running(), (std::vector<TimerId>{TimerGambe, TimerGioco}));
    EXPECT_EQ(r->timers().due(TimerGioco), t0 + 1980 + 120);
    EXPECT_EQ(r.state().TickPhase, 2);
    EXPECT_FALSE(r.lit(Im_Miss2));
}

TEST(Miss, CrabClawsSwitchAfterASilentFirstTick) {
    for (int lane = 1; lane <= 3; ++lane) {
        HandheldRig r;
        const std::int64_t t0 = crabMiss(r, lane);
        const Element body = r.state().CrabSeg[lane][1], a = r.state().CrabSeg[lane][2],
                      b = r.state().CrabSeg[lane][3];
        ASSERT_TRUE(r.enabled(TimerMiss2));
        r.at(t0 + 479);  // nothing at all before the first cue
        EXPECT_TRUE(r.cues.events.empty());
        EXPECT_TRUE(r.lit(body) && r.lit(a) && !r.lit(b));
        const char* claws = "ABABAB-";  // lit claw after cues 1..7
        for (int k = 1; k <= 7; ++k) {
            const std::int64_t t = t0 + 480 + 290 * (k - 1);
            r.at(t - 1);
            ASSERT_EQ(r.cues.events.size(), static_cast<size_t>(k - 1));
            r.at(t);
            ASSERT_EQ(r.cues.count(Cue::Move), k);
            EXPECT_EQ(r.cues.events.back().t, t);
            EXPECT_EQ(r.lit(body), k < 7) << k;
            EXPECT_EQ(r.lit(a), k < 7 && claws[k - 1] == 'A') << k;
            EXPECT_EQ(r.lit(b), k < 7 && claws[k - 1] == 'B') << k;
            EXPECT_EQ(r.state().MissCount, k >= 6 ? 1 : 0) << k;
        }
        EXPECT_EQ(r.state().CrabStage, 4);  // left as it was
        EXPECT_EQ(r.running(), (std::vector<TimerId>{TimerGambe, TimerGioco}));
        r.tick();  // counts on from 4 without a second attack
        EXPECT_EQ(r.state().CrabStage, 5);
        EXPECT_FALSE(r.enabled(TimerMiss2));
    }
}

TEST(Miss, ThirdMissEndsTheGameAtStepSeven) {
    HandheldRig r;
    r.seam().setBestScores(10, 0);
    const std::int64_t t0 = fishMiss(r);
    r.seam().setMissCount(2);
    r.seam().setScore(11);
    r.at(t0 + 240 + 290 * 5);  // step 6
    EXPECT_TRUE(r.lit(Im_Miss3));
    EXPECT_TRUE(r.state().Playing);
    const Panel atSix = r->panel();
    r.at(t0 + 240 + 290 * 6);  // step 7
    EXPECT_FALSE(r.state().Playing);
    EXPECT_FALSE(r.state().ManFree);
    EXPECT_EQ(r.state().MissCount, 3);
    EXPECT_EQ(r.running(), std::vector<TimerId>{TimerBlink});
    EXPECT_EQ(r.store.writes, std::vector<std::string>{"HiScoreA=11"});
    // Only the fish and the stick change at step 7; the marks, the figure and score stay.
    Panel p = atSix;
    p.setShown(Im_Fish13, false);
    p.setShown(Im_Stick1A, false);
    p.setShown(Im_Stick1, true);
    EXPECT_EQ(r->panel(), p);
}

TEST(Miss, GameOverStoresOnlyAHigherScoreOfItsOwnGame) {
    struct Case {
        Mode mode;
        int hiA, hiB, score;
        std::vector<std::string> writes;
    } cases[] = {
        {Mode::GameA, 12, 0, 12, {}},
        {Mode::GameA, 12, 0, 13, {"HiScoreA=13"}},
        {Mode::GameA, 5, 3, 4, {}},
        {Mode::GameB, 3, 5, 4, {}},
        {Mode::GameB, 9, 5, 6, {"HiScoreB=6"}},
        {Mode::GameB, 0, 0, 0, {}},
    };
    for (const auto& c : cases) {
        HandheldRig r;
        r.seam().setBestScores(c.hiA, c.hiB);
        fishMiss(r, c.mode);
        r.seam().setMissCount(2);
        r.seam().setScore(c.score);
        r.finishMiss();
        EXPECT_EQ(r.store.writes, c.writes) << static_cast<int>(c.mode) << " " << c.score;
        const bool a = c.mode == Mode::GameA && c.score > c.hiA,
                   b = c.mode == Mode::GameB && c.score > c.hiB;
        EXPECT_EQ(r.state().HiScoreA, a ? c.score : c.hiA);
        EXPECT_EQ(r.state().HiScoreB, b ? c.score : c.hiB);
        r.start();  // the next run reads what was written
        EXPECT_EQ(r.state().HiScoreA, a ? c.score : 0);
        EXPECT_EQ(r.state().HiScoreB, b ? c.score : 0);
    }
}

TEST(Miss, AStoredBestNoGameCanReachNeverWinsOverARealScore) {
    // The best stored at start, what another copy stores while the game runs (empty:
    // nothing), the final score; what the store holds then and the next game B shows.
    const struct {
        const char* atStart;
        const char* meanwhile;
        int score;
        const char* stored;
        const char* shown;
    } cases[] = {
        {"1001", "", 974, "974", "_974"},  {"1500", "", 501, "501", "_501"},
        {"1001", "", 1, "1001", "_001"},   {"5", "990", 974, "990", "_990"},
        {"5", "1990", 974, "974", "_974"}, {"5", "999", 998, "999", "_999"},
        {"999", "", 998, "999", "_999"},   {"0", "-3", 2, "2", "_002"},
    };
    for (const auto& c : cases) {
        HandheldRig r;
        r.store.values["HiscoreB"] = c.atStart;
        r.start();
        fishMiss(r, Mode::GameB);
        if (*c.meanwhile) r.store.values["HiscoreB"] = c.meanwhile;
        r.seam().setMissCount(2);
        r.seam().setScore(c.score);
        r.finishMiss();
        EXPECT_EQ(r.store.values["HiscoreB"], c.stored) << c.atStart << " " << c.score;
        r.start();
        r.startGame(Mode::GameB);
        EXPECT_EQ(r.digits(), c.shown) << c.atStart << " " << c.score;
    }
}

TEST(Miss, FailedWriteRunsStepSevenAgain) {
    HandheldRig r;
    const std::int64_t t0 = fishMiss(r);
    r.seam().setMissCount(2);
    r.seam().setScore(7);
    r.store.failWrites = 1;
    const std::int64_t seven = t0 + 240 + 290 * 6;
    r.at(seven);
    EXPECT_EQ(r.window.errors, std::vector<std::string>{"Failed to set data for 'HiScoreA'"});
    EXPECT_EQ(r.state().HiScoreA, 7);  // counts for this run
    EXPECT_FALSE(r.state().Playing);
    EXPECT_EQ(r.running(), std::vector<TimerId>{TimerMiss});
    EXPECT_EQ(r.state().MissStep, 7);
    r.at(seven + 289);
    EXPECT_EQ(r.cues.count(Cue::Move), 7);
    r.at(seven + 290);
    EXPECT_EQ(r.cues.count(Cue::Move), 8);
    EXPECT_TRUE(r.store.writes.empty());
    EXPECT_EQ(r.running(), std::vector<TimerId>{TimerBlink});
    EXPECT_EQ(r->timers().due(TimerBlink), seven + 290 + 200);
    EXPECT_EQ(r.state().MissCount, 3);
    EXPECT_EQ(r.window.errors.size(), 1u);
}

TEST(Miss, BlinkAlternatesBestAndLastScoreThenShowsTheClock) {
    HandheldRig r;
    r.time.local = {15, 4};
    r.seam().setBestScores(250, 0);
    fishMiss(r);
    r.seam().setMissCount(2);
    r.seam().setScore(17);
    r.seam().TrasformaScore(&HandheldState::Score);
    r.finishMiss();
    const std::int64_t over = r.now();
    EXPECT_EQ(r.digits(), "_017");
    // Tick times and what they show: dark 100, best 350, dark 100, last 350.
    struct Step {
        std::int64_t at;
        const char* digits;
    } steps[] = {{200, "_---"}, {300, "_250"}, {650, "_---"}, {750, "_017"}, {1100, "_---"}};
    for (const auto& s : steps) {
        r.at(over + s.at - 1);
        EXPECT_NE(r.digits(), s.digits) << s.at;
        r.at(over + s.at);
        EXPECT_EQ(r.digits(), s.digits) << s.at;
    }
    // The 222nd tick comes 49,600 ms after the first, on a best-score step.
    const std::int64_t last = over + 200 + 49'600;
    r.at(last - 1);
    EXPECT_EQ(r.digits(), "_---");
    EXPECT_TRUE(r.lit(Im_GameA));
    r.at(last);
    EXPECT_EQ(r.digits(), "_250");
    EXPECT_EQ(r.state().GameMode, Mode::Clock);
    EXPECT_EQ(r.running(), std::vector<TimerId>{TimerClock});
    EXPECT_FALSE(r.lit(Im_GameA) || r.lit(Im_Miss1) || r.lit(Im_Man2));
    r.at(last + 1);
    EXPECT_EQ(r.digits(), "_304");
    EXPECT_TRUE(r.lit(Im_TimePM));
    // The next game over blinks first after the interval this blink left: 350 ms.
    r.tap(kKeyLeft);
    r.wait(150);
    r.seam().setMissCount(2);
    r.setFish({Im_Fish13});
    r.tick();
    r.finishMiss();
    EXPECT_EQ(r->timers().due(TimerBlink), r.now() + 350);
}

TEST(Miss, ArrowKeyDuringTheBlinkStartsAGameAtOnce) {
    for (int vk : {kKeyLeft, kKeyRight}) {
        HandheldRig r;
        enter(r, State::Blink);
        r.wait(1234);
        r.press(vk);
        EXPECT_TRUE(r.state().Playing);
        EXPECT_EQ(r.state().GameMode, vk == kKeyLeft ? Mode::GameA : Mode::GameB);
        EXPECT_EQ(r.running(), std::vector<TimerId>{TimerStart});
        EXPECT_EQ(r.digits(), "_000");
        EXPECT_EQ(r.state().MissCount, 0);
    }
}

TEST(Miss, AclDuringAGameWritesNothingAndStartsNoBlink) {
    for (State s : {State::InPlay, State::FishMiss, State::CrabMiss, State::CatchPose}) {
        HandheldRig r;
        enter(r, s);
        r.seam().setScore(99);
        r.seam().setMissCount(2);
        r.click(Puls_ACL, true);
        r.wait(5000);
        r.click(Puls_ACL, false);
        r.wait(100'000);
        EXPECT_TRUE(r.store.writes.empty()) << stateName(s);
        EXPECT_TRUE(r.running().empty()) << stateName(s);
        EXPECT_EQ(r.state().HiScoreA + r.state().HiScoreB, 0);
    }
}

TEST(Miss, ResetHiscoresDuringAGameLeavesItRunning) {
    HandheldRig r;
    r.seam().setBestScores(0, 40);
    enter(r, State::InPlay);
    const auto timers = r.running();
    r->resetHiscores();
    EXPECT_EQ(r.store.writes, (std::vector<std::string>{"HiScoreA=0", "HiScoreB=0"}));
    EXPECT_EQ(r.window.beeps, 1);
    EXPECT_EQ(r.running(), timers);
    EXPECT_EQ(r.state().HiScoreB, 0);
}

TEST(Miss, BestScoresStoredElsewhereAreReadAgainWhenToldOfAChange) {
    // What the store holds when told (empty: missing; "bad": of another type), and the
    // best scores and error after; the game in play goes on untouched.
    const struct {
        const char *a, *b;
        int bestA, bestB;
        const char* error;
    } cases[] = {
        {"12", "34", 12, 34, nullptr},
        {"", "", 5, 6, nullptr},  // missing: the ones in memory stay
        {"12", "bad", 12, 6, "Invalid data type for 'HiscoreB'"},
        {"bad", "34", 5, 6, "Invalid data type for 'HiscoreA'"},  // ends the read there
    };
    for (const auto& c : cases) {
        HandheldRig r;
        r.seam().setBestScores(5, 6);
        enter(r, State::InPlay);
        const auto timers = r.running();
        for (const auto& [name, text] : {std::pair{"HiscoreA", c.a}, {"HiscoreB", c.b}}) {
            if (std::string(text) == "bad")
                r.store.badTypes.push_back(name);
            else if (*text)
                r.store.values[name] = text;
        }
        r->bestScoresChanged();
        EXPECT_EQ(r.state().HiScoreA, c.bestA) << c.a << " " << c.b;
        EXPECT_EQ(r.state().HiScoreB, c.bestB) << c.a << " " << c.b;
        EXPECT_EQ(r.window.errors,
                  c.error ? std::vector<std::string>{c.error} : std::vector<std::string>{});
        EXPECT_EQ(r.running(), timers);
        EXPECT_TRUE(r.store.writes.empty());
    }
    // The next game shows the best read.
    HandheldRig r;
    r.store.set("HiscoreB", 34);
    r->bestScoresChanged();
    r.tap(kKeyRight);
    EXPECT_EQ(r.digits(), "_034");
}

}  // namespace
}  // namespace fw::test
