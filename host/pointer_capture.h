// The window's own left-button capture, as every host of the handheld keeps it: the
// element that took a left press receives the moves and the one release that follow,
// with coordinates relative to it, even when the pointer has left it or the press hid
// it. Other buttons and moves without a capture go to the topmost shown element under
// the pointer. Points are panel pixels (the 652 x 443 layout).
#pragma once

#include <optional>

#include "handheld.h"

namespace fw {

class PointerCapture {
  public:
    explicit PointerCapture(Handheld& handheld) : handheld_(handheld) {}

    // The topmost shown element under a panel point, or nothing.
    std::optional<Element> elementAt(int x, int y) const;
    // The element that has the capture, if any.
    std::optional<Element> captured() const { return captured_; }

    // A button pressed at a point: a left press takes the capture for the element it
    // reaches (unless one already has it).
    void press(MouseButton button, int x, int y);
    // A button released at a point: the left button's release goes to the element that
    // has the capture and ends it; another's goes where a press would.
    void release(MouseButton button, int x, int y);
    // The pointer moved with these buttons held.
    void move(HeldButtons held, int x, int y);
    // Where the pointer is now, when nothing is delivered (the compositor has it).
    void seen(int x, int y);
    // The pointer was lost (the window lost the mouse, a menu took it, a compositor's
    // drag): a capture ends with its release where the pointer was last seen.
    void lose();

  private:
    std::optional<Element> target(int x, int y) const;

    Handheld& handheld_;
    std::optional<Element> captured_;
    int lastX_ = 0, lastY_ = 0;
};

}  // namespace fw
