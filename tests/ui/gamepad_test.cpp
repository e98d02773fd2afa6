#include "gamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "support.h"
#include "test_pad.h"

namespace fw::test {
namespace {

// SDL's own virtual controller through the real event path into a shown game window.
TEST(Gamepad, AVirtualControllerStartsGameBAndMovesTheFigure) {
    Rig rig;
    TForm1& f = *rig.form;
    std::vector<PadChange> seen;
    Gamepad pad([&](Control c, bool down) {
        seen.push_back({c, down});
        f.padControl(c, down);
    });
    if (!pad.start()) GTEST_SKIP() << "SDL has no game controllers here: " << SDL_GetError();
    const int before = pad.connected();
    VirtualPad virtualPad(pad);
    ASSERT_TRUE(virtualPad.attached()) << SDL_GetError();
    EXPECT_EQ(pad.connected(), before + 1);

    // Before Play the window is not shown: a push does not reach the game.
    virtualPad.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    virtualPad.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(f.handheld().state().GameMode, Mode::PowerOn);

    f.show();
    Handheld& h = f.handheld();
    virtualPad.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    EXPECT_EQ(h.state().GameMode, Mode::GameB);
    virtualPad.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0);
    rig.clock += 200;  // the figure stands after 150 ms
    const int axis = VirtualPad::kAxisBase + SDL_CONTROLLER_AXIS_LEFTX;
    virtualPad.set(axis, -30000);
    EXPECT_EQ(h.state().ManPos, 1) << "the stick pushed left";
    virtualPad.set(axis, -31000);
    virtualPad.set(axis, 0);
    virtualPad.set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    EXPECT_EQ(h.state().ManPos, 2) << "one push, one move";
    // ACL held abandons the game and blanks the screen until it comes up.
    virtualPad.set(SDL_CONTROLLER_BUTTON_BACK, 1);
    EXPECT_FALSE(h.panel().shown(Puls_ACL));
    virtualPad.set(SDL_CONTROLLER_BUTTON_BACK, 0);
    EXPECT_TRUE(h.panel().shown(Puls_ACL));
    EXPECT_EQ(h.state().GameMode, Mode::PowerOn);

    // Unplugged with TIME and the right arrow held: both come up.
    virtualPad.set(SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_FALSE(h.panel().shown(Puls_Time));
    EXPECT_FALSE(h.panel().shown(Puls_Right));
    virtualPad.detach();
    EXPECT_EQ(pad.connected(), before);
    EXPECT_TRUE(h.panel().shown(Puls_Time));
    EXPECT_TRUE(h.panel().shown(Puls_Right));
}

}  // namespace
}  // namespace fw::test
