// The game window's size as the player sets it: whole steps of the handheld's own size,
// kept in the store between runs, and full screen, where the panel is drawn at the
// largest size that fits; the keys and the wheel that change it.
#pragma once

#include <QPoint>
#include <QRect>
#include <functional>
#include <string>

#include "interfaces.h"
#include "window_place.h"
#include "window_size.h"

class QWidget;

namespace fw {

class WindowSizer {
  public:
    // window is the game window and place its place, which a shown window keeps its
    // centre around where it places itself. A failed write of the step goes to
    // reportStoreError.
    WindowSizer(QWidget& window, WindowPlace& place, SettingsStore& store,
                std::function<void(const std::string&)> reportStoreError);

    int step() const { return step_; }
    bool isFullScreen() const { return fullScreen_; }
    const PanelPlacement& placement() const { return place_; }

    // Reads the step kept from an earlier run; a missing or odd value is 1.
    void restore();
    // Sets the step as the player does: within 1 and the largest that fits the screen,
    // kept in the store when it changed; the window keeps its centre where it can.
    void choose(int step);
    // Switches between full screen and the window at its step.
    void toggleFullScreen();
    // The window's size changed: in full screen the panel is placed again.
    void resized(QSize size, qreal devicePixelRatio);

    // A key press: acts on a step key and says what the key was (full screen is the
    // caller's to toggle, as it ends a held pointer first).
    SizeKey key(int key, Qt::KeyboardModifiers modifiers);
    // A wheel turn of angleDelta eighths of a degree: with Ctrl held over the panel's
    // elements, one step a whole notch. False when the turn is not the sizer's.
    bool wheel(int angleDelta, Qt::KeyboardModifiers modifiers, bool overElement);

    // The free area of the screen the window is on, in logical pixels. Replaceable for
    // tests.
    std::function<QRect()> availableArea;

  private:
    // Gives the window the size of step_ and places the panel in it.
    void apply();

    QWidget& window_;
    WindowPlace& windowPlace_;
    SettingsStore& store_;
    std::function<void(const std::string&)> reportStoreError_;
    int step_ = 1;
    bool fullScreen_ = false;
    PanelPlacement place_;
    QPoint normalPos_;   // the window's place before full screen
    int wheelTurn_ = 0;  // the wheel's turn towards the next step, in eighths of a degree
};

}  // namespace fw
