#include "pointer_capture.h"

#include <gtest/gtest.h>

#include <vector>

#include "virtual_handheld.h"

namespace fw {
namespace {

// Panel points: on TIME, on ACL, on the case, on the LCD window, outside the panel.
constexpr int kTime[] = {500, 80}, kAcl[] = {594, 113}, kCase[] = {100, 100}, kLcd[] = {300, 200},
              kOutside[] = {-40, 900};

enum class Step { Press, Release, Move, Lose };
struct Event {
    Step step;
    MouseButton button;
    const int* at;
};

TEST(PointerCapture, ThePressedElementGetsTheMovesAndOneRelease) {
    const auto L = MouseButton::Left, R = MouseButton::Right, M = MouseButton::Middle;
    const struct {
        const char* what;
        std::vector<Event> events;
        std::optional<Element> captured;  // after the events
        Mode mode;                        // the handheld's mode after them
        bool timeUp;                      // TIME's picture shows (not held down)
    } cases[] = {
        {"TIME pressed and held", {{Step::Press, L, kTime}}, Puls_Time, Mode::PowerOn, false},
        {"TIME released in place",
         {{Step::Press, L, kTime}, {Step::Release, L, kTime}},
         std::nullopt,
         Mode::Clock,
         true},
        {"TIME released over the case, after a move there",
         {{Step::Press, L, kTime}, {Step::Move, L, kCase}, {Step::Release, L, kCase}},
         std::nullopt,
         Mode::Clock,
         true},
        {"TIME released outside the window",
         {{Step::Press, L, kTime}, {Step::Release, L, kOutside}},
         std::nullopt,
         Mode::Clock,
         true},
        {"TIME held when the pointer is lost",
         {{Step::Press, L, kTime}, {Step::Lose, L, kLcd}},
         std::nullopt,
         Mode::Clock,
         true},
        {"a lost pointer, then the real release: one release",
         {{Step::Press, L, kTime}, {Step::Lose, L, kLcd}, {Step::Release, L, kTime}},
         std::nullopt,
         Mode::Clock,
         true},
        {"a second press while captured goes to the captured element",
         {{Step::Press, L, kTime}, {Step::Press, L, kAcl}},
         Puls_Time,
         Mode::PowerOn,
         false},
        {"the right and middle buttons take no capture and work nothing",
         {{Step::Press, R, kTime}, {Step::Release, R, kTime}, {Step::Press, M, kTime}},
         std::nullopt,
         Mode::PowerOn,
         true},
        {"ACL released over the LCD window",
         {{Step::Press, L, kAcl}, {Step::Release, L, kLcd}},
         std::nullopt,
         Mode::PowerOn,
         true},
        {"a press outside the panel captures nothing",
         {{Step::Press, L, kOutside}, {Step::Move, L, kTime}, {Step::Release, L, kTime}},
         std::nullopt,
         Mode::PowerOn,
         true},
    };
    for (const auto& c : cases) {
        standin::VirtualHandheld game;
        game.start();
        PointerCapture pointer(game.h());
        for (const Event& e : c.events) {
            const int x = e.at[0], y = e.at[1];
            switch (e.step) {
                case Step::Press:
                    pointer.press(e.button, x, y);
                    break;
                case Step::Release:
                    pointer.release(e.button, x, y);
                    break;
                case Step::Move:
                    pointer.move(HeldButtons{e.button == L, e.button == R, e.button == M}, x, y);
                    break;
                case Step::Lose:
                    pointer.seen(x, y);
                    pointer.lose();
                    break;
            }
        }
        EXPECT_EQ(pointer.captured(), c.captured) << c.what;
        EXPECT_EQ(game.state().GameMode, c.mode) << c.what;
        EXPECT_EQ(game->panel().shown(Puls_Time), c.timeUp) << c.what;
    }
}

}  // namespace
}  // namespace fw
