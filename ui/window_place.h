// Where the game window is, and who places it. Where windows place themselves (X11),
// the window waits off-screen until Play, is centred then, and the handheld's own drag
// of the case moves it; where the compositor places windows (Wayland), the window is
// only shown, and a drag of the case is handed to the compositor.
#pragma once

#include <QPoint>
#include <functional>
#include <optional>

#include "layout.h"

class QMouseEvent;
class QWidget;

namespace fw {

class WindowPlace {
  public:
    explicit WindowPlace(QWidget& window);

    // Whether the window places itself. Set from the platform.
    bool placesItself() const { return placesItself_; }
    void setPlacesItself(bool places);
    // Hands a drag to the compositor; false when it refused. Replaceable for tests.
    std::function<bool()> startSystemMove;

    // The window's position as last set, in screen coordinates.
    QPoint pos() const { return pos_; }
    // Moves the window there (where it places itself; elsewhere only the number).
    void moveTo(QPoint pos);
    // The window's place in panel pixels at a step (the screen's pixels divided by the
    // step, rounded down), so that the handheld's own drag moves the window as far as
    // the pointer went.
    int left(int step) const;
    int top(int step) const;
    void setLeft(int left, int step);
    void setTop(int top, int step);
    // Moves the window from off-screen to the middle of the screen (where it places
    // itself).
    void centre();
    // The window system moved the window (centring, the window manager): taken over,
    // unless a drag or full screen holds the place set last.
    void moved(QPoint to, bool held);

    // A mouse event's point in the window. From the pointer's screen position and the
    // window's position as last set, so that a move asked for during a drag is already
    // accounted for; where the window never moves itself (or fills the screen), its own
    // coordinates are the truth.
    QPoint windowPoint(const QMouseEvent& event, bool fullScreen) const;

    // What a pointer move with the left button held is to the compositor.
    enum class Drag { Ours, HandedOver, Compositors };
    // Where the compositor places windows, the drag of the case is its job: the first
    // move with the left button held on the case or the LCD window hands it over (the
    // caller then gives up the capture, as the compositor keeps the pointer until the
    // button goes up), and the moves that still arrive meanwhile are its business. A
    // plain click stays a click.
    Drag drag(bool leftHeld, std::optional<Element> captured);
    // A new press: no drag is the compositor's.
    void pressed() { systemMoving_ = false; }

  private:
    QWidget& window_;
    QPoint pos_{-700, -500};
    bool placesItself_ = true;
    bool systemMoving_ = false;  // the compositor has the drag until the left button is up
};

}  // namespace fw
