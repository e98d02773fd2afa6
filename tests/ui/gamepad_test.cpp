#include "gamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "support.h"

namespace fw::test {
namespace {

using C = PadControl;

// One event into the mapper: a button (axis < 0) or an axis value, and what it must give.
struct Step {
    int axis;  // -1: a button
    int id;    // the button, when axis < 0
    int value;
    std::vector<PadChange> want;
};

TEST(Gamepad, PushesAndReleasesOncePerPushFromEverySource) {
    const int lx = SDL_CONTROLLER_AXIS_LEFTX, ly = SDL_CONTROLLER_AXIS_LEFTY;
    const int left = SDL_CONTROLLER_BUTTON_DPAD_LEFT, right = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    const Step steps[] = {
        {-1, right, 1, {{C::Right, true}}},
        {lx, 0, 30000, {}},  // the stick pushed the same way: still one push
        {-1, right, 0, {}},  // the stick still holds it
        {lx, 0, 14000, {}},  // between the zones: still pushed
        {lx, 0, 9000, {{C::Right, false}}},
        {lx, 0, 15000, {}},  // not far enough for a new push
        {lx, 0, -20000, {{C::Left, true}}},
        {lx, 0, 20000, {{C::Left, false}, {C::Right, true}}},  // a flick: release first
        {lx, 0, -32768, {{C::Right, false}, {C::Left, true}}},
        {-1, left, 1, {}},
        {lx, 0, 0, {}},  // the d-pad still holds it
        {-1, left, 0, {{C::Left, false}}},
        {ly, 0, 32767, {}},  // up and down mean nothing
        {-1, SDL_CONTROLLER_BUTTON_DPAD_UP, 1, {}},
        {-1, SDL_CONTROLLER_BUTTON_A, 1, {{C::Time, true}}},
        {-1, SDL_CONTROLLER_BUTTON_BACK, 1, {{C::Acl, true}}},
        {-1, SDL_CONTROLLER_BUTTON_B, 1, {}},
        {-1, SDL_CONTROLLER_BUTTON_A, 0, {{C::Time, false}}},
    };
    PadMapper m;
    int i = 0;
    for (const Step& s : steps) {
        const auto got = s.axis < 0 ? m.button(s.id, s.value != 0) : m.axis(s.axis, s.value);
        EXPECT_EQ(got, s.want) << "step " << i;
        ++i;
    }
    // Unplugged with ACL and the right arrow held: both come up, nothing else.
    m.button(right, true);
    EXPECT_EQ(m.releaseAll(), (std::vector<PadChange>{{C::Right, false}, {C::Acl, false}}));
    EXPECT_TRUE(m.releaseAll().empty());
}

// SDL's own virtual controller through the real event path into a shown game window.
TEST(Gamepad, AVirtualControllerStartsGameBAndMovesTheFigure) {
    Rig rig;
    TForm1& f = *rig.form;
    std::vector<PadChange> seen;
    Gamepad pad([&](PadControl c, bool down) {
        seen.push_back({c, down});
        f.padControl(c, down);
    });
    if (!pad.start()) GTEST_SKIP() << "SDL has no game controllers here: " << SDL_GetError();
    const int before = pad.connected();
    ASSERT_TRUE(pad.attachVirtual()) << SDL_GetError();
    EXPECT_EQ(pad.connected(), before + 1);

    // Before Play the window is not shown: a push does not reach the game.
    pad.setVirtual(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    pad.setVirtual(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(f.handheld().state().GameMode, Mode::PowerOn);

    f.show();
    Handheld& h = f.handheld();
    pad.setVirtual(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    EXPECT_EQ(h.state().GameMode, Mode::GameB);
    pad.setVirtual(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0);
    rig.clock += 200;  // the figure stands after 150 ms
    const int axis = 100 + SDL_CONTROLLER_AXIS_LEFTX;
    pad.setVirtual(axis, -30000);
    EXPECT_EQ(h.state().ManPos, 1) << "the stick pushed left";
    pad.setVirtual(axis, -31000);
    pad.setVirtual(axis, 0);
    pad.setVirtual(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    EXPECT_EQ(h.state().ManPos, 2) << "one push, one move";
    // ACL held abandons the game and blanks the screen until it comes up.
    pad.setVirtual(SDL_CONTROLLER_BUTTON_BACK, 1);
    EXPECT_FALSE(h.panel().shown(Puls_ACL));
    pad.setVirtual(SDL_CONTROLLER_BUTTON_BACK, 0);
    EXPECT_TRUE(h.panel().shown(Puls_ACL));
    EXPECT_EQ(h.state().GameMode, Mode::PowerOn);

    // Unplugged with TIME and the right arrow held: both come up.
    pad.setVirtual(SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_FALSE(h.panel().shown(Puls_Time));
    EXPECT_FALSE(h.panel().shown(Puls_Right));
    pad.detachVirtual();
    EXPECT_EQ(pad.connected(), before);
    EXPECT_TRUE(h.panel().shown(Puls_Time));
    EXPECT_TRUE(h.panel().shown(Puls_Right));
}

}  // namespace
}  // namespace fw::test
