#include "controls.h"

#include <gtest/gtest.h>

#include "pad_mapper.h"
#include "virtual_handheld.h"

namespace fw {
namespace {

using C = Control;

TEST(Controls, KeysByTheBrowsersNames) {
    const struct {
        const char* name;
        int vk;
    } cases[] = {{"ArrowLeft", kKeyLeft}, {"ArrowRight", kKeyRight}, {"Left", kKeyLeft},
                 {"Right", kKeyRight},    {"ArrowUp", kKeyOther},    {"%", kKeyOther},
                 {"'", kKeyOther},        {"arrowleft", kKeyOther},  {"", kKeyOther}};
    for (const auto& c : cases)
        EXPECT_EQ(virtualKeyOfName(c.name), c.vk) << c.name;
    EXPECT_NE(kKeyOther, kKeyLeft);
    EXPECT_NE(kKeyOther, kKeyRight);
}

TEST(Controls, EachControlWorksItsButtonAndOnlyIt) {
    for (C c : {C::Left, C::Right, C::Time, C::Acl}) {
        const Element button = buttonOf(c);
        EXPECT_EQ(controlOf(button), c);
        standin::VirtualHandheld game;
        game.start();
        work(game.h(), c, true);
        // Held, the button's picture is gone (pressed in); the others stay.
        for (C other : {C::Left, C::Right, C::Time, C::Acl})
            EXPECT_EQ(game->panel().shown(buttonOf(other)), other != c) << int(c) << int(other);
        work(game.h(), c, false);
        EXPECT_TRUE(game->panel().shown(button)) << int(c);
        const Mode after[] = {Mode::GameA, Mode::GameB, Mode::Clock, Mode::PowerOn};
        EXPECT_EQ(game.state().GameMode, after[int(c)]) << int(c);
    }
    EXPECT_EQ(controlOf(Puls_Alarm), std::nullopt);
    EXPECT_EQ(controlOf(Im_Base), std::nullopt);
}

TEST(Controls, APushReachesTheHandheldOnceAndItsReleaseOnlyWhereItWent) {
    const struct {
        C control;
        bool down, accepting, taken;
    } steps[] = {
        {C::Right, true, false, false},                                  // before Play: dropped
        {C::Right, false, true, false},                                  // so is its release
        {C::Right, true, true, true},   {C::Right, true, true, false},   // a repeated push
        {C::Time, true, true, true},    {C::Right, false, false, true},  // released later on
        {C::Right, false, true, false}, {C::Time, false, true, true},
    };
    HeldControls held;
    int i = 0;
    for (const auto& s : steps) {
        EXPECT_EQ(held.take(s.control, s.down, s.accepting), s.taken) << "step " << i;
        ++i;
    }
    EXPECT_FALSE(held.held(C::Right));
    EXPECT_FALSE(held.held(C::Time));
}

TEST(Controls, ATouchWorksTheNearestControlWithinReach) {
    const std::optional<C> none;
    const struct {
        int x, y, reach;
        std::optional<C> want;
    } cases[] = {
        {502, 84, 0, C::Time},      // inside TIME (491, 73, 22 x 22)
        {490, 84, 0, none},         // one pixel left of it, no reach
        {490, 84, 1, C::Time},      // the same, with one pixel of reach
        {537, 84, 25, C::Time},     // 25 right of its last column: just within
        {538, 84, 25, none},        // 26: just out
        {550, 100, 60, C::Time},    // between TIME and ACL (588, 107), nearer TIME
        {560, 110, 60, C::Acl},     // nearer ACL
        {594, 113, -1, none},       // no reach at all: not even inside
        {94, 300, 41, C::Left},     // above GAME A (74, 341): 41 up
        {94, 300, 40, none},        //   one short
        {300, 361, 200, C::Left},   // nearer GAME A than GAME B (528, 340)
        {360, 361, 200, C::Right},  //   and the other way
        {326, 221, 40, none},       // the screen's middle: far from every button
        {0, 0, 1000, C::Left},      // a reach past the case: the nearest still wins
    };
    for (const auto& c : cases)
        EXPECT_EQ(controlNear(c.x, c.y, c.reach), c.want)
            << c.x << "," << c.y << " reach " << c.reach;
    // Inside a button that button wins, whatever the reach.
    for (C c : {C::Left, C::Right, C::Time, C::Acl}) {
        const Rect& r = info(buttonOf(c)).rect;
        for (int reach : {0, 30, 300}) {
            EXPECT_EQ(controlNear(r.left, r.top, reach), c) << int(c);
            EXPECT_EQ(controlNear(r.left + r.width - 1, r.top + r.height - 1, reach), c) << int(c);
        }
    }
}

// One event into the mapper: a button, or the stick at a value, and what it must give.
struct Step {
    bool stick;
    PadButton button;
    int value;
    std::vector<PadChange> want;
};

TEST(Controls, AControllerPushesAndReleasesOncePerPushFromEverySource) {
    using B = PadButton;
    const Step steps[] = {
        {false, B::DpadRight, 1, {{C::Right, true}}},
        {true, B::Other, 30000, {}},   // the stick pushed the same way: still one push
        {false, B::DpadRight, 0, {}},  // the stick still holds it
        {true, B::Other, 14000, {}},   // between the zones: still pushed
        {true, B::Other, 9000, {{C::Right, false}}},
        {true, B::Other, 15000, {}},  // not far enough for a new push
        {true, B::Other, -20000, {{C::Left, true}}},
        {true, B::Other, 20000, {{C::Left, false}, {C::Right, true}}},  // a flick: release first
        {true, B::Other, -32768, {{C::Right, false}, {C::Left, true}}},
        {false, B::DpadLeft, 1, {}},
        {true, B::Other, 0, {}},  // the d-pad still holds it
        {false, B::DpadLeft, 0, {{C::Left, false}}},
        {false, B::South, 1, {{C::Time, true}}},
        {false, B::Back, 1, {{C::Acl, true}}},
        {false, B::Other, 1, {}},
        {false, B::South, 0, {{C::Time, false}}},
    };
    PadMapper m;
    int i = 0;
    for (const Step& s : steps) {
        const auto got = s.stick ? m.stick(s.value) : m.button(s.button, s.value != 0);
        EXPECT_EQ(got, s.want) << "step " << i;
        ++i;
    }
    // Unplugged with ACL and the right arrow held: both come up, nothing else.
    m.button(B::DpadRight, true);
    EXPECT_EQ(m.releaseAll(), (std::vector<PadChange>{{C::Right, false}, {C::Acl, false}}));
    EXPECT_TRUE(m.releaseAll().empty());
}

}  // namespace
}  // namespace fw
