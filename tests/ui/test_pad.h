// SDL's virtual game controller, for the tests only: the unit tests set its buttons and
// axes directly, and the program built for the end-to-end test (fenwater-test-pad) reads
// them from a pipe. Never part of the program a player gets.
#pragma once

#include <QObject>
#include <memory>

#include "gamepad.h"

namespace fw::test {

class VirtualPad : public QObject {
    Q_OBJECT
  public:
    // The test controller's axes are set as kAxisBase + the axis.
    static constexpr int kAxisBase = 100;

    // Plugs a controller with every button and axis into a started pad, which picks it
    // up at once.
    explicit VirtualPad(Gamepad& pad, QObject* parent = nullptr);
    ~VirtualPad() override;
    // False when SDL could not make one.
    bool attached() const { return joystick_ != nullptr; }
    // Sets an SDL_GameControllerButton (0 or 1), or kAxisBase + an SDL_GameControllerAxis
    // (-32768..32767), and lets the pad read it.
    void set(int control, int value);
    // Unplugs it.
    void detach();

  private:
    Gamepad& pad_;
    int index_ = -1;
    void* joystick_ = nullptr;  // SDL_Joystick*
};

// Reads lines "button NAME 0|1" or "axis NAME VALUE" with SDL's names ("dpright",
// "leftx") from the pipe named by FENWATER_TEST_PAD and plays them on a virtual
// controller. Nothing when the variable is not set.
std::unique_ptr<QObject> driveTestPadFrom(Gamepad& pad);

}  // namespace fw::test
