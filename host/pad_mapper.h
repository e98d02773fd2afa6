// What one game controller's buttons and stick mean to the handheld, whichever library
// reads the controller: the d-pad and the left stick are the left and right arrows, one
// press per push; the south face button (A) is TIME and Back is ACL.
#pragma once

#include <array>
#include <vector>

#include "controls.h"

namespace fw {

// The controller's buttons the handheld knows; every other button is Other.
enum class PadButton { DpadLeft, DpadRight, South, Back, Other };

struct PadChange {
    Control control;
    bool down;
    bool operator==(const PadChange&) const = default;
};

// A control is down while any of its sources holds it (the d-pad or the stick for an
// arrow) and reports only its own changes: one press when it goes down, one release
// when it comes up.
class PadMapper {
  public:
    // The stick counts as pushed beyond kPushed and as back once within kBack (of the
    // -32768..32767 range), so that a stick held near the edge of the dead zone does not
    // chatter.
    static constexpr int kPushed = 16000;
    static constexpr int kBack = 10000;

    std::vector<PadChange> button(PadButton button, bool down);
    // The left stick's horizontal axis at value (-32768..32767).
    std::vector<PadChange> stick(int value);
    // The controller went away: every control it held comes up.
    std::vector<PadChange> releaseAll();

  private:
    enum Source { DpadLeft, DpadRight, StickLeft, StickRight, ButtonTime, ButtonAcl, Sources };
    std::vector<PadChange> set(Source source, bool on);
    bool held(Control control) const;
    std::array<bool, Sources> on_{};
};

}  // namespace fw
