// Starting games, the arrow keys, the case buttons, the clock and dragging.
#include <gtest/gtest.h>

#include "handheld_rig.h"

namespace fw::test {
namespace {

TEST(Keys, ButtonPictureHidesOnKeyDownAndShowsOnKeyUpInEveryState) {
    for (State s : kAllStates) {
        for (int vk : {kKeyLeft, kKeyRight}) {
            HandheldRig r;
            enter(r, s);
            const Element button = vk == kKeyLeft ? Puls_Left : Puls_Right;
            const Element other = vk == kKeyLeft ? Puls_Right : Puls_Left;
            r.press(vk);
            EXPECT_FALSE(r->panel().shown(button)) << stateName(s);
            EXPECT_TRUE(r->panel().shown(other)) << stateName(s);
            r.release(vk);
            EXPECT_TRUE(r->panel().shown(button)) << stateName(s);
        }
    }
}

TEST(Keys, TheStartingKeyLatchesUntilAnyKeyIsReleased) {
    HandheldRig r;
    r.press(kKeyRight);  // starts game B and latches
    EXPECT_TRUE(r.state().KeyLatch);
    for (std::int64_t t : {100, 200, 400, 1100}) {  // auto-repeat through the start
        r.at(t);
        r.press(kKeyRight);
    }
    EXPECT_EQ(r.state().ManPos, 2);
    r.release(kKeyRight);
    r.press(kKeyRight);
    EXPECT_EQ(r.state().ManPos, 3);
    EXPECT_TRUE(r.state().KeyLatch);
    // At the end position: no move, and the latch is left as it was.
    r.release(kKeyRight);
    r.press(kKeyRight);
    EXPECT_EQ(r.state().ManPos, 3);
    EXPECT_FALSE(r.state().KeyLatch);
    // Left held: another key's release frees the latch for the next repeat.
    r.press(kKeyLeft);
    EXPECT_EQ(r.state().ManPos, 2);
    r.press(kKeyLeft);
    EXPECT_EQ(r.state().ManPos, 2);
    r.press(65);
    r.release(65);
    EXPECT_FALSE(r.state().KeyLatch);
    EXPECT_FALSE(r->panel().shown(Puls_Left));  // still held
    r.press(kKeyLeft);
    EXPECT_EQ(r.state().ManPos, 1);
    r.release(kKeyLeft);
    r.press(kKeyLeft);
    EXPECT_EQ(r.state().ManPos, 1);
}

TEST(Keys, NothingMovesOrRestartsInTheFirst150Ms) {
    HandheldRig r;
    r.tap(kKeyRight);
    r.at(149);
    r.tap(kKeyLeft);
    r.tap(kKeyRight);
    EXPECT_EQ(r.state().GameMode, Mode::GameB);
    EXPECT_EQ(r.cues.count(Cue::Start), 1);
    EXPECT_EQ(r->timers().due(TimerStart), 150);
    EXPECT_FALSE(r.lit(Im_GameA));
    r.at(150);
    EXPECT_EQ(r.state().ManPos, 2);
    EXPECT_TRUE(r.lit(Im_Man2) && r.lit(Im_Man2B));
}

TEST(Keys, StartSequenceShowsTheBestScoreThenZero) {
    HandheldRig r;
    r.seam().setBestScores(0, 321);
    r.tap(kKeyRight);
    EXPECT_EQ(r.digits(), "_321");
    EXPECT_TRUE(r.lit(Im_GameB) && !r.lit(Im_TimePP) && !r.lit(Im_TimeAM));
    EXPECT_EQ(r.state().FishLimit, 2);
    r.at(1049);
    EXPECT_EQ(r.digits(), "_321");
    EXPECT_EQ(r.state().FishLimit, 2);
    r.at(1050);
    EXPECT_EQ(r.digits(), "_000");
    EXPECT_EQ(r.state().FishLimit, 1);
    EXPECT_FALSE(r.enabled(TimerStart));
}

TEST(Keys, ArrowsDoNothingWhileAclIsHeld) {
    for (State s : {State::PowerOn, State::InPlay}) {
        HandheldRig r;
        enter(r, s);
        r.click(Puls_ACL, true);
        const int pos = r.state().ManPos;
        r.tap(kKeyLeft);
        r.tap(kKeyRight);
        EXPECT_EQ(r.state().ManPos, pos);
        EXPECT_TRUE(r.running().empty());
        EXPECT_TRUE(r.litSegments().empty());
        EXPECT_EQ(r.cues.count(Cue::Start), s == State::InPlay ? 1 : 0);
    }
}

TEST(Keys, HeldArrowRestartsAtItsNextRepeatAfterGameOver) {
    HandheldRig r;
    enter(r, State::Blink);
    r.press(kKeyLeft);  // latched from here on, no release
    EXPECT_EQ(r.state().GameMode, Mode::GameA);
    EXPECT_TRUE(r.state().Playing);
    r.wait(150);
    r.seam().setMissCount(2);
    r.setFish({Im_Fish13});
    r.tick();
    r.finishMiss();
    ASSERT_FALSE(r.state().Playing);
    ASSERT_TRUE(r.state().KeyLatch);
    r.press(kKeyLeft);  // the next auto-repeat
    EXPECT_TRUE(r.state().Playing);
    EXPECT_EQ(r.running(), std::vector<TimerId>{TimerStart});
    EXPECT_EQ(r.cues.count(Cue::Start), 3);
}

// TIME in each state: what the press leaves lit and where the release leads.
TEST(Buttons, TimeShowsTheAlarmTimeWhileHeldThenTheClock) {
    struct Case {
        State state;
        bool acts;  // the press shows PM 12:00
    } cases[] = {{State::PowerOn, true}, {State::Clock, true},    {State::Blink, true},
                 {State::InPlay, false}, {State::AclHeld, false}, {State::FishMiss, false}};
    for (const auto& c : cases) {
        HandheldRig r;
        r.time.local = {7, 45};
        enter(r, c.state);
        if (c.state == State::Clock)
            r.seam().panel().setShown(Im_Fish0, true);  // kept: no pattern here
        const Panel before = r->panel();
        const auto timersBefore = r.running();
        const Mode mode = r.state().GameMode;
        r.click(Puls_Time, true);
        EXPECT_FALSE(r->panel().shown(Puls_Time));
        if (c.acts) {
            EXPECT_EQ(r.digits(), "1200") << stateName(c.state);
            EXPECT_TRUE(r.lit(Im_TimePM) && r.lit(Im_TimePP) && !r.lit(Im_TimeAM));
            EXPECT_TRUE(r.running().empty()) << stateName(c.state);
            std::set<Element> want{Im_Stick1, Im_Stick2, Im_Stick3, Im_TimePM, Im_TimePP, Im_Note};
            if (c.state == State::Clock) want.insert(Im_Fish0);
            EXPECT_EQ(r.litSegments(), want) << stateName(c.state);
            r.wait(5000);  // nothing ticks while held
            EXPECT_EQ(r.digits(), "1200");
            r.click(Puls_Time, false);
            EXPECT_EQ(r.state().GameMode, Mode::Clock);
            r.wait(1);
            EXPECT_EQ(r.digits(), "_745");
            EXPECT_TRUE(r.lit(Im_TimeAM) && !r.lit(Im_TimePM));
            EXPECT_EQ(r->timers().interval(TimerClock), 1000);
        } else {
            Panel p = r->panel();
            p.setShown(Puls_Time, true);
            EXPECT_EQ(p, before) << stateName(c.state);
            EXPECT_EQ(r.running(), timersBefore) << stateName(c.state);
            r.click(Puls_Time, false);
            EXPECT_TRUE(r->panel().shown(Puls_Time));
            EXPECT_EQ(r.state().GameMode, mode);
            EXPECT_FALSE(r.enabled(TimerClock));
        }
    }
}

TEST(Buttons, RightAndMiddlePressesChangeNothing) {
    for (State s : {State::Clock, State::InPlay, State::PowerOn}) {
        for (Element e : {Puls_Time, Puls_ACL}) {
            for (MouseButton b : {MouseButton::Right, MouseButton::Middle}) {
                HandheldRig r;
                enter(r, s);
                const Panel before = r->panel();
                const auto timers = r.running();
                const auto cues = r.cues.events.size();
                r.click(e, true, b);
                r.click(e, false, b);
                EXPECT_EQ(r->panel(), before) << stateName(s);
                EXPECT_EQ(r.running(), timers) << stateName(s);
                EXPECT_EQ(r.cues.events.size(), cues);
            }
        }
    }
}

TEST(Buttons, AclAbandonsTheGameAndRestoresThePowerOnPattern) {
    HandheldRig r;
    enter(r, State::InPlay);
    r.seam().setScore(5);
    r.cues.events.clear();
    r.click(Puls_ACL, true);
    EXPECT_FALSE(r->panel().shown(Puls_ACL));
    EXPECT_TRUE(r.litSegments().empty());
    EXPECT_EQ(r.digits(), "____");
    EXPECT_TRUE(r.state().Playing);
    EXPECT_FALSE(r.state().ManFree);
    ASSERT_FALSE(r.cues.events.empty());
    EXPECT_TRUE(r.cues.events[0].stop);
    r.wait(10'000);
    r->mouseUp(Puls_ACL, MouseButton::Left, -300, 900);  // released far off the button
    const HandheldRig fresh;
    EXPECT_EQ(r->panel(), fresh.h().panel());
    EXPECT_EQ(r.state().GameMode, Mode::PowerOn);
    EXPECT_FALSE(r.state().Playing);
    EXPECT_TRUE(r.running().empty());
    r.wait(100'000);
    EXPECT_TRUE(r.store.writes.empty());
    EXPECT_EQ(r.state().HiScoreB, 0);
    EXPECT_EQ(r.state().HiScoreA, 0);
}

TEST(Clock, TwelveHourDisplay) {
    struct Case {
        int h, m;
        bool pm;
        const char* digits;
    } cases[] = {{0, 5, false, "1205"},  {12, 30, true, "1230"}, {13, 7, true, "_107"},
                 {9, 59, false, "_959"}, {10, 0, false, "1000"}, {23, 59, true, "1159"},
                 {11, 0, false, "1100"}, {1, 0, false, "_100"},  {12, 0, true, "1200"}};
    for (const auto& c : cases) {
        HandheldRig r;
        r.time.local = {c.h, c.m};
        enter(r, State::Clock);
        EXPECT_EQ(r.digits(), c.digits) << c.h << ":" << c.m;
        EXPECT_EQ(r.lit(Im_TimePM), c.pm);
        EXPECT_EQ(r.lit(Im_TimeAM), !c.pm);
        EXPECT_TRUE(r.lit(Im_TimePP));
        // One tick a second; a change of the time shows at the next.
        r.time.local = {c.h, (c.m + 1) % 60};
        const int reads = r.time.localReads;
        r.wait(999);
        EXPECT_EQ(r.time.localReads, reads);
        r.wait(1);
        EXPECT_EQ(r.time.localReads, reads + 1);
    }
}

TEST(Drag, LeftButtonMovesTheWindowByThePointersMovement) {
    for (Element area : {Im_Base, Im_SchermoTop}) {
        HandheldRig r;
        r->mouseDown(area, MouseButton::Left, 30, 40);
        r->mouseMove(area, {.left = true}, 35, 33);
        EXPECT_EQ(r.window.left, -695);
        EXPECT_EQ(r.window.top, -507);
        r->mouseMove(area, {.right = true}, 90, 90);
        r->mouseMove(area, {}, 90, 90);
        EXPECT_EQ(r.window.left, -695);
        // A right press records the point too; a press on a button does not.
        r->mouseDown(area, MouseButton::Right, 1, 2);
        r->mouseDown(Puls_Alarm, MouseButton::Left, 50, 50);
        r->mouseDown(Puls_Time, MouseButton::Left, 50, 50);
        r->mouseMove(Puls_Time, {.left = true}, 60, 60);
        EXPECT_EQ(r.window.left, -695);
        r->mouseMove(area, {.left = true}, 11, 12);
        EXPECT_EQ(r.window.left, -685);
        EXPECT_EQ(r.window.top, -497);
    }
}

}  // namespace
}  // namespace fw::test
