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
