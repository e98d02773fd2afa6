// The handheld's four controls as a player works them without the mouse: a game
// controller, a finger on a touch screen, the keyboard. The GAME A and GAME B buttons
// are the left and right arrow keys; TIME and ACL are pressed in their middle with the
// left mouse button, as a click would.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "handheld.h"

namespace fw {

enum class Control : std::uint8_t { Left, Right, Time, Acl };
inline constexpr int kControlCount = 4;

// The button element of a control, and the control a button element stands for
// (nothing for every other element).
Element buttonOf(Control control);
std::optional<Control> controlOf(Element e);

// The virtual key code of every key but the arrows: one the handheld never acts on. A
// toolkit's own key codes must never pass through, since some of them equal a code the
// game acts on (Qt::Key_Percent is 37).
inline constexpr int kKeyOther = 0;

// The keys the handheld knows, as a browser names them (KeyboardEvent.key): the arrows,
// also by the older names some browsers give them.
struct NamedKey {
    std::string_view name;
    int vk;
};
inline constexpr NamedKey kNamedKeys[] = {
    {"ArrowLeft", kKeyLeft}, {"ArrowRight", kKeyRight}, {"Left", kKeyLeft}, {"Right", kKeyRight}};

// The virtual key of a key by its name; every key not in kNamedKeys gives kKeyOther.
int virtualKeyOfName(std::string_view name);

// The control a touch at panel point x, y works, given a reach in panel pixels: the
// one whose button rectangle lies nearest the point, within reach (a touch inside a
// button is at distance 0), or nothing. A finger is wider than the case's small
// buttons; where the reaches of two buttons overlap, the nearer button takes the touch.
std::optional<Control> controlNear(int x, int y, int reach);

// Works a control on the handheld: the arrow key down or up, or the button pressed or
// released in its middle.
void work(Handheld& handheld, Control control, bool down);

// Which controls a source holds down, so that each push reaches the handheld once and
// its release goes only where its push went.
class HeldControls {
  public:
    // Takes a push or a release; true when the handheld is to get it. A push while
    // the host does not accept one (its window is not up yet) is dropped, and so is the
    // release that follows it; a repeated push or release changes nothing.
    bool take(Control control, bool down, bool accepting = true);
    bool held(Control control) const { return held_[int(control)]; }

  private:
    std::array<bool, kControlCount> held_{};
};

}  // namespace fw
